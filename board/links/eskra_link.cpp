// The serial-port board link (Eskra): the first listed port, the per-frame read cycle on the GUI thread and its two worker threads, the commands between frames.
#include "board/links/eskra_link.h"

#include "app/waits.h"
#include "board/connect_retry.h"
#include "board/eskra_command.h"
#include "board/eskra_frame_stream.h"
#include "board/eskra_threads.h"
#include "platform/serialports/serial_ports.h"

#include <QSerialPort>
#include <QStringList>
#include <QThread>

#include <pthread.h>

namespace {

// The board takes a command only after this wait.
constexpr int kEskraCommandWaitMs = 100;

// Runs one worker thread and waits for it; on a failed creation the body runs
// here instead, so a frame is never skipped for want of a thread.
void RunAndJoin(void* (*p_pBody)(void*), void* p_pArgument)
{
    pthread_t thread;
    if (pthread_create(&thread, nullptr, p_pBody, p_pArgument) == 0)
        pthread_join(thread, nullptr);
    else
        p_pBody(p_pArgument);
}

} // namespace

int WriteEskraRegister(QSerialPort* p_pPort, int p_iRegisterId, int p_iValue)
{
    int iStatus = EskraCommandOk;
    const QByteArray text = FormatEskraCommand(p_iRegisterId, p_iValue, &iStatus).toLatin1();
    if (iStatus != EskraCommandOk || !p_pPort || p_pPort->write(text) == -1)
        return -1;
    WaitMs(kEskraCommandWaitMs);
    return 0;
}

EskraLinkState& EskraLinkStateOf(BoardLink& p_rLink)
{
    return static_cast<EskraLink&>(p_rLink).state();
}

EskraLink::EskraLink() = default;

EskraLink::~EskraLink()
{
    m_pSink = nullptr;
    if (m_pOwnPort && m_pOwnPort->isOpen())
        m_pOwnPort->close();
}

int EskraLink::connect()
{
    return ConnectResult::Connected;
}

bool EskraLink::connected() const
{
    return m_State.SerialPort != nullptr && m_State.SerialPort->isOpen();
}

void EskraLink::releaseConnection()
{
    if (m_State.SerialPort && m_State.SerialPort->isOpen())
        m_State.SerialPort->close();
}

std::optional<BoardIdentification> EskraLink::identify()
{
    return std::nullopt;
}

PrepareResult EskraLink::prepare(const PrepareRequest& p_Request)
{
    PrepareResult result;
    logLine(QStringLiteral("Open SerialPort"));
    m_State.PortName.clear();
    const QStringList ports = AvailableSerialPortNames();
    m_bPortFound = !ports.isEmpty();
    if (!m_bPortFound) {
        logLine(QStringLiteral("No serial port found"));
        result.Result = PrepareResult::Failed;
        result.Title = QStringLiteral("Critical");
        result.Text = QStringLiteral("No serial port found: the Eskra DigiBoard can't be opened.");
        return result;
    }
    m_State.PortName = ports.first().toLatin1();
    logLine("Serial Port : " + QString::fromLatin1(m_State.PortName));
    if (!m_State.SerialPort) {
        m_pOwnPort = std::make_unique<QSerialPort>();
        m_State.SerialPort = m_pOwnPort.get();
    }
    if (OpenAndConfigureSerialPortEskra(m_State.SerialPort, m_State.PortName.constData()) != 0) {
        result.Result = PrepareResult::Failed;
        result.Title = QStringLiteral("CRITICAL");
        result.Text = "Can't open Serial port " + QString::fromLatin1(m_State.PortName) + " correctly";
        return result;
    }
    if (p_Request.TransportOpened)
        p_Request.TransportOpened();
    result.Width = EskraFrameWidth;
    result.Height = EskraFrameHeight;
    return result;
}

InitResult EskraLink::init()
{
    m_State.Checksums[0] = m_State.Checksums[1] = m_State.Checksums[2] = 0;
    InitResult geometry;
    geometry.InBounds = true;
    geometry.Width = EskraFrameWidth;
    geometry.Height = EskraFrameHeight;
    geometry.Pitch = 2 * EskraFrameWidth;
    return geometry;
}

bool EskraLink::start(FrameSink& p_Sink)
{
    m_pSink = &p_Sink;
    for (int i = 0; i < 2; ++i) {
        if (m_State.Buffers[i])
            continue;
        m_OwnBuffers[i].assign(EskraFrameBytes, 0);
        m_State.Buffers[i] = m_OwnBuffers[i].data();
    }
    return connected();
}

bool EskraLink::pump(const std::function<void()>& p_BetweenFrames)
{
    EskraLinkState& s = m_State;
    const int emptyReads = s.Receiver.emptyReadCount;
    FetchEskraPortBytes(s);
    RunAndJoin(EskraReadThread, &s);
    CheckSerialFrameEskra(s.Receiver, uint32_t(s.Checksums[1]), uint32_t(s.Checksums[0]), uint32_t(s.Checksums[2]));
    FrameSink* pSink = m_pSink;
    const FrameGeometry geometry = pSink ? pSink->geometry() : FrameGeometry{};
    unsigned short* pPixels = pSink ? pSink->frameBuffer() : nullptr;
    // A buffer that cannot hold the whole frame is not written.
    s.DecodeTarget = geometry.pixelCount() >= size_t(EskraFramePixels) ? pPixels : nullptr;
    RunAndJoin(EskraProcessThread, &s);
    s.DecodeTarget = nullptr;
    const bool bFrame = s.Receiver.frameComplete;
    if (bFrame) {
        // On the GUI thread; the board writes no save-all series.
        if (pSink)
            pSink->offer(RawFrame{pPixels, geometry});
        // The callback may run a stop (its waits process events): the sink is
        // not touched after it.
        if (p_BetweenFrames)
            p_BetweenFrames();
    } else if (s.Receiver.emptyReadCount != emptyReads) {
        // Nothing arrived: give the line a moment instead of spinning a core.
        QThread::usleep(500);
    }
    s.Receiver.frameComplete = false;
    return bFrame;
}

void EskraLink::stop()
{
    m_pSink = nullptr;
    if (m_State.SerialPort && m_State.SerialPort->isOpen())
        m_State.SerialPort->close();
    m_State.PortOpen = false;
}

int EskraLink::writeRegister(BoardRegisterId p_Id, uint32_t p_uValue)
{
    return WriteEskraRegister(m_State.SerialPort, p_Id, static_cast<int>(p_uValue));
}

bool EskraLink::sendText(const QByteArray& p_Text)
{
    return m_State.SerialPort && m_State.SerialPort->isOpen() && m_State.SerialPort->write(p_Text) != -1;
}
