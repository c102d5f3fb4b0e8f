// The main window's glue to the board command links: Camera Link port selection, FPGA registers, gain and offset refresh.
#include "mainwindow/MainWindow.h"

#include "app/kv_log.h"
#include "board/board_message_box.h"
#include "board/cameralink_serial.h"
#include "board/fpga_command.h"
#include "board/gain_offset_refresh.h"
#include "board/mainwindow_board_link.h"
#include "board/links/cameralink_link.h"
#include "params/proxy_parameter_table.h"
#include "board/acquisition_state.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/frame_path.h"
#include "pipeline/mainwindow_pipeline.h"

#include <QMetaObject>
#include <QTimer>

namespace {

// A tick whose board writes wait lets the event loop run, and with it the
// next timeout: that nested tick would send the same values again.
bool g_bGainOffsetTickRunning = false;

} // namespace

int MainWindow::ActivateTerminal_Belmor(char* p_szMessage)
{
    return SelectCameraLinkPort(Log, p_szMessage, CameraLinkMessageBufferSize);
}

int MainWindow::ActivateTerminal_Arvex(char* p_szMessage)
{
    return SelectCameraLinkPort(Log, p_szMessage, CameraLinkMessageBufferSize);
}

CameraLinkLink& MainWindow::CameraLinkBoard()
{
    const BoardKind requested = DigiBoardKind;
    const bool bCameraLink =
        requested == BoardKind::Arvex || requested == BoardKind::Belmor || requested == BoardKind::BelmorPlus;
    const BoardKind kind = bCameraLink ? requested : BoardKind::Arvex;
    // Another kind chosen meanwhile keeps the link that may still hold a channel.
    if (!CameraLink || (bCameraLink && CameraLink->kind() != kind)) {
        CameraLink = MakeBoardLink(kind);
        // The grabber thread's end of the stream: the acquisition loop sees it.
        CameraLinkLinkOf(*CameraLink).setStreamEnded([this](bool p_bAcquisitionFailure) {
            StopAcquisition = true;
            if (!p_bAcquisitionFailure)
                return;
            CameraLinkAcquisitionFailed = true;
            FrameCounter = -1;
        });
    }
    CameraLink->attach(LinkContext{Log});
    return CameraLinkLinkOf(*CameraLink);
}

void MainWindow::Send_Command_To_FPGA(int Adresse, uchar Value)
{
    const QString sFailure = SendFpgaRegister(DigiBoardKind, GigESerialPort, Adresse, Value);
    if (sFailure.isEmpty())
        return;
    ShowBoardCriticalBox(this, QStringLiteral("Critical"), sFailure);
    WriteLogLine(Log, sFailure);
}

namespace {

GainOffsetContext ContextOf(MainWindow* p_pWindow)
{
    GainOffsetContext context;
    context.Kind = p_pWindow->DigiBoardKind;
    context.ProxyIndex = p_pWindow->CurrentProxyIndex;
    context.SoftwareNUC = p_pWindow->SoftwareNUC;
    context.AGCOn = p_pWindow->ControlChecked(MainControl::AGCBox);
    context.TimerRunning = p_pWindow->Timers.GainOffset != nullptr && p_pWindow->Timers.GainOffset->isActive();
    return context;
}

} // namespace

void MainWindow::SliderGainModified()
{
    const int iProxy = CurrentProxyIndex;
    SetCurrent(iProxy, GainOffsetCell::GainSlider, static_cast<uint32_t>(ControlValue(MainControl::ImageGainSlider)));
    SetControlValue(MainControl::ImageGainSpinBox, static_cast<int>(GetCurrent(iProxy, GainOffsetCell::GainSlider)));
    StoreImageGain(ContextOf(this), ControlValue(MainControl::ImageGainSpinBox), GainOffsetChanged);
}

void MainWindow::SliderOffsetModified()
{
    const int iProxy = CurrentProxyIndex;
    SetCurrent(iProxy, GainOffsetCell::OffsetSlider,
               static_cast<uint32_t>(ControlValue(MainControl::ImageOffsetSlider)));
    SetControlValue(MainControl::ImageOffsetSpinBox,
                    static_cast<int>(GetCurrent(iProxy, GainOffsetCell::OffsetSlider)));
    StoreImageOffset(ContextOf(this), ControlValue(MainControl::ImageOffsetSpinBox), GainOffsetChanged);
}

void MainWindow::TimeOutGainOffset()
{
    if (g_bGainOffsetTickRunning)
        return;
    g_bGainOffsetTickRunning = true;
    QString sFailure;
    const bool bSent = GainOffsetTick(ContextOf(this), ControlValue(MainControl::ImageGainSpinBox),
                                      ControlValue(MainControl::ImageOffsetSpinBox), GainOffsetChanged, &sFailure);
    g_bGainOffsetTickRunning = false;
    if (bSent)
        return;

    // One box at a time: the ticks stop while it is open, then resume.
    QTimer* pTimer = Timers.GainOffset;
    const bool bWasRunning = pTimer != nullptr && pTimer->isActive();
    if (bWasRunning)
        pTimer->stop();
    ShowBoardCriticalBox(this, QStringLiteral("Critical"), sFailure);
    WriteLogLine(Log, QStringLiteral("Update offset or gain failed ... ") + sFailure);
    if (bWasRunning && pTimer != nullptr)
        pTimer->start(GainOffsetTimerPeriodMs);
}

std::unique_ptr<FrameSink> MakeWindowFramePath(MainWindow* p_pWindow, const FramePathRules& p_Rules)
{
    FramePathWiring wiring;
    if (p_pWindow == nullptr)
        return std::make_unique<FramePath>(wiring);
    wiring.FrameWidth = &p_pWindow->FrameWidth;
    wiring.FrameHeight = &p_pWindow->FrameHeight;
    wiring.FramePitch = &p_pWindow->FramePitch;
    wiring.FrameCounter = &p_pWindow->FrameCounter;
    wiring.FramesReceived = &p_pWindow->FramesReceived;
    // Null once Deinit has freed the buffers: a copying link then drops the
    // frame. The count first: a channel may run before the buffers are made,
    // and the count is the frame threads' sign that they exist.
    wiring.Buffer = [] { return AllocatedRawFrameElements() != 0 ? AllocatedRawFrameBuffer() : nullptr; };
    if (p_Rules.StopCaptureAfterStop) {
        wiring.ShortFramesDropped = &p_pWindow->ShortFramesDropped;
        wiring.HandOffCounts = true;
        wiring.HandOff = [p_pWindow, p_Rules](const RawFrame& p_Frame) {
            MainWindow* pWindow = p_pWindow;
            FrameHandOffRule rule;
            rule.DropWhileDisplayBusy = p_Rules.DropWhileDisplayBusy;
            const bool bSeries = pWindow->SaveAllFramesRunning;
            if (bSeries) {
                // While a series runs only its BMP frames are shown, and the capture goes on.
                rule.Show = [pWindow] { return bool(pWindow->SaveAllFramesBmp); };
                rule.Series = p_Rules.Series;
            } else {
                const std::function<void()>& stopCapture = p_Rules.StopCaptureAfterStop;
                rule.Show = [pWindow, &stopCapture] {
                    pWindow->CheckMainWindowActiv();
                    if (!pWindow->StopAcquisition)
                        return true;
                    // While a bad-pixel map loads the capture only pauses.
                    if (!pWindow->BadPixelUploadRunning)
                        stopCapture();
                    return false;
                };
            }
            if (HandOffFrame(*pWindow, p_Frame.Pixels, p_Frame.Geometry, rule)
                == FrameHandOffResult::DroppedWhileBusy)
                return FrameAccept::Dropped;
            if (bSeries) {
                ++pWindow->FrameCounter;
                return FrameAccept::Taken;
            }
            const int counter = pWindow->FrameCounter;
            pWindow->FrameCounter = counter <= 0 ? 1 : counter + 1;
            return FrameAccept::Taken;
        };
        return std::make_unique<FramePath>(std::move(wiring));
    }
    wiring.HandOff = [p_pWindow, p_Rules](const RawFrame& p_Frame) {
        FrameHandOffRule rule;
        rule.DropWhileDisplayBusy = p_Rules.DropWhileDisplayBusy;
        rule.FlagCameraLinkReady = p_Rules.FlagCameraLinkReady;
        if (p_Rules.ShowOnlyWhileAcquiring)
            rule.Show = [p_pWindow] { return !p_pWindow->StopAcquisition; };
        rule.Series = p_Rules.Series;
        const FrameHandOffResult result = HandOffFrame(*p_pWindow, p_Frame.Pixels, p_Frame.Geometry, rule);
        return result == FrameHandOffResult::DroppedWhileBusy ? FrameAccept::Dropped : FrameAccept::Taken;
    };
    return std::make_unique<FramePath>(std::move(wiring));
}
