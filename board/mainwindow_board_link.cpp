// The main window's glue to the board links: Camera Link port selection, FPGA registers, gain and offset refresh, register writes, "Set parameters", the main button's state machine, the set-window press, the bad-pixel map upload and the one-second statistics.
#include "mainwindow/MainWindow.h"

#include "app/app_paths.h"
#include "app/boot_file.h"
#include "app/digiboard_kind.h"
#include "app/globals.h"
#include "app/header_constants.h"
#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "app/waits.h"
#include "app/widget_style.h"
#include "board/acquisition_state.h"
#include "board/bad_pixel_map.h"
#include "board/board_link_factory.h"
#include "board/board_message_box.h"
#include "board/cameralink_commands.h"
#include "board/cameralink_serial.h"
#include "board/connect_retry.h"
#include "board/corvane_writer.h"
#include "board/eskra_frame_stream.h"
#include "board/fpga_command.h"
#include "board/frame_statistics.h"
#include "board/gain_offset_refresh.h"
#include "board/gige_link.h"
#include "board/links/cameralink_link.h"
#include "board/links/usb3_link.h"
#include "board/mainwindow_board_link.h"
#include "board/register_writer.h"
#include "board/sensor_parameter_math.h"
#include "board/sensor_parameters.h"
#include "board/windowing_camfile.h"
#include "board/windowing_geometry.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/frame_path.h"
#include "pipeline/mainwindow_pipeline.h"
#include "platform/ebus/ebus.h"
#include "tools/Window_SendingProgressBP.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QSerialPort>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <iostream>
#include <memory>
#include <opencv2/core.hpp>
#include <utility>
#include <vector>

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
    const bool bCameraLink = BoardTraitsOf(requested).CameraLinkPort;
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
    const BoardTraits& traits = BoardTraitsOf(iKind);

    // The serial-port board takes registers only between two frames.
    if (!SetParametersPending && traits.RegistersBetweenFrames) {
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
        traits.ParameterFailureBox ? RegisterErrorPolicy::MessageBox : RegisterErrorPolicy::Silent;
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
    const bool bTintInLines = GetCurrent(p, TINTInLines) != 0 && !traits.TintInMicroseconds;
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
                                                 traits.ClockInvertBit11);
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

    if (traits.RegistersBetweenFrames) {
        SetParametersPending = false;
    } else if (bClockSent) {
        const bool bClockModeRecord = GetCurrent(p, BPRegisterEncoding) != 0 && GetCurrent(p, GMSCompactLayoutA) != 0
                                      && GetCurrent(p, GMSCompactLayoutB) != 0;
        if (traits.FpgaClockMode && bClockModeRecord) {
            const std::optional<uint32_t> mode =
                ComputeFPGAClockMode(GetCurrent(p, CKDIV), GetCurrent(p, FPGAClockModeBase),
                                     GetCurrent(p, FPGAClockModeModulus), GetCurrent(p, FPGAClockModeShift));
            if (!mode)
                Log->writeLine("FPGA clock mode not defined for proxy " + QString::number(p)
                               + ": FPGA register 4 not sent");
            else
                Send_Command_To_FPGA(kFpgaClockModeRegister, static_cast<uchar>(*mode));
        }
        if (iKind != BoardKind::None && GetCurrent(p, TINTInLines) != 0) {
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

// ---------------------------------------------------------------------------
// The main button, the set-window press, the bad-pixel upload and the statistics.

// -----------------------------------------------------------------------------
// The main button's state machine: connect with retries, start, safe disconnection, and the serial-port board's one-press path.

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
    if (BoardTraitsOf(DigiBoardKind).OnePressStreams && !Connected) {
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
            if (BoardTraitsOf(DigiBoardKind).DisconnectStopsStream) {
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
        if (!BoardTraitsOf(DigiBoardKind).QuietLinkFailure) {
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
    if (BoardTraitsOf(DigiBoardKind).ReportsNoFrameRate) {
        FrameRate = 255;
        UpdateValuesOnDynamicFrequency(255);
    } else {
        UpdateValuesOnDynamicFrequency(FrameRate);
    }
    if (BoardTraitsOf(DigiBoardKind).OffersTwoTap)
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

// -----------------------------------------------------------------------------
// The set-window button of the main window: window corners, windowing camera file, board registers and the restart.

namespace {

namespace P = ProxyParameterId;

// One register write of the sequence and the text its failure is reported with.
struct WindowWrite
{
    BoardRegisterId Id;
    int Value;
    QString FailureText;
};

QString FailureText(const char* p_szFormat, int p_iValue)
{
    return QString::asprintf(p_szFormat, p_iValue);
}

} // namespace

void MainWindow::PushButton_SetWindow()
{
    const BoardKind kind = DigiBoardKind;
    const BoardTraits& traits = BoardTraitsOf(kind);
    const int r = CurrentProxyIndex;
    if (r < 0 || r >= kProxyRecordCount)
        return;

    // 1. The Camera Link grabber must have been set up by a start.
    if (!bInitDriverDone && IsCameraLinkBoard(kind)) {
        std::cout << "bInitDriverDone " << bool(bInitDriverDone) << std::endl;
        g_bWindowingInProgress = false;
        Log->writeLine("CameraLink Driver not initialized, Start the camera first");
        MessageBoxWarning(QStringLiteral("Warning"), QStringLiteral("CameraLink Driver not initialized, Start the camera first"));
        return;
    }

    // 2. The press starts.
    std::cout << "bInitDriverDone = " << bool(bInitDriverDone) << std::endl;
    g_bWindowingInProgress = true;
    SetControlEnabled(MainControl::SetWindowButton, false);
    SetCurrent(r, P::SetWindowButtonEnabled, 0);
    // Every way out before the restart gives the button and the flag back.
    auto abandon = [this, r]() {
        SetControlEnabled(MainControl::SetWindowButton, true);
        SetCurrent(r, P::SetWindowButtonEnabled, 1);
        g_bWindowingInProgress = false;
    };
    NewImageSizeCode = WindowingMode(GetCurrent(r, P::SizeAActive), GetCurrent(r, P::SizeBActive));
    std::cout << "NbWindowingRun: " << NewImageSizeCode << std::endl;
    const WindowCorners user{uint32_t(ControlValue(MainControl::XFirstSpinBox)),
                             uint32_t(ControlValue(MainControl::XLastSpinBox)),
                             uint32_t(ControlValue(MainControl::YFirstSpinBox)),
                             uint32_t(ControlValue(MainControl::YLastSpinBox))};
    SetCurrent(r, P::YFirst, user.YFirst);
    SetCurrent(r, P::YLast, user.YLast);
    SetCurrent(r, P::XFirst, user.XFirst);
    SetCurrent(r, P::XLast, user.XLast);

    // 3-4. Geometry. Eskra and Corvane have none: their press only flips the state and restarts.
    const WindowingPlan plan = ComputeWindowingPlan(r, kind, NewImageSizeCode, user);
    if (plan.Computed) {
        g_bWindowingDisabled = plan.WindowingDisabled;
        {
            // The corner boxes' own slot would copy them into the cells with
            // other values than the board keeps (Dunstel): the plan writes the cells.
            SetControlValueQuietly(MainControl::XFirstSpinBox, int(plan.SpinCorners.XFirst));
            SetControlValueQuietly(MainControl::XLastSpinBox, int(plan.SpinCorners.XLast));
            SetControlValueQuietly(MainControl::YFirstSpinBox, int(plan.SpinCorners.YFirst));
            SetControlValueQuietly(MainControl::YLastSpinBox, int(plan.SpinCorners.YLast));
            if (plan.SetAcqSpinBoxes) {
                SetControlValueQuietly(MainControl::AcqXSpinBox, plan.AcqX);
                SetControlValueQuietly(MainControl::AcqYSpinBox, plan.AcqY);
            }
        }
        ApplyWindowingToRecord(r, plan);

        // 5. Minimum size (an inverted user window counts as below it). A
        // refused window changes nothing on the board: the stream goes on as
        // it was and the button keeps offering the same step.
        if (plan.Error != WindowSizeError::None) {
            const QString sText = WindowSizeErrorText(plan.Error);
            Log->writeLine(sText);
            MessageBoxCritical(QStringLiteral("Critical"), sText);
            SetControlEnabled(MainControl::SetParametersButton, true);
            abandon();
            return;
        }
    }

    if (plan.Computed) {
        const uint32_t d = GetCurrent(r, P::WindowingDivisor);

        // 6. Integration time for the window.
        SetControlValue(MainControl::TINTSpinBox,
                        WindowingTint(GetCurrent(r, P::AcqX), d, ControlMinimum(MainControl::TINTSpinBox)));
        std::cout << "WindowingAcqX: " << plan.WindowingAcqX << std::endl;
        std::cout << "WindowingAcqY: " << plan.WindowingAcqY << std::endl;

        // 7. The windowing camera file of the Camera Link grabber.
        if (IsCameraLinkBoard(kind) && NewImageSizeCode != DefaultImageSizeCode) {
            const QByteArray line1 = SetWindowHactiveLine(plan.Hactive);
            const QByteArray line2 = SetWindowVactiveLine(plan.Vactive);
            std::cout << "Hactive_Px " << line1.constData() << "Vactive_Ln " << line2.constData() << std::endl;
            // Edited under its own name (through a temporary file): no exit leaves it renamed.
            const QString sCamFile = WindowingCamFileBase(ApplicationDir, ProxyName, TwoTap) + QStringLiteral(".cam");
            if (!QFileInfo::exists(sCamFile)) {
                const QString sSource = SourceCamFilePath(ApplicationDir, ProxyName, TwoTap);
                if (QFile::copy(sSource, sCamFile))
                    Log->writeLine("Windowing CamFile created: " + sCamFile);
            }
            if (!EditCamFileBetweenWords(sCamFile.toUtf8().constData(), QStringLiteral("Hactive_Px ="),
                                         QStringLiteral("HSyncAft_Tk ="), line1.constData(), line2.constData(),
                                         line1.size(), line2.size())) {
                const QString sText = QStringLiteral("Camfiles error, missing 'Hactive_Px =' or 'HSyncAft_Tk =' words");
                Log->writeLine(sText + ": " + sCamFile);
                MessageBoxCritical(QStringLiteral("Critical"), sText);
                abandon();
                return;
            }
        }

        // 8. Belmor+ takes the new camera file by a new initialisation.
        if (traits.WindowingReinit) {
            Deinit();
            WaitMs(500);
            SetConnected(true);
            bool bWindowingDisabled = g_bWindowingDisabled;
            if (Init(&bWindowingDisabled)) {
                // No channel stands: the next start must set one up.
                bInitDriverDone = false;
                abandon();
                return;
            }
        }

        // 9. Form to table.
        SetControlChecked(MainControl::ApplyNUCBox, false);
        if (!FullFrameWindow) {
            SetControlChecked(MainControl::SizeABox, true);
            SetControlChecked(MainControl::SizeBBox, true);
        }
        SetCurrent(r, P::TINT, uint32_t(ControlValue(MainControl::TINTSpinBox)));
        SetCurrent(r, P::DAC_A, uint32_t(ControlValue(MainControl::DACASpinBox)));
        SetCurrent(r, P::DAC_B, uint32_t(ControlValue(MainControl::DACBSpinBox)));
        SetCurrent(r, P::DAC_C, uint32_t(ControlValue(MainControl::DACCSpinBox)));
        SetCurrent(r, P::DAC_D, uint32_t(ControlValue(MainControl::DACDSpinBox)));
        SetCurrent(r, P::Gain2, Ticked(ControlChecked(MainControl::Gain2Box)));
        SetCurrent(r, P::Gain1, Ticked(ControlChecked(MainControl::Gain1Box)));
        SetCurrent(r, P::Gain0, Ticked(ControlChecked(MainControl::Gain0Box)));
        SetCurrent(r, P::UpCol, Ticked(ControlChecked(MainControl::UpColBox)));
        SetCurrent(r, P::UpRow, Ticked(ControlChecked(MainControl::UpRowBox)));
        SetCurrent(r, P::SizeA, Ticked(ControlChecked(MainControl::SizeABox)));
        SetCurrent(r, P::SizeB, Ticked(ControlChecked(MainControl::SizeBBox)));
        SetCurrent(r, P::DACFilter, Ticked(ControlChecked(MainControl::DACFilterBox)));
        SerDataBits bits;
        bits.SizeA = GetCurrent(r, P::SizeA);
        bits.SizeB = GetCurrent(r, P::SizeB);
        bits.UpCol = GetCurrent(r, P::UpCol);
        bits.UpRow = GetCurrent(r, P::UpRow);
        bits.Gain0 = GetCurrent(r, P::Gain0);
        bits.Gain1 = GetCurrent(r, P::Gain1);
        bits.Gain2 = GetCurrent(r, P::Gain2);
        bits.DACFilter = GetCurrent(r, P::DACFilter);
        const uint32_t uEncoding = GetCurrent(r, P::BPRegisterEncoding);
        const int serData = int(SerDataWord(uEncoding != 0, bits));
        std::cout << "Sensor SerData config : " << serData << " with " << std::endl
                  << "Gain 2 = " << bits.Gain2 << " (optional, depends on Proxy)" << std::endl
                  << "Gain 1 = " << bits.Gain1 << std::endl
                  << "Gain 0 = " << bits.Gain0 << std::endl
                  << "UpRow  = " << bits.UpRow << std::endl
                  << "UpCol  = " << bits.UpCol << std::endl
                  << "SizeA  = " << bits.SizeA << std::endl
                  << "SizeB  = " << bits.SizeB << std::endl;

        // 10. Register writes, stopping at the first that fails.
        const bool bSendCorners = NewImageSizeCode == 0 || uEncoding == 1;
        const WindowCorners& c = plan.SpinCorners;
        const uint32_t dd = (d == 0 || d == ProxyParameterNotSet) ? 1u : d;
        if (bSendCorners && traits.WindowingRegisters != WindowingWrites::None)
            std::cout << "Windowing parameters: " << c.XFirst << "," << c.XLast << "," << c.YFirst / dd << ","
                      << c.YLast / dd << std::endl;
        std::vector<WindowWrite> writes;
        const auto corners = [&](bool p_bDivideX) {
            writes.push_back({BoardRegisterId::Yfirst, int(c.YFirst), FailureText("clSerialWrite: !7%04d\n\r fail", int(c.YFirst))});
            writes.push_back({BoardRegisterId::Ylast, int(c.YLast), FailureText("clSerialWrite: !8%04d\n\r fail", int(c.YLast))});
            const int xFirst = int(p_bDivideX ? c.XFirst / dd : c.XFirst);
            const int xLast = int(p_bDivideX ? c.XLast / dd : c.XLast);
            writes.push_back({BoardRegisterId::Xfirst, xFirst, FailureText("clSerialWrite: !9%04d\n\r fail", xFirst)});
            writes.push_back({BoardRegisterId::Xlast, xLast, FailureText("clSerialWrite: !A%04d\n\r fail", xLast)});
        };
        const WindowWrite serDataWrite{BoardRegisterId::GMS, serData, FailureText("clSerialWrite: !6%04d\n\r fail", serData)};
        QString sFailure;
        if (traits.WindowingRegisters == WindowingWrites::Corners) {
            if (bSendCorners)
                corners(false);
            writes.push_back(serDataWrite);
            BoardLink& rLink = CameraLinkBoard();
            for (const WindowWrite& w : writes)
                if (rLink.writeRegister(w.Id, uint32_t(w.Value)) != 0) {
                    sFailure = w.FailureText;
                    break;
                }
        } else if (traits.WindowingRegisters == WindowingWrites::GigEBridge) {
            const int tint = int(GetCurrent(r, P::TINT));
            BoardLink& rLink = *DunstelLink;
            auto send = [&rLink, &sFailure](const WindowWrite& w) {
                if (!sFailure.isEmpty())
                    return;
                if (rLink.writeRegister(w.Id, uint32_t(w.Value)) != 0)
                    sFailure = w.FailureText;
            };
            send({BoardRegisterId::TINT, std::min(tint, 20), FailureText("Couldn't set INTvalue to %d.\n", 20)});
            const int p = r;
            if (p == 6 || p == 7 || p == 9 || p == 12) {
                const std::pair<uint32_t, std::pair<int, const char*>> dacs[] = {
                    {GetCurrent(r, P::WindowingChannel), {0, "clSerialWrite: !2%04d\n\r fail"}},
                    {GetCurrent(r, P::StopZeroChannel), {0, "clSerialWrite: !3%04d\n\r fail"}},
                    {GetCurrent(r, P::GSKChannel), {4095, "clSerialWrite: !E%04d\n\r fail"}}};
                for (const auto& [code, write] : dacs) {
                    const int id = WindowingDacRegister(code);
                    if (id >= 0)
                        send({BoardRegisterId(id), write.first, FailureText(write.second, write.first)});
                }
                if (sFailure.isEmpty())
                    WaitMs(1000);
            }
            if (!FullFrameWindow)
                send(serDataWrite);
            std::cout << "Windowing parameters: " << plan.WindowingAcqX << "," << plan.WindowingAcqY << std::endl;
            send({BoardRegisterId::Xacqsize, int(plan.WindowingAcqX), FailureText("clSerialWrite: !B%04d\n\r fail", int(plan.WindowingAcqX))});
            const int acqY = int(plan.WindowingAcqY) - 1;
            send({BoardRegisterId::Yacqsize, acqY, FailureText("clSerialWrite: !C%04d\n\r fail", acqY)});
            if (FullFrameWindow)
                send(serDataWrite);
            send({BoardRegisterId::TINT, tint, FailureText("Couldn't set INTvalue to %d.\n", tint)});
            if (bSendCorners) {
                corners(true);
                for (const WindowWrite& w : writes)
                    send(w);
            }
            const std::pair<BoardRegisterId, std::pair<int, const char*>> voltages[] = {
                {BoardRegisterId::ADD02, {P::DAC_A, "clSerialWrite: !2%04d\n\r fail"}},
                {BoardRegisterId::ADD03, {P::DAC_B, "clSerialWrite: !3%04d\n\r fail"}},
                {BoardRegisterId::ADD0C, {P::DAC_C, "clSerialWrite: !D%04d\n\r fail"}},
                {BoardRegisterId::ADD0D, {P::DAC_D, "clSerialWrite: !E%04d\n\r fail"}}};
            for (const auto& [id, cell] : voltages) {
                const int v = int(GetCurrent(r, cell.first));
                send({id, v, FailureText(cell.second, v)});
            }
        }

        // 11. The first failed write ends the press.
        if (!sFailure.isEmpty()) {
            std::cout << "ERROR set parameters" << std::endl;
            Log->writeLine("ERROR set parameters fail: " + sFailure);
            MessageBoxCritical(QStringLiteral("Critical"), QStringLiteral("ERROR set parameters fail: ") + sFailure);
            abandon();
            return;
        }
    }

    // 12. Set / reset flip: a press from the full frame sets the window (the
    // size boxes locked, the button then resets it); a press from a set window
    // goes back to the full frame (both boxes ticked and offered again).
    const bool bBackToFullFrame = !FullFrameWindow;
    if (bBackToFullFrame) {
        SetControlChecked(MainControl::SizeABox, true);
        SetControlChecked(MainControl::SizeBBox, true);
    }
    SetCurrent(r, P::SizeAActive, 1);
    SetCurrent(r, P::SizeBActive, 1);
    SetControlEnabled(MainControl::SizeABox, bBackToFullFrame);
    SetControlEnabled(MainControl::SizeBBox, bBackToFullFrame);
    SetCurrent(r, P::SizeAEnabled, bBackToFullFrame ? 1 : 0);
    SetCurrent(r, P::SizeBEnabled, bBackToFullFrame ? 1 : 0);
    FullFrameWindow = bBackToFullFrame;
    SetControlText(MainControl::SetWindowButton, bBackToFullFrame ? QStringLiteral("Set Window") : QStringLiteral("Reset Window"));
    SetControlEnabled(MainControl::SetWindowButton, true);
    SetCurrent(r, P::SetWindowButtonEnabled, 1);

    // 13. Restart through the main button.
    if (traits.WindowingRestarts == WindowingRestart::Reconnect) {
        // Their grabber channel is not set up again here: a disconnection that
        // kept the windowing flag would leave no channel for the next start.
        // The full restart loads the new camera file.
        g_bWindowingInProgress = false;
        Windowing_asked(false);
        return;
    }
    if (traits.WindowingRestarts == WindowingRestart::StopThenPress)
        StopAcquisition = true;
    PushButton_Start();
    g_bWindowingInProgress = false;
}

// -----------------------------------------------------------------------------
// Bad-pixel map loading: the four software lists, or the pixel-by-pixel upload to the Arvex and Corvane boards.

namespace {

namespace P = ProxyParameterId;

// The processing board behind the Corvane board.
constexpr int kProcessingBoard = 2;
// FPGA register of the Belmor+ board's bad-pixel management; 8 its SensorMaster bit.
constexpr int kFpgaBadPixelManagement = 16;

void PrintPair(const BadPixelPair& p_Pair)
{
    std::cout << "Y = " << p_Pair.Row << " & X = " << p_Pair.Column << std::endl;
}

} // namespace

void MainWindow::Load_BadPixel_File()
{
    const BoardTraits& traits = BoardTraitsOf(DigiBoardKind);
    const int r = CurrentProxyIndex;
    BadPixelUploadRunning = true;
    if (traits.BadPixels == OnBoardBadPixels::FpgaRegister && r >= 0 && r < kProxyRecordCount)
        Send_Command_To_FPGA(kFpgaBadPixelManagement, GetCurrent(r, P::BPRegisterEncoding) != 0 ? 8 : 0);

    // After every load the correction is off until the operator chooses one.
    SetControlValue(MainControl::BPCorrectionModeBox, 0);
    if (r >= 0 && r < kProxyRecordCount)
        SetCurrent(r, P::BPCorrectionMode, 0);

    StopAcquisition = true;
    // The lists hold nothing until this load has filled them: an upload, a
    // failed read or a board without software lists leaves the counts at 0.
    ClearBadPixelCounts(BadPixelIndexList);

    auto finish = [this]() {
        // A disconnection during the load has stopped acquisition for good;
        // only a live connection gets its frames back.
        if (Connected)
            StopAcquisition = false;
        BadPixelUploadRunning = false;
    };

    if (BadPixelFile == nullptr) {
        Log->writeLine("BadPixel Map File .csv load fail");
        MessageBoxCritical(QStringLiteral("Critical"), QStringLiteral("Bad Pixel Map file .csv load fail"));
        finish();
        return;
    }

    const BadPixelMap map = ReadBadPixelCsv(ReadBadPixelFileContent(BadPixelFile));
    if (map.Separator == ',')
        std::cout << "Separateur ," << std::endl;
    else if (map.Separator == ';')
        std::cout << "Separateur ;" << std::endl;
    const int n = map.Pairs.size();
    std::cout << "Number of BadPixel : " << n << std::endl;
    if (map.StoppedEarly) {
        const QString sText = QStringLiteral("Line %1 of the bad pixel map is not a row and column pair.\n"
                                             "The File reading has been interrupted: %2 pairs read before it.")
                                  .arg(map.BadLine)
                                  .arg(n);
        Log->writeLine(sText);
        MessageBoxWarning(QStringLiteral("Warning"), sText);
    }

    const BadPixelFrame frame{uint32_t(std::max(0, FrameWidth.load())), uint32_t(std::max(0, FrameHeight.load())),
                              uint32_t(std::max(0, FramePitch.load()))};
    auto outOfRange = [this]() {
        Log->writeLine("The last coordinates read were out of image size. The File reading has been interrupted.");
        MessageBoxWarning(QStringLiteral("Out of range coordinates"),
                          QStringLiteral("The last coordinates read were out of image size.\n"
                                         "The File reading has been interrupted."));
    };
    auto inFrame = [&frame](const BadPixelPair& p) {
        return p.Row >= 0 && p.Column >= 0 && p.Row < int64_t(frame.Height) && p.Column < int64_t(frame.Width);
    };

    const bool bSoftware = traits.BadPixelMap == BadPixelMapLoad::SoftwareLists
                           || (traits.BadPixelMap == BadPixelMapLoad::ListsOrUpload && BadPixelCorrectionOn);
    const bool bUpload = traits.BadPixelMap == BadPixelMapLoad::Upload
                         || (traits.BadPixelMap == BadPixelMapLoad::ListsOrUpload && !BadPixelCorrectionOn);

    if (bSoftware) {
        // Each list holds pitch x height words: the count and the indices.
        const size_t capacity = size_t(frame.PitchBytes) * frame.Height;
        const BadPixelFillResult result = FillBadPixelLists(map.Pairs, frame, BadPixelIndexList, capacity);
        for (uint32_t i = 0; i < result.Stored; ++i)
            PrintPair(map.Pairs[int(i)]);
        if (result.OutOfRange)
            outOfRange();
        if (result.Capped) {
            const QString sText = QStringLiteral("The bad pixel map holds %1 pixels, more than the frame can take.\n"
                                                 "Only the first %2 are used.")
                                      .arg(n)
                                      .arg(result.Stored);
            Log->writeLine(sText);
            MessageBoxWarning(QStringLiteral("Warning"), sText);
        }
        Log->writeLine(QStringLiteral("BadPixel Map loaded: %1 pixels").arg(result.Stored));
    } else if (bUpload) {
        SetControlEnabled(MainControl::SelectBPFileButton, false);
        auto* pProgress = new Window_SendingProgressBP(nullptr);
        QPointer<Window_SendingProgressBP> progress(pProgress);
        pProgress->setAttribute(Qt::WA_QuitOnClose, false);
        pProgress->setWindowTitle(QStringLiteral("Progressing ..."));
        pProgress->setCopyright(HeaderConstants::FooterText);
        ComboBox_BPCorrectionMode(ControlText(MainControl::BPCorrectionModeBox));
        pProgress->show();
        int sent = 0;
        for (int i = 0; i < n; ++i) {
            // The upload ends with the connection: nothing is written to a closed link.
            if (!Connected)
                break;
            const BadPixelPair& pair = map.Pairs[i];
            if (!inFrame(pair)) {
                outOfRange();
                break;
            }
            PrintPair(pair);
            const int row = int(pair.Row);
            const int column = int(pair.Column);
            if (traits.BadPixels == OnBoardBadPixels::StarRegister) {
                BoardLink& rLink = CameraLinkBoard();
                rLink.writeRegister(BoardRegisterId::BadPixelIndex, uint32_t(i));
                WaitMs(5);
                rLink.writeRegister(BoardRegisterId::BadPixelColumn, uint32_t(column));
                WaitMs(5);
                rLink.writeRegister(BoardRegisterId::BadPixelRow, uint32_t(row));
                WaitMs(150);
            } else {
                const int values[3][2] = {{10, i}, {11, column}, {12, row}};
                for (const auto& rv : values)
                    static_cast<Usb3Link&>(*CorvaneLink).writeProcessingCommand(kProcessingBoard, rv[0], rv[1]);
            }
            ++sent;
            if (progress) {
                progress->setProgress(100 * i / n);
                progress->setInformation(QString::number(i + 1) + QStringLiteral(" over ") + QString::number(n));
            }
            QCoreApplication::processEvents();
        }
        delete progress.data();
        SetControlEnabled(MainControl::SelectBPFileButton, Connected);
        Log->writeLine(QStringLiteral("BadPixel Map sent to the DigiBoard: %1 of %2 pixels").arg(sent).arg(n));
    }
    finish();
}

// -----------------------------------------------------------------------------
// One-second statistics of the main window and the no-frame watchdog.

namespace {

void CloseWarningBox()
{
    if (g_pNoFrameWarningBox && g_pNoFrameWarningBox->isVisible()) {
        g_pNoFrameWarningBox->close();
        delete g_pNoFrameWarningBox.data();
    }
    g_pNoFrameWarningBox = nullptr;
}

} // namespace

void MainWindow::TimeOut1s()
{
    SetControlText(MainControl::AcquiredFrameRateLabel, QString::number(FramesReceived.load()) + " FPS");
    SetControlText(MainControl::ShownFrameRateLabel, QString::number(FramesDisplayed.load()) + " FPS");

    if (!MatDisplayGrey.empty()) {
        cv::Scalar mean, stddev;
        cv::meanStdDev(MatDisplayGrey, mean, stddev);
        double dMin = 0, dMax = 0;
        cv::minMaxLoc(MatDisplayGrey, &dMin, &dMax);
        SetControlText(MainControl::MeanValueLabel, QString::number(std::nearbyint(mean[0]), 'f', 0));
        SetControlText(MainControl::StdValueLabel, QString::number(stddev[0], 'g', 6));
        SetControlText(MainControl::MaxValueLabel, QString::number(dMax, 'g', 6));
        SetControlText(MainControl::MinValueLabel, QString::number(dMin, 'g', 6));
    }
    if (WindowingCurrentFps)
        WindowingCurrentFps(uint16_t(FramesReceived.load()));

    const BoardTraits& traits = BoardTraitsOf(DigiBoardKind);
    double dMbits = 0;
    if (traits.BandwidthFromDevice) {
        double dBandwidth = 0;
        if (auto* pFloat = dynamic_cast<PvGenFloat*>(GigEBandwidthParameter))
            pFloat->GetValue(dBandwidth);
        dMbits = dBandwidth / 1048576.0;
    } else {
        dMbits = FrameBandwidthMbits(FrameWidth, FrameHeight, FramesReceived);
    }
    SetControlText(MainControl::BandwidthLabel, BandwidthText(dMbits));

    int seconds = NoFrameSeconds;
    const WatchdogAction action = WatchdogTick(traits.Watchdog, FrameCounter, seconds, DebugRunning);
    NoFrameSeconds = seconds;
    switch (action) {
    case WatchdogAction::CountedAndPrint:
        std::cout << "No frame since " << seconds << "seconds" << std::endl;
        break;
    case WatchdogAction::FrameSeen:
        if (traits.Watchdog == NoFrameWatchdog::WarnsThenDisconnects)
            CloseWarningBox();
        break;
    case WatchdogAction::ShowWarning: {
        CloseWarningBox();
        auto* pBox = new QMessageBox(QMessageBox::Warning, QStringLiteral("Warning"),
                                     QStringLiteral("Corvane is deconnecting...\nRecovering in progress"),
                                     QMessageBox::Ok, this);
        pBox->setModal(false);
        g_pNoFrameWarningBox = pBox;
        pBox->show();
        std::cout << "No frame since " << 4 << "seconds" << std::endl;
        break;
    }
    case WatchdogAction::Disconnect:
        if (traits.Watchdog == NoFrameWatchdog::WarnsThenDisconnects) {
            CloseWarningBox();
            auto* pBox = new QMessageBox(QMessageBox::Critical, QStringLiteral("Critical"),
                                         QStringLiteral("Corvane is deconnected...\nPlease check connexion"),
                                         QMessageBox::Ok, this);
            pBox->setAttribute(Qt::WA_DeleteOnClose);
            pBox->setModal(true);
            pBox->show();
            Deinit();
        } else {
            StopAcquisition = true;
            Deinit();
            PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Critical"),
                               QString::fromLatin1(traits.Name) + QStringLiteral(" is deconnected...\nPlease check connexion"),
                               {QStringLiteral("OK")}});
        }
        break;
    default:
        break;
    }

    // A disconnection leaves the counter at -1 (no acquisition) as Deinit set it.
    if (action != WatchdogAction::Disconnect)
        FrameCounter = 0;
    FramesDisplayed = 0;
    FramesReceived = 0;
}
