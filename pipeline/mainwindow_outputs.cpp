// The main window's image outputs: histogram timer, stream ticks, frame series, REC blink and the recorder's acquisition hooks.
#include "mainwindow/MainWindow.h"

#include "app/app_paths.h"
#include "app/globals.h"
#include "app/header_constants.h"
#include "app/kv_log.h"
#include "board/acquisition_state.h"
#include "mainwindow/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/kv_histogram.h"
#include "pipeline/kv_video_recorder.h"
#include "pipeline/pipeline_state.h"
#include "pipeline/stream_saver.h"
#include "tools/Window_Histogram.h"

#include <QTimer>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>

namespace {

// The numbers of the displayed-frame and save-all series files: they grow for the whole run.
std::atomic<int> g_iDisplayedRawCounter{0};
std::atomic<int> g_iSaveAllFramesCounter{0};

void WriteImageQuietly(const char* p_szName, const cv::Mat& p_Image)
{
    if (p_Image.empty())
        return;
    try {
        cv::imwrite(p_szName, p_Image);
    } catch (const cv::Exception&) {
        // Image-writer failures of the series and the proxy test are not reported.
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Histogram

void MainWindow::CalculHistogram()
{
    if (FrameCounter > 1)
        emit UpdateHistogram(MatDisplayGrey);
    Histogram->calculateHistogram(MatDisplayGrey);
    // Not while a calculation waits in its save dialog: no second pass inside the first.
    if (HistogramWindowOpen && HistogramWindow && !HistogramWindow->isCalculating())
        emit UpdateAdvancedHistogram(MatDisplayGrey, MatDisplayColour);
}

void MainWindow::ResetHistogram()
{
    if (Histogram)
        Histogram->resetHistogram();
}

// ---------------------------------------------------------------------------
// Timed stream

void MainWindow::TimeOutSaveStream()
{
    // No frame copied since stream saving started: nothing to write yet.
    if (!StreamCopiesReady || StreamAcquired16b.empty())
        return;
    const int proxy = CurrentProxyIndex;
    StreamTickRequest q;
    q.SavedImagesDir = SavedImagesDir;
    q.ProxyName = ProxyName.toUtf8();
    q.Width = FramePitch / 2;
    q.Height = FrameHeight;
    q.Stamp = StreamTimestamp(QDateTime::currentDateTime());
    q.Raw = GetCurrent(proxy, ProxyParameterId::SaveRAW) != 0;
    q.Jpg = GetCurrent(proxy, ProxyParameterId::SaveJPG) != 0;
    q.Bmp = GetCurrent(proxy, ProxyParameterId::SaveBMP) != 0;
    q.Csv = GetCurrent(proxy, ProxyParameterId::SaveCSV) != 0;
    q.CSV8b = CSV8b;
    q.CSV16b = CSV16b;
    q.CSVAcquired = CSVAcquired;
    q.CSVFPN = CSVFPN;
    q.CSVDisplayed = CSVDisplayed;
    q.RAW8b = RAW8b;
    q.RAW16b = RAW16b;
    q.RAWAcquired = RAWAcquired;
    q.RAWFPN = RAWFPN;
    q.RAWDisplayed = RAWDisplayed;
    q.Acquired16b = StreamAcquired16b;
    q.FPN16b = StreamFPN16b;
    q.Displayed8b = StreamDisplayed8b;
    q.Displayed16b = StreamDisplayed16b;
    if (q.Jpg || q.Bmp) {
        // The display's red-green-blue order turned into the writer's order, on a copy.
        if (BayerCode != 0 && MatColourWork.type() == CV_8UC3)
            cv::cvtColor(MatColourWork, q.Picture, cv::COLOR_RGB2BGR);
        else
            q.Picture = MatDisplayGrey;
    }
    const StreamTickResult result = SaveStreamTick(q);
    if (result == StreamTickResult::Written)
        return;
    // Unticking stops the timer through CheckBox_Savestream, even while the box is disabled.
    UntickSaveStream();
    const QString text = result == StreamTickResult::RawOpenFailed ? QStringLiteral("RAW files cannot be saved ... ABORT")
                                                                   : QStringLiteral("CSV files cannot be saved ... ABORT");
    Log->writeLine(text);
    PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Error"), text, {QStringLiteral("Ok")}});
}

// ---------------------------------------------------------------------------
// Frame series

void MainWindow::SaveDisplayedRaw(cv::Mat p_Image)
{
    char szName[StreamFileNameBufferSize];
    const int n = std::snprintf(szName, sizeof szName, "%s/../SavedImages/%s/ImageDisplayed%d.raw", ApplicationDirUtf8,
                                g_szProxyName, g_iDisplayedRawCounter.fetch_add(1));
    std::FILE* pFile = (n > 0 && size_t(n) < sizeof szName) ? std::fopen(szName, "wb") : nullptr;
    if (!pFile) {
        // On the frame path: the frame is skipped, the operator told once in the log.
        if (!DisplayedRawFailureLogged.exchange(true))
            Log->writeLine(QString("Displayed RAW frame not saved, the file can't be created: ") + szName);
        return;
    }
    DisplayedRawFailureLogged = false;
    const size_t pixels = std::min(p_Image.total(), size_t(FramePitch) * size_t(FrameHeight) / 2);
    if (p_Image.isContinuous() && p_Image.elemSize() == 2)
        std::fwrite(p_Image.data, 2, pixels, pFile);
    std::fclose(pFile);
}

void MainWindow::SaveAllFrames_Belmor()
{
    const BoardKind kind = DigiBoardKind;
    // The Arvex and Belmor+ frame callbacks save their series themselves.
    if (kind == BoardKind::Arvex || kind == BoardKind::BelmorPlus)
        return;
    if (!SaveAllFramesRunning) {
        // The next series counts from its own first frame.
        SeriesFramesSaved = 0;
        return;
    }
    // Once per displayed frame: the acquisition loop polls far faster than frames come.
    if (!SeriesFrameFresh.exchange(false) || SeriesRaw16b.empty() || !SeriesRaw16b.isContinuous())
        return;
    const FrameSeries series{BelmorSeriesRule(), &g_iSaveAllFramesCounter, &SeriesFramesSaved};
    const FrameGeometry geometry{SeriesRaw16b.cols, SeriesRaw16b.rows, 2 * SeriesRaw16b.cols};
    OfferFrameToSeries(*this, series, QString::fromUtf8(SavedImagesDir) + QString::fromUtf8(g_szProxyName),
                       SeriesRaw16b.ptr<unsigned short>(0), geometry, SeriesDisplay8b);
}

void MainWindow::SaveBMP_ProxyTest(QString p_sName)
{
    WriteImageQuietly(p_sName.toUtf8().constData(), AcquiredImage16b);
}

// ---------------------------------------------------------------------------
// REC indicator and the recorder at acquisition start and stop

void MainWindow::TimeOutREC()
{
    const QPixmap icon(ApplicationDir + HeaderConstants::IconsFolder + HeaderConstants::IconRec);
    ShowRecIcon(RecBlinkPhase ? QPixmap() : icon);
    RecBlinkPhase = !RecBlinkPhase;
}

void MainWindow::SetVideoSizeForAcquisition()
{
    if (VideoRecorder)
        VideoRecorder->setVideoSize(FrameWidth, FrameHeight);
}

void MainWindow::StopVideoRecordingForDeinit()
{
    if (!VideoRecorder)
        return;
    // The file is finalised here, so the next acquisition records a new one.
    if (VideoRecorder->isRecording())
        VideoRecorder->closeFile();
    stopTimerREC();
    ResetGroupBoxVideoRecorder();
    VideoRecorder->setVideoSize(0, 0);
}

void MainWindow::CloseVideoForExit()
{
    if (VideoRecorder && VideoRecorder->isRecording())
        VideoRecorder->closeFile();
}
