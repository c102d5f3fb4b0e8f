// Register file, stored set-up and frame synthesis of a simulated sensor.
#include "sim/core/sensor_model.h"

#include "params/proxy_parameter_table.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

// Record cells the model reads; named here because the model only needs
// their start-up (default) halves.
constexpr int kCellAcqBufferWidth = 241;
constexpr int kCellAcqBufferHeight = 242;
constexpr int kCellTint = 216;
constexpr int kCellDacA = 170;
constexpr int kCellDacB = 175;
constexpr int kCellDacC = 180;
constexpr int kCellDacD = 185;
constexpr int kCellCkdiv = 196;
constexpr int kCellGsk30Fps = 284;

// A defined default of the record, or p_iFallback.
int RecordDefault(int p_iProxy, int p_iCell, int p_iFallback)
{
    if (p_iProxy < 0 || p_iProxy >= kProxyRecordCount)
        return p_iFallback;
    EnsureProxyParameterTableFilled();
    const uint32_t u = GetDefault(p_iProxy, p_iCell);
    return u == ProxyParameterNotSet ? p_iFallback : static_cast<int>(u);
}

inline uint32_t Hash(uint32_t p_uX)
{
    p_uX ^= p_uX >> 16;
    p_uX *= 0x7feb352dU;
    p_uX ^= p_uX >> 15;
    p_uX *= 0x846ca68bU;
    p_uX ^= p_uX >> 16;
    return p_uX;
}
inline uint32_t PixelHash(int p_iX, int p_iY, uint32_t p_uSalt)
{
    return Hash(static_cast<uint32_t>(p_iX) * 0x9E3779B1U ^ Hash(static_cast<uint32_t>(p_iY) + p_uSalt));
}

} // namespace

struct SensorModel::Levels
{
    double pedestal;       // mean dark level, 16-bit counts
    double response;       // counts for a full-scale scene
    double noise;          // temporal noise amplitude
    int32_t maxValue;
    bool boardCorrected;
    bool invert;
    double fps;
};

SensorModel::SensorModel(BoardKind p_Kind, int p_iProxyIndex, int p_iFrameRateCode)
    : m_Kind(p_Kind), m_iProxyIndex(p_iProxyIndex), m_iFrameRateCode(p_iFrameRateCode)
{
    m_Registers[Register::TINT] = RecordDefault(p_iProxyIndex, kCellTint, 255);
    m_Registers[Register::ADD02] = RecordDefault(p_iProxyIndex, kCellDacA, 2048);
    m_Registers[Register::ADD03] = RecordDefault(p_iProxyIndex, kCellDacB, 2048);
    m_Registers[Register::ADD0C] = RecordDefault(p_iProxyIndex, kCellDacC, 0);
    m_Registers[Register::ADD0D] = RecordDefault(p_iProxyIndex, kCellDacD, 0);
    m_Registers[Register::CKDIV] = RecordDefault(p_iProxyIndex, kCellCkdiv, 0);
    m_Registers[Register::FrameRateGsk] = RecordDefault(p_iProxyIndex, kCellGsk30Fps, 2048);
    m_Registers[Register::FrameRateCode] = p_iFrameRateCode;
}

void SensorModel::setRegister(int p_iId, int32_t p_iValue)
{
    if (p_iId < 0 || p_iId >= kRegisterCount)
        return;
    std::function<void(int, int)> store;
    int iProxy = 0;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Registers[p_iId] = p_iValue;
        if (p_iId == Register::PERSO_VALUE)
            m_Fpga[m_Registers[Register::PERSO_ADDR]] = p_iValue;
        if (p_iId == Register::FrameRateCode && m_iFrameRateCode != p_iValue) {
            m_iFrameRateCode = p_iValue;
            store = m_Store;
            iProxy = m_iProxyIndex;
        }
    }
    if (store)
        store(iProxy, p_iValue);
}

int32_t SensorModel::registerValue(int p_iId) const
{
    if (p_iId < 0 || p_iId >= kRegisterCount)
        return 0;
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Registers[p_iId];
}

void SensorModel::setFpgaRegister(int p_iAddress, int32_t p_iValue)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Fpga[p_iAddress] = p_iValue;
}

int32_t SensorModel::fpgaRegister(int p_iAddress) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    const auto it = m_Fpga.find(p_iAddress);
    return it == m_Fpga.end() ? 0 : it->second;
}

std::map<int, int32_t> SensorModel::fpgaRegisters() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Fpga;
}

int SensorModel::proxyIndex() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_iProxyIndex;
}

void SensorModel::setProxyIndex(int p_iProxyIndex)
{
    std::function<void(int, int)> store;
    int iRate = 0;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_iProxyIndex == p_iProxyIndex)
            return;
        m_iProxyIndex = p_iProxyIndex;
        store = m_Store;
        iRate = m_iFrameRateCode;
    }
    if (store)
        store(p_iProxyIndex, iRate);
}

int SensorModel::frameRateCode() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_iFrameRateCode;
}

void SensorModel::setFrameRateCode(int p_iCode)
{
    std::function<void(int, int)> store;
    int iProxy = 0;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Registers[Register::FrameRateCode] = p_iCode;
        if (m_iFrameRateCode == p_iCode)
            return;
        m_iFrameRateCode = p_iCode;
        store = m_Store;
        iProxy = m_iProxyIndex;
    }
    if (store)
        store(iProxy, p_iCode);
}

double SensorModel::framesPerSecond() const
{
    switch (frameRateCode()) {
    case 25: return 25;
    case 30: return 30;
    case 50: return 50;
    case 60: return 60;
    case 100: return 100;
    case 120: return 120;
    case 200: return 200;
    default: return 30;
    }
}

void SensorModel::setStoreCallback(std::function<void(int, int)> p_Store)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Store = std::move(p_Store);
}

FrameGeometry SensorModel::geometry() const
{
    int iProxy;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_bGeometryOverride)
            return m_GeometryOverride;
        iProxy = m_iProxyIndex;
    }
    const int w = RecordDefault(iProxy, kCellAcqBufferWidth, 0);
    const int h = RecordDefault(iProxy, kCellAcqBufferHeight, 0);
    if (w <= 0 || h <= 0 || w > 8192 || h > 8192)
        return kFallbackGeometry;
    return FrameGeometry{w, h};
}

void SensorModel::setGeometryOverride(const FrameGeometry& p_Geometry)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bGeometryOverride = true;
    m_GeometryOverride = p_Geometry;
}

void SensorModel::clearGeometryOverride()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bGeometryOverride = false;
}

void SensorModel::setOutputBits(int p_iBits)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_iOutputBits = std::clamp(p_iBits, 8, 16);
}

int SensorModel::outputBits() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_iOutputBits;
}

void SensorModel::setBoardCorrectedOutput(bool p_bOn)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bBoardCorrected = p_bOn;
}

bool SensorModel::boardCorrectedOutput() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_bBoardCorrected;
}

uint32_t SensorModel::frameCounter() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return kFirstFrameCounter + static_cast<uint32_t>(m_uFramesRendered);
}

uint64_t SensorModel::framesRendered() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_uFramesRendered;
}

PixelDefect SensorModel::DefectAt(int p_iX, int p_iY)
{
    // About one pixel in 1500 of each kind.
    const uint32_t h = PixelHash(p_iX, p_iY, 0xDEFEC7u) % 3000u;
    if (h == 0)
        return PixelDefect::Dead;
    if (h == 1)
        return PixelDefect::Hot;
    return PixelDefect::None;
}

SensorModel::Levels SensorModel::levels() const
{
    int32_t reg[kRegisterCount];
    int iProxy;
    Levels l{};
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        std::copy(std::begin(m_Registers), std::end(m_Registers), reg);
        iProxy = m_iProxyIndex;
        l.maxValue = static_cast<int32_t>((1u << m_iOutputBits) - 1u);
        l.boardCorrected = m_bBoardCorrected;
        l.invert = m_Registers[Register::INVERT_BW_DISPLAY] != 0;
    }
    const double tintRef = std::max(1, RecordDefault(iProxy, kCellTint, 255));
    const double tint = std::clamp(static_cast<double>(reg[Register::TINT]) / tintRef, 0.0, 4.0);
    const double gskRef = RecordDefault(iProxy, kCellGsk30Fps, 2048);
    const double gsk = std::clamp(1.0 + (reg[Register::FrameRateGsk] - gskRef) / 2048.0, 0.1, 3.0);
    const double dacA = reg[Register::ADD02] - RecordDefault(iProxy, kCellDacA, 2048);
    const double dacB = reg[Register::ADD03] - RecordDefault(iProxy, kCellDacB, 2048);
    const double dacC = reg[Register::ADD0C] - RecordDefault(iProxy, kCellDacC, 0);
    const double dacD = reg[Register::ADD0D] - RecordDefault(iProxy, kCellDacD, 0);
    l.pedestal = 9000.0 + 2.0 * dacA - 1.5 * dacB + 0.5 * dacC + 0.5 * dacD;
    l.response = 30000.0 * tint * gsk;
    l.noise = 40.0;
    return l;
}

uint32_t SensorModel::renderNextFrame(uint16_t* p_pDst, int p_iWidth, int p_iHeight, int p_iPitchPixels)
{
    uint64_t uIndex;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        uIndex = m_uFramesRendered++;
    }
    renderFrame(uIndex, p_pDst, p_iWidth, p_iHeight, p_iPitchPixels);
    return kFirstFrameCounter + static_cast<uint32_t>(uIndex);
}

std::shared_ptr<const SensorModel::PixelTables> SensorModel::tables(int p_iWidth, int p_iHeight) const
{
    std::lock_guard<std::mutex> lock(m_TablesMutex);
    if (m_Tables && m_Tables->width == p_iWidth && m_Tables->height == p_iHeight)
        return m_Tables;
    auto t = std::make_shared<PixelTables>();
    t->width = p_iWidth;
    t->height = p_iHeight;
    const size_t n = static_cast<size_t>(p_iWidth) * static_cast<size_t>(p_iHeight);
    t->offset.resize(n);
    t->gain.resize(n);
    t->defect.resize(n);
    size_t i = 0;
    for (int y = 0; y < p_iHeight; ++y)
        for (int x = 0; x < p_iWidth; ++x, ++i) {
            const uint32_t h = PixelHash(x, y, 0x0FF5E7u);
            t->offset[i] = static_cast<float>(h & 0x7FF) - 1024.0f;                          // +-1024 counts
            t->gain[i] = 1.0f + (static_cast<float>((h >> 11) & 0x3FF) - 512.0f) / 5120.0f;  // +-10 %
            t->defect[i] = static_cast<uint8_t>(DefectAt(x, y));
        }
    m_Tables = t;
    return t;
}

void SensorModel::renderFrame(uint64_t p_uFrameIndex, uint16_t* p_pDst, int p_iWidth, int p_iHeight,
                              int p_iPitchPixels) const
{
    if (p_pDst == nullptr || p_iWidth <= 0 || p_iHeight <= 0 || p_iPitchPixels < p_iWidth)
        return;
    const Levels l = levels();
    const std::shared_ptr<const PixelTables> t = tables(p_iWidth, p_iHeight);
    const int iShift = 16 - (31 - __builtin_clz(static_cast<uint32_t>(l.maxValue) + 1u));

    // The scene: a warm disc circling slowly (one turn in 20 s at 30 frames a
    // second) over a horizontal ramp, with a cold vertical bar.
    const double t0 = static_cast<double>(p_uFrameIndex) * (2.0 * M_PI / 600.0);
    const float cx = static_cast<float>(p_iWidth * (0.5 + 0.3 * std::cos(t0)));
    const float cy = static_cast<float>(p_iHeight * (0.5 + 0.3 * std::sin(t0)));
    const float invRadius2 = 1.0f / std::max(4.0f, 0.02f * static_cast<float>(p_iWidth) * static_cast<float>(p_iHeight));
    const int barLeft = p_iWidth / 5, barRight = barLeft + std::max(1, p_iWidth / 20);
    const float invWidth = 1.0f / static_cast<float>(p_iWidth);
    const float pedestal = static_cast<float>(l.pedestal);
    const float response = static_cast<float>(l.response);
    const float noiseScale = static_cast<float>(l.noise / 128.0);
    const bool bCorrected = l.boardCorrected;
    const uint32_t uFrameSalt = Hash(static_cast<uint32_t>(p_uFrameIndex) ^ 0x5EEDu)
                                ^ Hash(static_cast<uint32_t>(p_uFrameIndex >> 32));

    for (int y = 0; y < p_iHeight; ++y) {
        uint16_t* pLine = p_pDst + static_cast<size_t>(y) * static_cast<size_t>(p_iPitchPixels);
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(p_iWidth);
        const float dy2 = (static_cast<float>(y) - cy) * (static_cast<float>(y) - cy);
        // Temporal noise: a xorshift sequence seeded per frame and line.
        uint32_t rng = Hash(uFrameSalt + static_cast<uint32_t>(y) * 0x9E3779B1u) | 1u;
        for (int x = 0; x < p_iWidth; ++x) {
            rng ^= rng << 13;
            rng ^= rng >> 17;
            rng ^= rng << 5;
            int32_t v;
            const uint8_t defect = t->defect[row + static_cast<size_t>(x)];
            if (defect == static_cast<uint8_t>(PixelDefect::Dead)) {
                v = 300;
            } else if (defect == static_cast<uint8_t>(PixelDefect::Hot)) {
                v = 65000;
            } else {
                const float dx = static_cast<float>(x) - cx;
                float scene = 0.25f + 0.25f * static_cast<float>(x) * invWidth
                              + 0.5f / (1.0f + (dx * dx + dy2) * invRadius2);
                if (x >= barLeft && x < barRight)
                    scene *= 0.4f;
                const float offset = bCorrected ? 0.0f : t->offset[row + static_cast<size_t>(x)];
                const float gain = bCorrected ? 1.0f : t->gain[row + static_cast<size_t>(x)];
                const float noise = (static_cast<float>(rng & 0xFF) + static_cast<float>((rng >> 8) & 0xFF) - 255.0f)
                                    * noiseScale;
                const float d = pedestal + offset + gain * response * scene + noise;
                v = static_cast<int32_t>(std::clamp(d, 0.0f, 65535.0f) + 0.5f);
            }
            v >>= iShift;
            if (l.invert)
                v = l.maxValue - v;
            pLine[x] = static_cast<uint16_t>(std::clamp<int32_t>(v, 0, l.maxValue));
        }
    }
}

} // namespace sim
