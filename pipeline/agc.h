// Automatic gain control: lowest and highest populated levels, smoothed over time.
#pragma once

#include <cstddef>
#include <cstdint>

struct AgcLevels
{
    int Low = 0;
    int High = 0;
    size_t Skipped = 0; // samples outside -65535..65535 (or not a number), left out
};

// Histogram of the image inside the margin, one bin per level -65535..65535;
// the first and last bin whose count is above the threshold give the levels.
AgcLevels MeasureAgcLevels(const float* p_pImage, int p_iRows, int p_iCols, size_t p_uRowStride,
                           int p_iMargin, uint32_t p_uThreshold);

// The running values, carried from one run to the next.
struct AgcState
{
    int Low = 0;
    int High = 0;
    int Range = 0;
    int Centre = 0;
    int Offset = 0;
};

void SmoothAgc(AgcState& p_State, const AgcLevels& p_Levels);

struct AgcOutput
{
    bool GainValid = false; // false when the smoothed range is 0: the previous gain stays
    int Gain = 0;
    int Offset = 0;
};

// Gain = 65535 / range truncated, never above the clip; offset = -2 x centre.
AgcOutput ComputeAgcOutput(AgcState& p_State, int p_iGainClip);
