// The arithmetic of "Set parameters": the GMS word layouts, TINT to EXP, the clock word, the FPGA clock mode and the TINT ranges.
#pragma once

#include <cstdint>
#include <optional>

// How a record packs its single-bit cells into the GMS word.
enum class GmsLayout {
    None,     // the word is 0
    Compact,  // 7 bits, board-side bad-pixel encoding (cells 243, 357, 362 all set)
    Compact2, // 7 bits with the size bits (243 clear, 357 and 362 set)
    Adjust,   // 12 bits with the offset/gain adjust bits (357 or 362 clear, 363 set)
};

GmsLayout SelectGmsLayout(uint32_t p_uCell243, uint32_t p_uCell357, uint32_t p_uCell362, uint32_t p_uCell363);

// The cells the GMS word is built from, as the record holds them (0 or 1;
// a larger value is added with its weight, not masked).
struct GmsCells
{
    uint32_t BPRegisterEncoding = 0; // 243
    uint32_t CompactLayoutA = 0;     // 357
    uint32_t CompactLayoutB = 0;     // 362
    uint32_t AdjustLayout = 0;       // 363
    uint32_t UpCol = 0, UpRow = 0;
    uint32_t Gain0 = 0, Gain1 = 0, Gain2 = 0;
    uint32_t SizeA = 0, SizeB = 0, DACFilter = 0;
    uint32_t Ref0 = 0, Ref1 = 0;
    uint32_t MAdj0 = 0, MAdj1 = 0, MAdj2 = 0;
    uint32_t OAdj0 = 0, OAdj1 = 0, OAdj2 = 0;
};

// The cells of the current halves of record p_iProxyIndex.
GmsCells ReadGmsCells(int p_iProxyIndex);

// Record 20 carries Gain2 where the other compact records carry the DAC filter.
uint32_t ComputeGMSWord(const GmsCells& p_Cells, int p_iProxyIndex);

// The line time used when the frame rate is unknown or the board's default:
// the line time at 30 frames per second, in microseconds.
constexpr double DefaultLineTimeUs = 32.34989648033126;
constexpr double DefaultLineOffsetUs = 7.272457348291525;
constexpr double DefaultMaxLinesTimeUs = 66220.23809523809; // 2047 lines

// The integration time as a line count for the sensors that count in lines.
// p_uClockCell: cell 196 before the clock word of this pass is stored. A frame
// rate of 0 or less (nothing known yet) takes the default line time instead of
// dividing by zero.
uint32_t ComputeEXP(int p_iTintUs, int p_iFrameRate, uint32_t p_uClockCell);

// The clock word: the divider plus the pixel-clock inversion bit, bit 7 on
// records 9 and 12 of the Camera Link and GigE boards, bit 11 elsewhere.
uint32_t ComputeClockWord(int p_iDivider, bool p_bInvertPixelClock, int p_iProxyIndex, bool p_bCorvane);

// FPGA register 4 for a clock word; no value when the record's modulus is 0
// (the record defines no clock mode).
std::optional<uint32_t> ComputeFPGAClockMode(uint32_t p_uClockWord, uint32_t p_uBase, uint32_t p_uModulus,
                                             uint32_t p_uShift);

struct TintRange
{
    int Minimum = 0;
    int Maximum = 0;
    int SingleStep = 1;
};

// The line time, the offset taken off every integration time and the time of
// 2047 lines, in microseconds, each scaled by 2^(p_iDivider modulo 8). A frame
// rate that is not known (0 or less, 255 and above) takes the default times.
struct LineTiming
{
    double LineUs = 0.0;
    double OffsetUs = 0.0;
    double MaxLinesUs = 0.0;
};
LineTiming ComputeLineTiming(int p_iFrameRate, int p_iDivider);

// The TINT control range for the divider just chosen (p_iDivider modulo 8 is the exponent).
TintRange ComputeTintRange(int p_iFrameRate, int p_iDivider);

// True when TINT is at or beyond the frame width divided by the windowing
// divisor (a divisor of 0 counts as 1): the operator is asked before it goes.
bool TintOutsideNominalRange(uint32_t p_uTint, uint32_t p_uFrameWidth, uint32_t p_uDivisor);
