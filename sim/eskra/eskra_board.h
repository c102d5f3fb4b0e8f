// The simulated serial-port board: a pseudo-terminal that streams framed 14-bit frames and takes "!" commands.
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace sim {

class SensorModel;

// The board's line and frame.
constexpr int kEskraWidth = 84;
constexpr int kEskraHeight = 80;
constexpr int kEskraPixels = kEskraWidth * kEskraHeight;
constexpr int kEskraPayloadBytes = 2 * kEskraPixels;
constexpr int kEskraFrameWireBytes = 1 + kEskraPayloadBytes + 1 + 5;   // start, data, end, checksum
constexpr int kEskraBaudRate = 921600;
constexpr double kEskraBytesPerSecond = kEskraBaudRate / 10.0;       // 8N1: ten bits a byte

// The wire form of one frame: 0x02, two data bytes per pixel (bit 7 set, high
// seven bits first), 0x03, then the sum of the 7-bit payloads in five 7-bit
// groups, least significant first, each with bit 7 set. p_pSamples hold 14-bit
// values (higher bits are dropped).
void EncodeEskraFrame(const uint16_t* p_pSamples, int p_iPixelCount, std::vector<unsigned char>& p_Out);
std::vector<unsigned char> EncodeEskraFrame(const uint16_t* p_pSamples, int p_iPixelCount);

// The board's side of the line. The simulator owns the master end of a
// pseudo-terminal (raw mode) and keeps a slave descriptor of its own open, so
// the program may open and close the slave with a QSerialPort at will.
//
// One thread streams frames from the Eskra sensor model (14-bit output) at the
// line rate, or as fast as the reader takes them in fast mode, and reads the
// program's commands: "!" + register letter + value digits (four, or more until
// the line idles). Each command reaches the sensor model, is recorded under
// channel "serial", and is answered with 0x06 between two frame bytes (never
// inside the checksum). Faults (fault_injector.h, board Eskra), each asked once
// per frame: SilentPort (no frame, no answer), FramesStop (no frame, commands
// still answered), DroppedBytes and CorruptedBytes (parameter: bytes per frame,
// default 1), DeviceLostMidStream (half a frame, then the board is unplugged);
// ReplyTimeout, asked once per command: the command is taken, its 0x06 is lost.
// NoPort makes start() fail.
class EskraBoard
{
public:
    EskraBoard();
    ~EskraBoard();
    EskraBoard(const EskraBoard&) = delete;
    EskraBoard& operator=(const EskraBoard&) = delete;

    // Opens the pseudo-terminal and starts streaming; false when it cannot
    // (or the NoPort fault is armed). Calling it while running does nothing.
    bool start();
    // Stops the thread and closes both ends: for the program the port is gone.
    void stop();
    bool isRunning() const { return m_bRunning.load(); }

    // The name a QSerialPort takes ("pts/N", found as /dev/pts/N), and the path.
    QString portName() const;
    QString devicePath() const;

    // Pulls the plug now (the same as stop, from any thread but the board's).
    void unplug() { stop(); }

    uint64_t framesSent() const { return m_uFramesSent.load(); }
    uint64_t acknowledgesSent() const { return m_uAcknowledges.load(); }
    uint64_t commandsReceived() const { return m_uCommands.load(); }

private:
    void run();
    bool writePending(bool p_bFast);
    void readCommands();
    void takeCommandByte(unsigned char p_c);
    void finishCommand();
    void prepareFrame();
    void closeDescriptors();

    int m_iMaster = -1;
    int m_iSlave = -1;
    QString m_sDevicePath;
    mutable std::mutex m_Mutex;   // guards the path and the descriptors against start/stop
    std::thread m_Thread;
    std::atomic<bool> m_bRunning{false};
    std::atomic<bool> m_bStop{false};

    // Board thread only.
    std::vector<unsigned char> m_Frame;
    size_t m_uFramePos = 0;
    size_t m_uTrailerStart = 0;   // acknowledges wait while the position is in [trailer, end)
    int m_iAcksPending = 0;
    bool m_bSilent = false;
    bool m_bUnplugAfterFrame = false;
    size_t m_uUnplugAt = 0;
    QByteArray m_Command;
    int64_t m_iLastCommandByteNs = 0;
    double m_dLineCredit = 0.0;
    int64_t m_iLastCreditNs = 0;
    std::vector<uint16_t> m_Samples;

    std::atomic<uint64_t> m_uFramesSent{0};
    std::atomic<uint64_t> m_uAcknowledges{0};
    std::atomic<uint64_t> m_uCommands{0};
};

// The process-wide board behind the program's serial-port list: started at
// the first call while Simulation.ini has simulation on and the board present
// (and stopped when that is no longer so); null when it is not available.
EskraBoard* SharedEskraBoard();
// Stops and forgets the shared board (a test's clean bench, or a replug).
void ShutdownSharedEskraBoard();

} // namespace sim
