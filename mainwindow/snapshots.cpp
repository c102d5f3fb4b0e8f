// MainWindow: snapshots, the record and stream-saving controls, the REC indicator, the end of save-all-frames and the test windows' forwarders.
#include "mainwindow/MainWindow.h"
#include "ui_MainWindow.h"

#include "app/app_paths.h"
#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/affichage.h"
#include "pipeline/kv_video_recorder.h"

#include <QFileInfo>
#include <QTimer>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {

QString SaveAllFramesButtonText(int p_iNumberFrames, const char* p_szFormat)
{
    if (p_iNumberFrames > 0)
        return "Save " + QString::number(p_iNumberFrames) + " frames in " + p_szFormat;
    return QString("Save all frames ") + p_szFormat;
}

} // namespace

// ---------------------------------------------------------------------------
// Snapshots

void MainWindow::SaveSnapshot(const char* p_szExtension, int p_iCounterCell)
{
    const int proxy = CurrentProxyIndex;
    uint32_t counter = GetCurrent(proxy, p_iCounterCell);
    const QString folder = ApplicationDir + "/../SavedImages/" + ProxyName + "/";
    auto name = [&] { return "Snapshot_" + QString::number(counter) + p_szExtension; };
    ui->lineEdit_FileName->setText(name());
    QString path = folder + name();
    while (QFileInfo::exists(path)) {
        ++counter;
        ui->lineEdit_FileName->setText(name());
        path = folder + ui->lineEdit_FileName->text();
    }
    Log->writeLine("Snapshot take as: " + path);
    cv::Mat image = MatDisplayGrey;
    if ((BayerCode != 0 || LutActive) && MatDisplayColour.type() == CV_8UC3) {
        // A converted copy: the colour display image itself keeps its order.
        cv::cvtColor(MatDisplayColour, image, cv::COLOR_BGR2RGB);
    }
    if (!image.empty()) {
        try {
            cv::imwrite(path.toUtf8().constData(), image);
        } catch (const cv::Exception& e) {
            Log->writeLine(QString("Snapshot not written: ") + e.what());
        }
    }
    SetCurrent(proxy, p_iCounterCell, counter + 1);
}

void MainWindow::SaveSnapshotBMP()
{
    SaveSnapshot(".bmp", ProxyParameterId::SnapshotCounterBMP);
}

void MainWindow::SaveSnapshotJPEG()
{
    SaveSnapshot(".jpeg", ProxyParameterId::SnapshotCounterJPEG);
}

void MainWindow::SaveSnapshotPNG()
{
    SaveSnapshot(".png", ProxyParameterId::SnapshotCounterPNG);
}

void MainWindow::SaveSnapshotTIF()
{
    SaveSnapshot(".tif", ProxyParameterId::SnapshotCounterTIF);
}

bool MainWindow::CheckStreamStarted()
{
    if (!StreamStarted)
        PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Stream not started"),
                           QStringLiteral("The stream has not been started, please start it before using this feature."),
                           {QStringLiteral("Ok")}});
    return StreamStarted;
}

void MainWindow::PushButton_Snapshot()
{
    if (!CheckStreamStarted())
        return;
    switch (SnapshotFormat) {
    case 0: SaveSnapshotBMP(); break;
    case 1: SaveSnapshotJPEG(); break;
    case 2: SaveSnapshotPNG(); break;
    case 3: SaveSnapshotTIF(); break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// REC indicator and save-all-frames end

void MainWindow::startTimerREC()
{
    Timers.RecordingBlink->start(RecordingBlinkTimerPeriodMs);
    ui->label_REC->setText(QStringLiteral("REC"));
}

void MainWindow::stopTimerREC()
{
    if (Timers.RecordingBlink->isActive())
        Timers.RecordingBlink->stop();
    ui->label_REC_Img->setPixmap(QPixmap());
    ui->label_REC->clear();
}

void MainWindow::StopSaveAllFrames()
{
    SaveAllFramesRunning = false;
    if (SaveAllFramesBmp)
        ui->pushButton_SaveAllFrames->setText(SaveAllFramesButtonText(NumberFrames, "BMP"));
    else if (SaveAllFramesRaw)
        ui->pushButton_SaveAllFrames->setText(SaveAllFramesButtonText(NumberFrames, "RAW"));
    Log->writeLine("Save all frames : OFF");
}

// ---------------------------------------------------------------------------
// Video recording controls

void MainWindow::PushButton_RecordVideo()
{
    if (!CheckStreamStarted())
        return;
    if (VideoRecorder->isRecording()) {
        VideoRecorder->closeFile();
        ResetGroupBoxVideoRecorder();
        ImageView->setZoomAllowed(true);
        return;
    }
    if (!VideoRecorder->isVideoFolderSelected()) {
        const int answer = PresentMessageBox(
            {nullptr, QMessageBox::Critical, QStringLiteral("No folder Selected"),
             QStringLiteral("No folder has been selected to store the video. Please do it first"),
             {QStringLiteral("Select folder"), QStringLiteral("Cancel")}});
        if (answer != 0)
            return;
        VideoRecorder->selectFolder();
    }
    if (FrameCounter <= 0) {
        PresentMessageBox({nullptr, QMessageBox::Critical, QStringLiteral("No stream started"),
                           QStringLiteral("Please start the stream to save the video."), {QStringLiteral("Ok")}});
        return;
    }
    VideoRecorder->setFrameRate(ui->spinBox_FrameRate->value());
    if (!VideoRecorder->openFile())
        return;
    ImageView->disableZoom();
    ImageView->setZoomAllowed(false);
    ui->spinBox_FrameRate->setEnabled(false);
    ui->pushButton_RecordVideo->setText(QStringLiteral("Stop\nRecording Video"));
    ui->lineEdit_FileNameVideo->setEnabled(false);
    ui->pushButton_SelectVideoPath->setEnabled(false);
}

void MainWindow::PushButton_SelectVideoFolder()
{
    VideoRecorder->selectFolder();
}

void MainWindow::ResetGroupBoxVideoRecorder()
{
    ui->label_REC_Img->setPixmap(QPixmap());
    ui->label_REC->clear();
    ui->spinBox_FrameRate->setEnabled(true);
    ui->pushButton_RecordVideo->setText(QStringLiteral("Start\nRecording Video"));
    ui->lineEdit_FileNameVideo->setEnabled(true);
    ui->pushButton_SelectVideoPath->setEnabled(true);
}

// ---------------------------------------------------------------------------
// Stream saving

void MainWindow::CheckBox_Savestream(int p_iCheckBoxStatus)
{
    Log->writeLine("Save Stream: " + QString::number(p_iCheckBoxStatus));
    SetCurrent(CurrentProxyIndex, ProxyParameterId::SaveStream, uint32_t(p_iCheckBoxStatus));
    if (p_iCheckBoxStatus != 0) {
        if (BayerCode != 0)
            PresentMessageBox({this, QMessageBox::Warning, QStringLiteral("Warning"),
                               QStringLiteral("RAW and CSV files will be saves as Black and White images"),
                               {QStringLiteral("OK")}});
        Log->writeLine("Start Save Stream Timer: " + QString::number(Period) + " milliseconds");
        StreamCopiesReady = false;
        Timers.SaveStream->start(Period);
    } else {
        Log->writeLine("Stop Save Stream Timer");
        Timers.SaveStream->stop();
    }
}

// ---------------------------------------------------------------------------
// Forwarders of the proxy-test and bad-pixel detection windows

void MainWindow::setDACA_ProxyTest(int p_iValue) { ui->spinBox_DAC_A->setValue(p_iValue); }
void MainWindow::setDACB_ProxyTest(int p_iValue) { ui->spinBox_DAC_B->setValue(p_iValue); }
void MainWindow::setDACC_ProxyTest(int p_iValue) { ui->spinBox_DAC_C->setValue(p_iValue); }
void MainWindow::setDACD_ProxyTest(int p_iValue) { ui->spinBox_DAC_D->setValue(p_iValue); }
void MainWindow::setTINT_ProxyTest(int p_iValue) { ui->spinBox_TINT->setValue(p_iValue); }
void MainWindow::setGain_ProxyTest(int p_iValue) { ui->spinBox_ImageGain->setValue(p_iValue); }
void MainWindow::setOffset_ProxyTest(int p_iValue) { ui->spinBox_ImageOffset->setValue(p_iValue); }
