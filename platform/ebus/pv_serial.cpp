// The UART bridge of the GigE Vision stand-in: the serial port behind the board's bulk channel.
#include "platform/ebus/ebus.h"

#include "sim/core/fault_injector.h"
#include "sim/gige/dunstel_board.h"

#include <QByteArray>

#include <algorithm>
#include <chrono>

namespace {

// Pulls in what the board sent on its own, as far as the receive buffer holds.
void TakeEmitted(std::deque<uint8_t>& p_Rx, uint32_t p_uCapacity)
{
    const QByteArray bytes = sim::DunstelBoard::instance().takeUartEmitted();
    for (char c : bytes)
        if (p_Rx.size() < p_uCapacity)
            p_Rx.push_back(static_cast<uint8_t>(c));
}

} // namespace

PvDeviceSerialPort::~PvDeviceSerialPort()
{
    Close();
}

PvResult PvDeviceSerialPort::Open(PvDeviceAdapter* p_pAdapter, PvDeviceSerial p_Port)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_bOpen)
        return PvResult::Code::STATE_ERROR;
    if (p_pAdapter == nullptr || p_pAdapter->GetDevice() == nullptr)
        return PvResult::Code::INVALID_PARAMETER;
    if (!p_pAdapter->GetDevice()->IsConnected())
        return PvResult::Code::NOT_CONNECTED;
    if (p_Port != PvDeviceSerialBulk0)
        return PvResult::Code::NOT_SUPPORTED;   // only bulk 0 carries the board's UART
    if (sim::ConsumeFault(sim::BoardKind::Dunstel, sim::Fault::NoPort))
        return PvResult::Code::NOT_CONNECTED;
    if (!sim::DunstelBoard::instance().uartAvailable())
        return PvResult::Code::NOT_SUPPORTED;   // bulk 0 is not set up as a UART
    m_pDevice = p_pAdapter->GetDevice();
    m_bOpen = true;
    m_Rx.clear();
    return PvResult::Code::OK;
}

PvResult PvDeviceSerialPort::Close()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen)
        return PvResult::Code::STATE_ERROR;
    m_bOpen = false;
    m_pDevice = nullptr;
    m_Rx.clear();
    m_Arrived.notify_all();
    return PvResult::Code::OK;
}

bool PvDeviceSerialPort::IsOpened() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_bOpen;
}

PvResult PvDeviceSerialPort::SetRxBufferSize(uint32_t p_uSize)
{
    if (p_uSize == 0)
        return PvResult::Code::INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_uRxBufferSize = p_uSize;
    while (m_Rx.size() > m_uRxBufferSize)
        m_Rx.pop_back();
    return PvResult::Code::OK;
}

uint32_t PvDeviceSerialPort::GetRxBufferSize() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_uRxBufferSize;
}

PvResult PvDeviceSerialPort::FlushRxBuffer()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen)
        return PvResult::Code::STATE_ERROR;
    TakeEmitted(m_Rx, m_uRxBufferSize);
    m_Rx.clear();
    return PvResult::Code::OK;
}

PvResult PvDeviceSerialPort::GetRxBytesReady(uint32_t& p_uBytes) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_bOpen)
        TakeEmitted(m_Rx, m_uRxBufferSize);
    p_uBytes = static_cast<uint32_t>(m_Rx.size());
    return m_bOpen ? PvResult(PvResult::Code::OK) : PvResult(PvResult::Code::STATE_ERROR);
}

PvResult PvDeviceSerialPort::Read(uint8_t* p_pBuffer, uint32_t p_uSize, uint32_t& p_uBytesRead, uint32_t p_uTimeoutMs)
{
    p_uBytesRead = 0;
    if (p_pBuffer == nullptr && p_uSize != 0)
        return PvResult::Code::INVALID_PARAMETER;
    std::unique_lock<std::mutex> lock(m_Mutex);
    if (!m_bOpen)
        return PvResult::Code::STATE_ERROR;
    // Replies arrive with the write that caused them; bytes the board sends on
    // its own are looked for every few milliseconds.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(p_uTimeoutMs);
    for (;;) {
        TakeEmitted(m_Rx, m_uRxBufferSize);
        if (!m_Rx.empty() || !m_bOpen)
            break;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            break;
        m_Arrived.wait_for(lock, std::min<std::chrono::steady_clock::duration>(deadline - now, std::chrono::milliseconds(5)));
    }
    if (!m_bOpen)
        return PvResult::Code::STATE_ERROR;
    if (m_Rx.empty())
        return PvResult::Code::TIMEOUT;
    const uint32_t n = std::min<uint32_t>(p_uSize, static_cast<uint32_t>(m_Rx.size()));
    std::copy(m_Rx.begin(), m_Rx.begin() + n, p_pBuffer);
    m_Rx.erase(m_Rx.begin(), m_Rx.begin() + n);
    p_uBytesRead = n;
    return PvResult::Code::OK;
}

PvResult PvDeviceSerialPort::Write(const uint8_t* p_pBuffer, uint32_t p_uSize, uint32_t& p_uBytesWritten)
{
    p_uBytesWritten = 0;
    if (p_pBuffer == nullptr && p_uSize != 0)
        return PvResult::Code::INVALID_PARAMETER;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (!m_bOpen)
            return PvResult::Code::STATE_ERROR;
        if (m_pDevice == nullptr || !m_pDevice->IsConnected())
            return PvResult::Code::NOT_CONNECTED;
    }
    if (sim::ConsumeFault(sim::BoardKind::Dunstel, sim::Fault::WriteFailure))
        return PvResult::Code::NETWORK_ERROR;
    const QByteArray reply = sim::DunstelBoard::instance().uartWrite(
        QByteArray(reinterpret_cast<const char*>(p_pBuffer), static_cast<int>(p_uSize)));
    std::lock_guard<std::mutex> lock(m_Mutex);
    p_uBytesWritten = p_uSize;
    // A full receive buffer drops what does not fit, as the bridge's FIFO does.
    for (char c : reply)
        if (m_Rx.size() < m_uRxBufferSize)
            m_Rx.push_back(static_cast<uint8_t>(c));
    m_Arrived.notify_all();
    return PvResult::Code::OK;
}
