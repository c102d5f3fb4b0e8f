// Start-up values: sensor geometry, register defaults and windowing.
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


// Not defined for the record: the cell keeps its 65535.
constexpr uint32_t NA = ProxyParameterNotSet;

// A column shown for checking only: the control descriptor fill enters these
// cells (their values are the same), so they are not assigned a second time.
constexpr int kEnteredWithDescriptors = -1;

// Assigns every defined value of a record-by-column table.
template <std::size_t N>
void FillColumns(const int (&p_aColumns)[N], const uint32_t (&p_aRows)[kProxyRecordCount][N])
{
    for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord)
        for (std::size_t c = 0; c < N; ++c)
            if (p_aColumns[c] != kEnteredWithDescriptors && p_aRows[iRecord][c] != NA)
                Assign(iRecord, p_aColumns[c], p_aRows[iRecord][c]);
}

// ---- Sensor geometry, acquisition buffer and acquisition size controls ----
constexpr int kGeometryColumns[] = {
    id::SensorWidth,      // 407
    id::SensorHeight,     // 408
    id::AcqBufferWidth,   // 241
    id::AcqBufferHeight,  // 242
    id::BlindColumns,     // 8
    id::WindowingDivisor, // 240
    id::GigEImageWidth,   // 333
    id::GigEImageHeight,  // 334
    id::AcqXMax,          // 158 spinBox_AcqX max
    id::AcqX,             // 160 spinBox_AcqX value
    id::AcqYMax,          // 163 spinBox_AcqY max
    id::AcqY,             // 165 spinBox_AcqY value
};
constexpr uint32_t kGeometry[kProxyRecordCount][12] = {
    //                          407W  408H  241W  242H  blind  div  333W  334H   158   160  163  165
    /* 0 none               */ {  NA,   NA,  255,  255,     0,   1,   NA,   NA,  255,  254, 255, 254},
    /* 1 Z654               */ {  NA,   NA,  384,  288,    55,   1,   NA,   NA,  392,  384, 296, 288},
    /* 2 Z668               */ { 640,  480,  640,  480,    55,   1,  640,  480,  639,  639, 479, 479},
    /* 3 Z668P              */ { 640,  480,  640,  480,   115,   1,  648,  480,  640,  640, 480, 480},
    /* 4 Z646               */ { 384,  288,  384,  288,    53,   1,  392,  288,  384,  384, 288, 288},
    /* 5 Z602               */ {  80,   80,   80,   80,    49,   1,   84,   80,   80,   80,  80,  80},
    /* 6 Y1436              */ {1024,  768, 1024,  768,    54,   2, 1024,  768, 1024, 1024, 768, 768},
    /* 7 Y1437              */ {1024,  768, 1024,  768,    54,   2, 1024,  768, 1024, 1024, 768, 768},
    /* 8 Z671               */ { 640,  480,  640,  480,    34,   1,  644,  480,  640,  640, 480, 480},
    /* 9 Y1437P             */ {1024,  768, 1024,  768,    49,   4, 1028,  768, 1028, 1028, 768, 768},
    /* 10 Z671P             */ { 640,  480,  640,  480,    53,   1,  648,  480,  640,  640, 480, 480},
    /* 11 Z647              */ { 384,  288,  384,  288,    49,   1,  388,  288,  384,  384, 288, 288},
    /* 12 Y1437P at 120 FPS */ {1024,  768, 1024,  768,    49,   4, 1028,  768, 1028, 1028, 768, 768},
    /* 13 No Proxy          */ {  NA,   NA,  255,  255,     0,   1,   NA,   NA,  255,  254, 255, 254},
    /* 14 X1550             */ {1280, 1024, 1280, 1024,     0,   1, 1280, 1024,   NA,   NA,  NA,  NA},
    /* 15 Z615              */ { 160,  120,  160,  120,    49,   1,  164,  120,  160,  160, 120, 120},
    /* 16 T230              */ {  NA,   NA,  160,  120,     0,   1,  164,  120,  160,  160, 120, 120},
    /* 17 Z603              */ {1024,  768,   80,   80,    34,   1,   84,   80,   80,   80,  80,  80},
    /* 18 Z641              */ { 320,  240,  320,  240,    49,   1,  324,  240,  160,  160, 120, 120},
    /* 19 Z663              */ { 640,  480,  640,  480,    34,   1,  644,  480,  640,  640, 480, 480},
    /* 20 Y420              */ { 640,  480,  640,  480,    34,   2,  644,  480,  320,  320, 480, 480},
    /* 21 Z671Pv2           */ { 640,  480,  640,  480,    53,   2,  648,  480,  640,  640, 480, 480},
    /* 22 unnamed           */ { 650,  512,  650,  520,     0,   1,   NA,   NA,   NA,   NA,  NA,  NA},
    /* 23 Z1641             */ {1280, 1024, 2560,  512,     0,   4,   NA,   NA,  640,  640, 480, 480},
    /* 24 Z633              */ { 320,  240,  320,  240,     0,   1,  320,  240,  320,  320, 480, 480},
};

// ---- Integration time, DAC and clock-divider values and limits ----
constexpr int kRegisterColumns[] = {
    id::TINT,                 // 216 spinBox_TINT value
    id::TINTMax,              // 214 spinBox_TINT max
    kEnteredWithDescriptors,  // 215 spinBox_TINT min
    id::TINTSlider,           // 155 horizontalSlider_TINT value
    id::TINTSliderMax,        // 153 horizontalSlider_TINT max
    kEnteredWithDescriptors,  // 154 horizontalSlider_TINT min
    id::DAC_A,                // 170 spinBox_DAC_A value: ADD02
    id::DAC_B,                // 175 spinBox_DAC_B value: ADD03
    id::DAC_C,                // 180 spinBox_DAC_C value: ADD0C
    id::DAC_D,                // 185 spinBox_DAC_D value: ADD0D
    id::CKDIV,                // 196 spinBox_CKDIV value
};
constexpr std::size_t kDacAColumn = 6, kDacBColumn = 7, kDacDColumn = 9;
constexpr uint32_t kRegisters[kProxyRecordCount][11] = {
    //                           216   214  215   155   153  154   170   175   180   185   196
    /* 0 none               */ { 255,  255,  15,  255,  255,  15,    0,    0,    0,    0,    0},
    /* 1 Z654               */ { 370,  384,  15,  370,  384,  15, 2400, 2720,    0,    0,    2},
    /* 2 Z668               */ { 638,  638,  15,  638,  638,  15, 1070, 1960,    0,    0, 2049},
    /* 3 Z668P              */ { 638,  638,  15,  638,  638,  15, 1477, 1800, 2100, 2240, 2049},
    /* 4 Z646               */ { 371,  371,   2,  371,  371,   2,  600, 2920,    0,    0,   50},
    /* 5 Z602               */ {  67,   67,  15,   67,   67,  15, 2992, 1340,    0,    0,    5},
    /* 6 Y1436              */ { 491,  511,  15,  491,  511,  15, 3120, 3560, 2300, 1600,    0},
    /* 7 Y1437              */ { 497,  511,  15,  497,  511,  15, 3550, 2890, 2100, 2550,    0},
    /* 8 Z671               */ { 623,  625,   1,  623,  625,   1,  555, 3550,    0,    0, 1121},
    /* 9 Y1437P             */ { 255,  255,  15,  255,  255,  15, 3550, 2890, 2100, 2550,  320},
    /* 10 Z671P             */ { 306,  306,   1,  306,  306,   1,  885, 3460, 3072, 2560, 2098},
    /* 11 Z647              */ { 367,  367,   2,  367,  367,  15, 2992, 1210,    0,    0,    1},
    /* 12 Y1437P at 120 FPS */ { 255,  255,  15,  255,  255,  15, 3550, 2890, 2100, 2300,   64},
    /* 13 No Proxy          */ { 255,  255,  15,  255,  255,  15,    0,    0,    0,    0,    0},
    /* 14 X1550             */ {   4, 4095,   1,    4, 4095,   1, 1685,   NA,   NA,   NA,    0},
    /* 15 Z615              */ {  42,  143,  15,   42,  143,  15, 2624, 1425,    0,    0,    3},
    /* 16 T230              */ {2048, 4095,   1, 2048, 4095,   1, 3410, 3420,    0,    0,    0},
    /* 17 Z603              */ {  17,  255,   1,   17,  255,   1, 2992, 1290,    0,    0,    5},
    /* 18 Z641              */ { 158,  320,  15,  158,  320,  15, 2304, 2936,    0,    0,    1},
    /* 19 Z663              */ { 627,  627,  15,  627,  627,  15, 2800, 1536,    0,    0,    0},
    /* 20 Y420              */ { 319,  319,  15,  319,  319,  15, 1030, 3170,    0,    0,  128},
    /* 21 Z671Pv2           */ { 306,  320,   1,  306,  320,   1,  550, 3580, 4095, 2230,    1},
    /* 22 unnamed           */ {  58,  353,   1,   58,  353,   1,  511,    0,    0,    0,    0},
    /* 23 Z1641             */ { 627, 1280,   1,  627, 1280,   1, 1516, 2880,    0,    0,    0},
    /* 24 Z633              */ { 303, 4095,  15,  303, 4095,  15,    0,    0,    0,    0,    0},
};

// The DAC sliders show the values of the DAC spin boxes. Where a spin box is
// undefined (DAC B to D of record 14, which has a single DAC) the slider holds
// 0, so that it still has a valid position. The DAC C slider's values are
// entered with the control descriptors.
void FillDacSliderValues()
{
    struct SliderFromSpinBox { int iSliderValueCell; std::size_t uSpinBoxColumn; };
    constexpr SliderFromSpinBox kSliders[] = {
        {id::DAC_ASlider, kDacAColumn},  // 125
        {id::DAC_BSlider, kDacBColumn},  // 130
        {id::DAC_DSlider, kDacDColumn},  // 140
    };
    for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord)
        for (const SliderFromSpinBox& slider : kSliders) {
            const uint32_t uValue = kRegisters[iRecord][slider.uSpinBoxColumn];
            Assign(iRecord, slider.iSliderValueCell, uValue == NA ? 0 : uValue);
        }
}

// ---- Register-layout, clock-mode, flip-default and AGC cells ----
constexpr int kFlagColumns[] = {
    id::BPRegisterEncoding,    // 243
    id::GMSCompactLayoutA,     // 357
    id::TINTInLines,           // 358
    id::GMSCompactLayoutB,     // 362
    id::GMSAdjustLayout,       // 363
    id::FPGAClockModeBase,     // 394
    id::FPGAClockModeModulus,  // 395
    id::FPGAClockModeShift,    // 396
    id::UpColAltDefault,       // 348
    id::UpRowAltDefault,       // 349
    id::AGCMargin,             // 249
    id::AGCThreshold,          // 250
    id::AdvancedUserState,     // 251
};
constexpr uint32_t kFlags[kProxyRecordCount][13] = {
    //                          243  357  358  362  363  394  395  396  348  349  249  250  251
    /* 0 none               */ {  0,   0,   0,   0,   0,   0,   0,   0,  NA,  NA,  20,   5,   1},
    /* 1 Z654               */ {  0,   1,   0,   1,   0,   0,  16,   0,   1,   1,  20,   5,   0},
    /* 2 Z668               */ {  0,   1,   0,   1,   0,   0,  16,   0,   0,   0,  40,  20,   0},
    /* 3 Z668P              */ {  0,   1,   0,   1,   0,   0,  16,   0,   0,   0,  40,  20,   0},
    /* 4 Z646               */ {  1,   1,   0,   1,   0,   0,  16,   0,   0,   0,  20,   5,   0},
    /* 5 Z602               */ {  1,   1,   0,   1,   0,   0,  16,   0,   0,   0,   5,   5,   0},
    /* 6 Y1436              */ {  0,   1,   0,   1,   0,   0,  16,   0,   1,   1,  80,  40,   0},
    /* 7 Y1437              */ {  0,   1,   0,   1,   0,   0,  16,   0,   1,   1,  50,  40,   0},
    /* 8 Z671               */ {  1,   1,   0,   1,   0,   0,  16,   0,   0,   0,  40,  20,   0},
    /* 9 Y1437P             */ {  0,   1,   0,   1,   0,   1,   4,   7,   1,   1,  40,  20,   0},
    /* 10 Z671P             */ {  1,   1,   0,   1,   0,   1,   4,   0,   0,   0,  40,  20,   0},
    /* 11 Z647              */ {  1,   1,   0,   1,   0,   0,  16,   0,   0,   0,  20,   5,   0},
    /* 12 Y1437P at 120 FPS */ {  0,   1,   0,   1,   0,   1,   4,   7,   1,   1,  40,  20,   0},
    /* 13 No Proxy          */ {  0,   0,   0,   0,   0,   0,   0,   0,   1,   1,  20,   5,   1},
    /* 14 X1550             */ {  0,   0,   1,   0,   0,   0,   8,   0,   0,   0,  20,   5,   0},
    /* 15 Z615              */ {  1,   1,   0,   1,   0,   0,  16,   0,   0,   0,  20,   5,   0},
    /* 16 T230              */ {  1,   1,   0,   0,   1,  NA,  NA,   0,   0,   0,  20,   5,   0},
    /* 17 Z603              */ {  1,   1,   0,   1,   0,   0,  16,   0,   0,   0,   5,   5,   0},
    /* 18 Z641              */ {  1,   1,   0,   1,   0,   0,  16,   0,   0,   0,  20,   5,   0},
    /* 19 Z663              */ {  1,   1,   0,   1,   0,   0,  16,   0,   0,   0,  40,  20,   0},
    /* 20 Y420              */ {  0,   1,   0,   1,   0,   0,   4,   7,   0,   0,  20,   5,   0},
    /* 21 Z671Pv2           */ {  1,   1,   0,   1,   0,   1,   4,   0,   0,   0,  40,  20,   0},
    /* 22 unnamed           */ {  1,   0,   0,   1,   0,   0,   4,   0,   1,   1,  40,  20,   0},
    /* 23 Z1641             */ {  1,   1,   0,   1,   0,   1,   4,   0,   1,   1,  40,  20,   0},
    /* 24 Z633              */ {  1,   1,   0,   1,   0,   0,   0,   0,  NA,  NA,  20,   5,   0},
};

// ---- Windowing state, the three window presets and the minimum window ----
constexpr int kWindowColumns[] = {
    id::SizeAActive,            // 238
    id::SizeBActive,            // 239
    id::WindowSizeALastColumn,  // 252
    id::WindowSizeARows,        // 256
    id::WindowSizeALineWidth,   // 262
    id::WindowSizeAAcqRows,     // 266
    id::WindowSizeBLastColumn,  // 253
    id::WindowSizeBRows,        // 257
    id::WindowSizeBLineWidth,   // 263
    id::WindowSizeBAcqRows,     // 267
    id::WindowFullLastColumn,   // 254
    id::WindowFullRows,         // 258
    id::WindowFullLineWidth,    // 264
    id::WindowFullAcqRows,      // 268
    id::WindowMinWidth,         // 260
    id::WindowMinHeight,        // 261
};
constexpr uint32_t kWindows[kProxyRecordCount][16] = {
    //                          238  239  252  256  262  266  253  257  263  267  254  258   264  268  260  261
    /* 0 none               */ {  0,   0,  79,  80,  80,  80,   0,   0,   0,   0,   0,   0,    0,   0,  32,  32},
    /* 1 Z654               */ {  0,   0, 383, 288, 392, 288, 319, 240, 328, 240, 391, 296,  400, 296, 160,  80},
    /* 2 Z668               */ {  0,   1, 383, 288, 392, 288, 319, 240, 328, 240, 639, 480,  648, 480, 160, 120},
    /* 3 Z668P              */ {  0,   1, 383, 288, 392, 288, 319, 240, 328, 240, 639, 480,  648, 480, 160, 120},
    /* 4 Z646               */ {  0,   0, 383, 288, 392, 288,   0,   0,   0,   0,   0,   0,    0,   0, 160,  80},
    /* 5 Z602               */ {  0,   0,  79,  80,  80,  80,   0,   0,   0,   0,   0,   0,    0,   0,  32,  32},
    /* 6 Y1436              */ {  0,   1, 319, 480, 658, 480, 159, 240, 338, 240, 511, 768, 1042, 768, 160,  80},
    /* 7 Y1437              */ {  0,   1, 319, 480, 658, 480, 159, 240, 338, 240, 511, 768, 1042, 768, 160,  80},
    /* 8 Z671               */ {  0,   0, 639, 480, 648, 480,   0,   0,   0,   0,   0,   0,    0,   0, 160,  80},
    /* 9 Y1437P             */ {  0,   1, 159, 480, 644, 480,  79, 240, 324, 240, 255, 768, 1028, 768, 160,  80},
    /* 10 Z671P             */ {  0,   0, 639, 480, 645, 480,   0,   0,   0,   0,   0,   0,    0,   0, 160,  80},
    /* 11 Z647              */ {  0,   0, 383, 288, 389, 288,   0,   0,   0,   0,   0,   0,    0,   0, 160,  80},
    /* 12 Y1437P at 120 FPS */ {  0,   1, 159, 480, 644, 480,  79, 240, 324, 240, 255, 768, 1028, 768, 160,  80},
    /* 13 No Proxy          */ {  0,   0,  79,  80,  80,  80,   0,   0,   0,   0,   0,   0,    0,   0,  32,  32},
    /* 14 X1550             */ { NA,  NA,  NA,  NA,  NA,  NA,  NA,  NA,  NA,  NA,  NA,  NA,   NA,  NA,  NA,  NA},
    /* 15 Z615              */ {  0,   0, 159, 120, 160, 120,   0,   0,   0,   0,   0,   0,    0,   0,  80,  80},
    /* 16 T230              */ {  0,   0, 159, 120, 160, 120,   0,   0,   0,   0,   0,   0,    0,   0,  80,  80},
    /* 17 Z603              */ {  0,   0,  79,  80,  80,  80,   0,   0,   0,   0,   0,   0,    0,   0,  32,  32},
    /* 18 Z641              */ {  0,   0, 319, 240, 160, 120,   0,   0,   0,   0,   0,   0,    0,   0,  80,  80},
    /* 19 Z663              */ {  0,   0, 639, 480, 648, 480,   0,   0,   0,   0,   0,   0,    0,   0, 160,  80},
    /* 20 Y420              */ {  0,   0, 319, 480, 640, 480, 191, 288, 384, 288, 323, 488,  648, 488, 160,  80},
    /* 21 Z671Pv2           */ {  0,   0, 639, 480, 645, 480,   0,   0,   0,   0,   0,   0,    0,   0, 160,  80},
    /* 22 unnamed           */ { NA,  NA,  NA,  NA,  NA,  NA,  NA,  NA,  NA,  NA,  NA,  NA,   NA,  NA,  NA,  NA},
    /* 23 Z1641             */ {  0,   0, 639, 480, 645, 480,   0,   0,   0,   0,   0,   0,    0,   0, 160,  80},
    /* 24 Z633              */ {  0,   0,  NA,  NA,  NA,  NA,  NA,  NA,  NA,  NA,  NA,  NA,   NA,  NA,  NA,  NA},
};

// ---- Window corner spin boxes: maxima and last-corner start values ----
constexpr int kCornerColumns[] = {
    id::XFirstMax,  // 219
    id::XLastMax,   // 224
    id::XLast,      // 226
    id::YFirstMax,  // 229
    id::YLastMax,   // 234
    id::YLast,      // 236
};
constexpr uint32_t kCorners[kProxyRecordCount][6] = {
    //                           219   224   226  229  234   236
    /* 0 none               */ { 391,  391,  383, 295, 295,  287},
    /* 1 Z654               */ { 391,  391,  383, 295, 295,  287},
    /* 2 Z668               */ { 639,  639,  639, 479, 479,  479},
    /* 3 Z668P              */ { 639,  639,  639, 479, 479,  479},
    /* 4 Z646               */ { 383,  383,  383, 287, 287,  287},
    /* 5 Z602               */ {  79,   79,   79,  79,  79,   79},
    /* 6 Y1436              */ {1023, 1023, 1023, 767, 767, 1023},
    /* 7 Y1437              */ {1023, 1023, 1023, 767, 767, 1023},
    /* 8 Z671               */ { 639,  639,  639, 479, 479,  479},
    /* 9 Y1437P             */ {1028, 1028, 1023, 767, 767, 1023},
    /* 10 Z671P             */ { 639,  639,  639, 479, 479,  479},
    /* 11 Z647              */ { 383,  383,  383, 287, 287,  287},
    /* 12 Y1437P at 120 FPS */ {1028, 1028, 1023, 767, 767, 1023},
    /* 13 No Proxy          */ { 391,  391,  383, 295, 295,  287},
    /* 14 X1550             */ {  NA,   NA,   NA,  NA,  NA,   NA},
    /* 15 Z615              */ { 158,  159,  159, 118, 119,  119},
    /* 16 T230              */ { 158,  159,  159, 118, 119,  119},
    /* 17 Z603              */ {  79,   79,   79,  79,  79,   79},
    /* 18 Z641              */ { 318,  319,  319, 238, 239,  239},
    /* 19 Z663              */ { 639,  639,  639, 479, 479,  479},
    /* 20 Y420              */ { 318,  639,  639, 478, 479,  479},
    /* 21 Z671Pv2           */ { 639,  639,  639, 479, 479,  479},
    /* 22 unnamed           */ {  NA,   NA,   NA,  NA,  NA,   NA},
    /* 23 Z1641             */ { 639,  639,  639, 479, 479,  479},
    /* 24 Z633              */ { 318,  639,  639, 478, 479,  479},
};

// Cells with one start value in every record (or in all but a few).
void FillCommonCells()
{
    for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord) {
        Assign(iRecord, id::AGCAuxiliary, 0);
        Assign(iRecord, id::SnapshotCounterBMP, 0);
        Assign(iRecord, id::SnapshotCounterJPEG, 0);
        Assign(iRecord, id::SnapshotCounterPNG, 0);
        Assign(iRecord, id::SnapshotCounterTIF, 0);

        // The user window starts empty; records 14, 22 and 24 offer no windowing.
        if (iRecord != 14 && iRecord != 22 && iRecord != 24) {
            Assign(iRecord, id::WindowUserLastColumn, 0);
            Assign(iRecord, id::WindowUserRows, 0);
            Assign(iRecord, id::WindowUserLineWidth, 0);
            Assign(iRecord, id::WindowUserAcqRows, 0);
        }
    }
}

} // namespace

void proxy_fill::FillGeometryAndRegisterCells(CellAssign p_Assign)
{
    g_Assign = p_Assign;
    FillColumns(kGeometryColumns, kGeometry);
    FillColumns(kRegisterColumns, kRegisters);
    FillDacSliderValues();
    FillColumns(kFlagColumns, kFlags);
    FillColumns(kWindowColumns, kWindows);
    FillColumns(kCornerColumns, kCorners);
    FillCommonCells();
}
