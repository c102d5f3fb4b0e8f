// The simulated serial-port board: a pseudo-terminal that streams framed 14-bit frames and takes "!" commands.
#include "sim/eskra/eskra_board.h"

#include "sim/core/board_registry.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/sensor_model.h"
#include "sim/core/simulation_settings.h"

#include "params/register_letters.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

constexpr BoardKind kBoard = BoardKind::Eskra;
constexpr int kPollMs = 2;
// A command of four or more value characters ends when the line stays idle this long.
constexpr int64_t kCommandGapNs = 10'000'000;
constexpr int kMaxValueChars = 7;
constexpr size_t kMaxChunk = 1024;

int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The board's firmware decodes the serial-port family's letters; its
// register ids are the sensor model's register numbers.
int RegisterForLetter(char p_c)
{
    return RegisterIdForLetter(RegisterFamily::Eskra, p_c);
}

bool SetRaw(int p_iFd)
{
    termios t{};
    if (tcgetattr(p_iFd, &t) != 0)
        return false;
    cfmakeraw(&t);
    cfsetispeed(&t, B921600);
    cfsetospeed(&t, B921600);
    return tcsetattr(p_iFd, TCSANOW, &t) == 0;
}

} // namespace

void EncodeEskraFrame(const uint16_t* p_pSamples, int p_iPixelCount, std::vector<unsigned char>& p_Out)
{
    p_Out.resize(static_cast<size_t>(1 + 2 * p_iPixelCount + 1 + 5));
    unsigned char* p = p_Out.data();
    *p++ = 0x02;
    uint32_t uSum = 0;
    for (int k = 0; k < p_iPixelCount; ++k) {
        const unsigned v = p_pSamples[k] & 0x3FFFu;
        const unsigned uHigh = v >> 7, uLow = v & 0x7Fu;
        *p++ = static_cast<unsigned char>(0x80u | uHigh);
        *p++ = static_cast<unsigned char>(0x80u | uLow);
        uSum += uHigh + uLow;
    }
    *p++ = 0x03;
    for (int g = 0; g < 5; ++g)
        *p++ = static_cast<unsigned char>(0x80u | ((uSum >> (7 * g)) & 0x7Fu));
}

std::vector<unsigned char> EncodeEskraFrame(const uint16_t* p_pSamples, int p_iPixelCount)
{
    std::vector<unsigned char> out;
    EncodeEskraFrame(p_pSamples, p_iPixelCount, out);
    return out;
}

EskraBoard::EskraBoard() : m_Samples(kEskraPixels, 0) {}

EskraBoard::~EskraBoard() { stop(); }

bool EskraBoard::start()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_bRunning.load())
        return true;
    if (m_Thread.joinable())
        m_Thread.join();   // a board that unplugged itself mid-stream
    if (ConsumeFault(kBoard, Fault::NoPort))
        return false;

    const int iMaster = posix_openpt(O_RDWR | O_NOCTTY);
    if (iMaster < 0)
        return false;
    if (grantpt(iMaster) != 0 || unlockpt(iMaster) != 0) {
        ::close(iMaster);
        return false;
    }
    char szName[128] = {};
    if (ptsname_r(iMaster, szName, sizeof szName) != 0) {
        ::close(iMaster);
        return false;
    }
    // Our own slave descriptor sets raw mode before the first byte (no echo of
    // frame bytes back to us) and keeps the line up while the program has the
    // port closed, as a real board stays powered.
    const int iSlave = ::open(szName, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (iSlave < 0 || !SetRaw(iSlave)) {
        if (iSlave >= 0)
            ::close(iSlave);
        ::close(iMaster);
        return false;
    }
    fcntl(iMaster, F_SETFL, fcntl(iMaster, F_GETFL) | O_NONBLOCK);

    m_iMaster = iMaster;
    m_iSlave = iSlave;
    m_sDevicePath = QString::fromLocal8Bit(szName);
    m_Frame.clear();
    m_uFramePos = 0;
    m_uTrailerStart = 0;
    m_iAcksPending = 0;
    m_bSilent = false;
    m_bUnplugAfterFrame = false;
    m_Command.clear();
    m_dLineCredit = 0.0;
    m_iLastCreditNs = NowNs();
    m_bStop = false;
    m_bRunning = true;
    m_Thread = std::thread([this] { run(); });
    return true;
}

void EskraBoard::stop()
{
    m_bStop = true;
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        thread = std::move(m_Thread);
    }
    // Joined without the lock: a board that unplugs itself takes it on its way out.
    if (thread.joinable())
        thread.join();
    std::lock_guard<std::mutex> lock(m_Mutex);
    closeDescriptors();
    m_bRunning = false;
}

void EskraBoard::closeDescriptors()
{
    if (m_iSlave >= 0)
        ::close(m_iSlave);
    if (m_iMaster >= 0)
        ::close(m_iMaster);
    m_iSlave = m_iMaster = -1;
}

QString EskraBoard::devicePath() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_bRunning.load() ? m_sDevicePath : QString();
}

QString EskraBoard::portName() const
{
    QString sPath = devicePath();
    if (sPath.startsWith("/dev/"))
        sPath.remove(0, 5);
    return sPath;
}

void EskraBoard::prepareFrame()
{
    m_Frame.clear();
    m_uFramePos = 0;
    m_uTrailerStart = 0;
    m_bSilent = ConsumeFault(kBoard, Fault::SilentPort);
    if (m_bSilent || ConsumeFault(kBoard, Fault::FramesStop))
        return;   // a frame's time passes with nothing on the line

    const std::shared_ptr<SensorModel> model = SensorFor(kBoard);
    if (model) {
        model->setOutputBits(14);
        model->renderNextFrame(m_Samples.data(), kEskraWidth, kEskraHeight, kEskraWidth);
    }
    EncodeEskraFrame(m_Samples.data(), kEskraPixels, m_Frame);

    // Line faults hit the data bytes only, spread evenly over the frame.
    if (ConsumeFault(kBoard, Fault::CorruptedBytes)) {
        const int n = std::max(1, FaultParameter(kBoard, Fault::CorruptedBytes));
        for (int i = 0; i < n; ++i) {
            const size_t pos = 1 + static_cast<size_t>(kEskraPayloadBytes) * (2 * i + 1) / (2 * n);
            m_Frame[pos] ^= 0x01;   // bit 7 stays set: still a data byte, another value
        }
    }
    if (ConsumeFault(kBoard, Fault::DroppedBytes)) {
        const int n = std::min(kEskraPayloadBytes, std::max(1, FaultParameter(kBoard, Fault::DroppedBytes)));
        for (int i = n - 1; i >= 0; --i) {
            const size_t pos = 1 + static_cast<size_t>(kEskraPayloadBytes - n) * (2 * i + 1) / (2 * n);
            m_Frame.erase(m_Frame.begin() + static_cast<std::ptrdiff_t>(pos));
        }
    }
    m_uTrailerStart = m_Frame.size() - 5;
    m_bUnplugAfterFrame = ConsumeFault(kBoard, Fault::DeviceLostMidStream);
    m_uUnplugAt = m_Frame.size() / 2;
}

bool EskraBoard::writePending(bool p_bFast)
{
    const int64_t now = NowNs();
    if (p_bFast) {
        m_dLineCredit = 1e18;
    } else {
        m_dLineCredit += static_cast<double>(now - m_iLastCreditNs) * kEskraBytesPerSecond / 1e9;
        // A board whose line was idle does not send faster than the line afterwards.
        m_dLineCredit = std::min(m_dLineCredit, static_cast<double>(kMaxChunk));
    }
    m_iLastCreditNs = now;

    while (m_dLineCredit >= 1.0 && !m_bStop.load()) {
        const bool bFrameDone = m_uFramePos >= m_Frame.size();
        const bool bAckAllowed = bFrameDone || m_uFramePos < m_uTrailerStart;
        if (m_iAcksPending > 0 && bAckAllowed) {
            const unsigned char ack = 0x06;
            const ssize_t n = ::write(m_iMaster, &ack, 1);
            if (n != 1)
                return true;
            --m_iAcksPending;
            ++m_uAcknowledges;
            m_dLineCredit -= 1.0;
            continue;
        }
        if (bFrameDone) {
            prepareFrame();
            if (m_Frame.empty()) {
                // No frame this time: a frame's line time (fast mode: one poll) passes idle.
                m_dLineCredit = p_bFast ? 0.0 : -static_cast<double>(kEskraFrameWireBytes);
                return false;
            }
            continue;
        }
        size_t uEnd = m_Frame.size();
        if (m_bUnplugAfterFrame && m_uFramePos < m_uUnplugAt)
            uEnd = m_uUnplugAt;
        size_t uChunk = std::min(uEnd - m_uFramePos, kMaxChunk);
        uChunk = std::min(uChunk, static_cast<size_t>(m_dLineCredit));
        const ssize_t n = ::write(m_iMaster, m_Frame.data() + m_uFramePos, uChunk);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                // Nobody reads: in line-rate mode the rest of the frame is lost
                // on the line, as with a real port, and still takes its line
                // time; in fast mode the board waits.
                if (!p_bFast) {
                    m_dLineCredit -= static_cast<double>(m_Frame.size() - m_uFramePos);
                    m_uFramePos = m_Frame.size();
                    m_bUnplugAfterFrame = false;
                }
                return true;
            }
            return true;
        }
        m_uFramePos += static_cast<size_t>(n);
        m_dLineCredit -= static_cast<double>(n);
        if (m_bUnplugAfterFrame && m_uFramePos >= m_uUnplugAt)
            return false;   // run() pulls the plug
        if (m_uFramePos >= m_Frame.size())
            ++m_uFramesSent;
    }
    return false;
}

void EskraBoard::readCommands()
{
    unsigned char buf[256];
    for (;;) {
        const ssize_t n = ::read(m_iMaster, buf, sizeof buf);
        if (n <= 0)
            return;
        for (ssize_t i = 0; i < n; ++i)
            takeCommandByte(buf[i]);
        m_iLastCommandByteNs = NowNs();
    }
}

void EskraBoard::takeCommandByte(unsigned char p_c)
{
    if (m_Command.isEmpty() || (m_Command[0] != '!' && p_c == '!')) {
        if (!m_Command.isEmpty())
            finishCommand();   // garbage before a new command
        m_Command.append(static_cast<char>(p_c));
        return;
    }
    if (m_Command[0] != '!' || m_Command.size() == 1) {
        m_Command.append(static_cast<char>(p_c));   // garbage run, or the letter
        return;
    }
    const int iValueChars = m_Command.size() - 2;
    const bool bValueChar = (p_c >= '0' && p_c <= '9') || (p_c == '-' && iValueChars == 0);
    if (bValueChar) {
        m_Command.append(static_cast<char>(p_c));
        if (iValueChars + 1 == kMaxValueChars)
            finishCommand();
        return;
    }
    finishCommand();
    takeCommandByte(p_c);
}

void EskraBoard::finishCommand()
{
    const QByteArray message = m_Command;
    m_Command.clear();
    if (message.isEmpty())
        return;
    RecordMessage(kBoard, "serial", message);
    ++m_uCommands;
    if (message[0] != '!' || message.size() < 6)
        return;
    const int iRegister = RegisterForLetter(message[1]);
    bool bOk = false;
    const int iValue = message.mid(2).toInt(&bOk);
    if (iRegister < 0 || !bOk || m_bSilent)
        return;
    if (const std::shared_ptr<SensorModel> model = SensorFor(kBoard))
        model->setRegister(iRegister, iValue);
    if (!ConsumeFault(kBoard, Fault::ReplyTimeout))
        ++m_iAcksPending;
}

void EskraBoard::run()
{
    while (!m_bStop.load()) {
        const bool bFast = FastMode();
        const bool bWantWrite = writePending(bFast);
        if (m_bUnplugAfterFrame && m_uFramePos >= m_uUnplugAt && m_uFramePos < m_Frame.size()) {
            std::lock_guard<std::mutex> lock(m_Mutex);
            closeDescriptors();
            m_bRunning = false;
            return;
        }
        pollfd p{m_iMaster, static_cast<short>(POLLIN | (bWantWrite ? POLLOUT : 0)), 0};
        ::poll(&p, 1, kPollMs);
        if (p.revents & POLLIN)
            readCommands();
        if (!m_Command.isEmpty() && NowNs() - m_iLastCommandByteNs > kCommandGapNs)
            finishCommand();
    }
}

namespace {
struct SharedBoard
{
    // The simulator-wide tables the board thread uses are made first, so that
    // at exit they outlive this object, whose destructor stops that thread.
    SharedBoard()
    {
        (void)SensorFor(kBoard);
        (void)FaultPending(kBoard, Fault::NoPort);
        (void)RecordedMessages(kBoard);
    }
    std::mutex mutex;
    std::unique_ptr<EskraBoard> board;
};
SharedBoard& TheShared()
{
    static SharedBoard s_Shared;
    return s_Shared;
}
} // namespace

EskraBoard* SharedEskraBoard()
{
    SharedBoard& s = TheShared();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!SimulationSettings().boardAvailable(kBoard)) {
        if (s.board)
            s.board->stop();
        return nullptr;
    }
    if (!s.board)
        s.board = std::make_unique<EskraBoard>();
    if (!s.board->isRunning() && !s.board->start())
        return nullptr;
    return s.board.get();
}

void ShutdownSharedEskraBoard()
{
    SharedBoard& s = TheShared();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.board.reset();
}

} // namespace sim
