// The arithmetic of "Set parameters": the GMS word layouts, TINT to EXP, the clock word, the FPGA clock mode and the TINT ranges.
#include "board/sensor_parameter_math.h"

#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <cmath>

namespace {

// A frame of 1288 x 1032 clocks, a line of 1290 clocks.
constexpr double kLineClocks = 1290000000.0;
constexpr double kFrameClocksX = 1288.0;
constexpr double kFrameClocksY = 1032.0;
constexpr int kFrameClocks = 1329216;

bool RateKnown(int p_iFrameRate)
{
    return p_iFrameRate > 0 && p_iFrameRate < 255;
}

double DividerWeight(uint32_t p_uDivider)
{
    return static_cast<double>(1u << (p_uDivider % 8u));
}

} // namespace

GmsLayout SelectGmsLayout(uint32_t p_uCell243, uint32_t p_uCell357, uint32_t p_uCell362, uint32_t p_uCell363)
{
    const bool bCompact = p_uCell357 != 0 && p_uCell362 != 0;
    if (bCompact)
        return p_uCell243 != 0 ? GmsLayout::Compact : GmsLayout::Compact2;
    if (p_uCell363 != 0)
        return GmsLayout::Adjust;
    return GmsLayout::None;
}

GmsCells ReadGmsCells(int p_iProxyIndex)
{
    using namespace ProxyParameterId;
    const int p = p_iProxyIndex;
    GmsCells c;
    c.BPRegisterEncoding = GetCurrent(p, BPRegisterEncoding);
    c.CompactLayoutA = GetCurrent(p, GMSCompactLayoutA);
    c.CompactLayoutB = GetCurrent(p, GMSCompactLayoutB);
    c.AdjustLayout = GetCurrent(p, GMSAdjustLayout);
    c.UpCol = GetCurrent(p, ProxyParameterId::UpCol);
    c.UpRow = GetCurrent(p, ProxyParameterId::UpRow);
    c.Gain0 = GetCurrent(p, ProxyParameterId::Gain0);
    c.Gain1 = GetCurrent(p, ProxyParameterId::Gain1);
    c.Gain2 = GetCurrent(p, ProxyParameterId::Gain2);
    c.SizeA = GetCurrent(p, ProxyParameterId::SizeA);
    c.SizeB = GetCurrent(p, ProxyParameterId::SizeB);
    c.DACFilter = GetCurrent(p, ProxyParameterId::DACFilter);
    c.Ref0 = GetCurrent(p, ProxyParameterId::Ref0);
    c.Ref1 = GetCurrent(p, ProxyParameterId::Ref1);
    c.MAdj0 = GetCurrent(p, ProxyParameterId::MAdj0);
    c.MAdj1 = GetCurrent(p, ProxyParameterId::MAdj1);
    c.MAdj2 = GetCurrent(p, ProxyParameterId::MAdj2);
    c.OAdj0 = GetCurrent(p, ProxyParameterId::OAdj0);
    c.OAdj1 = GetCurrent(p, ProxyParameterId::OAdj1);
    c.OAdj2 = GetCurrent(p, ProxyParameterId::OAdj2);
    return c;
}

uint32_t ComputeGMSWord(const GmsCells& c, int p_iProxyIndex)
{
    switch (SelectGmsLayout(c.BPRegisterEncoding, c.CompactLayoutA, c.CompactLayoutB, c.AdjustLayout)) {
    case GmsLayout::Compact:
        return c.UpCol * 1 + c.UpRow * 2 + c.Gain0 * 16 + c.Gain1 * 32 + c.Gain2 * 64;
    case GmsLayout::Compact2:
        return c.SizeB * 1 + c.SizeA * 2 + c.UpRow * 4 + c.UpCol * 8 + c.Gain0 * 16 + c.Gain1 * 32
               + (p_iProxyIndex == 20 ? c.Gain2 : c.DACFilter) * 64;
    case GmsLayout::Adjust:
        return c.UpRow * 1 + c.UpCol * 2 + c.Gain0 * 4 + c.Gain1 * 8 + c.Ref0 * 16 + c.Ref1 * 32 + c.MAdj0 * 64
               + c.MAdj1 * 128 + c.MAdj2 * 256 + c.OAdj0 * 512 + c.OAdj1 * 1024 + c.OAdj2 * 2048;
    case GmsLayout::None:
        break;
    }
    return 0;
}

uint32_t ComputeEXP(int p_iTintUs, int p_iFrameRate, uint32_t p_uClockCell)
{
    const double dLine = RateKnown(p_iFrameRate)
                             ? kLineClocks / (p_iFrameRate * kFrameClocksX * kFrameClocksY)
                             : DefaultLineTimeUs;
    const double dExp = std::ceil(p_iTintUs / (dLine * DividerWeight(p_uClockCell)));
    if (dExp <= 0.0)
        return 0;
    if (dExp >= 4294967295.0)
        return 4294967295u;
    return static_cast<uint32_t>(dExp);
}

uint32_t ComputeClockWord(int p_iDivider, bool p_bInvertPixelClock, int p_iProxyIndex, bool p_bCorvane)
{
    uint32_t uWord = static_cast<uint32_t>(p_iDivider);
    if (p_bInvertPixelClock) {
        const bool bBit7 = !p_bCorvane && (p_iProxyIndex == 9 || p_iProxyIndex == 12);
        uWord += bBit7 ? (1u << 7) : (1u << 11);
    }
    return uWord;
}

std::optional<uint32_t> ComputeFPGAClockMode(uint32_t p_uClockWord, uint32_t p_uBase, uint32_t p_uModulus,
                                             uint32_t p_uShift)
{
    if (p_uModulus == 0)
        return std::nullopt;
    const uint32_t uShifted = p_uShift >= 32 ? 0u : (p_uClockWord >> p_uShift);
    const uint32_t uRemainder = uShifted % p_uModulus;
    return (p_uBase * 4u + (uRemainder == 0 ? 2u : 0u)) % 256u;
}

LineTiming ComputeLineTiming(int p_iFrameRate, int p_iDivider)
{
    const double d = DividerWeight(static_cast<uint32_t>(p_iDivider));
    double dLine = DefaultLineTimeUs;
    double dOffset = DefaultLineOffsetUs;
    double dMaxLines = DefaultMaxLinesTimeUs;
    if (RateKnown(p_iFrameRate)) {
        const double dFrame = 1000000000.0 / (p_iFrameRate * kFrameClocks);
        dLine = dFrame * 1290 / 1000;
        dOffset = dFrame * 290 / 1000;
        dMaxLines = 2047 * dLine;
    }
    return {dLine * d, dOffset * d, dMaxLines * d};
}

TintRange ComputeTintRange(int p_iFrameRate, int p_iDivider)
{
    const LineTiming timing = ComputeLineTiming(p_iFrameRate, p_iDivider);
    TintRange range;
    range.Minimum = static_cast<int>(timing.LineUs - timing.OffsetUs);
    range.Maximum = static_cast<int>(timing.MaxLinesUs - timing.OffsetUs);
    range.SingleStep = static_cast<int>(timing.LineUs);
    return range;
}

bool TintOutsideNominalRange(uint32_t p_uTint, uint32_t p_uFrameWidth, uint32_t p_uDivisor)
{
    const uint32_t uLimit = p_uFrameWidth / (p_uDivisor == 0 ? 1u : p_uDivisor);
    return p_uTint >= uLimit;
}
