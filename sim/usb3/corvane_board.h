// The simulated USB3 interface board: its property register port and the boards behind it.
#pragma once

#include "sim/core/sensor_model.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace sim {

// Friendly name of the board's capture device; the capture library matches its prefix "Vantrel_Corvane".
constexpr char kCorvaneFriendlyName[] = "Vantrel_Corvane USB3 Board";

// The video processing-amplifier properties the board implements as its register port.
namespace CorvaneProperty {
enum : int {
    Value = 0,      // register value (Brightness); range default: the stored proxy number
    Latch = 1,      // validation latch (Contrast): 1 strobes the write, reads 0 once taken
    Address = 8,    // register address (BacklightCompensation); range default: the frame-rate code
};
}

// How a property call ended; the stand-in turns it into its status code.
enum class DeviceStatus {
    Ok,
    Unsupported,    // property not implemented
    Failed,         // the transfer failed (injected write failure)
    TimedOut,       // the board did not answer (injected reply time-out)
    Lost,           // the device disappeared
};

struct PropertyRange
{
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t step = 1;
    int32_t defaultValue = 0;
    int32_t capsFlags = 2;   // manual
};

// The one Corvane board of the process. A register write is three property
// sets: address (8), value (0), latch (1) := 1; the latch commits the value
// to the register at once and then reads 1 for latchClearReads() reads
// before it reads 0. What a committed register does:
//   0-12, 27-36  the sensor's registers (SensorModel); 35 also stores the frame-rate code
//   14, 15       FPGA register address and value (15 writes the FPGA register)
//   16           the stored proxy number (Corvane numbering, see below)
//   50           := 0 sends the command in 51 (board), 52 (register), 53 (value) to that board
//   54           := 0 takes the board-side FPN reference: the output becomes FPN-corrected
//   60-63, 64    four bytes, low byte first, sent as one direct write by 64 := 0
// Board 2 register 6 (the Processing Board's NUC control) switches the
// corrected output: 0 on, 1 off; board 15 register 1 (its FPN reference)
// switches it on. Other board registers are only kept. Every property set is recorded on channel
// "property" as "<property>,<value>", every commit on "register" as
// "<address>=<value>", every board command on "board" as "<board>,<register>,<value>",
// every direct write on "direct" as its four bytes (a set that fails with an
// injected write failure never arrived and is not recorded). Any thread.
class CorvaneBoard
{
public:
    static CorvaneBoard& instance();

    // Listed as a capture device: simulation on, board present in the
    // settings, no DeviceAbsent fault pending and not lost just now.
    bool listed() const;

    // Property port.
    DeviceStatus setProperty(int p_iProperty, int32_t p_iValue, int32_t p_iFlags);
    DeviceStatus getProperty(int p_iProperty, int32_t* p_pValue, int32_t* p_pFlags);
    DeviceStatus getPropertyRange(int p_iProperty, PropertyRange* p_pRange);

    // What the board holds (0 for an address never written).
    int32_t registerValue(int p_iAddress) const;
    int32_t boardRegister(int p_iBoard, int p_iRegister) const;
    std::map<std::pair<int, int>, int32_t> boardRegisters() const;
    QByteArray lastDirectWrite() const;

    // Reads of the latch that still show 1 after a commit; 1 by default.
    void setLatchClearReads(int p_iReads);
    int latchClearReads() const;

    // The stored set-up in the numbers the board reports (Corvane numbering of
    // the proxy: record index - 1, record 12 reported as 8; record 0 as -1).
    int proxyNumber() const;
    int frameRateCode() const;
    static int CorvaneNumberFromProxyIndex(int p_iProxyIndex);
    static int ProxyIndexFromCorvaneNumber(int p_iNumber);

    // Device loss: streams opened before the loss end with an error, and the
    // device stays unlisted for p_iAbsentMs milliseconds.
    void loseDevice(int p_iAbsentMs);
    uint64_t generation() const;   // advances at every loss

    // A fresh board: registers, latch, lost state (the sensor model and its
    // stored set-up live in the board registry). Tests call it between cases.
    void reset();

    std::shared_ptr<SensorModel> sensor() const;

private:
    CorvaneBoard() = default;
    void commitLocked(int p_iAddress, int32_t p_iValue, std::shared_ptr<SensorModel>& p_Sensor);
    // Still away after a loss: every property call then fails as on a lost device.
    bool absentNow() const;

    mutable std::mutex m_Mutex;
    std::map<int, int32_t> m_Registers;
    std::map<std::pair<int, int>, int32_t> m_BoardRegisters;
    QByteArray m_LastDirect;
    int32_t m_iAddress = 0;
    int32_t m_iValue = 0;
    int m_iLatchReadsLeft = 0;
    bool m_bLatchSet = false;
    int m_iLatchClearReads = 1;
    uint64_t m_uGeneration = 0;
    std::chrono::steady_clock::time_point m_AbsentUntil{};
};

} // namespace sim
