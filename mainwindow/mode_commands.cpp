// The board-mode commands of HDR, inversion and the FPN correction per board kind, and the size-preset window arithmetic.
#include "mainwindow/mode_commands.h"
#include "params/board_register_id.h"

#include "app/digiboard_kind.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kArvex = static_cast<int>(BoardKind::Arvex);
constexpr int kBelmor = static_cast<int>(BoardKind::Belmor);
constexpr int kBelmorPlus = static_cast<int>(BoardKind::BelmorPlus);
constexpr int kDunstel = static_cast<int>(BoardKind::Dunstel);
constexpr int kCorvane = static_cast<int>(BoardKind::Corvane);

// Belmor+ registers of the HDR and inversion bits.
// Arvex register of the display inversion.

constexpr uint32_t kNucOff = 1;
constexpr uint32_t kNucReadPhase = 2;
constexpr uint32_t kNucHdr = 4;

// The two proxies whose sensors need the read-phase bit at high frame rates.
bool IsReadPhaseProxy(int p_iProxyIndex)
{
    return p_iProxyIndex == 9 || p_iProxyIndex == 12;
}

// The Arvex's frame-rate code 254 and above is a custom or default rate, never a fast one.
bool ArvexFastRate(int p_iFrameRate)
{
    return p_iFrameRate > 80 && p_iFrameRate < 254;
}

QByteArray ArvexNucText(uint32_t p_uValue)
{
    return QByteArray("#A002#R006#D0000") + QByteArray::number(p_uValue);
}

uint32_t StateCell(int p_iState)
{
    return static_cast<uint32_t>(p_iState);
}

int ClampToInt(int64_t p_lValue)
{
    return int(std::max<int64_t>(INT_MIN, std::min<int64_t>(INT_MAX, p_lValue)));
}

} // namespace

ModeCommand HdrModeCommand(int p_iBoardKind, bool p_bSoftwareNUC, int p_iState, bool p_bApplyNUCChecked,
                           int p_iProxyIndex, int p_iFrameRate)
{
    ModeCommand c;
    const bool bChecked = p_iState >= 1;
    // Every kind that keeps the state stores the check state itself: the
    // frame path clamps exactly while the cell is 0, whatever the board took.
    if (p_iBoardKind == kBelmor || p_iBoardKind == kDunstel
        || ((p_iBoardKind == kBelmorPlus || p_iBoardKind == kCorvane) && p_bSoftwareNUC)) {
        c.Store = true;
        c.CellValue = StateCell(p_iState);
        return c;
    }
    if (p_iBoardKind == kCorvane) {
        c.Store = true;
        c.CellValue = StateCell(p_iState);
        c.Route = ModeRoute::CorvaneIndirect;
        c.Value = (bChecked ? kNucHdr : 0) | (p_bApplyNUCChecked ? 0 : kNucOff);
        c.FailureText = QStringLiteral("Couldn't set HDR to %1.\n").arg(c.Value);
        return c;
    }
    if (p_iBoardKind == kBelmorPlus) {
        c.Store = true;
        c.CellValue = StateCell(p_iState);
        c.Route = ModeRoute::Register;
        c.RegisterId = BoardRegisterId::HDR;
        c.Value = bChecked ? kNucHdr : 255 - kNucHdr;
        c.FailureText = QStringLiteral("Couldn't set HDR to %1.\n").arg(c.Value);
        return c;
    }
    if (p_iBoardKind == kArvex) {
        c.Store = true;
        c.CellValue = StateCell(p_iState);
        c.Route = ModeRoute::CameraLinkText;
        if (IsReadPhaseProxy(p_iProxyIndex) && ArvexFastRate(p_iFrameRate)) {
            c.Value = kNucReadPhase | (bChecked ? kNucHdr : 0) | (p_bApplyNUCChecked ? 0 : kNucOff);
            c.Sends = 2;
        } else {
            c.Value = bChecked ? kNucHdr : 0;
        }
        c.Text = ArvexNucText(c.Value);
        c.FailureText = QStringLiteral("Couldn't set HDR to 0x%1.\n").arg(c.Value, 2, 16, QLatin1Char('0'));
        return c;
    }
    // No board, or the serial-port board: nothing at all.
    return c;
}

ModeCommand InvertBWModeCommand(int p_iBoardKind, bool p_bSoftwareNUC, int p_iState)
{
    ModeCommand c;
    const bool bChecked = p_iState >= 1;
    if (p_iBoardKind == kBelmor || p_iBoardKind == kCorvane || p_iBoardKind == kDunstel
        || p_bSoftwareNUC) {
        c.Store = true;
        c.CellValue = StateCell(p_iState);
        return c;
    }
    if (p_iBoardKind == kBelmorPlus) {
        c.Store = true;
        c.CellValue = StateCell(p_iState);
        c.Route = ModeRoute::Register;
        c.RegisterId = BoardRegisterId::INVERT_BW_DISPLAY;
        c.Value = bChecked ? 2 : 255 - 2;
    } else if (p_iBoardKind == kArvex) {
        c.Store = true;
        c.CellValue = StateCell(p_iState);
        c.Route = ModeRoute::Register;
        c.RegisterId = BoardRegisterId::INVERT_BW_DISPLAY;
        c.Value = bChecked ? 1 : 0;
    } else {
        return c;
    }
    c.FailureText = QStringLiteral("Couldn't set INVERT_BW_DISPLAY to %1.\n").arg(c.Value);
    return c;
}

FpnCommand ApplyFpnCommand(int p_iBoardKind, bool p_bSoftwareNUC, bool p_bOn, bool p_bHDR, int p_iProxyIndex,
                           int p_iFrameRate, int p_iSetupFrequency, int p_iMeasuredFrameRate)
{
    FpnCommand c;
    const uint32_t uHdr = p_bHDR ? kNucHdr : 0;
    bool bReadPhase = false;
    if (p_iBoardKind == kArvex) {
        c.Route = ModeRoute::CameraLinkText;
        bReadPhase = p_bOn && IsReadPhaseProxy(p_iProxyIndex) && ArvexFastRate(p_iFrameRate);
    } else if ((p_iBoardKind == kBelmorPlus || p_iBoardKind == kCorvane) && !p_bSoftwareNUC) {
        c.Route = p_iBoardKind == kBelmorPlus ? ModeRoute::FpgaRegister : ModeRoute::CorvaneIndirect;
        bReadPhase = p_bOn && IsReadPhaseProxy(p_iProxyIndex) && p_iSetupFrequency > 80 && p_iMeasuredFrameRate > 80;
    } else {
        return c; // the frame path applies the reference in software
    }
    c.Value = p_bOn ? uHdr | (bReadPhase ? kNucReadPhase : 0) : uHdr | kNucOff;
    c.EnabledCell = p_bOn ? 0 : 1;
    if (c.Route == ModeRoute::CameraLinkText)
        c.Text = ArvexNucText(c.Value);
    // The log names what is sent: the read-phase bit or not.
    if (p_bOn)
        c.LogLine = bReadPhase ? QStringLiteral("Enabling NUC ... with ReadPhase")
                               : QStringLiteral("Enabling NUC ... without ReadPhase");
    return c;
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
