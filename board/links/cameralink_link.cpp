// The Camera Link board link (Arvex, Belmor, Belmor+): serial port selection, identification, the frame grabber's channel and its frames.
#include "board/links/cameralink_link.h"

#include "app/waits.h"
#include "board/acquisition_state.h"
#include "board/board_configuration.h"
#include "board/cameralink_commands.h"
#include "board/cameralink_serial.h"
#include "board/connect_retry.h"
#include "board/multicam_channel.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/frame_series_saver.h"

#include <iostream>

namespace {

// Both buffers the selection and the channel fill hold 1000 bytes.
static_assert(CameraLinkMessageBufferSize == MultiCamMessageBufferSize, "one message buffer serves both");

QByteArray AskCameraLink(const char* p_szQuery, int p_iWaitMs)
{
    SendCameraLinkText(p_szQuery);
    WaitMs(p_iWaitMs);
    return ReadCameraLinkSerial(true).toLatin1();
}

} // namespace

CameraLinkLinkState& CameraLinkTransport()
{
    static CameraLinkLinkState s_State;
    return s_State;
}

CameraLinkLink& CameraLinkLinkOf(BoardLink& p_rLink)
{
    return static_cast<CameraLinkLink&>(p_rLink);
}

CameraLinkLink::CameraLinkLink(BoardKind p_Kind)
    : m_Kind(p_Kind), m_State(CameraLinkTransport()), m_Message(CameraLinkMessageBufferSize, '\0')
{
}

CameraLinkLink::~CameraLinkLink()
{
    // The channel's callback holds this link: it must not outlive it.
    if (m_bChannelOpen)
        closeChannel();
}

int CameraLinkLink::connect()
{
    std::fill(m_Message.begin(), m_Message.end(), '\0');
    const int iStatus = SelectCameraLinkPort(context().Log, m_Message.data(), m_Message.size());
    m_Message.back() = '\0';
    return iStatus == 0 ? ConnectResult::Connected : ConnectResult::LinkFailed;
}

bool CameraLinkLink::connected() const
{
    return m_State.Serial != nullptr;
}

void CameraLinkLink::releaseConnection()
{
    CloseCameraLinkSerial();
}

std::optional<BoardIdentification> CameraLinkLink::identify()
{
    switch (m_Kind) {
    case BoardKind::BelmorPlus: {
        const QByteArray proxy = AskCameraLink("!p", 50);
        const QByteArray rate = AskCameraLink("!f", 50);
        return IdentifyBelmorPlus(proxy, rate);
    }
    case BoardKind::Arvex: {
        const QByteArray proxy = AskCameraLink("*p", 100);
        WaitMs(50);
        const QByteArray rate = AskCameraLink("*f", 100);
        return IdentifyArvex(proxy, rate);
    }
    default:
        // The operator chose the proxy in the selector; the board knows none.
        return std::nullopt;
    }
}

void CameraLinkLink::setCameraFile(const QString& p_sProxyName, bool p_bWindowingDisabled, bool p_bTwoTap)
{
    m_sProxyName = p_sProxyName;
    m_bWindowingDisabled = p_bWindowingDisabled;
    m_bTwoTap = p_bTwoTap;
}

PrepareResult CameraLinkLink::prepare(const PrepareRequest& p_Request)
{
    PrepareResult result;
    if (p_Request.TransportOpened)
        p_Request.TransportOpened();
    std::fill(m_Message.begin(), m_Message.end(), '\0');
    bool bWindowingDisabled = m_bWindowingDisabled;
    m_Geometry = FrameGeometry{};
    // Registered before the channel runs: its first frames find the link.
    m_bChannelOpen = true;
    if (InitializeMultiCam(m_sProxyName, &bWindowingDisabled, m_Message.data(), m_bTwoTap, this, &m_Geometry) != 0) {
        // The set-up deleted the channel; the grabber is closed on stop().
        m_Message.back() = '\0';
        m_Geometry = FrameGeometry{};
        result.Result = PrepareResult::Failed;
        result.Title = QStringLiteral("Critical");
        result.Text = "InitializeMultiCam() fail: InitChannel Error: " + QString::fromLatin1(m_Message.data());
        return result;
    }
    result.Width = m_Geometry.Width;
    result.Height = m_Geometry.Height;
    result.RequestedWidth = m_Geometry.Width;
    result.RequestedHeight = m_Geometry.Height;
    return result;
}

InitResult CameraLinkLink::init()
{
    // The channel's set-up refused a geometry out of bounds.
    InitResult result;
    result.InBounds = FrameSizeInBounds(m_Geometry.Width, m_Geometry.Height, CameraLinkMaxFrameSide);
    if (!result.InBounds)
        return result;
    result.Width = m_Geometry.Width;
    result.Height = m_Geometry.Height;
    result.Pitch = m_Geometry.Pitch;
    return result;
}

bool CameraLinkLink::start(FrameSink& p_Sink)
{
    setFrameSink(&p_Sink);
    return m_State.Channel != 0;
}

void CameraLinkLink::closeChannel()
{
    // Idles the channel (joining its thread), deletes it and closes the driver.
    CloseMultiCamChannel();
    m_bChannelOpen = false;
    setFrameSink(nullptr);
}

void CameraLinkLink::stop()
{
    closeChannel();
    releaseConnection();
}

FramePathRules CameraLinkLink::framePathRules() const
{
    // Belmor frames are saved by the acquisition loop, from the display's copies.
    static const FrameSeries series{CameraLinkSeriesRule(), &MultiCamSaveImageIndex, &MultiCamSavedFrames};
    FramePathRules rules;
    rules.DropWhileDisplayBusy = true;
    rules.FlagCameraLinkReady = true;
    rules.ShowOnlyWhileAcquiring = true;
    rules.Series = m_Kind == BoardKind::Arvex || m_Kind == BoardKind::BelmorPlus ? &series : nullptr;
    return rules;
}

void CameraLinkLink::handleSignal(PMCSIGNALINFO p_pSignalInfo)
{
    switch (p_pSignalInfo->Signal) {
    case MC_SIG_SURFACE_PROCESSING: {
        FrameSink* pSink = m_pSink.load();
        void* pSurface = nullptr;
        McGetParamPtr(p_pSignalInfo->SignalInfo, MC_SurfaceAddr, &pSurface);
        // Past the tear-down the program's buffers are gone: the frame is not used.
        if (!pSink || !pSurface || pSink->frameBuffer() == nullptr)
            return;
        pSink->offer(RawFrame{static_cast<unsigned short*>(pSurface), m_Geometry});
        return;
    }
    case MC_SIG_ACQUISITION_FAILURE:
        std::cout << "Acquisition Failure. Is a /*video*/ signal connected ?" << std::endl;
        g_bAcquisitionEnded = true;
        if (m_StreamEnded)
            m_StreamEnded(true);
        return;
    default:
        std::cout << "Signal not handled: " << p_pSignalInfo->Signal << std::endl;
        g_bAcquisitionEnded = true;
        if (m_StreamEnded)
            m_StreamEnded(false);
        return;
    }
}

int CameraLinkLink::writeRegister(BoardRegisterId p_Id, uint32_t p_uValue)
{
    const int iValue = static_cast<int>(p_uValue);
    return starDialect() ? SendCameraLinkCommandStar(p_Id, iValue, false) : SendCameraLinkCommand(p_Id, iValue, false);
}

int CameraLinkLink::writeWindowCorner(BoardRegisterId p_Id, uint32_t p_uValue)
{
    return SendCameraLinkCommandStar(p_Id, static_cast<int>(p_uValue), false);
}

int CameraLinkLink::writeIndirectAddress(int p_iAddress)
{
    return hasIndirect() ? SendCameraLinkCommand(BoardRegisterId::PERSO_ADDR, p_iAddress, false) : 1;
}

int CameraLinkLink::writeIndirectValue(int p_iValue)
{
    return hasIndirect() ? SendCameraLinkCommand(BoardRegisterId::PERSO_VALUE, p_iValue, false) : 1;
}

bool CameraLinkLink::sendText(const QByteArray& p_Text)
{
    return SendCameraLinkText(p_Text.constData()) == 0;
}

QByteArray CameraLinkLink::readReply()
{
    return ReadCameraLinkSerial(false).toLatin1();
}

namespace {

// The dialect's text that asks the board for its reference; the Belmor has none.
const char* ReferenceText(BoardKind p_Kind)
{
    if (p_Kind == BoardKind::Arvex)
        return "*s";
    return p_Kind == BoardKind::BelmorPlus ? "!s" : nullptr;
}

} // namespace

int CameraLinkLink::takeHardwareReference()
{
    const char* szText = ReferenceText(m_Kind);
    return szText ? SendCameraLinkText(szText) : 1;
}

ReferenceRule CameraLinkLink::referenceRule() const
{
    ReferenceRule rule;
    const char* szText = ReferenceText(m_Kind);
    if (!szText)
        return rule;
    rule.BoardTakesReference = true;
    rule.OnlyWhileConnected = true;
    if (m_Kind == BoardKind::BelmorPlus) {
        rule.ProgramBoxes = ReferenceBoxes::None;
        rule.BoardBoxes = ReferenceBoxes::None;
    }
    rule.NotSentLine = QString("Camera Link text not sent: ") + szText;
    return rule;
}

QByteArray CameraLinkLink::readTerminalReply()
{
    return ReadCameraLinkSerial(true).toLatin1();
}
