// The board-mode commands of HDR, inversion and the FPN correction per board kind, and the size-preset window arithmetic.
#include "mainwindow/mode_commands.h"

#include "app/digiboard_kind.h"
#include "board/links/board_traits.h"

#include <algorithm>
#include <climits>

namespace {

int ClampToInt(int64_t p_lValue)
{
    return int(std::max<int64_t>(INT_MIN, std::min<int64_t>(INT_MAX, p_lValue)));
}

// An index that is no kind gives the traits of None.
const BoardTraits& TraitsOfIndex(int p_iBoardKind)
{
    return BoardTraitsOf(BoardKindFromIndex(p_iBoardKind));
}

} // namespace

ModeCommand HdrModeCommand(int p_iBoardKind, bool p_bSoftwareNUC, int p_iState, bool p_bApplyNUCChecked,
                           int p_iProxyIndex, int p_iFrameRate)
{
    return TraitsOfIndex(p_iBoardKind).HdrMode(p_bSoftwareNUC, p_iState, p_bApplyNUCChecked, p_iProxyIndex,
                                               p_iFrameRate);
}

ModeCommand InvertBWModeCommand(int p_iBoardKind, bool p_bSoftwareNUC, int p_iState)
{
    return TraitsOfIndex(p_iBoardKind).InvertBWMode(p_bSoftwareNUC, p_iState);
}

FpnCommand ApplyFpnCommand(int p_iBoardKind, bool p_bSoftwareNUC, bool p_bOn, bool p_bHDR, int p_iProxyIndex,
                           int p_iFrameRate, int p_iSetupFrequency, int p_iMeasuredFrameRate)
{
    return TraitsOfIndex(p_iBoardKind).FpnMode(p_bSoftwareNUC, p_bOn, p_bHDR, p_iProxyIndex, p_iFrameRate,
                                               p_iSetupFrequency, p_iMeasuredFrameRate);
}

int OffsetAfterAgc(int p_iOffsetSlider, int p_iAgcCentre, uint32_t p_uImageGain)
{
    const uint32_t uGain = p_uImageGain == 0 ? 1u : p_uImageGain;
    const uint32_t uShare = (static_cast<uint32_t>(p_iAgcCentre) * 256u) / uGain;
    return static_cast<int>(static_cast<uint32_t>(p_iOffsetSlider) + 2u * uShare);
}

WindowCorners SizePresetWindow(bool p_bSizeA, bool p_bSizeB, const WindowPresets& p_Presets)
{
    WindowCorners w;
    if (!p_bSizeA && !p_bSizeB)
        return w;
    w.Set = true;
    // 64-bit: no preset of the table overflows, and an undefined cell (65535) gives a
    // large value that the spin boxes clamp rather than a wrapped one.
    const int64_t D = p_Presets.Divisor;
    const int64_t divisorDefault = p_Presets.DivisorDefault == 0 ? 1 : p_Presets.DivisorDefault;
    const int64_t b =
        int64_t((p_Presets.BlindColumnsDefault & 0x0F) + ((p_Presets.BlindColumnsDefault >> 4) & 0x0F))
        / divisorDefault;
    const int64_t fullRows = p_Presets.FullRows;
    if (p_bSizeA && p_bSizeB) {
        w.XFirst = 0;
        w.XLast = ClampToInt((int64_t(p_Presets.FullLastColumn) + 1 + b) * D);
        w.YFirst = 0;
        w.YLast = ClampToInt(fullRows - 1);
        return w;
    }
    const int64_t width = p_bSizeA ? p_Presets.SizeALastColumn : p_Presets.SizeBLastColumn;
    const int64_t height = p_bSizeA ? p_Presets.SizeARows : p_Presets.SizeBRows;
    const int64_t xc = ((int64_t(p_Presets.FullLastColumn) + 1 + b) * D) / 2;
    const int64_t yc = fullRows / 2;
    w.XFirst = ClampToInt(xc - ((width + 1 + b) * D) / 2);
    w.XLast = ClampToInt(((width + 1 + b) * D - 1) / 2 + xc);
    w.YFirst = ClampToInt(yc - height / 2);
    w.YLast = ClampToInt((height - 1) / 2 + yc);
    return w;
}
