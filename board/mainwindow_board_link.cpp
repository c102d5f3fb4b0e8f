// The main window's glue to the board command links: Camera Link port selection, FPGA registers, gain and offset refresh, register writes and "Set parameters".
#include "mainwindow/MainWindow.h"

#include "app/digiboard_kind.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "app/widget_style.h"
#include "board/acquisition_state.h"
#include "board/board_link_factory.h"
#include "board/board_message_box.h"
#include "board/cameralink_serial.h"
#include "board/eskra_frame_stream.h"
#include "board/fpga_command.h"
#include "board/gain_offset_refresh.h"
#include "board/links/cameralink_link.h"
#include "board/mainwindow_board_link.h"
#include "board/register_writer.h"
#include "board/sensor_parameter_math.h"
#include "board/sensor_parameters.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/frame_path.h"
#include "pipeline/mainwindow_pipeline.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QSerialPort>
#include <QTimer>

#include <array>
#include <cstdarg>
#include <cstdio>

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

BoardLink* MainWindow::SelectedBoardLink()
{
    const BoardKind kind = DigiBoardKind;
    if (IsCameraLinkBoard(kind))
        return &CameraLinkBoard();
    for (BoardLink* pLink : {DunstelLink.get(), EskraBoardLink.get(), CorvaneLink.get()})
        if (pLink->kind() == kind) {
            pLink->attach(LinkContext{Log});
            return pLink;
        }
    return nullptr;
}

void MainWindow::Send_Command_To_FPGA(int Adresse, uchar Value)
{
    const QString sFailure = SendFpgaRegister(WindowBoardLink(this, DigiBoardKind), Adresse, Value);
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
    context.Link = WindowBoardLink(p_pWindow, context.Kind);
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
    FrameHandOffRule rule;
    rule.DropWhileDisplayBusy = p_Rules.DropWhileDisplayBusy;
    rule.FlagCameraLinkReady = p_Rules.FlagCameraLinkReady;
    if (p_Rules.ShowOnlyWhileAcquiring)
        rule.Show = [p_pWindow] { return !p_pWindow->StopAcquisition; };
    rule.Series = p_Rules.Series;
    auto accept = [](FrameHandOffResult p_Result) {
        return p_Result == FrameHandOffResult::DroppedWhileBusy ? FrameAccept::Dropped : FrameAccept::Taken;
    };
    wiring.HandOff = [p_pWindow, rule, accept](const RawFrame& p_Frame) {
        return accept(HandOffFrame(*p_pWindow, p_Frame.Pixels, p_Frame.Geometry, rule));
    };
    // A path whose frames go on past a busy display (its link copies them):
    // such a frame that no series takes is read by nothing, and need not be copied.
    if (!rule.DropWhileDisplayBusy) {
        wiring.DropsUnread = [p_pWindow, rule] { return FrameDropsUnread(*p_pWindow, rule); };
        wiring.HandOffUnread = [p_pWindow, rule, accept] { return accept(HandOffUnreadFrame(*p_pWindow, rule)); };
    }
    return std::make_unique<FramePath>(std::move(wiring));
}


BoardLink* WindowBoardLink(MainWindow* p_pWindow, BoardKind p_Kind)
{
    if (p_Kind == BoardKind::None)
        return nullptr;
    if (p_pWindow != nullptr) {
        for (BoardLink* pLink : {p_pWindow->DunstelLink.get(), p_pWindow->EskraBoardLink.get(),
                                 p_pWindow->CorvaneLink.get(), p_pWindow->CameraLink.get()})
            if (pLink != nullptr && pLink->kind() == p_Kind)
                return pLink;
        if (IsCameraLinkBoard(p_Kind) && p_Kind == p_pWindow->DigiBoardKind.load())
            return &p_pWindow->CameraLinkBoard();
    }
    return StandaloneBoardLink(p_Kind);
}

int WriteRegister(MainWindow* p_pWindow, BoardKind p_Kind, int p_iRegisterId, uint32_t p_uValue,
                  RegisterErrorPolicy p_Policy)
{
    BoardLink* pLink = WindowBoardLink(p_pWindow, p_Kind);
    if (pLink == nullptr)
        return 0;
    return WriteLinkRegister(*pLink, BoardRegisterId(p_iRegisterId), p_uValue, p_Policy);
}

int WriteWindowCorner(MainWindow* p_pWindow, BoardKind p_Kind, int p_iRegisterId, uint32_t p_uValue,
                      RegisterErrorPolicy p_Policy)
{
    BoardLink* pLink = WindowBoardLink(p_pWindow, p_Kind);
    if (pLink == nullptr)
        return 0;
    return WriteLinkWindowCorner(*pLink, BoardRegisterId(p_iRegisterId), p_uValue, p_Policy);
}

// ---- "Set parameters": the sensor controls into the current record, then TINT, the DACs, GMS and the clock word to the board.

namespace {
constexpr int kFpgaClockModeRegister = 4;

constexpr size_t kFailureTextSize = 500;

QString Format(const char* p_szFormat, ...)
{
    char szText[kFailureTextSize];
    va_list args;
    va_start(args, p_szFormat);
    std::vsnprintf(szText, sizeof szText, p_szFormat, args);
    va_end(args);
    return QString::fromUtf8(szText);
}

uint32_t Ticked(bool p_bChecked)
{
    return p_bChecked ? 1u : 0u;
}

} // namespace

uint32_t MainWindow::getGMSValue()
{
    const int p = CurrentProxyIndex;
    return ComputeGMSWord(ReadGmsCells(p), p);
}

bool MainWindow::PushButton_SetModuleParameters()
{
    using namespace ProxyParameterId;
    const BoardKind iKind = DigiBoardKind;

    // The serial-port board takes registers only between two frames.
    if (!SetParametersPending && iKind == BoardKind::Eskra) {
        if (!EskraState.Receiver.frameComplete)
            SetParametersPending = true;
        return true;
    }

    SetControlEnabled(MainControl::SetParametersButton, false);
    QCoreApplication::processEvents();
    const int p = CurrentProxyIndex;
    SetCurrent(p, ProxyParameterId::SetParametersButtonEnabled, 0);

    SetCurrent(p, ProxyParameterId::TINT, static_cast<uint32_t>(ControlValue(MainControl::TINTSpinBox)));
    SetCurrent(p, ProxyParameterId::DAC_A, static_cast<uint32_t>(ControlValue(MainControl::DACASpinBox)));
    SetCurrent(p, ProxyParameterId::DAC_B, static_cast<uint32_t>(ControlValue(MainControl::DACBSpinBox)));
    SetCurrent(p, ProxyParameterId::DAC_C, static_cast<uint32_t>(ControlValue(MainControl::DACCSpinBox)));
    SetCurrent(p, ProxyParameterId::DAC_D, static_cast<uint32_t>(ControlValue(MainControl::DACDSpinBox)));
    SetCurrent(p, ProxyParameterId::Gain0, Ticked(ControlChecked(MainControl::Gain0Box)));
    SetCurrent(p, ProxyParameterId::Gain1, Ticked(ControlChecked(MainControl::Gain1Box)));
    SetCurrent(p, ProxyParameterId::Gain2, Ticked(ControlChecked(MainControl::Gain2Box)));
    SetCurrent(p, ProxyParameterId::UpCol, Ticked(ControlChecked(MainControl::UpColBox)));
    SetCurrent(p, ProxyParameterId::UpRow, Ticked(ControlChecked(MainControl::UpRowBox)));
    SetCurrent(p, ProxyParameterId::SizeA, Ticked(ControlChecked(MainControl::SizeABox)));
    SetCurrent(p, ProxyParameterId::SizeB, Ticked(ControlChecked(MainControl::SizeBBox)));
    SetCurrent(p, ProxyParameterId::DACFilter, Ticked(ControlChecked(MainControl::DACFilterBox)));
    SetCurrent(p, ProxyParameterId::OAdj2, Ticked(ControlChecked(MainControl::OAdj2Box)));
    SetCurrent(p, ProxyParameterId::OAdj1, Ticked(ControlChecked(MainControl::OAdj1Box)));
    SetCurrent(p, ProxyParameterId::OAdj0, Ticked(ControlChecked(MainControl::OAdj0Box)));
    SetCurrent(p, ProxyParameterId::MAdj2, Ticked(ControlChecked(MainControl::MAdj2Box)));
    SetCurrent(p, ProxyParameterId::MAdj1, Ticked(ControlChecked(MainControl::MAdj1Box)));
    SetCurrent(p, ProxyParameterId::MAdj0, Ticked(ControlChecked(MainControl::MAdj0Box)));
    SetCurrent(p, ProxyParameterId::Ref1, Ticked(ControlChecked(MainControl::Ref1Box)));
    SetCurrent(p, ProxyParameterId::Ref0, Ticked(ControlChecked(MainControl::Ref0Box)));

    const uint32_t uGms = getGMSValue();
    const uint32_t uTint = GetCurrent(p, ProxyParameterId::TINT);

    if (TintOutsideNominalRange(uTint, static_cast<uint32_t>(FrameWidth.load()), GetCurrent(p, WindowingDivisor))) {
        MessageBoxRequest question;
        question.parent = this;
        question.icon = QMessageBox::Question;
        question.title = QStringLiteral("TINT Value outside nominal range");
        question.text = QStringLiteral(
            "The TINT value set is outside the nominal range. Do you want to continue anyway ?");
        question.buttons = QStringList{QStringLiteral("Yes"), QStringLiteral("No")};
        if (PresentMessageBox(question) == 1) {
            SetControlEnabled(MainControl::SetParametersButton, true);
            return false;
        }
    }

    Log->writeLine("Send the following parameters :");
    const bool bTint = ControlChecked(MainControl::EnableTINTBox);
    const bool bDacA = ControlChecked(MainControl::EnableDACABox);
    const bool bDacB = ControlChecked(MainControl::EnableDACBBox);
    const bool bDacC = ControlChecked(MainControl::EnableDACCBox);
    const bool bDacD = ControlChecked(MainControl::EnableDACDBox);
    const bool bGms = ControlChecked(MainControl::GMSBox);
    const bool bAdvanced = ControlChecked(MainControl::AdvancedUserBox);
    auto cell = [p](int p_iCell) { return QString::number(GetCurrent(p, p_iCell)); };
    if (bTint)
        Log->writeLine("\tTINT  = " + cell(216));
    if (bDacA)
        Log->writeLine("\tADD02 = " + cell(170));
    if (bDacB)
        Log->writeLine("\tADD03 = " + cell(175));
    if (bDacC)
        Log->writeLine("\tADD0C = " + cell(180));
    if (bDacD)
        Log->writeLine("\tADD0D = " + cell(185));
    if (bGms) {
        Log->writeLine("\tGMS   = " + QString::number(static_cast<int32_t>(uGms)) + " with:");
        const struct { const char* name; int cell; bool optional; } bits[] = {
            {"OAdj2", 366, true}, {"OAdj1", 369, true}, {"OAdj0", 372, true}, {"MAdj2", 375, true},
            {"MAdj1", 378, true}, {"MAdj0", 381, true}, {"Ref1", 384, true},  {"Ref0", 387, true},
            {"Gain2", 37, true},  {"Gain1", 34, false}, {"Gain0", 31, false}, {"UpCol", 70, false},
            {"UpRow", 73, false}};
        for (const auto& bit : bits)
            Log->writeLine(QString("\t\t") + bit.name + " = " + cell(bit.cell) + (bit.optional ? " (optional)" : ""));
    }

    // A failure ends the sequence with one summary box; the Corvane also names
    // the parameter that failed in a box of its own first.
    const RegisterErrorPolicy policy =
        iKind == BoardKind::Corvane ? RegisterErrorPolicy::MessageBox : RegisterErrorPolicy::Silent;
    // False ends the sequence with p_sFailure. An undefined value (65535) is
    // never sent: the board keeps what it has.
    QString sFailure;
    auto write = [&](const char* p_szName, int p_iId, uint32_t p_uValue, const QString& p_sFailure) -> bool {
        if (p_uValue == ProxyParameterNotSet) {
            Log->writeLine(QString(p_szName) + " not defined for proxy " + QString::number(p) + ": not sent");
            return true;
        }
        if (WriteRegister(this, iKind, p_iId, p_uValue, policy) == 0)
            return true;
        sFailure = p_sFailure;
        return false;
    };

    bool bOk = true;
    const bool bTintInLines = GetCurrent(p, TINTInLines) != 0 && iKind != BoardKind::Eskra;
    if (bOk && bTint) {
        if (bTintInLines) {
            const uint32_t uExp = ComputeEXP(ControlValue(MainControl::TINTSpinBox), FrameRate, GetCurrent(p, CKDIV));
            bOk = write("EXP", BoardRegisterId::TINT, uExp,
                        Format("Couldn't set EXP value to %d (corresponding to %d \xC2\xB5s).\n", int(uExp), int(uTint)));
        } else {
            bOk = write("TINT", BoardRegisterId::TINT, uTint, Format("Couldn't set INTvalue to %d.\n", int(uTint)));
        }
    }
    if (bOk && bDacA)
        bOk = write("ADD02", BoardRegisterId::ADD02, GetCurrent(p, ProxyParameterId::DAC_A), Format("Couldn't set ADD02 to %d.\n", int(GetCurrent(p, ProxyParameterId::DAC_A))));
    if (bOk && bDacB)
        bOk = write("ADD03", BoardRegisterId::ADD03, GetCurrent(p, ProxyParameterId::DAC_B), Format("Couldn't set ADD03 to %d.\n", int(GetCurrent(p, ProxyParameterId::DAC_B))));
    if (bOk && bDacC)
        bOk = write("ADD0C", BoardRegisterId::ADD0C, GetCurrent(p, ProxyParameterId::DAC_C), Format("Couldn't set ADD0C to %d.\n", int(GetCurrent(p, ProxyParameterId::DAC_C))));
    if (bOk && bDacD)
        bOk = write("ADD0D", BoardRegisterId::ADD0D, GetCurrent(p, ProxyParameterId::DAC_D), Format("Couldn't set ADD0D to %d.\n", int(GetCurrent(p, ProxyParameterId::DAC_D))));
    if (bOk && bGms)
        bOk = write("GMS", BoardRegisterId::GMS, uGms, Format("Couldn't set GMS to %d.\n", int(uGms)));
    bool bClockSent = false;
    if (bOk && bAdvanced) {
        const uint32_t uClock = ComputeClockWord(ControlValue(MainControl::CKDIVSpinBox),
                                                 ControlChecked(MainControl::InvertPixelClockBox), p,
                                                 iKind == BoardKind::Corvane);
        Log->writeLine("CKDIV = " + QString::number(uClock));
        if (uClock != ProxyParameterNotSet)
            SetCurrent(p, CKDIV, uClock);
        bOk = write("CKDIV", BoardRegisterId::CKDIV, uClock, Format("Couldn't set CKDIV to %d.\n", int(uClock)));
        // The clock mode and the TINT ranges follow only a clock word the board really took.
        bClockSent = bOk && uClock != ProxyParameterNotSet;
    }

    if (!bOk) {
        SetControlEnabled(MainControl::SetParametersButton, true);
        std::printf("ERROR set parameters\n");
        std::fflush(stdout);
        MessageBoxRequest box;
        box.parent = this;
        box.icon = QMessageBox::Critical;
        box.title = QStringLiteral("Critical");
        box.text = "ERROR set parameters fail: " + sFailure;
        box.buttons = QStringList{QStringLiteral("OK")};
        PresentMessageBox(box);
        Log->writeLine("Set Parameter Failed ... " + sFailure);
        return false;
    }

    if (iKind == BoardKind::Eskra) {
        SetParametersPending = false;
    } else if (bClockSent) {
        const bool bCameraLink = iKind == BoardKind::Arvex || iKind == BoardKind::Belmor || iKind == BoardKind::BelmorPlus;
        const bool bClockModeRecord = GetCurrent(p, BPRegisterEncoding) != 0 && GetCurrent(p, GMSCompactLayoutA) != 0
                                      && GetCurrent(p, GMSCompactLayoutB) != 0;
        if (bCameraLink && bClockModeRecord) {
            const std::optional<uint32_t> mode =
                ComputeFPGAClockMode(GetCurrent(p, CKDIV), GetCurrent(p, FPGAClockModeBase),
                                     GetCurrent(p, FPGAClockModeModulus), GetCurrent(p, FPGAClockModeShift));
            if (!mode)
                Log->writeLine("FPGA clock mode not defined for proxy " + QString::number(p)
                               + ": FPGA register 4 not sent");
            else
                Send_Command_To_FPGA(kFpgaClockModeRegister, static_cast<uchar>(*mode));
        }
        if (iKind != BoardKind::Eskra && iKind != BoardKind::None && GetCurrent(p, TINTInLines) != 0) {
            const TintRange range = ComputeTintRange(FrameRate, ControlValue(MainControl::CKDIVSpinBox));
            ShowTintRange(range.Minimum, range.Maximum, range.SingleStep);
        }
    }

    const int cells[LastSentParameterCount] = {216, 170, 175, 180, 185, 372, 369, 366, 381, 378, 375,
                                               387, 384, 70,  73,  31,  34,  37,  64,  67,  196};
    for (int i = 0; i < LastSentParameterCount; ++i)
        LastSentParameters[i] = static_cast<int>(GetCurrent(p, cells[i]));
    SetControlEnabled(MainControl::SetParametersButton, true);
    ClearControlTint(MainControl::SetParametersButton);
    SetControlEnabled(MainControl::BPCorrectionModeBox, true);
    SetCurrent(p, ProxyParameterId::SetParametersButtonEnabled, 1);
    SetCurrent(p, ProxyParameterId::BPCorrectionModeEnabled, 1);
    return true;
}
