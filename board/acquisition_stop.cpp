// Acquisition stop: the safe sensor registers, the ordered tear-down of every board link and the window's return to "Ready".
#include "board/acquisition_links.h"
#include "board/register_writer.h"
#include "board/acquisition_state.h"
#include "board/links/cameralink_link.h"

#include "app/app_paths.h"
#include "app/globals.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MW_AdvancedUser.h"
#include "mainwindow/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/affichage.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/image_miniature.h"
#include "platform/ebus/ebus.h"
#include "app/thread_call.h"

#include <QMessageBox>
#include <QPixmap>
#include <QSerialPort>
#include <QThread>
#include <QTimer>

#include <opencv2/highgui.hpp>

namespace {


void StopIfActive(QTimer* p_pTimer)
{
    if (p_pTimer && p_pTimer->isActive())
        p_pTimer->stop();
}

} // namespace

int MainWindow::SendDefaultSensorRegisters()
{
    const BoardKind kind = DigiBoardKind;
    if (kind != BoardKind::Arvex && kind != BoardKind::Belmor && kind != BoardKind::BelmorPlus && kind != BoardKind::Dunstel && kind != BoardKind::Corvane)
        return 0;
    const int proxy = CurrentProxyIndex;
    if (kind == BoardKind::Dunstel)
        return DunstelLink->writeSafeRegisters(proxy);
    if (kind == BoardKind::Corvane)
        return CorvaneLink->writeSafeRegisters(proxy);
    // Non-zero when any write failed. The statuses are not added: two failure
    // codes overflow an int, and a +1 and a -1 would cancel into success.
    int result = 0;
    for (const RegisterWrite& write : SafeSensorRegisters(proxy, false)) {
        const int status = WriteRegister(this, kind, write.Id, write.Value, RegisterErrorPolicy::Silent);
        if (result == 0)
            result = status;
    }
    return result;
}

void MainWindow::Deinit()
{
    if (!Connected)
        return;
    // The tear-down touches widgets and joins the frame threads: it belongs to
    // the GUI thread. A frame thread asks for it and returns.
    if (QThread::currentThread() != thread()) {
        StopAcquisition = true;
        if (!DeinitQueued.exchange(true))
            PostToThreadOf(this, [this] { Deinit(); });
        return;
    }
    DeinitQueued = false;
    if (DeinitRunning)
        return;
    DeinitRunning = true;
    // No new connection, press or board change while the links go down.
    SetControlEnabled(MainControl::StartButton, false);
    SetControlEnabled(MainControl::BoardList, false);
    const BoardKind kind = DigiBoardKind;
    const int proxy = CurrentProxyIndex;

    emit signalInterruptDebug();
    Log->writeLine("Deinitializing ...");
    auto* pBox = new QMessageBox(QMessageBox::Warning, QStringLiteral("Deinitializing"),
                                 QStringLiteral("Deinitializing in progress. Please wait ... "), QMessageBox::Ok, this);
    pBox->setModal(false);
    pBox->show();
    DeinitializingBox = pBox;

    const int result = SendDefaultSensorRegisters();

    StopAcquisition = true;
    g_bAcquisitionEnded = true;
    StopVideoRecordingForDeinit();
    SaveAllFramesRunning = false;
    bInitDriverDone = false;
    if (ControlChecked(MainControl::SaveAllDisplayedRawBox))
        SetControlChecked(MainControl::SaveAllDisplayedRawBox, false);
    // The frame paths see the stop flag within this time and leave the buffers alone.
    QThread::msleep(300);

    SetControlValue(MainControl::BayerModeBox, 0);
    CloseBPOffsetWindowForDeinit();
    SetControlEnabled(MainControl::OpenBPOffsetWindowAction, true);
    CloseCalibrationForDeinit();
    if (AdvancedUserWindow && AdvancedUserWindow->isVisible())
        AdvancedUserWindow->close();

    if (ControlChecked(MainControl::AverageFPNBox)) {
        Log->writeLine("Unchecking Average FPN Box ...");
        ClickControl(MainControl::AverageFPNBox);
        Log->writeLine("... OK");
    }
    struct Uncheck
    {
        MainControl box;
        bool test;
        int clearCell;   // -1: none
        int stateCell;
        const char* text;
    };
    namespace Id = ProxyParameterId;
    const bool bNotArvex = kind != BoardKind::Arvex;
    const Uncheck unchecks[] = {
        {MainControl::SaveRAWBox, GetCurrent(proxy, Id::SaveRAW) != 0, -1, Id::SaveRAWEnabled,
         "Unchecking Save Stream RAW Box ..."},
        {MainControl::SaveJPGBox, GetCurrent(proxy, Id::SaveJPG) != 0, -1, Id::SaveJPGEnabled,
         "Unchecking Save Stream JPEG Box ..."},
        {MainControl::SaveCSVBox, GetCurrent(proxy, Id::SaveCSV) != 0, -1, Id::SaveCSVEnabled,
         "Unchecking Save Stream CSV Box ..."},
        {MainControl::SaveBMPBox, GetCurrent(proxy, Id::SaveBMP) != 0, -1, Id::SaveBMPEnabled,
         "Unchecking Save Stream BMP Box ..."},
        {MainControl::HDRBox, ControlChecked(MainControl::HDRBox) && bNotArvex, Id::HDR, Id::HDREnabled,
         "Unchecking HDR Box ..."},
        {MainControl::InvertBWBox, GetCurrent(proxy, Id::InvertBW) != 0 && bNotArvex, Id::InvertBW, Id::InvertBWEnabled,
         "Unchecking InvertBW ..."},
        {MainControl::AGCBox, GetCurrent(proxy, Id::AGC) != 0, Id::AGC, Id::AGCEnabled, "Unchecking AGC Box ..."},
    };
    for (const Uncheck& u : unchecks) {
        if (!u.test)
            continue;
        Log->writeLine(u.text);
        ClickControl(u.box);
        if (u.clearCell >= 0)
            SetCurrent(proxy, u.clearCell, 0);
        SetCurrent(proxy, u.stateCell, ControlChecked(u.box) ? 1 : 0);
        Log->writeLine("... OK");
    }
    if (GetCurrent(proxy, ProxyParameterId::SaveStream) != 0) {
        Log->writeLine("Stoping Save All Frames ...");
        ClickControl(MainControl::SaveAllFramesButton);
        if (SaveAllFramesRaw)
            ClickControl(MainControl::SaveAllFramesAction);
        SetCurrent(proxy, ProxyParameterId::SaveStream, 0);
        ResetCurrent(proxy, ProxyParameterId::SaveStreamEnabled);
        Log->writeLine("... OK");
    }
    if (GetCurrent(proxy, ProxyParameterId::ApplyNUCEnabled) != 0)
        SetCurrent(proxy, ProxyParameterId::ApplyNUCEnabled, 0);
    if (BadPixelFile) {
        std::fclose(BadPixelFile);
        BadPixelFile = nullptr;
        ClearControlText(MainControl::BPFileLabel);
    }

    SetControlEnabled(MainControl::OpenProxyDatasheetButton, false);
    SetControlEnabled(MainControl::DatasheetDigiBoardAction, false);
    SetControlEnabled(MainControl::DatasheetProxyAction, false);
    for (MainControl action : {MainControl::NUCHardwareAction, MainControl::NUCSoftwareAction}) {
        SetControlChecked(action, false);
        SetControlEnabled(action, false);
    }
    SetControlEnabled(MainControl::CalibrationScriptAction, false);
    SoftwareNUC = false;

    Log->writeLine("Disabling all zoom on the image");
    if (ImageView)
        ImageView->clearZoomFlags();
    for (MainControl control : {MainControl::ZoomOutButton, MainControl::ZoomInButton,
                                MainControl::LoadConfigurationButton, MainControl::SaveConfigurationButton})
        SetControlEnabled(control, false);
    WaitMs(50);

    Log->writeLine("Stoping all timers...");
    StopTerminalTimer();
    StopIfActive(Timers.Miniature);
    StopIfActive(Timers.AGC);
    StopIfActive(Timers.Histogram);
    StopIfActive(Timers.OneSecond);
    StopIfActive(Timers.GainOffset);
    SetControlEnabled(MainControl::SaveHistogramCSVButton, false);
    SetControlEnabled(MainControl::SaveHistogramBMPButton, false);
    ResetHistogram();
    Log->writeLine("... OK");

    Log->writeLine("Closing connexion with DigiBoard");
    switch (kind) {
    case BoardKind::Arvex:
    case BoardKind::Belmor:
    case BoardKind::BelmorPlus:
        SetControlEnabled(MainControl::TwoTapBox, true);
        Log->writeLine("Closing Camera Link Serial Port...");
        SetCurrent(proxy, ProxyParameterId::TwoTapEnabled, 1);
        if (!g_bWindowingInProgress) {
            FullFrameWindow = true;
            CameraLinkBoard().releaseConnection();
            CameraLinkSerialOpen = false;
        } else {
            bInitDriverDone = true;
            Log->writeLine("WINDOWING ASKED");
        }
        // Idles the channel (joining its thread), deletes it and closes the driver.
        CameraLinkBoard().closeChannel();
        // No frame reaches the path once the channel is gone.
        LinkFramePath.reset();
        // The next Start sets a channel up again, windowing restart or not.
        if (!g_bWindowingInProgress)
            bInitDriverDone = false;
        Log->writeLine("... OK");
        break;
    case BoardKind::Corvane:
        CorvaneLink->stop();
        // No frame reaches the path once the link has stopped.
        LinkFramePath.reset();
        break;
    case BoardKind::Dunstel:
        // The browsers read the device's and the stream's features until they close.
        CloseAdvancedCommandsBrowsers();
        DunstelLink->stop();
        // No frame reaches the path once the link has stopped.
        LinkFramePath.reset();
        Log->writeLine("Reset Dunstel Serial Port to all others windows");
        ResetGigEInAdvancedCommands();
        ResetGigEInToolWindows();
        break;
    case BoardKind::Eskra:
        EskraBoardLink->stop();
        // No frame reaches the path once the link has stopped.
        LinkFramePath.reset();
        break;
    default:
        break;
    }

    SetConnected(false);
    CameraLinkAcquisitionFailed = false;
    FirstStart = false;
    Log->writeLine("DigiBoard Disconnected");
    if (ScreenShowOpen || DemoMode) {
        cv::destroyAllWindows();
        // Restores the normal window; nothing when demo mode already ended.
        LeaveDemoMode();
        ScreenShowOpen = false;
        DemoMode = false;
    }
    WaitMs(50);

    Log->writeLine("Reinitialization all matrices to 0");
    // Every frame path has ended: the buffers of this acquisition go now.
    FreeAcquisitionBuffers(this);
    ReleasePipelineImages();
    if (ImageView)
        ImageView->clearOverlay();
    Log->writeLine("Reset Image Size");
    FrameWidth = 0;
    FrameHeight = 0;
    FramePitch = 0;

    SetControlEnabled(MainControl::BPCorrectionModeBox, true);
    SetControlValue(MainControl::BPCorrectionModeBox, 0);
    SetControlEnabled(MainControl::SelectBPFileButton, false);
    SetControlEnabled(MainControl::SaveStreamBox, false);
    ResetInformationLabels();

    SetControlText(MainControl::StartButton, QStringLiteral("Connect"));
    SetControlIcon(MainControl::StartButton, QIcon());
    SetControlEnabled(MainControl::StartButton, !TeardownHold);
    SetControlEnabled(MainControl::BoardList, !TeardownHold);
    SetControlText(MainControl::StateLabel, QStringLiteral("Ready"));
    ClearControlText(MainControl::ProxyFrequencyLabel);
    emit CommandsBoardChanged(QStringLiteral("NONE"));
    if (Miniature)
        Miniature->setMiniLogo();

    Log->writeLine("Reset Main Display");
    SetControlMinimumSize(MainControl::ViewArea, 1030, 775);
    if (ImageView) {
        ImageView->stopAcquisition();
        ImageView->setScaledContents(false);
        const QSize size = ControlSize(MainControl::ViewArea) - QSize(6, 6);
        ImageView->setMinimumSize(size);
        ImageView->setMaximumSize(size);
        ImageView->setAlignment(Qt::AlignCenter);
        ImageView->setPixmap(QPixmap(ApplicationDirPath() + "/Images/Logos/" + "Logo.png"));
    }

    g_bDisplayBusy = false;
    FrameCounter = -1;
    StreamStarted = false;
    SetControlChecked(MainControl::WindowingEnabledBox, false);
    if (ControlVisible(MainControl::WindowingEnabledBox))
        SetControlEnabled(MainControl::WindowingEnabledBox, true);

    LutActive = false;
    SetControlChecked(MainControl::FireLUTAction, false);
    SetControlChecked(MainControl::CoolLUTAction, false);
    SetControlEnabled(MainControl::DetectBPAction, false);
    SetControlEnabled(MainControl::NUCMenu, false);
    Log->writeLine("Disable all options");
    for (MainControl group : {MainControl::BadPixelCorrectionGroup, MainControl::NUCGroup,
                              MainControl::DisplayParametersGroup, MainControl::ProxyParametersGroup,
                              MainControl::SaveImageGroup, MainControl::SensorParametersGroup,
                              MainControl::RecordingVideoGroup})
        SetControlEnabled(group, false);
    Log->writeLine("Deinitialization DONE");
    DeinitRunning = false;

    if (DeinitializingBox) {
        DeinitializingBox->close();
        delete DeinitializingBox.data();
    }
    if (result != 0)
        PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Bad deinitializing"),
                           QStringLiteral("The DigiBoard has been removed before the end of deinitializing phase."),
                           {QStringLiteral("OK")}});
}
