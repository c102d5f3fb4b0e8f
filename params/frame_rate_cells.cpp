// Start-up values: frame-rate blocks and GSK channel codes.
#include "params/proxy_parameter_fill.h"
#include "params/proxy_parameter_ids.h"

#include <cstddef>

namespace id = ProxyParameterId;

namespace {

// The table's assignment, for the one fill that runs at a time.
proxy_fill::CellAssign g_Assign = nullptr;

void Assign(int p_iProxyIndex, int p_iParameterId, uint32_t p_uValue)
{
    g_Assign(p_iProxyIndex, p_iParameterId, p_uValue);
}


// Not defined for the record (or the rate): the cell keeps its 65535.
constexpr uint32_t NA = ProxyParameterNotSet;

// One record's values of a frame-rate block, in the rate order of the block
// (25, 30, 50, 60, 100, 120, 200 FPS). Records that offer no rate have no row.
struct FrameRateRow
{
    int iRecord;
    uint32_t aValues[id::kFrameRateCount];
};

template <std::size_t N>
void FillBlock(int p_iBaseCell, const FrameRateRow (&p_aRows)[N])
{
    for (const FrameRateRow& row : p_aRows)
        for (int i = 0; i < id::kFrameRateCount; ++i)
            if (row.aValues[i] != NA)
                Assign(row.iRecord, p_iBaseCell + i, row.aValues[i]);
}

// GSKPerFrameRate, cells 283-289: the GSK DAC value for the rate.
constexpr FrameRateRow kGSKPerFrameRate[] = {
    //      25    30    50    60   100   120   200
    { 2, {  NA, 1960,   NA,   NA,   NA,   NA,   NA}},  // 2 Z668
    { 3, {  NA, 1740, 1680, 1690, 1650,   NA,   NA}},  // 3 Z668P
    { 4, { 590,  600,  600,   NA,   NA,   NA,   NA}},  // 4 Z646
    { 5, {1320, 1340, 1370,   NA,   NA,   NA,   NA}},  // 5 Z602
    { 6, {3100, 3030, 2980,   NA,   NA,   NA,   NA}},  // 6 Y1436
    { 7, {2530, 2530, 2430, 2440,   NA,   NA,   NA}},  // 7 Y1437
    { 8, { 555,  555,  570,  570,   NA,   NA,   NA}},  // 8 Z671
    { 9, {2570, 2550, 2530, 2420, 2400, 2300,   NA}},  // 9 Y1437P
    {10, {  NA,  885,   NA,  880,   NA,  770,   NA}},  // 10 Z671P
    {11, {1200, 1210, 1250,   NA,   NA,   NA, 1030}},  // 11 Z647
    {12, {2570, 2550, 2530, 2420, 2400, 2300,   NA}},  // 12 Y1437P at 120 FPS
    {14, {  NA,   NA,   NA,   NA,   NA,   NA,   NA}},  // 14 X1550
    {15, {1420, 1425, 1440, 1450,   NA,   NA,   NA}},  // 15 Z615
    {16, {2048, 2048, 2048, 2048,   NA,   NA,   NA}},  // 16 T230
    {17, {1300, 1300, 1240,   NA,   NA,   NA,   NA}},  // 17 Z603
    {18, {2930, 2936,   NA,   NA,   NA,   NA,   NA}},  // 18 Z641
    {19, {1536, 1536, 1536, 1536,   NA,   NA,   NA}},  // 19 Z663
    {20, {1130,   NA, 1130,   NA, 1130,   NA,   NA}},  // 20 Y420
    {21, { 550,  550,  550,  550,  550,  550,   NA}},  // 21 Z671Pv2
};

// CKDIVPerFrameRate, cells 290-296: the clock divider for the rate.
constexpr FrameRateRow kCKDIVPerFrameRate[] = {
    //      25    30    50    60   100   120  200
    { 2, {  NA, 2049,   NA,   NA,   NA,   NA,  NA}},  // 2 Z668
    { 3, {  NA, 2049, 2049, 2048, 2048,   NA,  NA}},  // 3 Z668P
    { 4, {  66,   50,   33,   NA,   NA,   NA,  NA}},  // 4 Z646
    { 5, {   6,    5,    5,   NA,   NA,   NA,  NA}},  // 5 Z602
    { 6, {   1,    0,    0,   NA,   NA,   NA,  NA}},  // 6 Y1436
    { 7, {   1,    1,    0,    0,   NA,   NA,  NA}},  // 7 Y1437
    { 8, {1121, 1121, 1056, 1056,   NA,   NA,  NA}},  // 8 Z671
    { 9, { 320,  320,  192,  192,  110,  110,  NA}},  // 9 Y1437P
    {10, {  NA, 2098,   NA, 2065,   NA, 2048,  NA}},  // 10 Z671P
    {11, {   1,    1,    0,   NA,   NA,   NA,   0}},  // 11 Z647
    {12, { 320,  320,  192,  192,  110,  110,  NA}},  // 12 Y1437P at 120 FPS
    {14, {   1,    0,   NA,   NA,   NA,   NA,  NA}},  // 14 X1550
    {15, {   4,    3,    3,    2,   NA,   NA,  NA}},  // 15 Z615
    {16, {   1,    1,    0,    0,   NA,   NA,  NA}},  // 16 T230
    {17, {   6,    5,    5,   NA,   NA,   NA,  NA}},  // 17 Z603
    {18, {   2,    2,   NA,   NA,   NA,   NA,  NA}},  // 18 Z641
    {19, {   1,    1,    0,    0,   NA,   NA,  NA}},  // 19 Z663
    {20, { 256,   NA,  128,   NA,    0,   NA,  NA}},  // 20 Y420
    {21, {   2,    2,    1,    1,    0,    0,  NA}},  // 21 Z671Pv2
};

// FrameRateParam28, cells 297-303: board parameter 28 for the Camera Link and GigE boards; a rate
// left undefined here is not offered.
constexpr FrameRateRow kFrameRateParam28[] = {
    //     25   30   50   60  100  120  200
    { 2, { NA,  59,  NA,  NA,  NA,  NA,  NA}},  // 2 Z668
    { 3, { NA,  28, 104,  28, 104,  NA,  NA}},  // 3 Z668P
    { 4, {109,  46, 109,  NA,  NA,  NA,  NA}},  // 4 Z646
    { 5, { 84,  30,  84,  NA,  NA,  NA,  NA}},  // 5 Z602
    { 6, { 81,  48,  81,  NA,  NA,  NA,  NA}},  // 6 Y1436
    { 7, { 85, 100,  85, 100,  NA,  NA,  NA}},  // 7 Y1437
    { 8, { 21,  81,  21,  81,  NA,  NA,  NA}},  // 8 Z671
    { 9, { 85, 100,  85, 100,  85, 100,  NA}},  // 9 Y1437P
    {10, { NA,  79,  NA,  79,  NA,  79,  NA}},  // 10 Z671P
    {11, { 46,  28,  46,  NA,  NA,  NA, 231}},  // 11 Z647
    {12, { 85, 100,  85, 100,  85, 100,  NA}},  // 12 Y1437P at 120 FPS
    {14, {  2,  80,  NA,  NA,  NA,  NA,  NA}},  // 14 X1550
    {15, { 79,  19,  79,  19,  NA,  NA,  NA}},  // 15 Z615
    {16, { 72,  72,  72,  72,  NA,  NA,  NA}},  // 16 T230
    {17, { 75,  45,  75,  NA,  NA,  NA,  NA}},  // 17 Z603
    {18, { 52,  91,  NA,  NA,  NA,  NA,  NA}},  // 18 Z641
    {19, { 99, 151,  99, 151,  NA,  NA,  NA}},  // 19 Z663
    {20, { 17,  NA,  17,  NA,  17,  NA,  NA}},  // 20 Y420
    {21, { 15,   9,  15,   9,  15,   9,  NA}},  // 21 Z671Pv2
};

// FrameRateParam29, cells 304-310: board parameter 29.
constexpr FrameRateRow kFrameRateParam29[] = {
    //     25   30   50   60  100  120  200
    { 2, { NA, 156,  NA,  NA,  NA,  NA,  NA}},  // 2 Z668
    { 3, { NA,  74, 165,  74, 165,  NA,  NA}},  // 3 Z668P
    { 4, {236,  83, 236,  NA,  NA,  NA,  NA}},  // 4 Z646
    { 5, {169, 100, 169,  NA,  NA,  NA,  NA}},  // 5 Z602
    { 6, {100, 100, 100,  NA,  NA,  NA,  NA}},  // 6 Y1436
    { 7, {100, 100, 100, 100,  NA,  NA,  NA}},  // 7 Y1437
    { 8, { 33, 106,  33, 106,  NA,  NA,  NA}},  // 8 Z671
    { 9, {100, 100, 100, 100, 100, 100,  NA}},  // 9 Y1437P
    {10, { NA, 200,  NA, 200,  NA, 200,  NA}},  // 10 Z671P
    {11, {200, 100, 200,  NA,  NA,  NA, 250}},  // 11 Z647
    {12, {100, 100, 100, 100, 100, 100,  NA}},  // 12 Y1437P at 120 FPS
    {14, {  3, 200,  NA,  NA,  NA,  NA,  NA}},  // 14 X1550
    {15, {232,  93, 232,  93,  NA,  NA,  NA}},  // 15 Z615
    {16, {100, 100, 100, 100,  NA,  NA,  NA}},  // 16 T230
    {17, {151, 151, 151,  NA,  NA,  NA,  NA}},  // 17 Z603
    {18, {157, 229,  NA,  NA,  NA,  NA,  NA}},  // 18 Z641
    {19, {155, 197, 155, 197,  NA,  NA,  NA}},  // 19 Z663
    {20, { 17,  NA,  17,  NA,  17,  NA,  NA}},  // 20 Y420
    {21, { 22,  11,  22,  11,  22,  11,  NA}},  // 21 Z671Pv2
};

// FrameRateParam33A, cells 311-317: board parameter 33 is the sum of this cell and the next block's.
constexpr FrameRateRow kFrameRateParam33A[] = {
    //    25  30  50  60  100  120  200
    { 2, {NA,  0, NA, NA,  NA,  NA,  NA}},  // 2 Z668
    { 3, {NA,  0,  0,  0,   0,  NA,  NA}},  // 3 Z668P
    { 4, { 0,  0,  0, NA,  NA,  NA,  NA}},  // 4 Z646
    { 5, { 0,  0,  0, NA,  NA,  NA,  NA}},  // 5 Z602
    { 6, { 0,  0,  0, NA,  NA,  NA,  NA}},  // 6 Y1436
    { 7, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 7 Y1437
    { 8, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 8 Z671
    { 9, { 0,  0,  0,  0,   2,   2,  NA}},  // 9 Y1437P
    {10, {NA,  0, NA,  0,  NA,   2,  NA}},  // 10 Z671P
    {11, { 0,  0,  0, NA,  NA,  NA,   0}},  // 11 Z647
    {12, { 0,  0,  0,  0,   2,   2,  NA}},  // 12 Y1437P at 120 FPS
    {14, { 0,  0, NA, NA,  NA,  NA,  NA}},  // 14 X1550
    {15, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 15 Z615
    {16, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 16 T230
    {17, { 0,  0,  0, NA,  NA,  NA,  NA}},  // 17 Z603
    {18, { 0,  0, NA, NA,  NA,  NA,  NA}},  // 18 Z641
    {19, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 19 Z663
    {20, { 0, NA,  0, NA,   0,  NA,  NA}},  // 20 Y420
    {21, { 0,  0,  0,  0,   2,   2,  NA}},  // 21 Z671Pv2
};

// FrameRateParam33B, cells 335-341: board parameter 33, second term.
constexpr FrameRateRow kFrameRateParam33B[] = {
    //    25  30  50  60  100  120  200
    { 2, {NA,  0, NA, NA,  NA,  NA,  NA}},  // 2 Z668
    { 3, {NA,  0,  0,  0,   0,  NA,  NA}},  // 3 Z668P
    { 4, { 0,  0,  0, NA,  NA,  NA,  NA}},  // 4 Z646
    { 5, { 0,  0,  0, NA,  NA,  NA,  NA}},  // 5 Z602
    { 6, { 0,  0,  0, NA,  NA,  NA,  NA}},  // 6 Y1436
    { 7, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 7 Y1437
    { 8, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 8 Z671
    { 9, { 4,  4,  4,  4,   4,   4,  NA}},  // 9 Y1437P
    {10, {NA,  0, NA,  0,  NA,   0,  NA}},  // 10 Z671P
    {11, { 0,  0,  0, NA,  NA,  NA,   0}},  // 11 Z647
    {12, { 4,  4,  4,  4,   4,   4,  NA}},  // 12 Y1437P at 120 FPS
    {14, { 0,  0, NA, NA,  NA,  NA,  NA}},  // 14 X1550
    {15, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 15 Z615
    {16, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 16 T230
    {17, { 0,  0,  0, NA,  NA,  NA,  NA}},  // 17 Z603
    {18, { 0,  0, NA, NA,  NA,  NA,  NA}},  // 18 Z641
    {19, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 19 Z663
    {20, { 0, NA,  0, NA,   0,  NA,  NA}},  // 20 Y420
    {21, { 0,  0,  0,  0,   0,   0,  NA}},  // 21 Z671Pv2
};

// FrameRateParam34A, cells 318-324: board parameter 34 is the sum of this cell and the next block's.
constexpr FrameRateRow kFrameRateParam34A[] = {
    //    25  30  50  60  100  120  200
    { 2, {NA,  2, NA, NA,  NA,  NA,  NA}},  // 2 Z668
    { 3, {NA,  2,  2,  2,   2,  NA,  NA}},  // 3 Z668P
    { 4, { 0,  0,  0, NA,  NA,  NA,  NA}},  // 4 Z646
    { 5, { 2,  2,  2, NA,  NA,  NA,  NA}},  // 5 Z602
    { 6, { 2,  2,  2, NA,  NA,  NA,  NA}},  // 6 Y1436
    { 7, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 7 Y1437
    { 8, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 8 Z671
    { 9, { 0,  2,  0,  2,   0,   2,  NA}},  // 9 Y1437P
    {10, {NA,  2, NA,  2,  NA,   2,  NA}},  // 10 Z671P
    {11, { 0,  0,  0, NA,  NA,  NA,   0}},  // 11 Z647
    {12, { 0,  2,  0,  2,   0,   2,  NA}},  // 12 Y1437P at 120 FPS
    {14, { 0,  2, NA, NA,  NA,  NA,  NA}},  // 14 X1550
    {15, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 15 Z615
    {16, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 16 T230
    {17, { 2,  2,  2, NA,  NA,  NA,  NA}},  // 17 Z603
    {18, { 0,  0, NA, NA,  NA,  NA,  NA}},  // 18 Z641
    {19, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 19 Z663
    {20, { 2, NA,  2, NA,   2,  NA,  NA}},  // 20 Y420
    {21, { 0,  0,  0,  0,   0,   0,  NA}},  // 21 Z671Pv2
};

// FrameRateParam34B, cells 325-331: board parameter 34, second term.
constexpr FrameRateRow kFrameRateParam34B[] = {
    //    25  30  50  60  100  120  200
    { 2, {NA,  1, NA, NA,  NA,  NA,  NA}},  // 2 Z668
    { 3, {NA,  0,  0,  0,   0,  NA,  NA}},  // 3 Z668P
    { 4, { 1,  1,  1, NA,  NA,  NA,  NA}},  // 4 Z646
    { 5, { 0,  0,  0, NA,  NA,  NA,  NA}},  // 5 Z602
    { 6, { 0,  0,  0, NA,  NA,  NA,  NA}},  // 6 Y1436
    { 7, { 1,  1,  1,  0,  NA,  NA,  NA}},  // 7 Y1437
    { 8, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 8 Z671
    { 9, { 0,  0,  0,  0,   0,   0,  NA}},  // 9 Y1437P
    {10, {NA,  0, NA,  0,  NA,   0,  NA}},  // 10 Z671P
    {11, { 0,  0,  0, NA,  NA,  NA,   0}},  // 11 Z647
    {12, { 0,  0,  0,  0,   0,   0,  NA}},  // 12 Y1437P at 120 FPS
    {14, { 0,  0, NA, NA,  NA,  NA,  NA}},  // 14 X1550
    {15, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 15 Z615
    {16, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 16 T230
    {17, { 0,  0,  0, NA,  NA,  NA,  NA}},  // 17 Z603
    {18, { 0,  0, NA, NA,  NA,  NA,  NA}},  // 18 Z641
    {19, { 0,  0,  0,  0,  NA,  NA,  NA}},  // 19 Z663
    {20, { 0, NA,  0, NA,   0,  NA,  NA}},  // 20 Y420
    {21, { 0,  0,  0,  0,   0,   0,  NA}},  // 21 Z671Pv2
};

// USB3FrameRateParam28, cells 350-356: board parameter 28 for the USB3 board.
constexpr FrameRateRow kUSB3FrameRateParam28[] = {
    //      25     30    50     60   100    120   200
    { 2, {  NA,  3782,   NA,    NA,   NA,    NA,   NA}},  // 2 Z668
    { 3, {  NA,  3783, 6303,  3783, 6303,    NA,   NA}},  // 3 Z668P
    { 4, {4618,  5542, 4618,    NA,   NA,    NA,   NA}},  // 4 Z646
    { 5, {2485,  3000, 2485,    NA,   NA,    NA,   NA}},  // 5 Z602
    { 6, {8125,  4875, 8125,    NA,   NA,    NA,   NA}},  // 6 Y1436
    { 7, {8500,  9600, 8500,  9600,   NA,    NA,   NA}},  // 7 Y1437
    { 8, {6628,  7908, 6628,  7908,   NA,    NA,   NA}},  // 8 Z671
    { 9, {8500, 10200, 8500, 10200, 8500, 10200,   NA}},  // 9 Y1437P
    {10, {  NA,  4125,   NA,  4125,   NA,  4125,   NA}},  // 10 Z671P
    {11, {2300,  2800, 2300,    NA,   NA,    NA, 9240}},  // 11 Z647
    {12, {  NA,    NA,   NA,    NA,   NA,    NA,   NA}},  // 12 Y1437P at 120 FPS
    {14, {6667,  4000,   NA,    NA,   NA,    NA,   NA}},  // 14 X1550
    {15, {3398,  2040, 3398,  2040,   NA,    NA,   NA}},  // 15 Z615
    {16, {7200,  7200, 7200,  7200,   NA,    NA,   NA}},  // 16 T230
    {17, {4967,  2980, 4967,    NA,   NA,    NA,   NA}},  // 17 Z603
    {18, {3312,  3974,   NA,    NA,   NA,    NA,   NA}},  // 18 Z641
    {19, {6387,  7665, 6387,  7665,   NA,    NA,   NA}},  // 19 Z663
    {20, {  NA,    NA,   NA,    NA,   NA,    NA,   NA}},  // 20 Y420
    {21, {6818,  8182, 3409,  8182, 3409,  8182,   NA}},  // 21 Z671Pv2
};

// ---- DAC channel codes and clock-divider start values, every record ----
constexpr int kChannelColumns[] = {
    id::StopZeroChannel,       // 277
    id::GSKChannel,            // 278
    id::WindowingChannel,      // 280
    id::GSKChannel25FPS,       // 332
    id::CKDIVStartCameraLink,  // 345
    id::CKDIVStartUSB3,        // 346
    id::CKDIVStartGigE,        // 347
    id::CKDIVHighBit,          // 359
};
constexpr std::size_t kChannelColumnCount = sizeof kChannelColumns / sizeof kChannelColumns[0];
constexpr uint32_t kChannels[kProxyRecordCount][kChannelColumnCount] = {
    //                          277  278  280  332   345   346   347  359
    /* 0 none               */ { NA,  NA,  NA,  NA,   NA,   NA,   NA,   0},
    /* 1 Z654               */ {  2,  NA,   3,  NA,   NA,   NA,   NA,   0},
    /* 2 Z668               */ {  2,   3,  NA,   3, 2049, 2049, 2049,   0},
    /* 3 Z668P              */ {  2,   3,  NA,   3, 2049, 2049, 2049,   0},
    /* 4 Z646               */ {  3,   2,  NA,   2,    1,    1,    1,   0},
    /* 5 Z602               */ {  2,   3,  NA,   3,    5, 1029, 1029,   1},
    /* 6 Y1436              */ {  3,  13,   2,  13,   NA,    0,   NA,   0},
    /* 7 Y1437              */ {  3,  13,   2,  13,    0,    0,    0,   0},
    /* 8 Z671               */ {  3,   2,  NA,   2,    1,    1,    1,   0},
    /* 9 Y1437P             */ {  3,  13,   2,  13,  320,  320,   64,   0},
    /* 10 Z671P             */ {  3,   2,  12,   2, 2098, 2098, 2098,   0},
    /* 11 Z647              */ {  2,   3,  NA,   3,    1,    1,    1,   0},
    /* 12 Y1437P at 120 FPS */ {  3,  13,   2,  13,  110,   NA,   NA,   0},
    /* 13 No Proxy          */ { NA,  NA,  NA,  NA,   NA,   NA,   NA,   0},
    /* 14 X1550             */ { NA,  NA,  NA,  NA,   NA,    0,   NA,   0},
    /* 15 Z615              */ {  2,   3,  NA,   3,    3, 1027, 1027,   1},
    /* 16 T230              */ {  2,   3,  NA,   3,   NA,   NA,   NA,   0},
    /* 17 Z603              */ {  2,   3,  NA,   3,    5, 1029, 1029,   1},
    /* 18 Z641              */ {  2,   3,  NA,   3,    2, 1026, 1026,   1},
    /* 19 Z663              */ {  2,   3,  NA,   3,    1,    1,    1,   0},
    /* 20 Y420              */ {  3,   2,  NA,   2,   NA,    1,   NA,   0},
    /* 21 Z671Pv2           */ {  3,   2,  12,   2,    1,    1,    1,   0},
    /* 22 unnamed           */ { NA,  NA,  NA,  NA,    1,    1,    1,   0},
    /* 23 Z1641             */ {  3,   2,  NA,  NA,    1,    1,    1,   0},
    /* 24 Z633              */ {  3,   2,  NA,  NA,   NA,   NA,   NA,   0},
};

} // namespace

void proxy_fill::FillFrameRateCells(CellAssign p_Assign)
{
    g_Assign = p_Assign;
    FillBlock(id::GSKPerFrameRate, kGSKPerFrameRate);
    FillBlock(id::CKDIVPerFrameRate, kCKDIVPerFrameRate);
    FillBlock(id::FrameRateParam28, kFrameRateParam28);
    FillBlock(id::FrameRateParam29, kFrameRateParam29);
    FillBlock(id::FrameRateParam33A, kFrameRateParam33A);
    FillBlock(id::FrameRateParam33B, kFrameRateParam33B);
    FillBlock(id::FrameRateParam34A, kFrameRateParam34A);
    FillBlock(id::FrameRateParam34B, kFrameRateParam34B);
    FillBlock(id::USB3FrameRateParam28, kUSB3FrameRateParam28);

    for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord)
        for (std::size_t c = 0; c < kChannelColumnCount; ++c)
            if (kChannels[iRecord][c] != NA)
                Assign(iRecord, kChannelColumns[c], kChannels[iRecord][c]);

    // The custom frame-rate configuration is written by the frame-rate set-up;
    // only the "none" record starts with a defined (zero) one.
    Assign(0, id::CustomGSK, 0);
    Assign(0, id::CustomCKDIV, 0);
}
