// The GigE Vision board link (Dunstel): device choice, UART bridge, stream set-up, pipeline and tear-down.
#include "board/links/gige_link.h"
#include "params/board_register_id.h"

#include "board/acquisition_state.h"
#include "board/connect_retry.h"
#include "board/gige_link.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/frame_series_saver.h"
#include "platform/ebus/ebus.h"

#include <cstdio>
#include <vector>

namespace {

// ReadGigESerial reads up to 100 bytes; the rest keeps the text terminated.
constexpr int kReplyBufferSize = 300;
// The terminal's reads take a larger buffer.
constexpr int kTerminalBufferSize = 3000;
// The board's indirect register pair.

int SizeOf(PvDevice* p_pDevice, bool p_bWidth)
{
    if (p_pDevice == nullptr)
        return 0;
    return p_bWidth ? GetGigEWidth(p_pDevice) : GetGigEHeight(p_pDevice);
}

} // namespace

GigELinkState& GigELinkStateOf(BoardLink& p_rLink)
{
    return static_cast<GigELink&>(p_rLink).state();
}

GigELink::~GigELink() = default;

int GigELink::connect()
{
    GigELinkState& s = m_State;
    logLine(QStringLiteral("Select the GigE in the Pleora Window"));
    PvDeviceFinderWnd finder;
    s.DeviceInfo = SelectGigEDevice(&finder);
    if (s.DeviceInfo == nullptr) {
        s.Device = nullptr;
        s.SerialPort = nullptr;
        return ConnectResult::GigENotChosen;
    }
    s.Device = ConnectGigEDevice(s.DeviceInfo);
    if (s.Device == nullptr) {
        releaseConnection();
        return ConnectResult::GigEOpenFailed;
    }
    s.SerialPort = OpenGigESerial(s.Device);
    if (s.SerialPort == nullptr) {
        releaseConnection();
        return ConnectResult::LinkFailed;
    }
    return ConnectResult::Connected;
}

bool GigELink::connected() const
{
    return m_State.Device != nullptr && m_State.SerialPort != nullptr;
}

void GigELink::releaseConnection()
{
    // After a failed attempt nothing counts as connected, so the tear-down
    // would leave these behind: the next attempt must find the device free.
    GigELinkState& s = m_State;
    if (s.SerialPort) {
        CloseGigESerial(s.SerialPort);
        delete s.SerialPort;
        s.SerialPort = nullptr;
    }
    if (s.Device) {
        s.Device->Disconnect();
        PvDevice::Free(s.Device);
        s.Device = nullptr;
    }
    s.DeviceInfo = nullptr;
}

std::optional<BoardIdentification> GigELink::identify()
{
    if (!sendText("!p")) {
        std::printf("Problem while sending !p to GigE\n");
        std::fflush(stdout);
        return std::nullopt;
    }
    const QByteArray proxy = readReply();
    if (!sendText("!f")) {
        std::printf("Problem while sending !f to GigE\n");
        std::fflush(stdout);
        return std::nullopt;
    }
    const QByteArray rate = readReply();
    return IdentifyDunstel(proxy, rate);
}

PrepareResult GigELink::prepare(const PrepareRequest& p_Request)
{
    GigELinkState& s = m_State;
    PrepareResult result;
    auto fail = [&result](const char* p_szTitle, const char* p_szText) {
        result.Result = PrepareResult::Failed;
        result.Title = QString::fromLatin1(p_szTitle);
        result.Text = QString::fromLatin1(p_szText);
        return result;
    };
    logLine(QStringLiteral("Set format to apply"));
    if (s.Device)
        SetGigEPixelFormat(s.Device, "Mono16");
    s.Stream = s.DeviceInfo ? OpenGigEStream(s.DeviceInfo) : nullptr;
    if (!s.Stream)
        return fail("Error while opening GigE stream", "Kestivo can't open a streaming connection with GigE");
    if (p_Request.TransportOpened)
        p_Request.TransportOpened();
    s.DeviceParameters = s.Device ? s.Device->GetParameters() : nullptr;
    if (!s.DeviceParameters)
        return fail("Error while opening GigE Device Parameters", "Kestivo can't access to the GigE Device parameters");
    s.StreamParameters = s.Stream->GetParameters();
    if (!s.StreamParameters)
        return fail("Error while opening GigE Stream Parameters", "Kestivo can't access to the GigE Stream parameters");
    logLine(QStringLiteral("Get Dunstel Commands and Stream Parameters"));
    s.AcquisitionStartCommand = dynamic_cast<PvGenCommand*>(s.DeviceParameters->Get("AcquisitionStart"));
    s.AcquisitionStopCommand = dynamic_cast<PvGenCommand*>(s.DeviceParameters->Get("AcquisitionStop"));
    s.BandwidthParameter = dynamic_cast<PvGenFloat*>(s.StreamParameters->Get("Bandwidth"));
    const int proxy = p_Request.ProxyIndex;
    const bool bEdge = proxy == 3 || proxy == 9 || proxy == 12 || proxy == 15;
    const char* szSensitivity = bEdge ? "Edge" : "Level";
    logLine(QString("Set NTX LV Sensitivity to ") + szSensitivity);
    logLine(QString("Set NTX FV Sensitivity to ") + szSensitivity);
    s.DeviceParameters->SetEnumValue("PixelBusLineValidEdgeSensitivity", szSensitivity);
    s.DeviceParameters->SetEnumValue("PixelBusFrameValidEdgeSensitivity", szSensitivity);
    logLine(QStringLiteral("Set NTX TestPatern to Off"));
    s.DeviceParameters->SetEnumValue("TestPattern", "Off");

    result.RequestedWidth = int(GetDefault(proxy, ProxyParameterId::GigEImageWidth));
    result.RequestedHeight = int(GetDefault(proxy, ProxyParameterId::GigEImageHeight));
    logLine("Send ImageSize to the Dunstel: " + QString::number(result.RequestedWidth) + "x"
            + QString::number(result.RequestedHeight));
    if (s.Device) {
        SetGigEWidth(result.RequestedWidth, s.Device);
        SetGigEHeight(result.RequestedHeight, s.Device);
    }
    result.Width = SizeOf(s.Device, true);
    result.Height = SizeOf(s.Device, false);
    if (result.Width != result.RequestedWidth || result.Height != result.RequestedHeight) {
        logLine(QStringLiteral("Set Image Size problem"));
        logLine("Callback Size :" + QString::number(result.Width) + "x" + QString::number(result.Height));
        result.Result = PrepareResult::SizeRefused;
    }
    return result;
}

InitResult GigELink::init()
{
    const int64_t width = SizeOf(m_State.Device, true);
    const int64_t height = SizeOf(m_State.Device, false);
    InitResult result;
    result.InBounds = FrameSizeInBounds(width, height, DunstelMaxFrameSide);
    result.Width = result.InBounds ? int(width) : 0;
    result.Height = result.InBounds ? int(height) : 0;
    result.Pitch = 2 * result.Width;
    return result;
}

void GigELink::setupDestination()
{
    SetupGigEStreamDestination(m_State.Device, m_State.Stream);
}

bool GigELink::start(FrameSink& p_Sink)
{
    GigELinkState& s = m_State;
    s.Pipeline = CreateGigEPipeline(s.Device, s.Stream);
    if (s.Device)
        s.Device->StreamEnable(0);
    logLine(QStringLiteral("Send AcquisitionStart command to the Dunstel"));
    if (s.AcquisitionStartCommand)
        s.AcquisitionStartCommand->Execute();
    s.EventSink = new GigEFrameSink(p_Sink);
    if (s.Pipeline) {
        s.Pipeline->RegisterEventSink(s.EventSink);
        s.Pipeline->Start();
        s.StreamStarted = true;
    }
    return s.StreamStarted;
}

void GigELink::stop()
{
    GigELinkState& s = m_State;
    if (s.Device && s.Stream) {
        logLine(QStringLiteral("Closing Dunstel"));
        if (s.Device->IsConnected() && s.StreamStarted && s.AcquisitionStopCommand)
            s.AcquisitionStopCommand->Execute();
        logLine(QStringLiteral("Disabling streaming on the controller"));
        s.Device->StreamDisable(0);
        logLine(QStringLiteral("Aborting buffers still in stream"));
        s.Stream->AbortQueuedBuffers();
        FreeGigEBufferList(s.BufferList);
        logLine(QStringLiteral("... OK"));
        if (s.Pipeline)
            s.Pipeline->Stop();
    }
    if (s.Pipeline) {
        if (s.EventSink)
            s.Pipeline->UnregisterEventSink(s.EventSink);
        delete s.Pipeline;
        s.Pipeline = nullptr;
    }
    delete s.EventSink;
    s.EventSink = nullptr;
    s.StreamStarted = false;
    if (s.Stream) {
        s.Stream->Close();
        PvStream::Free(s.Stream);
        s.Stream = nullptr;
    }
    // The port and the device are freed whatever their state: a port that
    // closed itself or a device that went away must not be leaked.
    if (s.SerialPort && s.SerialPort->IsOpened()) {
        logLine(QStringLiteral("Closing Dunstel Serial Port ..."));
        CloseGigESerial(s.SerialPort);
        delete s.SerialPort;
        s.SerialPort = nullptr;
        logLine(QStringLiteral("... OK"));
    }
    delete s.SerialPort;
    s.SerialPort = nullptr;
    if (s.Device && s.Device->IsConnected()) {
        logLine(QStringLiteral("Disconnecting the Dunstel stream ..."));
        s.Device->Disconnect();
        PvDevice::Free(s.Device);
        s.Device = nullptr;
        logLine(QStringLiteral("... OK"));
    }
    if (s.Device) {
        PvDevice::Free(s.Device);
        s.Device = nullptr;
    }
    s.AcquisitionStartCommand = nullptr;
    s.AcquisitionStopCommand = nullptr;
    s.BandwidthParameter = nullptr;
    s.DeviceParameters = nullptr;
    s.StreamParameters = nullptr;
}

FramePathRules GigELink::framePathRules() const
{
    // The GigE save-all counters are process-wide: no new connection resets them.
    static const FrameSeries series{GigESeriesRule(), &GigESaveImageIndex, &GigESaveFrameCount};
    FramePathRules rules;
    rules.ShowOnlyWhileAcquiring = true;
    rules.Series = &series;
    return rules;
}

int GigELink::writeRegister(BoardRegisterId p_Id, uint32_t p_uValue)
{
    return SendGigECommand(m_State.SerialPort, p_Id, int(p_uValue));
}

int GigELink::writeIndirectAddress(int p_iAddress)
{
    return SendGigECommand(m_State.SerialPort, BoardRegisterId::PERSO_ADDR, p_iAddress);
}

int GigELink::writeIndirectValue(int p_iValue)
{
    return SendGigECommand(m_State.SerialPort, BoardRegisterId::PERSO_VALUE, p_iValue);
}

bool GigELink::sendText(const QByteArray& p_Text)
{
    return FlushAndSendGigE(m_State.SerialPort, p_Text.constData());
}

QByteArray GigELink::readTerminalReply()
{
    // At most 100 bytes arrive: the buffer stays terminated.
    std::vector<unsigned char> reply(kTerminalBufferSize, 0);
    ReadGigESerial(m_State.SerialPort, reply.data());
    return QByteArray(reinterpret_cast<const char*>(reply.data()));
}

QByteArray GigELink::pollText()
{
    std::vector<unsigned char> reply(kTerminalBufferSize, 0);
    if (ReadGigESerialRaw(m_State.SerialPort, reply.data()))
        return QByteArray();
    return QByteArray(reinterpret_cast<const char*>(reply.data()));
}

QByteArray GigELink::readReply()
{
    // A time-out reads as nothing, never as an earlier reply.
    unsigned char reply[kReplyBufferSize] = {};
    const bool bTimeout = ReadGigESerial(m_State.SerialPort, reply);
    return bTimeout ? QByteArray() : QByteArray(reinterpret_cast<const char*>(reply));
}
