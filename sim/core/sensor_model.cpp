// Register file, stored set-up and frame synthesis of a simulated sensor.
#include "sim/core/sensor_model.h"

#include "sim/core/start_up_cells.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

#include "sensor_start_up_values.inc"

// How strongly the GSK DAC drives the response: 5 LSB move it by a quarter.
constexpr double kGskDacGainPerLsb = 0.05;

// A defined start-up value of the record, or p_iFallback.
int RecordDefault(int p_iProxy, StartUpCell p_Cell, int p_iFallback)
{
    if (p_iProxy < 0 || p_iProxy >= kStartUpRecordCount)
        return p_iFallback;
    const int i = kSensorStartUpValues[p_iProxy][p_Cell];
    return i == kStartUpNotSet ? p_iFallback : i;
}

// A pixel as the USB3 board sends it, high byte first, in host memory.
inline uint16_t ToHighByteFirst(uint16_t p_uPixel)
{
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    return static_cast<uint16_t>((p_uPixel << 8) | (p_uPixel >> 8));
#else
    return p_uPixel;
#endif
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
    bool lensCovered;
    double fps;
};

SensorModel::SensorModel(BoardKind p_Kind, int p_iProxyIndex, int p_iFrameRateCode)
    : m_Kind(p_Kind), m_iProxyIndex(p_iProxyIndex), m_iFrameRateCode(p_iFrameRateCode)
{
    m_Registers[Register::TINT] = RecordDefault(p_iProxyIndex, StartUpTint, 255);
    m_Registers[Register::ADD02] = RecordDefault(p_iProxyIndex, StartUpDacA, 2048);
    m_Registers[Register::ADD03] = RecordDefault(p_iProxyIndex, StartUpDacB, 2048);
    m_Registers[Register::ADD0C] = RecordDefault(p_iProxyIndex, StartUpDacC, 0);
    m_Registers[Register::ADD0D] = RecordDefault(p_iProxyIndex, StartUpDacD, 0);
    m_Registers[Register::CKDIV] = RecordDefault(p_iProxyIndex, StartUpCkdiv, 0);
    m_Registers[Register::FrameRateGsk] = RecordDefault(p_iProxyIndex, StartUpGsk30Fps, 2048);
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

void SensorModel::setLensCovered(bool p_bCovered)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bLensCovered = p_bCovered;
}

bool SensorModel::lensCovered() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_bLensCovered;
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
    const int w = RecordDefault(iProxy, StartUpAcqBufferWidth, 0);
    const int h = RecordDefault(iProxy, StartUpAcqBufferHeight, 0);
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
        l.lensCovered = m_bLensCovered;
    }
    const double tintRef = std::max(1, RecordDefault(iProxy, StartUpTint, 255));
    const double tint = std::clamp(static_cast<double>(reg[Register::TINT]) / tintRef, 0.0, 4.0);
    const double gskRef = RecordDefault(iProxy, StartUpGsk30Fps, 2048);
    double dacA = reg[Register::ADD02] - RecordDefault(iProxy, StartUpDacA, 2048);
    double dacB = reg[Register::ADD03] - RecordDefault(iProxy, StartUpDacB, 2048);
    double dacC = reg[Register::ADD0C] - RecordDefault(iProxy, StartUpDacC, 0);
    double dacD = reg[Register::ADD0D] - RecordDefault(iProxy, StartUpDacD, 0);
    // The DAC that carries the record's GSK voltage drives the response (as
    // the frame-rate GSK register does) instead of the pedestal.
    double gskDac = 0.0;
    switch (RecordDefault(iProxy, StartUpGskChannel, 0)) {
    case 2: gskDac = dacA; dacA = 0.0; break;
    case 3: gskDac = dacB; dacB = 0.0; break;
    case 12: gskDac = dacC; dacC = 0.0; break;
    case 13: gskDac = dacD; dacD = 0.0; break;
    default: break;
    }
    const double gsk = std::clamp(
        1.0 + (reg[Register::FrameRateGsk] - gskRef) / 2048.0 + gskDac * kGskDacGainPerLsb, 0.1, 3.0);
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

namespace {

// Temporal noise: a fixed table of triangular samples in [-255, 255] that a
// frame reads from a position drawn per frame. It holds more samples than the
// largest frame has pixels, so no frame repeats itself.
constexpr size_t kNoiseSamples = size_t(1) << 22;
const std::vector<float>& NoiseTable()
{
    static const std::vector<float> s_Table = [] {
        std::vector<float> table(kNoiseSamples);
        uint32_t rng = 0x2545F491u;
        for (float& v : table) {
            rng ^= rng << 13;
            rng ^= rng >> 17;
            rng ^= rng << 5;
            v = static_cast<float>(static_cast<int>(rng & 0xFF) + static_cast<int>((rng >> 8) & 0xFF) - 255);
        }
        return table;
    }();
    return s_Table;
}

// One line of a frame: base + weight * disc + noise, rounded, clamped to 16
// bits, shifted to the output depth, inverted when asked. Clamped as integers
// in plain selections so that the loop vectorises (a float comparison may
// trap and stays a branch); rounding then clamping gives what clamping then
// rounding gives. HighByteFirst stores each pixel with its bytes swapped on
// a little-endian host (the USB3 board's order), in the same pass.
// p_fDiscX0 is the first pixel's distance to the disc's centre along the
// line, p_fDy2 the line's squared distance to it.
template <bool HighByteFirst>
__attribute__((always_inline)) inline void
RenderLineBody(uint16_t* __restrict p_pLine, const float* __restrict p_pBase, const float* __restrict p_pWeight,
               float p_fDiscX0, float p_fDy2, float p_fInvRadius2, const float* __restrict p_pNoise, int p_iWidth,
               float p_fNoiseScale, int p_iShift, int32_t p_iSign, int32_t p_iBias, int32_t p_iMax)
{
    for (int x = 0; x < p_iWidth; ++x) {
        const float dx = p_fDiscX0 + static_cast<float>(x);
        const float disc = 1.0f / (1.0f + (dx * dx + p_fDy2) * p_fInvRadius2);
        const float d = p_pBase[x] + p_pWeight[x] * disc + p_pNoise[x] * p_fNoiseScale;
        int32_t r = static_cast<int32_t>(d + 0.5f);
        r = r < 0 ? 0 : r;
        r = r > 65535 ? 65535 : r;
        int32_t v = (r >> p_iShift) * p_iSign + p_iBias;
        v = v < 0 ? 0 : v;
        v = v > p_iMax ? p_iMax : v;
        p_pLine[x] = HighByteFirst ? ToHighByteFirst(static_cast<uint16_t>(v)) : static_cast<uint16_t>(v);
    }
}

// A second copy of each for processors with AVX2 and FMA, chosen when the
// library is loaded. Not under the sanitizers: ThreadSanitizer cannot run the
// loader's choice before its own start-up.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_THREAD__) \
    && !defined(__SANITIZE_ADDRESS__)
#define KESTIVO_SYNTHESIS_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define KESTIVO_SYNTHESIS_CLONES
#endif

KESTIVO_SYNTHESIS_CLONES
void RenderLine(uint16_t* __restrict p_pLine, const float* __restrict p_pBase, const float* __restrict p_pWeight,
                float p_fDiscX0, float p_fDy2, float p_fInvRadius2, const float* __restrict p_pNoise, int p_iWidth,
                float p_fNoiseScale, int p_iShift, int32_t p_iSign, int32_t p_iBias, int32_t p_iMax)
{
    RenderLineBody<false>(p_pLine, p_pBase, p_pWeight, p_fDiscX0, p_fDy2, p_fInvRadius2, p_pNoise, p_iWidth,
                          p_fNoiseScale, p_iShift, p_iSign, p_iBias, p_iMax);
}

KESTIVO_SYNTHESIS_CLONES
void RenderLineHighByteFirst(uint16_t* __restrict p_pLine, const float* __restrict p_pBase,
                             const float* __restrict p_pWeight, float p_fDiscX0, float p_fDy2, float p_fInvRadius2,
                             const float* __restrict p_pNoise, int p_iWidth, float p_fNoiseScale, int p_iShift,
                             int32_t p_iSign, int32_t p_iBias, int32_t p_iMax)
{
    RenderLineBody<true>(p_pLine, p_pBase, p_pWeight, p_fDiscX0, p_fDy2, p_fInvRadius2, p_pNoise, p_iWidth,
                         p_fNoiseScale, p_iShift, p_iSign, p_iBias, p_iMax);
}

} // namespace

std::shared_ptr<const SensorModel::PixelTables> SensorModel::tables(int p_iWidth, int p_iHeight,
                                                                     const Levels& p_Levels) const
{
    std::lock_guard<std::mutex> lock(m_TablesMutex);
    const bool bGeometry = m_Tables && m_Tables->width == p_iWidth && m_Tables->height == p_iHeight
                           && m_Tables->lensCovered == p_Levels.lensCovered;
    if (bGeometry && m_Tables->pedestal == p_Levels.pedestal && m_Tables->response == p_Levels.response
        && m_Tables->boardCorrected == p_Levels.boardCorrected)
        return m_Tables;

    auto t = std::make_shared<PixelTables>();
    const size_t n = static_cast<size_t>(p_iWidth) * static_cast<size_t>(p_iHeight);
    if (bGeometry) {
        // Same geometry, new levels: keep the geometry half (frames being
        // rendered hold the old tables, which stay unchanged).
        t->width = m_Tables->width;
        t->height = m_Tables->height;
        t->lensCovered = m_Tables->lensCovered;
        t->offset = m_Tables->offset;
        t->gain = m_Tables->gain;
        t->staticScene = m_Tables->staticScene;
        t->discFactor = m_Tables->discFactor;
        t->defectIndex = m_Tables->defectIndex;
        t->defectKind = m_Tables->defectKind;
    } else {
        t->width = p_iWidth;
        t->height = p_iHeight;
        t->lensCovered = p_Levels.lensCovered;
        t->offset.resize(n);
        t->gain.resize(n);
        t->staticScene.resize(n);
        t->discFactor.resize(n);
        // The scene: a warm disc circling slowly over a horizontal ramp, with
        // a cold vertical bar.
        const int barLeft = p_iWidth / 5, barRight = barLeft + std::max(1, p_iWidth / 20);
        const float invWidth = 1.0f / static_cast<float>(p_iWidth);
        size_t i = 0;
        for (int y = 0; y < p_iHeight; ++y)
            for (int x = 0; x < p_iWidth; ++x, ++i) {
                const uint32_t h = PixelHash(x, y, 0x0FF5E7u);
                t->offset[i] = static_cast<float>(h & 0x7FF) - 1024.0f;                          // +-1024 counts
                t->gain[i] = 1.0f + (static_cast<float>((h >> 11) & 0x3FF) - 512.0f) / 5120.0f;  // +-10 %
                const bool bBar = x >= barLeft && x < barRight;
                if (p_Levels.lensCovered) {
                    // A covered lens sees one uniform level.
                    t->staticScene[i] = 0.5f;
                    t->discFactor[i] = 0.0f;
                } else {
                    t->staticScene[i] = (0.25f + 0.25f * static_cast<float>(x) * invWidth) * (bBar ? 0.4f : 1.0f);
                    t->discFactor[i] = bBar ? 0.2f : 0.5f;
                }
                const PixelDefect defect = DefectAt(x, y);
                if (defect != PixelDefect::None) {
                    t->defectIndex.push_back(static_cast<uint32_t>(i));
                    t->defectKind.push_back(static_cast<uint8_t>(defect));
                }
            }
    }
    t->pedestal = p_Levels.pedestal;
    t->response = p_Levels.response;
    t->boardCorrected = p_Levels.boardCorrected;
    t->base.resize(n);
    t->discWeight.resize(n);
    const float pedestal = static_cast<float>(p_Levels.pedestal);
    const float response = static_cast<float>(p_Levels.response);
    for (size_t i = 0; i < n; ++i) {
        const float offset = p_Levels.boardCorrected ? 0.0f : t->offset[i];
        const float gain = p_Levels.boardCorrected ? 1.0f : t->gain[i];
        t->base[i] = pedestal + offset + gain * response * t->staticScene[i];
        t->discWeight[i] = gain * response * t->discFactor[i];
    }
    m_Tables = t;
    return t;
}

void SensorModel::renderFrame(uint64_t p_uFrameIndex, uint16_t* p_pDst, int p_iWidth, int p_iHeight,
                              int p_iPitchPixels) const
{
    renderFrameOrdered(p_uFrameIndex, p_pDst, p_iWidth, p_iHeight, p_iPitchPixels, false);
}

uint32_t SensorModel::renderNextFrameHighByteFirst(uint8_t* p_pDst, const FrameGeometry& p_Geometry)
{
    uint64_t uIndex;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        uIndex = m_uFramesRendered++;
    }
    renderFrameOrdered(uIndex, reinterpret_cast<uint16_t*>(p_pDst), p_Geometry.width, p_Geometry.height,
                       p_Geometry.width, true);
    return kFirstFrameCounter + static_cast<uint32_t>(uIndex);
}

void SensorModel::renderFrameOrdered(uint64_t p_uFrameIndex, uint16_t* p_pDst, int p_iWidth, int p_iHeight,
                                     int p_iPitchPixels, bool p_bHighByteFirst) const
{
    // A line never needs more noise samples than the table holds (the widest
    // sensor has a few thousand pixels).
    if (p_pDst == nullptr || p_iWidth <= 0 || p_iHeight <= 0 || p_iPitchPixels < p_iWidth
        || static_cast<size_t>(p_iWidth) > kNoiseSamples)
        return;
    const Levels l = levels();
    const std::shared_ptr<const PixelTables> t = tables(p_iWidth, p_iHeight, l);
    const int iShift = 16 - (31 - __builtin_clz(static_cast<uint32_t>(l.maxValue) + 1u));

    // The disc turns once in 20 s at 30 frames a second.
    const double t0 = static_cast<double>(p_uFrameIndex) * (2.0 * M_PI / 600.0);
    const float cx = static_cast<float>(p_iWidth * (0.5 + 0.3 * std::cos(t0)));
    const float cy = static_cast<float>(p_iHeight * (0.5 + 0.3 * std::sin(t0)));
    const float invRadius2 = 1.0f / std::max(4.0f, 0.02f * static_cast<float>(p_iWidth) * static_cast<float>(p_iHeight));
    const float noiseScale = static_cast<float>(l.noise / 128.0);
    const uint32_t uFrameSalt = Hash(static_cast<uint32_t>(p_uFrameIndex) ^ 0x5EEDu)
                                ^ Hash(static_cast<uint32_t>(p_uFrameIndex >> 32));
    const std::vector<float>& noise = NoiseTable();
    const size_t uPixels = static_cast<size_t>(p_iWidth) * static_cast<size_t>(p_iHeight);
    // A frame that fits reads one run of the table; a larger one (wider than
    // any sensor here) starts each line at its own place.
    const bool bOneRun = uPixels <= kNoiseSamples;
    const size_t uWidth = static_cast<size_t>(p_iWidth);
    const size_t uNoiseStart = bOneRun ? uFrameSalt % (kNoiseSamples - uPixels + 1) : 0;
    const int32_t maxValue = l.maxValue;
    const bool bInvert = l.invert;
    const int32_t iSign = bInvert ? -1 : 1;
    const int32_t iBias = bInvert ? maxValue : 0;

    for (int y = 0; y < p_iHeight; ++y) {
        uint16_t* __restrict pLine = p_pDst + static_cast<size_t>(y) * static_cast<size_t>(p_iPitchPixels);
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(p_iWidth);
        const float* __restrict pBase = t->base.data() + row;
        const float* __restrict pWeight = t->discWeight.data() + row;
        const float dy = static_cast<float>(y) - cy;
        const size_t uLineStart = bOneRun ? uNoiseStart + row
                                          : Hash(uFrameSalt + static_cast<uint32_t>(y)) % (kNoiseSamples - uWidth + 1);
        const float* __restrict pNoise = noise.data() + uLineStart;
        if (p_bHighByteFirst)
            RenderLineHighByteFirst(pLine, pBase, pWeight, -cx, dy * dy, invRadius2, pNoise, p_iWidth, noiseScale,
                                    iShift, iSign, iBias, maxValue);
        else
            RenderLine(pLine, pBase, pWeight, -cx, dy * dy, invRadius2, pNoise, p_iWidth, noiseScale, iShift, iSign,
                       iBias, maxValue);
    }
    // Dead and hot pixels, a sparse list.
    for (size_t i = 0; i < t->defectIndex.size(); ++i) {
        const uint32_t uIndex = t->defectIndex[i];
        const int y = static_cast<int>(uIndex / static_cast<uint32_t>(p_iWidth));
        const int x = static_cast<int>(uIndex % static_cast<uint32_t>(p_iWidth));
        int32_t v = (t->defectKind[i] == static_cast<uint8_t>(PixelDefect::Dead) ? 300 : 65000) >> iShift;
        v = bInvert ? maxValue - v : v;
        const uint16_t uPixel = static_cast<uint16_t>(std::clamp<int32_t>(v, 0, maxValue));
        p_pDst[static_cast<size_t>(y) * static_cast<size_t>(p_iPitchPixels) + static_cast<size_t>(x)]
            = p_bHighByteFirst ? ToHighByteFirst(uPixel) : uPixel;
    }
}

} // namespace sim
