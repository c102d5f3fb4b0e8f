// The main window's acquisition life cycle: connection, set-up, start sequences, frame paths and tear-down.
#include "mainwindow/MainWindow.h"

#include "app/app_paths.h"
#include "app/digiboard_kind.h"
#include "app/globals.h"
#include "app/kv_log.h"
#include "app/thread_call.h"
#include "app/waits.h"
#include "app/widget_style.h"
#include "board/acquisition_links.h"
#include "board/acquisition_state.h"
#include "board/board_message_box.h"
#include "board/cameralink_serial.h"
#include "board/connect_retry.h"
#include "board/eskra_frame_stream.h"
#include "board/eskra_threads.h"
#include "board/links/board_traits.h"
#include "board/links/cameralink_link.h"
#include "board/links/eskra_link.h"
#include "board/links/gige_link.h"
#include "board/links/usb3_link.h"
#include "board/mainwindow_board_link.h"
#include "board/multicam_channel.h"
#include "board/register_writer.h"
#include "board/usb3_callbacks.h"
#include "mainwindow/MW_AdvancedUser.h"
#include "mainwindow/MW_ProxyBelmor.h"
#include "app/message_boxes.h"
#include "params/proxy_lookup.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/affichage.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/image_miniature.h"
#include "pipeline/mainwindow_pipeline.h"
#include "platform/ebus/ebus.h"
#include "platform/serialports/serial_ports.h"
#include "ui_MW_ProxyBelmor.h"
#include "usb3lib/Quenlin.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QSerialPort>
#include <QThread>
#include <QTimer>
#include <iostream>
#include <opencv2/highgui.hpp>
#include <vector>

// --------------------------------------------------------------------------------
// The window's buffer slots and its press depth.

namespace {

AcquisitionBufferSlots SlotsOf(MainWindow* p_pWindow)
{
    return {p_pWindow->EskraBuffers, &p_pWindow->EskraPixelBuffer, p_pWindow->BadPixelIndexList};
}

} // namespace

MainPressScope::MainPressScope(MainWindow* p_pWindow) : m_pWindow(p_pWindow)
{
    ++m_pWindow->MainPressDepth;
}

MainPressScope::~MainPressScope()
{
    if (--m_pWindow->MainPressDepth == 0)
        m_pWindow->ReleaseTeardownHold();
}

// -----------------------------------------------------------------------------
// One connection attempt: open the selected board's command link and settle which proxy the operator works with.

namespace {

// A freshly shown selector needs a moment before the window system makes it
// active; only after that does losing the activation end the wait.
constexpr int kSelectorActivationGraceMs = 1000;

} // namespace

void MainWindow::ReleaseGigEConnection()
{
    DunstelLink->releaseConnection();
}

void MainWindow::CreateConnectionWindows()
{
    ProxySelector = new MW_ProxyBelmor;
    ProxySelector->SetLog(Log);
    BelmorProxySource = ProxySelector;
}

int MainWindow::ConnectToBoard(int attempt)
{
    QCoreApplication::processEvents();
    const BoardKind iKind = DigiBoardKind;

    auto openCameraLinkPort = [this]() -> bool {
        if (CameraLinkSerialOpen)
            return true;
        CameraLinkSerialOpen = true;
        Log->writeLine("Init CameraLink Serial Port ...");
        CameraLinkLink& link = CameraLinkBoard();
        if (link.connect() != ConnectResult::Connected) {
            CameraLinkSerialOpen = false;
            ShowBoardCriticalBox(this, QStringLiteral("Critical"),
                                 "ActivateTerminal() fail: Serial Port Initialization Error: "
                                     + QString::fromLocal8Bit(link.lastMessage()));
            Log->writeLine("... FAILED");
            return false;
        }
        Log->writeLine("... OK");
        return true;
    };

    const BoardTraits& traits = BoardTraitsOf(iKind);
    // No board, or Eskra (which connects from its own path): no link to open.
    if (traits.ConnectsOnPress) {
        if (traits.OperatorChoosesProxy)
            Log->writeLine("Mode Belmor selected");
        if (traits.CameraLinkPort) {
            if (!openCameraLinkPort())
                return ConnectResult::LinkFailed;
        } else {
            BoardLink& link = *SelectedBoardLink();
            if (const int iResult = link.connect(); iResult != ConnectResult::Connected)
                return link.connectFailure(iResult, attempt == ConnectAttemptLimit);
        }
        if (traits.OperatorChoosesProxy) {
            MW_ProxyBelmor* pSelector = ProxySelector;
            pSelector->show();
            pSelector->raise();
            pSelector->activateWindow();
            pSelector->StartGrabKeyboard();
            QElapsedTimer shown;
            shown.start();
            bool bWasActive = false;
            int iRejected = pSelector->RejectedCodes;
            while (!pSelector->Closed) {
                if (pSelector->RejectedCodes != iRejected) {
                    // A wrong code keeps the selector open: its box took the
                    // activation for a while, and the wait goes on as at the show.
                    iRejected = pSelector->RejectedCodes;
                    bWasActive = false;
                    shown.restart();
                }
                const bool bActive = pSelector->isActiveWindow();
                bWasActive = bWasActive || bActive;
                if (!bActive && (bWasActive || shown.elapsed() > kSelectorActivationGraceMs))
                    break;
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            }
            pSelector->StopGrabKeyboard();
            if (!pSelector->Accepted) {
                pSelector->Accepted = false;
                pSelector->Closed = false;
                pSelector->hide();
                return ConnectResult::BelmorNotConfirmed;
            }
            SetCurrentProxyIndex(pSelector->ReadProxyNumber());
            pSelector->Accepted = false;
            pSelector->Closed = false;
            applyProxyModelDefaults();
            Log->writeLine("Proxy " + QString::number(CurrentProxyIndex) + " - " + ProxyName + " wanted");
            SetConnected(true);
        } else {
            // The GigE's UART is the tool windows' port too.
            const bool bGigEPort = traits.PortToToolWindows;
            if (bGigEPort) {
                Log->writeLine("Update the other window with the correct Serial Port used by the GigE");
                HandGigEToToolWindows();
                HandGigEToAdvancedCommands();
            }
            SetConnected(true);
            if (bGigEPort)
                qDebug() << "Reading config Into DB ...";
            ReadConfigIntoDigiBoard();
            if (bGigEPort)
                qDebug() << "Reading OK !";
        }
    }

    qDebug() << "Config MW_Setup";
    qDebug() << "Config I2C";
    qDebug() << "Config DONE !";
    return ConnectResult::Connected;
}

// -----------------------------------------------------------------------------
// Acquisition set-up per board kind: frame geometry, frame buffers and working images (MainWindow::Init and helpers).

namespace {

void Box(MainWindow* p_pWindow, const QString& p_sTitle, const QString& p_sText)
{
    PresentMessageBox({p_pWindow, QMessageBox::Critical, p_sTitle, p_sText, {QStringLiteral("OK")}});
}

} // namespace

bool MainWindow::Init(bool* p_pWindowingDisabled)
{
    GetPointerToInstance();
    BoardLink* const link = SelectedBoardLink();
    if (!link)
        return false;
    const int proxy = CurrentProxyIndex;
    InitResult geometry;
    auto prepare = [&](PrepareRequest& p_Request) {
        p_Request.ProxyIndex = proxy;
        const PrepareResult prepared = link->prepare(p_Request);
        if (prepared.Result == PrepareResult::Ready)
            return true;
        // No channel exists any more: the next Start must set it up again.
        bInitDriverDone = false;
        if (link->prepareRefusedByBoard())
            ShowBoardCriticalBox(nullptr, prepared.Title, prepared.Text);
        else
            Box(this, prepared.Title, prepared.Text);
        for (const QString& line : link->prepareFailureLog())
            Log->writeLine(line);
        if (link->traits().DeinitOnPrepareFailure)
            Deinit();
        return false;
    };
    for (const InitStep& step : link->traits().InitSteps) {
        switch (step.Op) {
        case InitOp::Log:
            Log->writeLine(QString::fromLatin1(step.Text));
            break;
        case InitOp::OpenCommandPort:
            if (CameraLinkSerialOpen)
                break;
            CameraLinkSerialOpen = true;
            Log->writeLine("Init CameraLink Serial Port ...");
            if (link->connect() != ConnectResult::Connected) {
                CameraLinkSerialOpen = false;
                Box(this, QStringLiteral("Critical"),
                    "ActivateTerminal() fail: Serial Port Initialization Error: " + QString::fromLatin1(link->lastMessage()));
                Log->writeLine("... FAILED");
                return true;
            }
            Log->writeLine("... OK");
            break;
        case InitOp::CameraFile: {
            Log->writeLine(QString::fromLatin1(step.Text));
            link->setCameraFile(ProxyName, p_pWindowingDisabled ? *p_pWindowingDisabled : true, TwoTap);
            // The channel runs once set up: its first frames find the path, and a busy display.
            std::unique_ptr<FrameSink> path = MakeWindowFramePath(this, link->framePathRules());
            link->setFrameSink(path.get());
            LinkFramePath = std::move(path);
            break;
        }
        case InitOp::Prepare: {
            PrepareRequest request;
            if (!prepare(request))
                return true;
            break;
        }
        case InitOp::PrepareChannel: {
            PrepareRequest request;
            request.TransportOpened = [this] {
                bInitDriverDone = true;
                g_bAcquisitionEnded = false;
                g_bDisplayBusy = true;
                CameraLinkFrameReady = false;
            };
            if (!prepare(request))
                return true;
            break;
        }
        case InitOp::AcquisitionNotEnded:
            g_bAcquisitionEnded = false;
            break;
        case InitOp::OrientationCells:
            SetCurrent(proxy, ProxyParameterId::UpCol, 1);
            SetCurrent(proxy, ProxyParameterId::UpRow, 1);
            break;
        case InitOp::DriverDone:
            bInitDriverDone = true;
            break;
        case InitOp::StreamAllowed:
            StopAcquisition = false;
            break;
        case InitOp::Geometry:
            geometry = link->init();
            FrameWidth = geometry.Width;
            FrameHeight = geometry.Height;
            FramePitch = geometry.Pitch;
            break;
        case InitOp::OperatorProxyName:
            SetAcquisitionProxyName(ProxyName.toUtf8().constData());
            break;
        case InitOp::ModelProxyName:
            SetAcquisitionProxyName(ProxyModelName(proxy));
            break;
        case InitOp::LogProxyName:
            Log->writeLine(QString::fromLatin1(step.Text) + QString::fromUtf8(g_szProxyName));
            break;
        case InitOp::LogSizes:
            Log->writeLine("AcqSizeX: " + QString::number(FrameWidth.load()));
            Log->writeLine("AcqSizeY: " + QString::number(FrameHeight.load()));
            Log->writeLine("AcqPitch: " + QString::number(FramePitch.load()));
            break;
        case InitOp::BadSizeEnds:
            if (geometry.InBounds)
                break;
            Log->writeLine("Problem when initialization (Bad Size) --> Deinit");
            Deinit();
            return true;
        case InitOp::Pointers:
            InitPointers();
            break;
        case InitOp::Matrices:
            InitMatrices();
            break;
        case InitOp::Overlay:
            if (ImageView)
                ImageView->initOverlay(FramePitch, FrameHeight);
            break;
        case InitOp::ViewFrameSize:
            if (ImageView)
                ImageView->setFrameSize(FrameWidth, FrameHeight);
            break;
        case InitOp::FrameCounter:
            FrameCounter = step.Value;
            break;
        case InitOp::WaitMs:
            WaitMs(step.Value);
            break;
        }
    }
    return false;
}

void MainWindow::InitPointers()
{
    Log->writeLine("Data pointer initialization ...");
    AllocateAcquisitionBuffers(SlotsOf(this),
                               size_t(std::max(FramePitch.load(), 0)), size_t(std::max(FrameHeight.load(), 0)));
    Log->writeLine("... OK");
}

void MainWindow::InitMatrices()
{
    Log->writeLine("Matrices initialization ...");
    // The pipeline owns the images' roles; it makes them for the current
    // geometry (create keeps an image that already has the size and type) and
    // fills them, the two-point gain plane with 1.0 and the others with 0.
    if (FrameHeight > 0 && FramePitch >= 2)
        InitPipelineImages();
    Log->writeLine("... OK");
}

// -----------------------------------------------------------------------------
// Acquisition start: the common display set-up, then each board kind's frame path (MainWindow::Getinterruption).

namespace {

void StartTimer(QTimer* p_pTimer, int p_iPeriodMs)
{
    if (p_pTimer)
        p_pTimer->start(p_iPeriodMs);
}

void StopTimer(QTimer* p_pTimer)
{
    if (p_pTimer)
        p_pTimer->stop();
}

} // namespace

bool MainWindow::StartOvertaken(BoardKind p_Kind) const
{
    if (!TeardownHold && DigiBoardKind == p_Kind)
        return false;
    Log->writeLine("Start abandoned: the board was torn down meanwhile");
    return true;
}

void MainWindow::Getinterruption()
{
    // The board this start is for: a board change or a close handled in one
    // of the waits below tears it down, and the start must then go no further.
    const BoardKind kind = DigiBoardKind;
    StopAcquisition = true;
    // The statistics slot joins its timer at the first start.
    if (Timers.OneSecond)
        connect(Timers.OneSecond, &QTimer::timeout, this, &MainWindow::TimeOut1s, Qt::UniqueConnection);
    SetVideoSizeForAcquisition();
    if (ImageView) {
        const QSize view = ControlSize(MainControl::ViewArea);
        ImageView->startAcquisition(view.width(), view.height(), FrameWidth);
        if (FrameWidth < 1024)
            ImageView->enableCosmeticZoom();
    }
    UpdateInformationWindowBeforeStart();
    if (StartOvertaken(kind))
        return;
    Log->writeLine("Start Display FPS and Miniature Update Timers");
    StartTimer(Timers.Miniature, MiniatureTimerPeriodMs);
    StartTimer(Timers.Histogram, HistogramTimerPeriodMs);

    SetControlEnabled(MainControl::SaveHistogramCSVButton, true);
    SetControlEnabled(MainControl::SaveHistogramBMPButton, true);
    SetControlEnabled(MainControl::SelectBPFileButton, true);
    SetControlEnabled(MainControl::BPCorrectionModeBox, true);
    SetControlEnabled(MainControl::CalibrationScriptAction, true);
    SetControlEnabled(MainControl::NUCMenu, true);
    SetControlEnabled(MainControl::DetectBPAction, true);
    SetControlEnabled(MainControl::SaveStreamBox, false);
    const BoardTraits& traits = BoardTraitsOf(kind);
    if (traits.BPOffsetWindow)
        SetControlEnabled(MainControl::OpenBPOffsetWindowAction, true);
    if (traits.ReadsBPOffset) {
        Log->writeLine("Configuring the BP Offset file and read the previous value saved");
        ReadBPOffsetForAcquisition();
    }
    if (StartOvertaken(kind)) {
        StopTimer(Timers.Miniature);
        StopTimer(Timers.Histogram);
        return;
    }

    BoardLink* const link = SelectedBoardLink();
    if (!link)
        return;
    for (const StartStep& step : traits.StartSteps) {
        switch (step.Op) {
        case StartOp::Log:
            Log->writeLine(QString::fromLatin1(step.Text));
            break;
        case StartOp::DisplayFree:
            CameraLinkFrameReady = false;
            g_bDisplayBusy = false;
            break;
        case StartOp::StreamAllowed:
            StopAcquisition = false;
            break;
        case StartOp::FrameCounter:
            FrameCounter = step.Value;
            break;
        case StartOp::ClearFrameCounts:
            FramesReceived = 0;
            FramesDisplayed = 0;
            break;
        case StartOp::NewFramePath:
            LinkFramePath = MakeWindowFramePath(this, link->framePathRules());
            break;
        case StartOp::FramePathIfNone:
            if (!LinkFramePath)
                LinkFramePath = MakeWindowFramePath(this, link->framePathRules());
            break;
        case StartOp::Start:
            link->start(*LinkFramePath);
            break;
        case StartOp::StartMarksStream:
            if (link->start(*LinkFramePath))
                StreamStarted = true;
            break;
        case StartOp::OneSecondTimer:
            StartTimer(Timers.OneSecond, OneSecondTimerPeriodMs);
            break;
        case StartOp::GainOffsetTimer:
            StartTimer(Timers.GainOffset, GainOffsetTimerPeriodMs);
            break;
        case StartOp::GainOffsetUnlessSoftwareNuc:
            if (!SoftwareNUC)
                StartTimer(Timers.GainOffset, GainOffsetTimerPeriodMs);
            break;
        case StartOp::StartButton:
            SetControlEnabled(MainControl::StartButton, true);
            break;
        case StartOp::FpgaNucOn:
            SendFpgaRegisterForAcquisition(this, 6, 1);
            SetCurrent(CurrentProxyIndex, ProxyParameterId::ImageOffset,
                       uint32_t(ControlValue(MainControl::ImageOffsetSpinBox) / 2));
            SetCurrent(CurrentProxyIndex, ProxyParameterId::ImageGain,
                       uint32_t(ControlValue(MainControl::ImageGainSpinBox)));
            break;
        case StartOp::SendText:
            link->sendText(step.Text);
            break;
        case StartOp::WindowingRegisters: {
            if (g_bWindowingDisabled)
                break;
            const unsigned w = unsigned(FrameWidth.load());
            unsigned d = GetCurrent(CurrentProxyIndex, ProxyParameterId::WindowingDivisor);
            if (d == 0)
                d = 1;
            const int b = int(GetCurrent(CurrentProxyIndex, ProxyParameterId::BlindColumns));
            const int t = int(w / d) - ((b >> 4) + (b & 15)) - 13;
            SetControlRange(MainControl::TINTSpinBox, 0, t);
            SetControlRange(MainControl::TINTSlider, 0, int(w / d));
            SetControlValue(MainControl::TINTSpinBox, t);
            const std::pair<int, int> writes[] = {{0, ControlValue(MainControl::TINTSpinBox)},
                                                  {1, ControlValue(MainControl::DACASpinBox)},
                                                  {2, ControlValue(MainControl::DACBSpinBox)},
                                                  {11, ControlValue(MainControl::DACCSpinBox)},
                                                  {12, ControlValue(MainControl::DACDSpinBox)}};
            for (const auto& [id, value] : writes) {
                if (!Connected)
                    return;
                // In the windowing encoding, the same on every Camera Link board.
                link->writeWindowCorner(BoardRegisterId(id), uint32_t(value));
                WaitMs(100);
            }
            break;
        }
        case StartOp::WaitMs:
            WaitMs(step.Value);
            break;
        case StartOp::EndUnlessConnected:
            if (!Connected)
                return;
            break;
        case StartOp::WaitWhileStreaming:
            while (!StopAcquisition && FrameCounter != -1 && Connected)
                WaitMs(20);
            break;
        case StartOp::SaveFramesUntilStopped:
            while (!StopAcquisition && Connected) {
                WaitMs(20);
                SaveAllFrames_Belmor();
                if (CameraLinkAcquisitionFailed)
                    break;
                if (FrameCounter == -1)
                    return;
            }
            if (!CameraLinkAcquisitionFailed)
                break;
            StopAcquisition = true;
            SetControlEnabled(MainControl::StartButton, false);
            SetControlEnabled(MainControl::SetWindowButton, false);
            SetControlEnabled(MainControl::SetParametersButton, false);
            Log->writeLine("Camera Link connexion failed. Is the cable still connected to the computer ?");
            PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("CameraLink Error"),
                               QStringLiteral("Please check if the DigiBoard is well connected to the computer."),
                               {QStringLiteral("OK")}});
            Deinit();
            return;
        case StartOp::PumpUntilStopped:
            while (!StopAcquisition) {
                QCoreApplication::processEvents(QEventLoop::AllEvents);
                // A stop handled in the events (button, watchdog, Deinit) has
                // closed the port and freed the buffers: no further cycle.
                if (StopAcquisition)
                    break;
                link->pump([this] { PushButton_SetModuleParameters(); });
            }
            break;
        }
    }
}

void MainWindow::ProcessImageEskra()
{
    if (!EskraBuffers[0] || !EskraBuffers[1] || !g_pRawImage16b)
        return;
    ::ProcessImageEskra(EskraState.Receiver, EskraBuffers[0], EskraBuffers[1], g_pRawImage16b);
}

// -----------------------------------------------------------------------------
// The "Start" branch of the main button: each board kind's start sequence around Init and Getinterruption.

namespace {

// How long the unmount wait of a Camera Link stop without frames may take.
constexpr int kUnmountWaitLimitMs = 10000;

void CriticalBox(MainWindow* p_pWindow, const QString& p_sTitle, const QString& p_sText)
{
    PresentMessageBox({p_pWindow, QMessageBox::Critical, p_sTitle, p_sText, {QStringLiteral("OK")}});
}

} // namespace

void MainWindow::StartAcquisitionSequence()
{
    const MainPressScope scope(this);
    const BoardKind kind = DigiBoardKind;
    Log->writeLine("Acquisition in progress");
    SetControlEnabled(MainControl::SoftwareBPCorrectionAction, false);
    SetControlEnabled(MainControl::DatasheetProxyAction, true);
    SetControlEnabled(MainControl::OpenProxyDatasheetButton, true);
    SetControlText(MainControl::ProxyLabel, ProxyName);
    SetControlIcon(MainControl::StartButton, SharedIcon(ApplicationDirPath() + "/Images/Icons/" + "Icon_Stop.png"));
    auto enableView = [this]() {
        if (ImageView)
            ImageView->setEnabled(true);
    };
    const int proxy = CurrentProxyIndex;
    BoardLink* const link = SelectedBoardLink();
    if (!link)
        return;
    const BoardTraits& traits = link->traits();
    for (const PressStep& step : traits.PressSteps) {
        switch (step.Op) {
        case PressOp::Log:
            Log->writeLine(QString::fromLatin1(step.Text));
            break;
        case PressOp::Console:
            std::cout << step.Text << std::endl;
            break;
        case PressOp::ConsoleDriverDone:
            std::cout << "bInitDriverDone " << (bInitDriverDone ? 1 : 0) << std::endl;
            break;
        case PressOp::PortToToolWindows:
            HandGigEToToolWindows();
            break;
        case PressOp::PrepareStream: {
            PrepareRequest request;
            request.ProxyIndex = proxy;
            // The stream browser of the advanced commands needs the stream just opened.
            request.TransportOpened = [this] { HandGigEToAdvancedCommands(); };
            const PrepareResult prepared = link->prepare(request);
            if (prepared.Result == PrepareResult::Failed) {
                CriticalBox(this, prepared.Title, prepared.Text);
                Log->writeLine(prepared.Text);
                SetControlEnabled(MainControl::StartButton, true);
                return;
            }
            FrameWidth = prepared.Width;
            FrameHeight = prepared.Height;
            if (prepared.Result == PrepareResult::SizeRefused) {
                // The device would stay connected without a stream: the whole
                // connection is torn down and the operator told why.
                Deinit();
                CriticalBox(this, QStringLiteral("Critical"),
                            "The " + QString::fromLatin1(traits.Name) + " did not take the image size "
                                + QString::number(prepared.RequestedWidth) + "x" + QString::number(prepared.RequestedHeight)
                                + ". The DigiBoard has been disconnected.");
                return;
            }
            break;
        }
        case PressOp::InitDriver: {
            const InitDriverTraits& init = traits.PressInit;
            if (bInitDriverDone) {
                if (init.AlreadyLog)
                    Log->writeLine(QString::fromLatin1(init.AlreadyLog));
                if (init.AlreadyConsole)
                    std::cout << init.AlreadyConsole << std::endl;
                break;
            }
            if (init.Before)
                Log->writeLine(QString::fromLatin1(init.Before));
            if (init.ForcesWindowingOff)
                g_bWindowingDisabled = true;
            bool bWindowingDisabled = g_bWindowingDisabled;
            if (Init(&bWindowingDisabled)) {
                // The connection stays open; the operator may press "Start" again.
                if (init.FailureReenablesStart)
                    SetControlEnabled(MainControl::StartButton, true);
                return;
            }
            if (init.ChecksOvertaken && StartOvertaken(kind))
                return;
            if (init.MarksDone)
                bInitDriverDone = true;
            if (init.After)
                Log->writeLine(QString::fromLatin1(init.After));
            break;
        }
        case PressOp::WaitMs:
            WaitMs(step.Value);
            break;
        case PressOp::EndIfOvertaken:
            if (StartOvertaken(kind))
                return;
            break;
        case PressOp::TwoTapLocked:
            SetControlEnabled(MainControl::TwoTapBox, false);
            break;
        case PressOp::SetParametersOn:
            SetControlEnabled(MainControl::SetParametersButton, true);
            break;
        case PressOp::AgcCellOff:
            SetCurrent(proxy, ProxyParameterId::AGC, 0);
            break;
        case PressOp::NucOffered:
            SetControlEnabled(MainControl::ApplyNUCBox, true);
            break;
        case PressOp::NucApplied:
            SetControlChecked(MainControl::ApplyNUCBox, true);
            break;
        case PressOp::SoftwareBPOffered:
            SetControlEnabled(MainControl::SoftwareBPCorrectionAction, true);
            break;
        case PressOp::AgcOffered:
            SetControlEnabled(MainControl::AGCBox, true);
            SetControlChecked(MainControl::AGCBox, false);
            break;
        case PressOp::AgcWithdrawn:
            SetControlEnabled(MainControl::AGCBox, false);
            SetControlChecked(MainControl::AGCBox, false);
            break;
        case PressOp::DriverDone:
            bInitDriverDone = true;
            break;
        case PressOp::DisplayWaits:
            StopAcquisition = true;
            g_bDisplayBusy = true;
            CameraLinkFrameReady = false;
            break;
        case PressOp::StreamAllowed:
            StopAcquisition = false;
            break;
        case PressOp::FrameCounter:
            FrameCounter = step.Value;
            break;
        case PressOp::NoFrameSecondsReset:
            NoFrameSeconds = 0;
            break;
        case PressOp::StopCaption:
            SetControlText(MainControl::StartButton, QStringLiteral("Safe\ndisconnection"));
            break;
        case PressOp::SetupDestination:
            link->setupDestination();
            break;
        case PressOp::Stream:
            Getinterruption();
            break;
        case PressOp::Deinit:
            Deinit();
            break;
        case PressOp::StartButtonOn:
            SetControlEnabled(MainControl::StartButton, true);
            break;
        case PressOp::ViewOn:
            enableView();
            break;
        case PressOp::UnmountAfterSilence: {
            if (FrameCounter > 0 || NoFrameSeconds <= 3) {
                Deinit();
                SetControlEnabled(MainControl::StartButton, true);
                enableView();
                break;
            }
            SetControlEnabled(MainControl::StartButton, false);
            SetControlText(MainControl::StateLabel, QStringLiteral("Unmounting, wait..."));
            QElapsedTimer waited;
            waited.start();
            while (!g_bAcquisitionEnded && waited.elapsed() < kUnmountWaitLimitMs) {
                SetControlText(MainControl::StateLabel, QStringLiteral("Unmounting Driver, wait..."));
                WaitMs(100);
            }
            SetControlText(MainControl::StateLabel, QStringLiteral("Ready"));
            Deinit();
            break;
        }
        }
    }
}

// -----------------------------------------------------------------------------
// Acquisition stop: the safe sensor registers, the ordered tear-down of every board link and the window's return to "Ready".

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
    if (!BoardTraitsOf(kind).LeavesSensorSafe)
        return 0;
    // Non-zero when any write failed (the link's rule: every write made, the first failure kept).
    BoardLink* pLink = WindowBoardLink(this, kind);
    return pLink != nullptr ? pLink->writeSafeRegisters(CurrentProxyIndex) : 0;
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
    BoardLink* const link = SelectedBoardLink();
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
    const bool bUncheckImageBoxes = !BoardTraitsOf(kind).KeepsImageBoxes;
    const Uncheck unchecks[] = {
        {MainControl::SaveRAWBox, GetCurrent(proxy, Id::SaveRAW) != 0, -1, Id::SaveRAWEnabled,
         "Unchecking Save Stream RAW Box ..."},
        {MainControl::SaveJPGBox, GetCurrent(proxy, Id::SaveJPG) != 0, -1, Id::SaveJPGEnabled,
         "Unchecking Save Stream JPEG Box ..."},
        {MainControl::SaveCSVBox, GetCurrent(proxy, Id::SaveCSV) != 0, -1, Id::SaveCSVEnabled,
         "Unchecking Save Stream CSV Box ..."},
        {MainControl::SaveBMPBox, GetCurrent(proxy, Id::SaveBMP) != 0, -1, Id::SaveBMPEnabled,
         "Unchecking Save Stream BMP Box ..."},
        {MainControl::HDRBox, ControlChecked(MainControl::HDRBox) && bUncheckImageBoxes, Id::HDR, Id::HDREnabled,
         "Unchecking HDR Box ..."},
        {MainControl::InvertBWBox, GetCurrent(proxy, Id::InvertBW) != 0 && bUncheckImageBoxes, Id::InvertBW, Id::InvertBWEnabled,
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
    if (link) {
        const BoardTraits& traits = link->traits();
        // A windowing restart keeps the Camera Link serial port and the driver's set-up.
        const bool bKeepPort = traits.KeepsPortForWindowing && g_bWindowingInProgress;
        if (traits.KeepsPortForWindowing) {
            SetControlEnabled(MainControl::TwoTapBox, true);
            Log->writeLine("Closing Camera Link Serial Port...");
            SetCurrent(proxy, ProxyParameterId::TwoTapEnabled, 1);
            if (!bKeepPort) {
                FullFrameWindow = true;
                CameraLinkSerialOpen = false;
            } else {
                bInitDriverDone = true;
                Log->writeLine("WINDOWING ASKED");
            }
        }
        // The browsers read the device's and the stream's features until they close.
        if (traits.PortToToolWindows)
            CloseAdvancedCommandsBrowsers();
        link->tearDown(bKeepPort);
        // No frame reaches the path once the link has stopped.
        LinkFramePath.reset();
        if (traits.KeepsPortForWindowing) {
            // The next Start sets a channel up again, windowing restart or not.
            if (!bKeepPort)
                bInitDriverDone = false;
            Log->writeLine("... OK");
        }
        if (traits.PortToToolWindows) {
            Log->writeLine("Reset Dunstel Serial Port to all others windows");
            ResetGigEInAdvancedCommands();
            ResetGigEInToolWindows();
        }
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
    {
        const AcquisitionBufferSlots bufferSlots = SlotsOf(this);
        FreeAcquisitionBuffers(&bufferSlots);
    }
    ReleasePipelineImages();
    ReturnFreedFrameMemory();
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

// -----------------------------------------------------------------------------
// The Camera Link acquisition path's call into the interface board.

void SendFpgaRegisterForAcquisition(MainWindow* p_pWindow, int p_iAddress, int p_iValue)
{
    p_pWindow->Send_Command_To_FPGA(p_iAddress, uchar(p_iValue));
}
