// The register index every board encoder takes, and the USB3 board's parameter addresses beside it.
//
// One number can mean another register on another board family: the USB3
// board reads 20 as its pixel-clock inversion, the Camera Link boards as the
// image gain. The ids convert to int where an encoder formats them; an int
// read from a table, a file or a terminal line becomes an id explicitly.
#pragma once

namespace board_register {

enum BoardRegisterId : int {
    TINT = 0,
    ADD02 = 1,
    ADD03 = 2,
    CKDIV = 3,
    GMS = 4,
    Yfirst = 5,    // window corners
    Ylast = 6,
    Xfirst = 7,
    Xlast = 8,
    Xacqsize = 9,
    Yacqsize = 10,
    ADD0C = 11,
    ADD0D = 12,
    GAIN_IMG = 20,
    OFFSET_IMG = 21,
    HDR = 22,
    INVERT_BW_DISPLAY = 23,
    PERSO_ADDR = 24,   // FPGA register address, then
    PERSO_VALUE = 25,  // its value

    // The frame-rate set-up block, 27 to 36.
    FrameRateSetupFirst = 27,
    FrameRateProxy = 27,        // the proxy number the rate is set up for
    FrameRateClockDivider = 30,
    FrameRateGsk = 31,          // the GSK voltage of the rate
    FrameRateGskChannel = 32,
    FrameRateCode = 35,         // the rate in frames per second, 254 for a custom rate
    FrameRateSetupLast = 36,

    // The Arvex board's bad-pixel correction.
    BadPixelMode = 38,
    BadPixelIndex = 39,
    BadPixelColumn = 40,
    BadPixelRow = 41,

    // USB3 board parameters.
    FpgaRegisterAddress = 14,
    FpgaRegisterValue = 15,
    ProxyNumber = 16,
    PixelClockInversion = 20,
    ProcessingCommand = 50,      // := 0 makes the processing board take 51..53
    ProcessingBoard = 51,        // which board behind the USB3 board
    ProcessingRegister = 52,
    ProcessingValue = 53,
    HardwareReference = 54,      // := 0 makes the board take its own FPN reference
    DirectWordFirst = 60,        // 60 to 64: direct 16-bit writes
    DirectWordLast = 64,
};

} // namespace board_register

using board_register::BoardRegisterId;
