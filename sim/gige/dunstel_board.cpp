// The simulated Dunstel GigE Vision board.
#include "sim/gige/dunstel_board.h"

#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "params/register_letters.h"
#include "sim/cameralink/cameralink_board.h"
#include "sim/core/board_registry.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"

#include <QtEndian>

#include <algorithm>

namespace sim {

namespace {

constexpr int kMaximumLine = 256;

const QStringList& PixelFormats()
{
    static const QStringList s{"Mono8", "Mono8s", "Mono10", "Mono10Packed", "Mono12", "Mono12Packed",
                               "Mono14", "Mono16", "RGB8", "BGR8", "YUV8_UYV"};
    return s;
}

// Enumerations of the device and their entries; the first entry of the
// per-bulk settings is not the UART set-up, so the host has to write it.
const std::map<QString, QStringList>& EnumEntries()
{
    static const std::map<QString, QStringList> s{
        {"PixelFormat", PixelFormats()},
        {"TestPattern", {"Off", "iPORTTestPattern"}},
        {"PixelBusDataValidPolarity", {"Low", "High"}},
        {"PixelBusLineValidPolarity", {"Low", "High"}},
        {"PixelBusFrameValidPolarity", {"Low", "High"}},
        {"PixelBusLineValidEdgeSensitivity", {"Level", "Edge"}},
        {"PixelBusFrameValidEdgeSensitivity", {"Level", "Edge"}},
        {"AcquisitionMode", {"Continuous"}},
        {"BulkSelector", {"Bulk0", "Bulk1"}},
        {"BulkMode", {"I2C", "UART"}},
        {"BulkBaudRate", {"Baud57600", "Baud9600", "Baud19200", "Baud38400", "Baud115200"}},
        {"BulkNumOfStopBits", {"One", "Two"}},
        {"BulkParity", {"None", "Even", "Odd"}},
    };
    return s;
}

bool IsBulkSetting(const QString& p_sName)
{
    return p_sName == "BulkMode" || p_sName == "BulkBaudRate" || p_sName == "BulkNumOfStopBits"
           || p_sName == "BulkParity";
}

// "!" letters of the board's UART parser.
int UartLetterId(char p_cLetter)
{
    return RegisterIdForLetter(RegisterFamily::GigE, p_cLetter);
}

int64_t BytesPerFrame(const QString& p_sFormat, int64_t p_iPixels)
{
    if (p_sFormat == "Mono8" || p_sFormat == "Mono8s")
        return p_iPixels;
    if (p_sFormat == "Mono10Packed" || p_sFormat == "Mono12Packed")
        return (p_iPixels * 3 + 1) / 2;
    if (p_sFormat == "RGB8" || p_sFormat == "BGR8" || p_sFormat == "YUV8_UYV")
        return p_iPixels * 3;
    return p_iPixels * 2;
}

} // namespace

DunstelBoard& DunstelBoard::instance()
{
    static DunstelBoard s_Board;
    return s_Board;
}

DunstelBoard::DunstelBoard()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    resetLocked();
}

void DunstelBoard::resetLocked()
{
    EnsureProxyParameterTableFilled();
    const int iProxy = SimulationSettings().proxyIndex(BoardKind::Dunstel);
    int64_t w = GetDefault(iProxy, ProxyParameterId::GigEImageWidth);
    int64_t h = GetDefault(iProxy, ProxyParameterId::GigEImageHeight);
    if (w <= 0 || h <= 0 || w == ProxyParameterNotSet || h == ProxyParameterNotSet) {
        const FrameGeometry g = SensorFor(BoardKind::Dunstel)->geometry();
        w = g.width;
        h = g.height;
    }
    m_Integers = {{"Width", w}, {"Height", h}, {"GevSCPSPacketSize", 1476}};
    m_Enums.clear();
    for (const auto& kv : EnumEntries())
        if (!IsBulkSetting(kv.first))
            m_Enums[kv.first] = kv.second.front();
    m_Enums["PixelBusDataValidPolarity"] = "High";
    m_Enums["PixelBusLineValidPolarity"] = "High";
    m_Enums["PixelBusFrameValidPolarity"] = "High";
    m_Booleans = {{"PixelBusDataValidEnabled", false}};
    m_BulkEnums.clear();
    m_BulkLoopback.clear();
    for (const QString& bulk : EnumEntries().at("BulkSelector")) {
        for (const auto& kv : EnumEntries())
            if (IsBulkSetting(kv.first))
                m_BulkEnums[bulk][kv.first] = kv.second.front();
        m_BulkLoopback[bulk] = false;
    }
    m_bStreamEnabled = false;
    m_bAcquisition = false;
    m_UartLine.clear();
    m_UartEmitted.clear();
}

void DunstelBoard::powerCycle()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    resetLocked();
}

QString DunstelBoard::macAddress() const { return QStringLiteral("00:11:1C:02:4A:2E"); }
QString DunstelBoard::connectionId() const { return QStringLiteral("192.168.10.64"); }
QString DunstelBoard::modelName() const { return QStringLiteral("Dunstel DigiBoard"); }
QString DunstelBoard::displayId() const { return modelName() + " [" + macAddress() + "]"; }

bool DunstelBoard::discoverable() const
{
    return SimulationSettings().boardAvailable(BoardKind::Dunstel)
           && !FaultPending(BoardKind::Dunstel, Fault::DeviceAbsent) && !lost();
}

bool DunstelBoard::lost() const
{
    return FaultPending(BoardKind::Dunstel, Fault::DeviceLostMidStream);
}

std::vector<FeatureInfo> DunstelBoard::features() const
{
    std::vector<FeatureInfo> list;
    auto add = [&](const QString& n, FeatureType t, int64_t lo = 0, int64_t hi = 0, bool w = true) {
        FeatureInfo f;
        f.name = n;
        f.type = t;
        f.minimum = lo;
        f.maximum = hi;
        f.writable = w;
        auto it = EnumEntries().find(n);
        if (it != EnumEntries().end())
            f.entries = it->second;
        list.push_back(f);
    };
    add("Width", FeatureType::Integer, 16, 4096);
    add("Height", FeatureType::Integer, 1, 4096);
    add("PixelFormat", FeatureType::Enumeration);
    add("PayloadSize", FeatureType::Integer, 0, INT32_MAX, false);
    add("TestPattern", FeatureType::Enumeration);
    add("PixelBusDataValidEnabled", FeatureType::Boolean);
    add("PixelBusDataValidPolarity", FeatureType::Enumeration);
    add("PixelBusLineValidPolarity", FeatureType::Enumeration);
    add("PixelBusFrameValidPolarity", FeatureType::Enumeration);
    add("PixelBusLineValidEdgeSensitivity", FeatureType::Enumeration);
    add("PixelBusFrameValidEdgeSensitivity", FeatureType::Enumeration);
    add("AcquisitionMode", FeatureType::Enumeration);
    add("AcquisitionStart", FeatureType::Command);
    add("AcquisitionStop", FeatureType::Command);
    add("BulkSelector", FeatureType::Enumeration);
    add("BulkMode", FeatureType::Enumeration);
    add("BulkBaudRate", FeatureType::Enumeration);
    add("BulkNumOfStopBits", FeatureType::Enumeration);
    add("BulkParity", FeatureType::Enumeration);
    add("BulkLoopback", FeatureType::Boolean);
    add("GevSCPSPacketSize", FeatureType::Integer, 576, 9000);
    return list;
}

static const FeatureInfo* FindFeature(const std::vector<FeatureInfo>& p_List, const QString& p_sName)
{
    for (const FeatureInfo& f : p_List)
        if (f.name == p_sName)
            return &f;
    return nullptr;
}

static FeatureStatus CheckType(const QString& p_sName, FeatureType p_Type)
{
    static const std::vector<FeatureInfo> s_List = DunstelBoard::instance().features();
    const FeatureInfo* f = FindFeature(s_List, p_sName);
    if (f == nullptr)
        return FeatureStatus::NotFound;
    return f->type == p_Type ? FeatureStatus::Ok : FeatureStatus::WrongType;
}

FeatureStatus DunstelBoard::getInteger(const QString& p_sName, int64_t* p_pValue) const
{
    const FeatureStatus s = CheckType(p_sName, FeatureType::Integer);
    if (s != FeatureStatus::Ok)
        return s;
    if (p_sName == "PayloadSize") {
        *p_pValue = payloadSize();
        return FeatureStatus::Ok;
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    *p_pValue = m_Integers.at(p_sName);
    return FeatureStatus::Ok;
}

FeatureStatus DunstelBoard::setInteger(const QString& p_sName, int64_t p_iValue)
{
    const FeatureStatus s = CheckType(p_sName, FeatureType::Integer);
    if (s != FeatureStatus::Ok)
        return s;
    static const std::vector<FeatureInfo> s_List = features();
    const FeatureInfo* f = FindFeature(s_List, p_sName);
    if (!f->writable)
        return FeatureStatus::Locked;
    if (p_iValue < f->minimum || p_iValue > f->maximum)
        return FeatureStatus::InvalidValue;
    const bool bGeometry = p_sName == "Width" || p_sName == "Height";
    // A board that does not take the size it is given (it keeps a smaller one).
    if (bGeometry && FaultPending(BoardKind::Dunstel, Fault::ChangedSampleSize))
        p_iValue = std::max<int64_t>(f->minimum, p_iValue - 8);
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (bGeometry && m_bAcquisition)
        return FeatureStatus::Locked;
    m_Integers[p_sName] = p_iValue;
    return FeatureStatus::Ok;
}

FeatureStatus DunstelBoard::getEnum(const QString& p_sName, QString* p_pValue) const
{
    const FeatureStatus s = CheckType(p_sName, FeatureType::Enumeration);
    if (s != FeatureStatus::Ok)
        return s;
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (IsBulkSetting(p_sName))
        *p_pValue = m_BulkEnums.at(m_Enums.at("BulkSelector")).at(p_sName);
    else
        *p_pValue = m_Enums.at(p_sName);
    return FeatureStatus::Ok;
}

FeatureStatus DunstelBoard::setEnum(const QString& p_sName, const QString& p_sValue)
{
    const FeatureStatus s = CheckType(p_sName, FeatureType::Enumeration);
    if (s != FeatureStatus::Ok)
        return s;
    if (!EnumEntries().at(p_sName).contains(p_sValue))
        return FeatureStatus::InvalidValue;
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (p_sName == "PixelFormat" && m_bAcquisition)
        return FeatureStatus::Locked;
    if (IsBulkSetting(p_sName))
        m_BulkEnums[m_Enums.at("BulkSelector")][p_sName] = p_sValue;
    else
        m_Enums[p_sName] = p_sValue;
    return FeatureStatus::Ok;
}

FeatureStatus DunstelBoard::getBoolean(const QString& p_sName, bool* p_pValue) const
{
    const FeatureStatus s = CheckType(p_sName, FeatureType::Boolean);
    if (s != FeatureStatus::Ok)
        return s;
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (p_sName == "BulkLoopback")
        *p_pValue = m_BulkLoopback.at(m_Enums.at("BulkSelector"));
    else
        *p_pValue = m_Booleans.at(p_sName);
    return FeatureStatus::Ok;
}

FeatureStatus DunstelBoard::setBoolean(const QString& p_sName, bool p_bValue)
{
    const FeatureStatus s = CheckType(p_sName, FeatureType::Boolean);
    if (s != FeatureStatus::Ok)
        return s;
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (p_sName == "BulkLoopback")
        m_BulkLoopback[m_Enums.at("BulkSelector")] = p_bValue;
    else
        m_Booleans[p_sName] = p_bValue;
    return FeatureStatus::Ok;
}

FeatureStatus DunstelBoard::getFloat(const QString& p_sName, double* /*p_pValue*/) const
{
    return CheckType(p_sName, FeatureType::Float);
}

FeatureStatus DunstelBoard::execute(const QString& p_sName)
{
    const FeatureStatus s = CheckType(p_sName, FeatureType::Command);
    if (s != FeatureStatus::Ok)
        return s;
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bAcquisition = p_sName == "AcquisitionStart";
    return FeatureStatus::Ok;
}

void DunstelBoard::setStreamEnabled(bool p_bEnabled)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bStreamEnabled = p_bEnabled;
}

bool DunstelBoard::streamEnabled() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_bStreamEnabled;
}

bool DunstelBoard::acquisitionRunning() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_bAcquisition;
}

void DunstelBoard::controlReleased()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bAcquisition = false;
    m_bStreamEnabled = false;
    m_UartLine.clear();
}

int64_t DunstelBoard::payloadSize() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return BytesPerFrame(m_Enums.at("PixelFormat"), m_Integers.at("Width") * m_Integers.at("Height"));
}

double DunstelBoard::framesPerSecond() const
{
    return SensorFor(BoardKind::Dunstel)->framesPerSecond();
}

int64_t DunstelBoard::renderFrame(uint8_t* p_pDst, int64_t p_uCapacity)
{
    int w, h;
    QString sFormat;
    bool bPattern;
    uint64_t uPatternFrame;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        w = static_cast<int>(m_Integers.at("Width"));
        h = static_cast<int>(m_Integers.at("Height"));
        sFormat = m_Enums.at("PixelFormat");
        bPattern = m_Enums.at("TestPattern") != "Off";
        uPatternFrame = m_uPatternFrame++;
    }
    const int64_t iPixels = int64_t(w) * h;
    const int64_t iBytes = BytesPerFrame(sFormat, iPixels);
    if (p_pDst == nullptr || p_uCapacity < iBytes)
        return iBytes;
    // Mono16 on a little-endian host is the rendered pixels themselves: the
    // frame is rendered straight into the buffer, with no pass of its own.
    const bool bDirect = Q_BYTE_ORDER == Q_LITTLE_ENDIAN && sFormat == QLatin1String("Mono16") && !bPattern
                         && reinterpret_cast<uintptr_t>(p_pDst) % alignof(uint16_t) == 0;
    if (bDirect) {
        SensorFor(BoardKind::Dunstel)->renderNextFrame(reinterpret_cast<uint16_t*>(p_pDst), w, h, w);
        return iBytes;
    }
    // Any other format goes through host-order pixels, in memory kept from
    // one frame to the next rather than allocated and cleared for each.
    thread_local std::vector<uint16_t> pixels;
    pixels.resize(static_cast<size_t>(iPixels));
    if (bPattern) {
        // The interface chip's own pattern: a diagonal ramp that moves one step per frame.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                pixels[size_t(y) * w + x] = static_cast<uint16_t>((x + y + uPatternFrame) * 64);
    } else {
        SensorFor(BoardKind::Dunstel)->renderNextFrame(pixels.data(), w, h, w);
    }
    uint8_t* d = p_pDst;
    if (sFormat == "Mono16" || sFormat == "Mono14" || sFormat == "Mono12" || sFormat == "Mono10") {
        const int iShift = 16 - sFormat.mid(4).toInt();
        for (uint16_t v : pixels) {
            qToLittleEndian<quint16>(static_cast<quint16>(v >> iShift), d);
            d += 2;
        }
    } else if (sFormat == "Mono8" || sFormat == "Mono8s") {
        const int iOffset = sFormat == "Mono8s" ? 128 : 0;
        for (uint16_t v : pixels)
            *d++ = static_cast<uint8_t>((v >> 8) - iOffset);
    } else if (sFormat.endsWith("Packed")) {
        const int iShift = sFormat == "Mono10Packed" ? 6 : 4;
        for (int64_t i = 0; i < iPixels; i += 2) {
            const uint16_t a = pixels[size_t(i)] >> iShift;
            const uint16_t b = i + 1 < iPixels ? pixels[size_t(i + 1)] >> iShift : 0;
            *d++ = static_cast<uint8_t>(a >> 4);
            if (i + 1 < iPixels) {
                *d++ = static_cast<uint8_t>(((a & 0xF) << 4) | (b & 0xF));
                *d++ = static_cast<uint8_t>(b >> 4);
            } else {
                *d++ = static_cast<uint8_t>((a & 0xF) << 4);
            }
        }
    } else {
        const bool bYuv = sFormat == "YUV8_UYV";
        for (uint16_t v : pixels) {
            const uint8_t g = static_cast<uint8_t>(v >> 8);
            *d++ = bYuv ? 128 : g;
            *d++ = g;
            *d++ = bYuv ? 128 : g;
        }
    }
    return iBytes;
}

bool DunstelBoard::uartAvailable() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_BulkEnums.at("Bulk0").at("BulkMode") == "UART";
}

bool DunstelBoard::uartSettingsMatchLocked() const
{
    const auto& b = m_BulkEnums.at("Bulk0");
    return b.at("BulkMode") == "UART" && b.at("BulkBaudRate") == "Baud9600" && b.at("BulkNumOfStopBits") == "One"
           && b.at("BulkParity") == "None";
}

QByteArray DunstelBoard::uartWrite(const QByteArray& p_Bytes)
{
    RecordMessage(BoardKind::Dunstel, QByteArrayLiteral("uart"), p_Bytes);
    QByteArray reply;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_BulkLoopback.at("Bulk0"))
            return p_Bytes;
        // At another line rate or framing the DigiBoard only sees noise.
        if (!uartSettingsMatchLocked())
            return QByteArray();
        for (char c : p_Bytes) {
            if (c == '\n' || c == '\r') {
                if (!m_UartLine.isEmpty())
                    handleUartLine(m_UartLine, &reply);
                m_UartLine.clear();
            } else if (m_UartLine.size() < kMaximumLine) {
                m_UartLine.append(c);
            }
        }
        // The configuration queries come without a line end.
        if (m_UartLine == "!p" || m_UartLine == "!f") {
            handleUartLine(m_UartLine, &reply);
            m_UartLine.clear();
        }
    }
    const bool bSilent = ConsumeFault(BoardKind::Dunstel, Fault::SilentPort);
    const bool bTimeout = ConsumeFault(BoardKind::Dunstel, Fault::ReplyTimeout);
    return bSilent || bTimeout ? QByteArray() : reply;
}

void DunstelBoard::emitUart(const QByteArray& p_Bytes)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_UartEmitted.append(p_Bytes);
}

QByteArray DunstelBoard::takeUartEmitted()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    QByteArray bytes;
    bytes.swap(m_UartEmitted);
    return bytes;
}

void DunstelBoard::handleUartLine(const QByteArray& p_Line, QByteArray* p_pReply)
{
    std::shared_ptr<SensorModel> pSensor = SensorFor(BoardKind::Dunstel);
    if (p_Line == "!p") {
        p_pReply->append(QByteArray::number(ProxyNumberOnWire(pSensor->proxyIndex())));
        return;
    }
    if (p_Line == "!f") {
        p_pReply->append(QByteArray::number(pSensor->frameRateCode()));
        return;
    }
    if (p_Line == "%") {
        p_pReply->append(modelName().toLatin1());
        return;
    }
    if (p_Line.size() < 3 || p_Line[0] != '!')
        return;
    const int iId = UartLetterId(p_Line[1]);
    int iValue = 0;
    if (iId < 0 || !ParseDecimal(p_Line.mid(2), &iValue))
        return;
    pSensor->setRegister(iId, iValue);
    if (iId == Register::FrameRateProxy) {
        const int iIndex = iValue + 2;
        if (iIndex >= 0 && iIndex <= 24)
            pSensor->setProxyIndex(iIndex);
    }
}

} // namespace sim
