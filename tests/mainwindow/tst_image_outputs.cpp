// Tests of the image outputs inside the main window: snapshots, recording and its stop at Deinit, stream ticks, frame series and the saving options.
#include "pipeline/frame_source.h"
#include "support/test_app_folder.h"

#include "app/globals.h"
#include "app/kv_log.h"
#include "board/acquisition_state.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/kv_histogram.h"
#include "pipeline/kv_video_recorder.h"
#include "pipeline/pipeline_cells.h"
#include "ui_MainWindow.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

namespace {

constexpr int kProxy = 4;

// Records every box and answers with the button of the given text (the first button otherwise).
struct Boxes
{
    QList<MessageBoxRequest> Asked;
    QString Answer;
    Boxes()
    {
        SetMessageBoxPresenter([this](const MessageBoxRequest& p_Request) {
            Asked << p_Request;
            return std::max(0, int(p_Request.buttons.indexOf(Answer)));
        });
    }
    ~Boxes() { SetMessageBoxPresenter({}); }
    QStringList titles() const
    {
        QStringList t;
        for (const MessageBoxRequest& r : Asked)
            t << r.title;
        return t;
    }
};

// The main window streaming the serial-port board (frames shown on the GUI
// thread) for the proxy "TestProxy", with the identity corrections.
struct Streaming
{
    TestAppFolder Folder;
    Boxes Box;
    MainWindow Window;
    FrameSource Source;

    explicit Streaming(int p_iKind = 5, int p_iWidth = 64, int p_iHeight = 48)
        : Source(Window, p_iWidth, p_iHeight)
    {
        Window.GetPointerToInstance();
        Window.DigiBoardKind = BoardKindFromIndex(p_iKind);
        Window.CurrentProxyIndex = kProxy;
        Window.Connected = true;
        Window.FrameCounter = 1;
        Window.ProxyName = QStringLiteral("TestProxy");
        SetAcquisitionProxyName("TestProxy");
        QDir().mkpath(proxyFolder());
        g_bDisplayBusy = false;
        for (auto [cell, value] : {std::pair<int, uint32_t>{PipelineCell::ApplyNUC, 0},
                                   {PipelineCell::ImageOffset, 0},
                                   {PipelineCell::ImageGain, 1},
                                   {PipelineCell::AGCCentre, 0},
                                   {PipelineCell::HDR, 0},
                                   {PipelineCell::InvertBW, 0},
                                   {PipelineCell::BPCorrectionMode, 0},
                                   {PipelineCell::UpRow, 0},
                                   {PipelineCell::UpCol, 0},
                                   {PipelineCell::SaveStream, 0},
                                   {PipelineCell::InterpolationMethod, 1}})
            SetCurrent(kProxy, cell, value);
        for (int cell = ProxyParameterId::SnapshotCounterBMP; cell <= ProxyParameterId::SnapshotCounterTIF; ++cell)
            SetCurrent(kProxy, cell, 0);
    }
    ~Streaming() { g_bDisplayBusy = false; }

    QString proxyFolder() const { return Folder.rootPath() + "/SavedImages/TestProxy"; }
    // A frame of a ramp that starts at p_uBase.
    void deliver(uint16_t p_uBase)
    {
        for (size_t i = 0; i < Source.raw().size(); ++i)
            Source.raw()[i] = uint16_t(p_uBase + 256 * (i % 64));
        ++Window.FrameCounter;
        Source.deliver();
    }
    QString log() const
    {
        QFile f(Window.Log->filePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    void applySaving(int p_iSnapshot, int p_iSaveAll, int p_iFrames, int p_iPeriod, QString p_sFlags)
    {
        // Words: BMP JPG CSV RAW the switches, C8 C16 CF CA CD and R8 R16 RF RA RD their options.
        const QStringList words = p_sFlags.split(' ', Qt::SkipEmptyParts);
        auto f = [&](const char* c) { return words.contains(QLatin1String(c)); };
        Window.Update_ConfigurationSavingFile(p_iSnapshot, p_iSaveAll, p_iFrames, p_iPeriod, f("BMP"), f("JPG"),
                                              f("CSV"), f("C8"), f("C16"), f("CF"), f("CA"), f("CD"), f("RAW"),
                                              f("R8"), f("R16"), f("RF"), f("RA"), f("RD"));
    }
};

// The widget's own state: the group boxes stay disabled while no board streams.
bool OwnEnabled(const QWidget* p_pWidget)
{
    return p_pWidget->isEnabledTo(p_pWidget->parentWidget());
}

QByteArray ReadAll(const QString& p_sPath)
{
    QFile f(p_sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_image_outputs : public QObject
{
    Q_OBJECT

private slots:
    void snapshotsNumberedPastExistingFiles();
    void colourSnapshotLeavesTheDisplayImage();
    void snapshotRefusedWithoutStream();
    void histogramTimerAndReset();
    void recordingStoppedByDeinit();
    void recordButtonQuestions();
    void recIndicatorBlinks();
    void streamTickWritesTheShownFrame();
    void streamTickOpenFailureStopsTheStream();
    void savingOptionsTakenOver_data();
    void savingOptionsTakenOver();
    void savingOptionsPeriodAndSwitches();
    void savingOptionsUnknownFormat();
    void belmorSeriesOncePerFrameAndCounted();
    void arvexSeriesWritesNothingHere();
    void displayedRawSeriesAndItsOpenFailure();
};

void tst_image_outputs::snapshotsNumberedPastExistingFiles()
{
    Streaming s;
    s.deliver(0x2000);
    for (const char* name : {"Snapshot_0.bmp", "Snapshot_1.bmp"})
        QVERIFY(cv::imwrite((s.proxyFolder() + "/" + name).toUtf8().constData(), cv::Mat(2, 2, CV_8UC1)));
    s.Window.SnapshotFormat = 0;
    s.Window.PushButton_Snapshot();
    QCOMPARE(s.Window.ui->lineEdit_FileName->text(), QStringLiteral("Snapshot_2.bmp"));
    QCOMPARE(GetCurrent(kProxy, ProxyParameterId::SnapshotCounterBMP), 3u);
    const cv::Mat saved = cv::imread((s.proxyFolder() + "/Snapshot_2.bmp").toUtf8().constData(), cv::IMREAD_GRAYSCALE);
    QCOMPARE(saved.size(), s.Window.MatDisplayGrey.size());
    QCOMPARE(cv::countNonZero(saved != s.Window.MatDisplayGrey), 0);
    QVERIFY(s.log().contains("Snapshot take as: " + s.Window.ApplicationDir + "/../SavedImages/TestProxy/Snapshot_2.bmp"));

    // Each format has its own counter.
    s.Window.SnapshotFormat = 2;
    s.Window.PushButton_Snapshot();
    QVERIFY(QFile::exists(s.proxyFolder() + "/Snapshot_0.png"));
    QCOMPARE(GetCurrent(kProxy, ProxyParameterId::SnapshotCounterPNG), 1u);
    s.Window.SnapshotFormat = 3;
    s.Window.PushButton_Snapshot();
    s.Window.SnapshotFormat = 1;
    s.Window.PushButton_Snapshot();
    QVERIFY(!cv::imread((s.proxyFolder() + "/Snapshot_0.tif").toUtf8().constData()).empty());
    QVERIFY(!cv::imread((s.proxyFolder() + "/Snapshot_0.jpeg").toUtf8().constData()).empty());
    QCOMPARE(GetCurrent(kProxy, ProxyParameterId::SnapshotCounterBMP), 3u);
}

// The colour display image is written as a converted copy: the shown image keeps its order.
void tst_image_outputs::colourSnapshotLeavesTheDisplayImage()
{
    Streaming s;
    s.Window.openLUT_File(s.Window.ApplicationDir + "/LUT/Fire.csv");
    QVERIFY(s.Window.LutActive);
    s.deliver(0x4000);
    QCOMPARE(s.Window.MatDisplayColour.type(), CV_8UC3);
    const cv::Mat before = s.Window.MatDisplayColour.clone();
    s.Window.SaveSnapshotBMP();
    QCOMPARE(cv::norm(before, s.Window.MatDisplayColour, cv::NORM_INF), 0.0);
    const cv::Mat saved = cv::imread((s.proxyFolder() + "/Snapshot_0.bmp").toUtf8().constData(), cv::IMREAD_COLOR);
    cv::Mat rgb;
    cv::cvtColor(saved, rgb, cv::COLOR_BGR2RGB);
    QCOMPARE(cv::norm(rgb, before, cv::NORM_INF), 0.0);
}

void tst_image_outputs::snapshotRefusedWithoutStream()
{
    Streaming s;
    s.Window.StreamStarted = false;
    s.Window.PushButton_Snapshot();
    QCOMPARE(s.Box.titles(), QStringList{"Stream not started"});
    QVERIFY(QDir(s.proxyFolder()).entryList(QDir::Files).isEmpty());
}

void tst_image_outputs::histogramTimerAndReset()
{
    Streaming s(5, 100, 50);
    s.deliver(0x1000);
    QVERIFY(s.Window.Histogram);
    QCOMPARE(s.Window.ui->label_Histogram->widget(), static_cast<QWidget*>(s.Window.Histogram));
    s.Window.CalculHistogram();
    QVERIFY(s.Window.Histogram->isHistogramValid());
    // The ramp puts 100 x 50 / 64 pixels or so in each of its levels; the label shows the share.
    const int n = s.Window.Histogram->maxBinCount();
    QVERIFY(n > 0);
    QVERIFY(s.Window.ui->label_NbPixelMax->text().endsWith(" - " + QString::number(n) + " pixels"));
    s.Window.ResetHistogram();
    QVERIFY(s.Window.ui->label_NbPixelMax->text().isEmpty());
    s.Window.ui->pushButton_SaveHistogramCSV->setEnabled(true);
    emit s.Window.ui->pushButton_SaveHistogramCSV->pressed();
    QCOMPARE(s.Box.titles(), QStringList{"Can't save histogram"});
}

// Deinit finalises the open video: the file reads back whole and the next
// acquisition's recording starts a new file.
void tst_image_outputs::recordingStoppedByDeinit()
{
    KV_VideoRecorder::resetFolderCaution();
    Streaming s(5, 64, 48);
    KV_VideoRecorder* video = s.Window.VideoRecorder;
    video->setFolderChooser([&] { return s.Folder.rootPath(); });
    video->setFreeSpaceProbe([](const QString&) { return 1e12; });
    s.Window.SetVideoSizeForAcquisition();
    s.deliver(0x1000);
    s.Box.Answer = QStringLiteral("Select folder");
    s.Window.ui->spinBox_FrameRate->setValue(20.0);
    s.Window.PushButton_RecordVideo();
    QCOMPARE(s.Box.titles(), (QStringList{"No folder Selected", "Careful"}));
    QVERIFY(video->isRecording());
    QCOMPARE(s.Window.ui->pushButton_RecordVideo->text(), QStringLiteral("Stop\nRecording Video"));
    QVERIFY(!OwnEnabled(s.Window.ui->spinBox_FrameRate));
    QCOMPARE(s.Window.ui->label_REC->text(), QStringLiteral("REC"));
    QVERIFY(s.Window.Timers.RecordingBlink->isActive());
    for (int i = 0; i < 6; ++i)
        s.deliver(uint16_t(0x1000 * (i + 1)));
    QCOMPARE(video->framesWritten(), 6);

    s.Window.Deinit();
    QVERIFY(!video->isRecording());
    QVERIFY(!s.Window.Timers.RecordingBlink->isActive());
    QVERIFY(s.Window.ui->label_REC->text().isEmpty());
    QCOMPARE(s.Window.ui->pushButton_RecordVideo->text(), QStringLiteral("Start\nRecording Video"));
    QVERIFY(OwnEnabled(s.Window.ui->spinBox_FrameRate));
    cv::VideoCapture in(video->videoPath().toUtf8().constData());
    QVERIFY(in.isOpened());
    QCOMPARE(int(in.get(cv::CAP_PROP_FRAME_COUNT)), 6);
    QCOMPARE(in.get(cv::CAP_PROP_FPS), 20.0);
    // Until the next start sets the size again, nothing can be recorded.
    QSignalSpy errors(video, &KV_VideoRecorder::errorHappend);
    QVERIFY(!video->openFile());
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Problem with video size"));
}

void tst_image_outputs::recordButtonQuestions()
{
    Streaming s;
    KV_VideoRecorder* video = s.Window.VideoRecorder;
    video->setFolderChooser([&] { return s.Folder.rootPath(); });
    video->setFreeSpaceProbe([](const QString&) { return 1e12; });
    s.Window.SetVideoSizeForAcquisition();
    s.deliver(0x1000);
    s.Box.Answer = QStringLiteral("Cancel");
    s.Window.PushButton_RecordVideo();
    QCOMPARE(s.Box.titles(), QStringList{"No folder Selected"});
    QVERIFY(!video->isVideoFolderSelected());

    video->selectFolder();
    s.Box.Asked.clear();
    s.Window.FrameCounter = 0;
    s.Window.PushButton_RecordVideo();
    QCOMPARE(s.Box.titles(), QStringList{"No stream started"});
    QVERIFY(!video->isRecording());

    // An existing file and "No": nothing recorded, the button stays at "Start".
    s.Window.FrameCounter = 5;
    QFile(video->videoPath()).open(QIODevice::WriteOnly);
    s.Box.Asked.clear();
    s.Box.Answer = QStringLiteral("No");
    s.Window.PushButton_RecordVideo();
    QCOMPARE(s.Box.titles(), QStringList{"File already exists"});
    QVERIFY(!video->isRecording());
    QCOMPARE(s.Window.ui->pushButton_RecordVideo->text(), QStringLiteral("Start\nRecording Video"));
    QCOMPARE(QFileInfo(video->videoPath()).size(), 0);
}

void tst_image_outputs::recIndicatorBlinks()
{
    Streaming s;
    s.Window.RecBlinkPhase = false;
    s.Window.startTimerREC();
    s.Window.TimeOutREC();
    QVERIFY(!s.Window.ui->label_REC_Img->pixmap(Qt::ReturnByValue).isNull());
    s.Window.TimeOutREC();
    QVERIFY(s.Window.ui->label_REC_Img->pixmap(Qt::ReturnByValue).isNull());
    s.Window.TimeOutREC();
    s.Window.stopTimerREC();
    QVERIFY(s.Window.ui->label_REC_Img->pixmap(Qt::ReturnByValue).isNull());
    // A second stop only clears the labels.
    s.Window.stopTimerREC();
    QVERIFY(!s.Window.Timers.RecordingBlink->isActive());
}

void tst_image_outputs::streamTickWritesTheShownFrame()
{
    Streaming s(5, 640, 480);
    s.applySaving(0, 0, 0, 100, "RAW RA CSV CD C8");
    QVERIFY(OwnEnabled(s.Window.ui->checkBox_SaveStream));
    s.Window.ui->checkBox_SaveStream->setChecked(true);
    QVERIFY(s.Window.Timers.SaveStream->isActive());
    QCOMPARE(s.Window.Timers.SaveStream->interval(), 100);
    s.Window.TimeOutSaveStream(); // no frame since the start: nothing yet
    QVERIFY(QDir(s.proxyFolder()).entryList(QDir::Files).isEmpty());
    s.deliver(0x0300);
    s.Window.TimeOutSaveStream();
    const QStringList raws = QDir(s.proxyFolder()).entryList({"*Acquired_16b.raw"}, QDir::Files);
    QCOMPARE(raws.size(), 1);
    QVERIFY(raws.first().startsWith("Image640x480 "));
    const QByteArray raw = ReadAll(s.proxyFolder() + "/" + raws.first());
    QCOMPARE(raw.size(), 614400);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(s.Source.raw().data()), 614400), raw);
    const QStringList csvs = QDir(s.proxyFolder()).entryList({"*Displayed_8b.csv"}, QDir::Files);
    QCOMPARE(csvs.size(), 1);
    const QByteArray csv = ReadAll(s.proxyFolder() + "/" + csvs.first());
    QCOMPARE(csv.count('\n'), 480);
    QVERIFY(csv.startsWith("3,4,5,6,"));
    s.Window.ui->checkBox_SaveStream->setChecked(false);
    QVERIFY(!s.Window.Timers.SaveStream->isActive());
    QVERIFY(s.log().contains("Start Save Stream Timer: 100 milliseconds"));
    QVERIFY(s.log().contains("Stop Save Stream Timer"));
}

void tst_image_outputs::streamTickOpenFailureStopsTheStream()
{
    Streaming s;
    s.applySaving(0, 0, 0, 50, "RAW RA JPG");
    s.Window.ui->checkBox_SaveStream->setChecked(true);
    s.deliver(0x0300);
    QDir(s.proxyFolder()).removeRecursively();
    s.Window.TimeOutSaveStream();
    QVERIFY(!s.Window.ui->checkBox_SaveStream->isChecked());
    QVERIFY(!s.Window.Timers.SaveStream->isActive());
    QCOMPARE(s.Box.titles(), QStringList{"Error"});
    QCOMPARE(s.Box.Asked.at(0).text, QStringLiteral("RAW files cannot be saved ... ABORT"));
    QVERIFY(!QDir(s.proxyFolder()).exists());
}

void tst_image_outputs::savingOptionsTakenOver_data()
{
    QTest::addColumn<int>("snapshot");
    QTest::addColumn<int>("counter");
    QTest::addColumn<int>("saveAll");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("snapshotButton");
    QTest::addColumn<QString>("saveAllButton");
    QTest::newRow("jpeg, counter 0") << 1 << 0 << 1 << 25 << "Snapshot_.jpeg" << "Snapshot JPEG" << "Save 25 frames in RAW";
    QTest::newRow("jpeg, counter 7") << 1 << 7 << 1 << 0 << "Snapshot_7.jpeg" << "Snapshot JPEG" << "Save all frames RAW";
    QTest::newRow("bmp") << 0 << 2 << 0 << 0 << "Snapshot_2.bmp" << "Snapshot BMP" << "Save all frames BMP";
    QTest::newRow("png") << 2 << 0 << 0 << 9 << "Snapshot_.png" << "Snapshot PNG" << "Save 9 frames in BMP";
    QTest::newRow("tif") << 3 << 1 << 0 << 0 << "Snapshot_1.tif" << "Snapshot TIF" << "Save all frames BMP";
}

void tst_image_outputs::savingOptionsTakenOver()
{
    QFETCH(int, snapshot);
    QFETCH(int, counter);
    QFETCH(int, saveAll);
    QFETCH(int, frames);
    QFETCH(QString, fileName);
    QFETCH(QString, snapshotButton);
    QFETCH(QString, saveAllButton);
    Streaming s;
    SetCurrent(kProxy, ProxyParameterId::SnapshotCounterBMP + snapshot, uint32_t(counter));
    s.applySaving(snapshot, saveAll, frames, 100, "");
    QCOMPARE(s.Window.ui->lineEdit_FileName->text(), fileName);
    QCOMPARE(s.Window.ui->pushButton_Take_Snapshot->text(), snapshotButton);
    QCOMPARE(s.Window.ui->pushButton_SaveAllFrames->text(), saveAllButton);
    QCOMPARE(s.Window.SnapshotFormat, snapshot);
    QCOMPARE(s.Window.NumberFrames.load(), frames);
    QCOMPARE(s.Window.SaveAllFramesRaw.load(), saveAll == 1);
    QCOMPARE(s.Window.SaveAllFramesBmp.load(), saveAll == 0);
}

void tst_image_outputs::savingOptionsPeriodAndSwitches()
{
    Streaming s;
    const uint32_t otherPeriod = GetCurrent(kProxy + 1, ProxyParameterId::SaveStreamPeriod);
    s.applySaving(0, 0, 0, 250, "BMP CSV C8 CD RAW RF");
    QCOMPARE(s.Window.ui->checkBox_SaveStream->text(), QStringLiteral("Save stream with a 250 ms period"));
    QCOMPARE(GetCurrent(kProxy, ProxyParameterId::SaveStreamPeriod), 250u);
    QCOMPARE(GetCurrent(kProxy + 1, ProxyParameterId::SaveStreamPeriod), otherPeriod);
    QCOMPARE(s.Window.Period, 250);
    QVERIFY(s.Window.ui->checkBox_BMP->isChecked());
    QVERIFY(!s.Window.ui->checkBox_JPG->isChecked());
    QCOMPARE(GetCurrent(kProxy, ProxyParameterId::SaveCSV), 1u);
    QCOMPARE(GetCurrent(kProxy, ProxyParameterId::SaveJPG), 0u);
    QVERIFY(s.Window.CSV8b && s.Window.CSVDisplayed && s.Window.RAWFPN);
    QVERIFY(!s.Window.CSV16b && !s.Window.RAWAcquired);
    QVERIFY(OwnEnabled(s.Window.ui->checkBox_SaveStream));

    // No stream file left: the box is disabled, neither unticked nor stopped.
    s.Window.ui->checkBox_SaveStream->setChecked(true);
    s.applySaving(0, 0, 0, 300, "");
    QVERIFY(!OwnEnabled(s.Window.ui->checkBox_SaveStream));
    QVERIFY(s.Window.ui->checkBox_SaveStream->isChecked());
    QVERIFY(s.Window.Timers.SaveStream->isActive());
    QCOMPARE(s.Window.Timers.SaveStream->interval(), 250);
}

void tst_image_outputs::savingOptionsUnknownFormat()
{
    Streaming s;
    s.applySaving(2, 0, 0, 100, "");
    s.applySaving(7, 5, 3, 120, "JPG");
    QCOMPARE(s.Box.titles(), (QStringList{"Unknown format", "Unknown format"}));
    QCOMPARE(s.Box.Asked.at(0).text, QStringLiteral("This format is unknown"));
    QVERIFY(s.Window.ui->lineEdit_FileName->text().isEmpty());
    QCOMPARE(s.Window.ui->pushButton_Take_Snapshot->text(), QStringLiteral("Snapshot PNG"));
    QCOMPARE(s.Window.ui->pushButton_SaveAllFrames->text(), QStringLiteral("Save all frames BMP"));
    // The other values are still taken over.
    QCOMPARE(s.Window.Period, 120);
    QVERIFY(s.Window.ui->checkBox_JPG->isChecked());
}

// The acquisition loop polls every 20 ms: each displayed frame is saved once,
// and the series ends after the requested number of frames.
void tst_image_outputs::belmorSeriesOncePerFrameAndCounted()
{
    Streaming s(2, 16, 8);
    s.applySaving(0, 1, 3, 100, "");
    s.Window.SaveAllFramesRunning = true;
    s.Window.SaveAllFrames_Belmor(); // no frame yet
    s.deliver(0x0100);
    for (int i = 0; i < 4; ++i)
        s.Window.SaveAllFrames_Belmor();
    QCOMPARE(QDir(s.proxyFolder()).entryList(QDir::Files), QStringList{"Image0.raw"});
    QCOMPARE(ReadAll(s.proxyFolder() + "/Image0.raw"),
             QByteArray(reinterpret_cast<const char*>(s.Source.raw().data()), 16 * 8 * 2));
    for (int i = 0; i < 4; ++i) {
        s.deliver(uint16_t(0x0200 + i));
        s.Window.SaveAllFrames_Belmor();
    }
    QCOMPARE(QDir(s.proxyFolder()).entryList(QDir::Files, QDir::Name),
             (QStringList{"Image0.raw", "Image1.raw", "Image2.raw"}));
    QVERIFY(!s.Window.SaveAllFramesRunning);
    QCOMPARE(s.Window.ui->pushButton_SaveAllFrames->text(), QStringLiteral("Save 3 frames in RAW"));
    QVERIFY(s.log().contains("Save all frames : OFF"));
}

void tst_image_outputs::arvexSeriesWritesNothingHere()
{
    Streaming s(1, 16, 8);
    s.Window.SaveAllFramesRunning = true;
    s.Window.SaveAllFramesBmp = true;
    s.deliver(0x0100);
    s.Window.SaveAllFrames_Belmor();
    QVERIFY(QDir(s.proxyFolder()).entryList(QDir::Files).isEmpty());
    QVERIFY(s.Window.SaveAllFramesRunning);
}

void tst_image_outputs::displayedRawSeriesAndItsOpenFailure()
{
    Streaming s(5, 16, 8);
    s.Window.ui->checkBox_SaveAllDisplayedImageRAW->setChecked(true);
    s.deliver(0x1100);
    s.deliver(0x2200);
    const QStringList files = QDir(s.proxyFolder()).entryList({"ImageDisplayed*.raw"}, QDir::Files, QDir::Name);
    QCOMPARE(files.size(), 2);
    const QByteArray last = ReadAll(s.proxyFolder() + "/" + files.last());
    QCOMPARE(last.size(), 16 * 8 * 2);
    QCOMPARE(last, QByteArray(reinterpret_cast<const char*>(s.Window.DisplayImage16b.data), 16 * 8 * 2));
    // No folder: the frames still flow, the failure is logged once.
    QDir(s.proxyFolder()).removeRecursively();
    for (int i = 0; i < 3; ++i)
        s.deliver(uint16_t(0x3300 + i));
    QCOMPARE(s.Window.FramesDisplayed.load(), 5);
    QCOMPARE(s.log().count("Displayed RAW frame not saved"), 1);
}

QTEST_MAIN(tst_image_outputs)
#include "tst_image_outputs.moc"
