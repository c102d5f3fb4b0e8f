// The main button's state machine: connect with retries, start, safe disconnection, and the serial-port board's one-press path.
#include "mainwindow/MainWindow.h"
#include "app/widget_style.h"
#include "app/digiboard_kind.h"


#include "app/app_paths.h"
#include "app/boot_file.h"
#include "app/globals.h"
#include "app/header_constants.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "board/acquisition_state.h"
#include "board/connect_retry.h"
#include "mainwindow/message_boxes.h"

#include <QCoreApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPointer>

// The "Connecting in progress" box of the running connect procedure.
QPointer<QMessageBox> g_pConnectingBox;

namespace {

constexpr int kEskraProxyIndex = 17;

const QString kCaptionConnect = QStringLiteral("Connect");
const QString kCaptionStopConnection = QStringLiteral("Stop\nConnection");
const QString kCaptionStart = QStringLiteral("Start");
const QString kCaptionDisconnect = QStringLiteral("Safe\ndisconnection");

void ShowCritical(QWidget* p_pParent, const QString& p_sText)
{
    MessageBoxRequest request;
    request.parent = p_pParent;
    request.icon = QMessageBox::Critical;
    request.title = QStringLiteral("Critical");
    request.text = p_sText;
    request.buttons = QStringList{QStringLiteral("OK")};
    PresentMessageBox(request);
}

} // namespace

void MainWindow::PushButton_Start_When_Connecting()
{
    if (!Connecting)
        return;
    Log->writeLine("Stop connection asked");
    StopConnectionAsked = true;
}

void MainWindow::PushButtonConnect_ProxyTest()
{
    PushButton_Start();
}

void MainWindow::DisconnectBoard_ProxyTest()
{
    if (!Connected || Connecting)
        return;
    // Streaming: the button's own safe disconnection. Connected without a
    // stream: a press would start it, so the links go down directly.
    if (ControlText(MainControl::StartButton) == kCaptionDisconnect)
        PushButton_Start();
    else
        Deinit();
}

void MainWindow::PushButtonSetParameter_ProxyTest()
{
    PushButton_SetModuleParameters();
}

void MainWindow::PushButtonTakeFPN_ProxyTest()
{
    PushButton_TakeFPNRef();
}

void MainWindow::CheckBox_WindowingEnabled(int p_iCheckBoxStatus)
{
    g_bWindowingDisabled = p_iCheckBoxStatus == 0;
}

void MainWindow::PushButton_Start()
{
    const MainPressScope scope(this);
    const QString sBoardName = ControlText(MainControl::BoardList);

    // ---- Serial-port board: one press connects, initialises and streams.
    if (DigiBoardKind == BoardKind::Eskra && !Connected) {
        ProxyName = QStringLiteral("Z603");
        SetCurrentProxyIndex(kEskraProxyIndex);
        SetConnected(true);
        FrameRate = 255;
        emit CommandsBoardChanged(sBoardName);
        UpdateValuesOnDynamicFrequency(255);
        UpdateBootFile(sBoardName, HeaderConstants::BootFileName, &AutoStart, &AutoNUC);
        SetControlText(MainControl::StartButton, kCaptionDisconnect);
        SetControlIcon(MainControl::StartButton,
                       SharedIcon(ApplicationDirPath() + HeaderConstants::IconsFolder + HeaderConstants::IconStop));
        InitGUIWithProxy();
        if (!bInitDriverDone) {
            g_bWindowingDisabled = true;
            bool bWindowingDisabled = g_bWindowingDisabled;
            if (Init(&bWindowingDisabled)) {
                // The next press takes the disconnect branch and returns to "Connect".
                SetControlEnabled(MainControl::StartButton, true);
                return;
            }
            bInitDriverDone = true;
        }
        Getinterruption();
        Deinit();
        return;
    }

    // ---- Connected (or a press while connecting, which the connect loop takes).
    if (Connected || Connecting) {
        if (!Connected)
            return;
        Disable_2Tap();
        SetControlEnabled(MainControl::LoadConfigurationButton, true);
        SetControlEnabled(MainControl::SaveConfigurationButton, true);
        SetControlEnabled(MainControl::StartButton, false);
        SetControlCheckable(MainControl::StartButton, false);
        NoFrameSeconds = 0;
        if (ControlText(MainControl::StartButton) == kCaptionDisconnect) {
            Log->writeLine("Disconnect Button Pressed");
            if (DigiBoardKind == BoardKind::Dunstel) {
                // The start sequence still running below this press stops the stream and runs Deinit.
                StopAcquisition = true;
                return;
            }
            Deinit();
            return;
        }
        StartAcquisitionSequence();
        return;
    }

    // ---- Connect procedure.
    auto* pBox = new QMessageBox(this);
    pBox->setAttribute(Qt::WA_DeleteOnClose);
    pBox->setWindowTitle(QStringLiteral("Information"));
    pBox->setIcon(QMessageBox::Information);
    pBox->setText(QStringLiteral("Connecting in progress, please wait"));
    pBox->setStandardButtons(QMessageBox::NoButton);
    pBox->setModal(false);
    pBox->show();
    g_pConnectingBox = pBox;

    Log->writeLine("Updating last configuration opened");
    UpdateBootFile(sBoardName, HeaderConstants::BootFileName, &AutoStart, &AutoNUC);
    Log->writeLine("Connection to the DigiBoard");
    SetControlText(MainControl::StartButton, kCaptionStopConnection);

    Connecting = true;
    ConnectAttemptSteps steps;
    steps.attempt = [this](int p_iAttempt) { return ConnectToBoard(p_iAttempt); };
    steps.processEvents = []() { QCoreApplication::processEvents(); };
    steps.stopAsked = [this]() { return bool(StopConnectionAsked); };
    steps.retryStarting = [this](int p_iRetry) {
        Log->writeLine("Attempt to connect: " + QString::number(p_iRetry));
        SetControlText(MainControl::StateLabel, "Attempt to connect " + QString::number(p_iRetry) + "/"
                                 + QString::number(ConnectAttemptLimit));
    };
    steps.wait = [](int p_iMs) { WaitMs(p_iMs); };
    const int iResult = RunConnectAttempts(steps);
    if (iResult == ConnectResult::Interrupted)
        Log->writeLine("Stop connection !");

    // A message box without buttons ignores close(): hide it and delete it.
    if (g_pConnectingBox) {
        g_pConnectingBox->hide();
        g_pConnectingBox->deleteLater();
    }
    g_pConnectingBox = nullptr;
    Connecting = false;
    // A stop asked while no retry was left to take it must not end the next procedure.
    StopConnectionAsked = false;
    SetControlText(MainControl::StateLabel, QStringLiteral("Ready"));
    SetControlEnabled(MainControl::StartButton, true);

    switch (iResult) {
    case ConnectResult::LinkFailed:
        SetControlText(MainControl::StartButton, kCaptionConnect);
        if (DigiBoardKind != BoardKind::Corvane) {
            ShowCritical(this, QStringLiteral("Error 0x00000001 - Serial Communication failed. The connection can't "
                                              "be established correctly."));
            Log->writeLine("Error 0x00000001 - Serial Communication failed. The connection can't be established "
                           "correctly");
        }
        return;
    case ConnectResult::GigEOpenFailed:
        SetControlText(MainControl::StartButton, kCaptionConnect);
        ShowCritical(this, QStringLiteral("Error 0x00000004 - Kestivo can't open the Dunstel device."));
        Log->writeLine("Error 0x00000004 - Kestivo can't open the Dunstel device");
        return;
    case ConnectResult::GigENotChosen:
        SetControlText(MainControl::StartButton, kCaptionConnect);
        Log->writeLine("Error 0x00000008 - No Dunstel selected");
        return;
    case ConnectResult::Interrupted:
        SetControlText(MainControl::StartButton, kCaptionConnect);
        Log->writeLine("Connecting interrupted pressing button");
        return;
    case ConnectResult::CorvaneAbsent:
        SetControlText(MainControl::StartButton, kCaptionConnect);
        Log->writeLine("Corvane not connected to the computer");
        return;
    default:
        break;
    }

    // 0, and 0x10 (no confirmed Belmor proxy): the connection stands.
    Log->writeLine("Connection to the DigiBoard OK");
    SetControlEnabled(MainControl::DatasheetDigiBoardAction, true);
    SetControlText(MainControl::StartButton, kCaptionStart);
    SetControlIcon(MainControl::StartButton,
                   SharedIcon(ApplicationDirPath() + HeaderConstants::IconsFolder + HeaderConstants::IconPlay));
    emit CommandsBoardChanged(sBoardName);
    if (DigiBoardKind == BoardKind::Belmor) {
        FrameRate = 255;
        UpdateValuesOnDynamicFrequency(255);
    } else {
        UpdateValuesOnDynamicFrequency(FrameRate);
    }
    if (DigiBoardKind == BoardKind::BelmorPlus)
        Enable_2Tap();
    else
        Disable_2Tap();
    SetControlEnabled(MainControl::WindowingEnabledBox, false);
    InitGUIWithProxy();
    SetControlEnabled(MainControl::NUCMenu, false);
    SetControlText(MainControl::StateLabel, QStringLiteral("Connected !"));
    UpdateInformationWindowBeforeStart();
    SetConnected(true);
    WaitMs(50);
    if (AutoStart)
        PushButton_Start();
}
