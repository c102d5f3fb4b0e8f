// The Corvane board's register port, commands to the boards behind it and device loss.
#include "sim/usb3/corvane_board.h"

#include "sim/core/board_registry.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"

namespace sim {

namespace {
constexpr BoardKind kKind = BoardKind::Corvane;

// Board number -> proxy record, as the program's board-number table for this
// board reads it.
constexpr int kProxyIndexOfNumber[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 9,
                                       13, 14, 15, 16, 17, 18, 19, 20, 21, 13, 23, 24};

void Record(const char* p_sChannel, const QByteArray& p_Bytes)
{
    RecordMessage(kKind, p_sChannel, p_Bytes);
}
} // namespace

CorvaneBoard& CorvaneBoard::instance()
{
    static CorvaneBoard s_Board;
    return s_Board;
}

std::shared_ptr<SensorModel> CorvaneBoard::sensor() const
{
    return SensorFor(kKind);
}

bool CorvaneBoard::listed() const
{
    if (!SimulationSettings().boardAvailable(kKind) || FaultPending(kKind, Fault::DeviceAbsent))
        return false;
    return !absentNow();
}

bool CorvaneBoard::absentNow() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return std::chrono::steady_clock::now() < m_AbsentUntil;
}

int CorvaneBoard::CorvaneNumberFromProxyIndex(int p_iProxyIndex)
{
    if (p_iProxyIndex <= 0 || p_iProxyIndex > 24)
        return -1;
    return p_iProxyIndex == 12 ? 8 : p_iProxyIndex - 1;
}

int CorvaneBoard::ProxyIndexFromCorvaneNumber(int p_iNumber)
{
    if (p_iNumber < 0 || p_iNumber >= static_cast<int>(std::size(kProxyIndexOfNumber)))
        return 0;
    return kProxyIndexOfNumber[p_iNumber];
}

int CorvaneBoard::proxyNumber() const
{
    return CorvaneNumberFromProxyIndex(sensor()->proxyIndex());
}

int CorvaneBoard::frameRateCode() const
{
    return sensor()->frameRateCode();
}

DeviceStatus CorvaneBoard::setProperty(int p_iProperty, int32_t p_iValue, int32_t p_iFlags)
{
    (void)p_iFlags;
    if (absentNow())
        return DeviceStatus::Lost;
    if (p_iProperty != CorvaneProperty::Value && p_iProperty != CorvaneProperty::Latch
        && p_iProperty != CorvaneProperty::Address)
        return DeviceStatus::Unsupported;
    // A failed write never reached the board; a timed-out one did, unanswered.
    if (ConsumeFault(kKind, Fault::WriteFailure))
        return DeviceStatus::Failed;
    Record("property", QByteArray::number(p_iProperty) + ',' + QByteArray::number(p_iValue));
    // A timed-out set is taken by the board; only its answer is lost.
    const bool bTimedOut = ConsumeFault(kKind, Fault::ReplyTimeout);

    std::shared_ptr<SensorModel> sensorModel;
    std::lock_guard<std::mutex> lock(m_Mutex);
    switch (p_iProperty) {
    case CorvaneProperty::Address: {
        m_iAddress = p_iValue;
        const auto it = m_Registers.find(p_iValue);
        m_iValue = it == m_Registers.end() ? 0 : it->second;   // so that a read of 0 shows the register
        break;
    }
    case CorvaneProperty::Value:
        m_iValue = p_iValue;
        break;
    case CorvaneProperty::Latch:
        if (p_iValue != 0) {
            commitLocked(m_iAddress, m_iValue, sensorModel);
            m_bLatchSet = true;
            m_iLatchReadsLeft = m_iLatchClearReads;
        }
        break;
    }
    return bTimedOut ? DeviceStatus::TimedOut : DeviceStatus::Ok;
}

void CorvaneBoard::commitLocked(int p_iAddress, int32_t p_iValue, std::shared_ptr<SensorModel>& p_Sensor)
{
    m_Registers[p_iAddress] = p_iValue;
    Record("register", QByteArray::number(p_iAddress) + '=' + QByteArray::number(p_iValue));
    auto model = [&]() -> SensorModel& {
        if (!p_Sensor)
            p_Sensor = SensorFor(kKind);
        return *p_Sensor;
    };
    if ((p_iAddress >= Register::TINT && p_iAddress <= Register::ADD0D)
        || (p_iAddress >= Register::FrameRateSetupFirst && p_iAddress <= Register::FrameRateSetupLast)) {
        model().setRegister(p_iAddress, p_iValue);
    } else if (p_iAddress == 15) {
        model().setFpgaRegister(m_Registers[14], p_iValue);
    } else if (p_iAddress == 16) {
        model().setProxyIndex(ProxyIndexFromCorvaneNumber(p_iValue));
    } else if (p_iAddress == 50 && p_iValue == 0) {
        const int iBoard = m_Registers[51], iRegister = m_Registers[52];
        const int32_t iValue = m_Registers[53];
        m_BoardRegisters[{iBoard, iRegister}] = iValue;
        Record("board", QByteArray::number(iBoard) + ',' + QByteArray::number(iRegister) + ','
                            + QByteArray::number(iValue));
        if (iBoard == 2 && iRegister == 6 && (iValue == 0 || iValue == 1))
            model().setBoardCorrectedOutput(iValue == 0);
        else if (iBoard == 15 && iRegister == 1)
            model().setBoardCorrectedOutput(true);   // the reference is taken: corrected from now on
    } else if (p_iAddress == 54 && p_iValue == 0) {
        model().setBoardCorrectedOutput(true);
    } else if (p_iAddress == 64 && p_iValue == 0) {
        QByteArray bytes;
        for (int a = 60; a <= 63; ++a)
            bytes.append(static_cast<char>(m_Registers[a] & 0xFF));
        m_LastDirect = bytes;
        Record("direct", bytes);
    }
}

DeviceStatus CorvaneBoard::getProperty(int p_iProperty, int32_t* p_pValue, int32_t* p_pFlags)
{
    if (absentNow())
        return DeviceStatus::Lost;
    if (p_iProperty != CorvaneProperty::Value && p_iProperty != CorvaneProperty::Latch
        && p_iProperty != CorvaneProperty::Address)
        return DeviceStatus::Unsupported;
    if (ConsumeFault(kKind, Fault::ReplyTimeout))
        return DeviceStatus::TimedOut;
    int32_t v = 0;
    if (p_iProperty == CorvaneProperty::Latch) {
        const bool bStuck = ConsumeFault(kKind, Fault::LatchNeverClears);
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_bLatchSet && !bStuck) {
            if (m_iLatchReadsLeft > 0)
                --m_iLatchReadsLeft;
            else
                m_bLatchSet = false;
        }
        v = m_bLatchSet || bStuck ? 1 : 0;
    } else {
        std::lock_guard<std::mutex> lock(m_Mutex);
        v = p_iProperty == CorvaneProperty::Value ? m_iValue : m_iAddress;
    }
    if (p_pValue != nullptr)
        *p_pValue = v;
    if (p_pFlags != nullptr)
        *p_pFlags = 2;
    return DeviceStatus::Ok;
}

DeviceStatus CorvaneBoard::getPropertyRange(int p_iProperty, PropertyRange* p_pRange)
{
    if (absentNow())
        return DeviceStatus::Lost;
    if (ConsumeFault(kKind, Fault::ReplyTimeout))
        return DeviceStatus::TimedOut;
    PropertyRange r;
    switch (p_iProperty) {
    case CorvaneProperty::Value:
        r = PropertyRange{INT32_MIN, INT32_MAX, 1, proxyNumber(), 2};
        break;
    case CorvaneProperty::Address:
        r = PropertyRange{0, 0xFFFF, 1, frameRateCode(), 2};
        break;
    case CorvaneProperty::Latch:
        r = PropertyRange{0, 1, 1, 0, 2};
        break;
    default:
        return DeviceStatus::Unsupported;
    }
    if (p_pRange != nullptr)
        *p_pRange = r;
    return DeviceStatus::Ok;
}

int32_t CorvaneBoard::registerValue(int p_iAddress) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    const auto it = m_Registers.find(p_iAddress);
    return it == m_Registers.end() ? 0 : it->second;
}

int32_t CorvaneBoard::boardRegister(int p_iBoard, int p_iRegister) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    const auto it = m_BoardRegisters.find({p_iBoard, p_iRegister});
    return it == m_BoardRegisters.end() ? 0 : it->second;
}

std::map<std::pair<int, int>, int32_t> CorvaneBoard::boardRegisters() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_BoardRegisters;
}

QByteArray CorvaneBoard::lastDirectWrite() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_LastDirect;
}

void CorvaneBoard::setLatchClearReads(int p_iReads)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_iLatchClearReads = p_iReads < 0 ? 0 : p_iReads;
}

int CorvaneBoard::latchClearReads() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_iLatchClearReads;
}

void CorvaneBoard::loseDevice(int p_iAbsentMs)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    ++m_uGeneration;
    m_AbsentUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(p_iAbsentMs < 0 ? 0 : p_iAbsentMs);
    m_bLatchSet = false;
}

uint64_t CorvaneBoard::generation() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_uGeneration;
}

void CorvaneBoard::reset()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Registers.clear();
    m_BoardRegisters.clear();
    m_LastDirect.clear();
    m_iAddress = 0;
    m_iValue = 0;
    m_iLatchReadsLeft = 0;
    m_bLatchSet = false;
    m_iLatchClearReads = 1;
    ++m_uGeneration;
    m_AbsentUntil = {};
}

} // namespace sim
