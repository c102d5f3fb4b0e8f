// Acquisition start: the common display set-up, then each board kind's frame path (MainWindow::Getinterruption).
#include "board/acquisition_links.h"
#include "board/register_writer.h"
#include "board/acquisition_state.h"
#include "board/mainwindow_board_link.h"
#include "board/eskra_frame_stream.h"
#include "board/links/cameralink_link.h"
#include "board/eskra_threads.h"
#include "board/links/eskra_link.h"
#include "board/usb3_callbacks.h"

#include "app/globals.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/affichage.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/mainwindow_pipeline.h"
#include "platform/ebus/ebus.h"

#include <QCoreApplication>
#include <QTimer>


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
    if (kind != BoardKind::None && kind != BoardKind::Belmor)
        SetControlEnabled(MainControl::OpenBPOffsetWindowAction, true);
    if (kind != BoardKind::Belmor && kind != BoardKind::Eskra) {
        Log->writeLine("Configuring the BP Offset file and read the previous value saved");
        ReadBPOffsetForAcquisition();
    }
    if (StartOvertaken(kind)) {
        StopTimer(Timers.Miniature);
        StopTimer(Timers.Histogram);
        return;
    }

    switch (kind) {
    case BoardKind::Corvane: {
        CameraLinkFrameReady = false;
        g_bDisplayBusy = false;
        StopAcquisition = false;
        Log->writeLine("Start display");
        FrameCounter = 1;
        FramesReceived = 0;
        FramesDisplayed = 0;
        LinkFramePath = MakeWindowFramePath(this, CorvaneLink->framePathRules());
        CorvaneLink->start(*LinkFramePath);
        StartTimer(Timers.OneSecond, OneSecondTimerPeriodMs);
        if (!SoftwareNUC)
            StartTimer(Timers.GainOffset, GainOffsetTimerPeriodMs);
        return;
    }

    case BoardKind::Dunstel: {
        CameraLinkFrameReady = false;
        g_bDisplayBusy = false;
        StopAcquisition = false;
        Log->writeLine("Start Image display update timer");
        // No frame arrives before the link's pipeline runs.
        FrameCounter = 0;
        LinkFramePath = MakeWindowFramePath(this, DunstelLink->framePathRules());
        if (DunstelLink->start(*LinkFramePath))
            StreamStarted = true;
        StartTimer(Timers.OneSecond, OneSecondTimerPeriodMs);
        SetControlEnabled(MainControl::StartButton, true);
        Log->writeLine("Start display");
        while (!StopAcquisition && FrameCounter != -1 && Connected)
            WaitMs(20);
        return;
    }

    case BoardKind::Arvex:
    case BoardKind::Belmor:
    case BoardKind::BelmorPlus: {
        CameraLinkLink& link = CameraLinkBoard();
        if (!LinkFramePath)
            LinkFramePath = MakeWindowFramePath(this, link.framePathRules());
        link.start(*LinkFramePath);
        SetControlEnabled(MainControl::StartButton, true);
        if (kind == BoardKind::BelmorPlus) {
            SendFpgaRegisterForAcquisition(this, 6, 1);
            SetCurrent(CurrentProxyIndex, ProxyParameterId::ImageOffset,
                       uint32_t(ControlValue(MainControl::ImageOffsetSpinBox) / 2));
            SetCurrent(CurrentProxyIndex, ProxyParameterId::ImageGain,
                       uint32_t(ControlValue(MainControl::ImageGainSpinBox)));
            StartTimer(Timers.GainOffset, GainOffsetTimerPeriodMs);
        } else if (kind == BoardKind::Arvex) {
            link.sendText("#A002#R052#D00000");
            StartTimer(Timers.GainOffset, GainOffsetTimerPeriodMs);
        }
        Log->writeLine("Start Image display update timer");
        StartTimer(Timers.OneSecond, OneSecondTimerPeriodMs);
        if (!g_bWindowingDisabled) {
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
                WriteRegister(this, BoardKind::Arvex, id, uint32_t(value), RegisterErrorPolicy::Silent);
                WaitMs(100);
            }
        }
        Log->writeLine("Start display");
        WaitMs(100);
        // A disconnect press handled in the waits above has run Deinit already:
        // clearing the stop flag now would stream from a deleted channel.
        if (!Connected)
            return;
        FrameCounter = 0;
        g_bDisplayBusy = false;
        CameraLinkFrameReady = false;
        StopAcquisition = false;
        while (!StopAcquisition && Connected) {
            WaitMs(20);
            SaveAllFrames_Belmor();
            if (CameraLinkAcquisitionFailed)
                break;
            if (FrameCounter == -1)
                return;
        }
        if (!CameraLinkAcquisitionFailed)
            return;
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
    }

    case BoardKind::Eskra: {
        CameraLinkFrameReady = false;
        g_bDisplayBusy = false;
        SetControlEnabled(MainControl::StartButton, true);
        StartTimer(Timers.OneSecond, OneSecondTimerPeriodMs);
        // Counted from 0, so the watchdog sees the first frame of the first second.
        FrameCounter = 0;
        StopAcquisition = false;
        LinkFramePath = MakeWindowFramePath(this, EskraBoardLink->framePathRules());
        EskraBoardLink->start(*LinkFramePath);
        auto& eskra = static_cast<EskraLink&>(*EskraBoardLink);
        while (!StopAcquisition) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            // A stop handled in the events (button, watchdog, Deinit) has
            // closed the port and freed the buffers: no further cycle.
            if (StopAcquisition)
                break;
            eskra.pump([this] { PushButton_SetModuleParameters(); });
        }
        return;
    }

    default:
        return;
    }
}

void MainWindow::ProcessImageEskra()
{
    if (!EskraBuffers[0] || !EskraBuffers[1] || !g_pRawImage16b)
        return;
    ::ProcessImageEskra(EskraState.Receiver, EskraBuffers[0], EskraBuffers[1], g_pRawImage16b);
}
