// The simulated Dunstel GigE Vision board: GenICam features, video stream and UART bridge.
#pragma once

#include "sim/core/board_kind.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace sim {

enum class FeatureType { Integer, Float, Enumeration, Boolean, Command };

struct FeatureInfo
{
    QString name;
    FeatureType type = FeatureType::Integer;
    int64_t minimum = 0;      // integers
    int64_t maximum = 0;
    QStringList entries;      // enumerations, in the device's order
    bool writable = true;
};

// Result of a feature access on the board.
enum class FeatureStatus { Ok, NotFound, WrongType, InvalidValue, Locked };

// The one simulated GigE Vision board. Its features follow the device's
// GenICam names ("Width", "Height", "PixelFormat", the pixel-bus signal
// settings, "TestPattern", the "Bulk..." UART settings, "AcquisitionStart",
// "AcquisitionStop"); Width, Height and PixelFormat are locked while the
// acquisition runs. Behind bulk channel 0 in UART mode at 9600 baud, 8N1, sits
// the DigiBoard's command parser: "!" + letter + digits + "\n\r" writes a
// register into the SensorModel, "!p" and "!f" are answered with the stored
// proxy and frame-rate numbers in decimal, "%\n\r" with the board's name.
// Every member is thread-safe: the pipeline thread renders while the GUI
// thread writes features and UART bytes.
class DunstelBoard
{
public:
    static DunstelBoard& instance();

    // Identity as discovery shows it.
    QString displayId() const;      // "Dunstel DigiBoard [00:11:1C:02:4A:2E]"
    QString connectionId() const;   // the IP address, "192.168.10.64"
    QString macAddress() const;
    QString modelName() const;

    // Discovery and control: present unless simulation is off, the board is
    // absent or Fault::DeviceAbsent is armed; a lost device is gone too.
    bool discoverable() const;
    bool lost() const;

    std::vector<FeatureInfo> features() const;
    FeatureStatus getInteger(const QString& p_sName, int64_t* p_pValue) const;
    FeatureStatus setInteger(const QString& p_sName, int64_t p_iValue);
    FeatureStatus getEnum(const QString& p_sName, QString* p_pValue) const;
    FeatureStatus setEnum(const QString& p_sName, const QString& p_sValue);
    FeatureStatus getBoolean(const QString& p_sName, bool* p_pValue) const;
    FeatureStatus setBoolean(const QString& p_sName, bool p_bValue);
    FeatureStatus getFloat(const QString& p_sName, double* p_pValue) const;
    FeatureStatus execute(const QString& p_sName);

    // The stream channel: enabled by the host (StreamEnable) and running once
    // AcquisitionStart was executed.
    void setStreamEnabled(bool p_bEnabled);
    bool streamEnabled() const;
    bool acquisitionRunning() const;
    // The link closed (disconnect): the acquisition and the stream stop.
    void controlReleased();

    int64_t payloadSize() const;
    double framesPerSecond() const;
    // Renders the next frame in the current pixel format into p_pDst (Mono16:
    // little-endian 16-bit pixels, Width x Height). Returns the bytes it
    // needs; nothing is written when p_uCapacity is smaller than that.
    int64_t renderFrame(uint8_t* p_pDst, int64_t p_uCapacity);

    // UART bridge of bulk channel 0.
    bool uartAvailable() const;    // bulk 0 configured as UART
    // Bytes written by the host; returns what the board sends back.
    QByteArray uartWrite(const QByteArray& p_Bytes);
    // Bytes the board sends on its own (test hook: stale input, line noise);
    // the bridge's port takes them in when it is read or flushed.
    void emitUart(const QByteArray& p_Bytes);
    QByteArray takeUartEmitted();
    // Proxy number on the wire: the board counts two below the proxy index.
    static int ProxyNumberOnWire(int p_iProxyIndex) { return p_iProxyIndex - 2; }

    // Power-on state: features to their defaults, UART buffer empty.
    void powerCycle();

private:
    DunstelBoard();
    void resetLocked();
    void handleUartLine(const QByteArray& p_Line, QByteArray* p_pReply);
    bool uartSettingsMatchLocked() const;

    mutable std::mutex m_Mutex;
    std::map<QString, int64_t> m_Integers;
    std::map<QString, QString> m_Enums;
    std::map<QString, bool> m_Booleans;
    // Bulk settings per selector ("Bulk0", "Bulk1").
    std::map<QString, std::map<QString, QString>> m_BulkEnums;
    std::map<QString, bool> m_BulkLoopback;
    bool m_bStreamEnabled = false;
    bool m_bAcquisition = false;
    QByteArray m_UartLine;
    QByteArray m_UartEmitted;
    uint64_t m_uPatternFrame = 0;
};

} // namespace sim
