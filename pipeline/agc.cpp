// Automatic gain control: lowest and highest populated levels, smoothed over time.
#include "pipeline/agc.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {
constexpr int kBins = 131071;
constexpr int kZeroBin = 65535;
}

AgcLevels MeasureAgcLevels(const float* p_pImage, int p_iRows, int p_iCols, size_t p_uRowStride,
                           int p_iMargin, uint32_t p_uThreshold)
{
    AgcLevels levels;
    // A margin read from an unset cell can be huge or negative: never index outside.
    const int margin = p_iMargin < 0 ? 0 : p_iMargin;
    std::vector<uint32_t> bins(kBins, 0u);
    if (p_pImage) {
        for (int y = margin; y < p_iRows - margin; ++y) {
            const float* row = p_pImage + size_t(y) * p_uRowStride;
            for (int x = margin; x < p_iCols - margin; ++x) {
                const float v = row[x];
                if (!(v >= -65535.0f && v <= 65535.0f)) {
                    ++levels.Skipped;
                    continue;
                }
                const int bin = int(v + 65535.0f);
                ++bins[size_t(bin)];
            }
        }
    }
    // Counts compare as floats, as a float histogram would.
    const float threshold = float(p_uThreshold);
    for (int b = 0; b < kBins; ++b)
        if (float(bins[size_t(b)]) > threshold) {
            levels.Low = b - kZeroBin;
            break;
        }
    for (int b = kBins - 1; b >= 1; --b)
        if (float(bins[size_t(b)]) > threshold) {
            levels.High = b - kZeroBin;
            break;
        }
    return levels;
}

void SmoothAgc(AgcState& p_State, const AgcLevels& p_Levels)
{
    p_State.Low = (p_State.Low * 29 + p_Levels.Low) / 30;
    p_State.High = (p_State.High * 29 + p_Levels.High) / 30;
    p_State.Range = std::abs(p_State.High - p_State.Low);
    p_State.Centre = (p_State.High + p_State.Low) / 2;
}

AgcOutput ComputeAgcOutput(AgcState& p_State, int p_iGainClip)
{
    AgcOutput out;
    if (p_State.Range != 0) {
        int gain = int(std::trunc(65535.0 / double(p_State.Range)));
        if (p_iGainClip < gain)
            gain = p_iGainClip;
        out.Gain = gain;
        out.GainValid = true;
    }
    p_State.Offset = -2 * p_State.Centre;
    out.Offset = p_State.Offset;
    return out;
}
