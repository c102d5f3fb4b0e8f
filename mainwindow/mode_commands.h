// What the board-mode check boxes (HDR, inversion, FPN correction) store and send per interface-board kind, and the window arithmetic of the size presets.
#pragma once

#include "board/links/board_mode_commands.h"

#include <cstdint>

// HDR (cell 40). p_iState is the Qt check state.
ModeCommand HdrModeCommand(int p_iBoardKind, bool p_bSoftwareNUC, int p_iState, bool p_bApplyNUCChecked,
                           int p_iProxyIndex, int p_iFrameRate);
// Black-and-white inversion (cell 43).
ModeCommand InvertBWModeCommand(int p_iBoardKind, bool p_bSoftwareNUC, int p_iState);

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
