// The USB3 board link (Corvane): the capture library's presence check, identification, asynchronous capture and tear-down.
#include "board/links/usb3_link.h"

#include "board/acquisition_state.h"
#include "board/board_configuration.h"
#include "board/connect_retry.h"
#include "board/corvane_writer.h"
#include "board/register_writer.h"
#include "board/usb3_callbacks.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/frame_series_saver.h"
#include "usb3lib/Quenlin.h"

#include "app/globals.h"

#include <atomic>
#include <utility>

namespace {

// Quenlin's frame callback carries no user pointer: the one sink that
// streams is kept here, set by start() and cleared by stop().
std::atomic<FrameSink*> s_ActiveSink{nullptr};

// The processing board behind the USB3 board and its image gain and offset registers.
constexpr int kProcessingBoard = 2;
constexpr int kGainRegister = 7;
constexpr int kOffsetRegister = 8;

// The two-tap proxy: two sensor lines per transfer line.
constexpr int kTwoTapProxy = 23;

} // namespace

FrameSink* Usb3Link::activeSink()
{
    return s_ActiveSink.load(std::memory_order_acquire);
}

Usb3Link::~Usb3Link() = default;

int Usb3Link::connect()
{
    m_bConnected = false;
    if (isInitialized() == 0) {
        const int hr = initSyncCapture(0);
        if (hr == QUENLIN_MF_E_NOT_FOUND)
            return ConnectResult::CorvaneAbsent;
        if (hr < 0)
            return ConnectResult::LinkFailed;
        // Closed again, so that the board-number queries and the acquisition
        // start find the device free.
        deinitCapture(0);
    }
    m_bConnected = true;
    return ConnectResult::Connected;
}

int Usb3Link::connectFailure(int p_iResult, bool p_bLastAttempt) const
{
    return p_iResult == ConnectResult::LinkFailed && !p_bLastAttempt ? ConnectResult::CorvaneAbsent : p_iResult;
}

std::optional<BoardIdentification> Usb3Link::identify()
{
    int iProxy = -255;
    int iRate = -255;
    const int iProxyStatus = getProxyNumber(&iProxy);
    const int iRateStatus = getFPSNumber(&iRate);
    const BoardIdentification id = IdentifyCorvane(iProxyStatus, iProxy, iRateStatus, iRate);
    if (iRateStatus != 0)
        logLine("Problem when reading values of FPS and proxy into the Corvane");
    else if (id.ProxyRead)
        logLine("Corvane sent the following configuration: Proxy = " + QString::number(id.ProxyListPosition) + " @"
                + QString::number(id.FrameRate) + "FPS");
    return id;
}

PrepareResult Usb3Link::prepare(const PrepareRequest& p_Request)
{
    m_iProxyIndex = p_Request.ProxyIndex;
    logLine("***** Corvane initializing *****");
    PrepareResult result;
    m_iCaptureStatus = initAsyncCapture(OnUsbFrameReady, OnUsbCaptureEvent, 0, 1);
    if (m_iCaptureStatus < 0) {
        result.Result = PrepareResult::Failed;
        result.Title = QStringLiteral("Error when initializing Corvane");
        result.Text = QStringLiteral("An unexpected error happend when initializing Corvane DigiBoard.");
        return result;
    }
    if (p_Request.TransportOpened)
        p_Request.TransportOpened();
    return result;
}

InitResult Usb3Link::init()
{
    logLine("Get Corvane data about size and proxy configuration");
    int width = 0, height = 0, pitch = 0;
    getWidth(&width);
    getHeight(&height);
    getPitch(&pitch);
    // The two-tap proxy sends two sensor lines per transfer line; the frame
    // callback unfolds them.
    if (m_iProxyIndex == kTwoTapProxy) {
        width /= 2;
        pitch /= 2;
        height *= 2;
    }
    InitResult result;
    result.Width = width;
    result.Height = height;
    result.Pitch = pitch;
    result.InBounds = FrameSizeInBounds(width, height, CorvaneMaxFrameSide) && pitch >= 2 * width;
    return result;
}

bool Usb3Link::start(FrameSink& p_Sink)
{
    s_ActiveSink.store(&p_Sink, std::memory_order_release);
    if (isInitialized() == 0)
        initAsyncCapture(OnUsbFrameReady, OnUsbCaptureEvent, 0, 1);
    startCapture();
    return true;
}

void Usb3Link::stop()
{
    stopCapture();
    for (int i = 0; i < 100 && isInitialized() != 0; ++i)
        deinitCapture(1);
    s_ActiveSink.store(nullptr, std::memory_order_release);
    m_bConnected = false;
}

FramePathRules Usb3Link::framePathRules() const
{
    static const FrameSeries series{Usb3SeriesRule(), &g_iSaveAllFramesFileIndex, &g_iSaveAllFramesCount};
    FramePathRules rules;
    // The capture's own buffer is read in place.
    rules.DropWhileDisplayBusy = true;
    rules.Series = &series;
    rules.StopCaptureAfterStop = [] { stopCapture(); };
    return rules;
}

int Usb3Link::writeRegister(BoardRegisterId p_Id, uint32_t p_uValue)
{
    const int iValue = static_cast<int>(p_uValue);
    if (p_Id == BoardRegisterId::GAIN_IMG)
        return writeProcessingCommand(kProcessingBoard, kGainRegister, iValue);
    if (p_Id == BoardRegisterId::OFFSET_IMG)
        return writeProcessingCommand(kProcessingBoard, kOffsetRegister, iValue);
    return SetCorvaneParameter(p_Id, iValue, false);
}

bool Usb3Link::namesOperatorParameter(BoardRegisterId p_Id) const
{
    return p_Id < BoardRegisterId::ProcessingCommand && p_Id != BoardRegisterId::GAIN_IMG
           && p_Id != BoardRegisterId::OFFSET_IMG;
}

// A failed half shows the writer's box, as every indirect write to this board has.
int Usb3Link::writeIndirectAddress(int p_iAddress)
{
    return SetCorvaneParameter(BoardRegisterId::FpgaRegisterAddress, p_iAddress, true);
}

int Usb3Link::writeIndirectValue(int p_iValue)
{
    return SetCorvaneParameter(BoardRegisterId::FpgaRegisterValue, p_iValue, true);
}

int Usb3Link::writeParameter(int p_iParameter, int p_iValue)
{
    return SetCorvaneParameter(p_iParameter, p_iValue, true);
}

int Usb3Link::writeProcessingCommand(int p_iBoard, int p_iRegister, int p_iValue, const CommandStep& p_Step)
{
    const std::pair<BoardRegisterId, int> steps[] = {{BoardRegisterId::ProcessingBoard, p_iBoard},
                                                     {BoardRegisterId::ProcessingRegister, p_iRegister},
                                                     {BoardRegisterId::ProcessingValue, p_iValue},
                                                     {BoardRegisterId::ProcessingCommand, 0}};
    int iResult = 0;
    for (const auto& step : steps) {
        const int iStatus = SetCorvaneParameter(step.first, step.second, false);
        if (p_Step)
            p_Step(step.first, step.second, iStatus);
        if (iResult == 0)
            iResult = iStatus;
    }
    return iResult;
}

int Usb3Link::writeProcessingRegister(int p_iBoard, int p_iRegister, int p_iValue)
{
    return setParameterToBoard(p_iBoard, p_iRegister, p_iValue);
}

bool Usb3Link::sendText(const QByteArray& p_Text)
{
    // The USB3 board takes parameters, not texts.
    (void)p_Text;
    return false;
}

QByteArray Usb3Link::readReply()
{
    return QByteArray();
}

int Usb3Link::takeHardwareReference()
{
    return SetCorvaneParameter(kCorvaneTakeReferenceParameter, 0, false);
}

ReferenceRule Usb3Link::referenceRule() const
{
    ReferenceRule rule;
    rule.BoardTakesReference = true;
    rule.BoardBoxes = ReferenceBoxes::ApplyNuc;
    rule.NotSentLine = QStringLiteral("Corvane parameter 54 not sent");
    return rule;
}
