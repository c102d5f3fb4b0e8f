// Cell numbers of the geometry, register, windowing and frame-rate cells.
#pragma once

namespace ProxyParameterId {
enum DataCell : int {
    // Two 4-bit counts: bits 0-3 blind columns at the left, bits 4-7 at the right.
    BlindColumns = 8,

    // Sensor geometry and acquisition buffer.
    SensorWidth = 407,
    SensorHeight = 408,
    AcqBufferWidth = 241,
    AcqBufferHeight = 242,
    WindowingDivisor = 240,      // 1, 2 or 4 pixels per window column unit
    GigEImageWidth = 333,        // sent to the GigE board at Start, compared with its answer
    GigEImageHeight = 334,

    // Register-layout and processing flags.
    BPRegisterEncoding = 243,
    GMSCompactLayoutA = 357,
    GMSCompactLayoutB = 362,
    GMSAdjustLayout = 363,
    TINTInLines = 358,
    FPGAClockModeBase = 394,
    FPGAClockModeModulus = 395,
    FPGAClockModeShift = 396,
    UpColAltDefault = 348,       // used instead of the UpCol value with some board kinds
    UpRowAltDefault = 349,       // used instead of the UpRow value with some board kinds
    AGCAuxiliary = 246,          // copied with the AGC settings; 0 everywhere
    AGCMargin = 249,
    AGCThreshold = 250,
    AdvancedUserState = 251,

    // Windowing: state, presets {last column / divisor, rows, line width, acquisition rows}.
    SizeAActive = 238,
    SizeBActive = 239,
    WindowSizeALastColumn = 252,
    WindowSizeARows = 256,
    WindowSizeALineWidth = 262,
    WindowSizeAAcqRows = 266,
    WindowSizeBLastColumn = 253,
    WindowSizeBRows = 257,
    WindowSizeBLineWidth = 263,
    WindowSizeBAcqRows = 267,
    WindowFullLastColumn = 254,
    WindowFullRows = 258,
    WindowFullLineWidth = 264,
    WindowFullAcqRows = 268,
    WindowUserLastColumn = 255,  // the user window, written by the windowing command
    WindowUserRows = 259,
    WindowUserLineWidth = 265,
    WindowUserAcqRows = 269,
    WindowMinWidth = 260,        // pixels, compared after division by the divisor
    WindowMinHeight = 261,

    // Snapshot counters: number of the next snapshot of each format.
    SnapshotCounterBMP = 397,
    SnapshotCounterJPEG = 398,
    SnapshotCounterPNG = 399,
    SnapshotCounterTIF = 400,

    // Stream saving period in milliseconds, from the saving options.
    SaveStreamPeriod = 211,

    // Frame-rate blocks: base + i for 25, 30, 50, 60, 100, 120, 200 FPS.
    GSKPerFrameRate = 283,
    CKDIVPerFrameRate = 290,
    FrameRateParam28 = 297,      // 65535 here: the rate is not offered
    FrameRateParam29 = 304,
    FrameRateParam33A = 311,
    FrameRateParam34A = 318,
    FrameRateParam34B = 325,
    FrameRateParam33B = 335,
    USB3FrameRateParam28 = 350,

    // DAC channel codes (BoardRegisterId of the DAC + 1: 2 A, 3 B, 12 C, 13 D).
    StopZeroChannel = 277,
    GSKChannel = 278,
    WindowingChannel = 280,
    GSKChannel25FPS = 332,

    // Clock divider start values and the custom frame-rate configuration.
    CKDIVStartCameraLink = 345,
    CKDIVStartUSB3 = 346,
    CKDIVStartGigE = 347,
    CKDIVHighBit = 359,          // shifted left by 10 and added to the divider
    CustomGSK = 360,
    CustomCKDIV = 361,
};

constexpr int kFrameRateCount = 7;
// The rates of a frame-rate block, in cell order.
constexpr int kFrameRates[kFrameRateCount] = {25, 30, 50, 60, 100, 120, 200};
}
