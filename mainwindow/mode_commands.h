// What the board-mode check boxes (HDR, inversion, FPN correction) store and send per interface-board kind, and the window arithmetic of the size presets.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// How a command reaches the board.
enum class ModeRoute
{
    None,            // nothing is sent
    CameraLinkText,  // a raw "#A002#R006#D0000n" text (Arvex)
    Register,        // a register id through the board's own encoder
    FpgaRegister,    // FPGA register 6 as a PERSO_ADDR / PERSO_VALUE pair (Belmor+)
    CorvaneIndirect, // processing board 2, register 6 through parameters 51, 52, 53 and 50 (Corvane)
};

// FPGA register of the interface board that holds the NUC bits:
// bit 0 correction off, bit 1 read phase, bit 2 HDR.
constexpr int NucFpgaRegister = 6;

struct ModeCommand
{
    bool Store = false;     // the parameter cell takes CellValue
    uint32_t CellValue = 0; // the check state (0 or 2): readers test for non-zero
    ModeRoute Route = ModeRoute::None;
    int RegisterId = -1;    // Register route
    uint32_t Value = 0;     // the value the board receives
    QByteArray Text;        // CameraLinkText route
    int Sends = 1;          // the text is sent this many times; the last result counts
    QString FailureText;    // shown and logged when the (last) send fails
};

// HDR (cell 40). p_iState is the Qt check state.
ModeCommand HdrModeCommand(int p_iBoardKind, bool p_bSoftwareNUC, int p_iState, bool p_bApplyNUCChecked,
                           int p_iProxyIndex, int p_iFrameRate);
// Black-and-white inversion (cell 43).
ModeCommand InvertBWModeCommand(int p_iBoardKind, bool p_bSoftwareNUC, int p_iState);

struct FpnCommand
{
    ModeRoute Route = ModeRoute::None;
    uint32_t Value = 0;          // the NUC register value
    QByteArray Text;             // CameraLinkText route
    int EnabledCell = -1;        // -1: cell 27 left alone, else its new value
    QString LogLine;             // "Enabling NUC ... with ReadPhase" when switching on, else empty
};

// The NUC register when the FPN correction is switched on or off.
// p_iSetupFrequency is the board set-up window's frame rate, p_iMeasuredFrameRate the frames of the last second.
FpnCommand ApplyFpnCommand(int p_iBoardKind, bool p_bSoftwareNUC, bool p_bOn, bool p_bHDR, int p_iProxyIndex,
                           int p_iFrameRate, int p_iSetupFrequency, int p_iMeasuredFrameRate);

// The image-offset slider after the AGC is switched off: the offset the AGC
// applied for its centre is taken back. A gain of 0 counts as 1.
int OffsetAfterAgc(int p_iOffsetSlider, int p_iAgcCentre, uint32_t p_uImageGain);

// The size presets of the proxy (current halves unless named).
struct WindowPresets
{
    uint32_t Divisor = 1;             // cell 240
    uint32_t DivisorDefault = 1;      // default of cell 240
    uint32_t BlindColumnsDefault = 0; // default of cell 8: low nibble left, high nibble right
    uint32_t FullLastColumn = 0;      // 254
    uint32_t FullRows = 0;            // 258
    uint32_t SizeALastColumn = 0;     // 252
    uint32_t SizeARows = 0;           // 256
    uint32_t SizeBLastColumn = 0;     // 253
    uint32_t SizeBRows = 0;           // 257
};

struct WindowCorners
{
    bool Set = false; // neither size on: the spin boxes keep their values
    int XFirst = 0;
    int XLast = 0;
    int YFirst = 0;
    int YLast = 0;
};

// The window of size A, size B or the full frame (both), centred on the full frame.
WindowCorners SizePresetWindow(bool p_bSizeA, bool p_bSizeB, const WindowPresets& p_Presets);
