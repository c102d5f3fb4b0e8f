// The board-mode command builders: HDR, inversion and the FPN correction, one per way a board takes them.
#include "board/links/board_mode_commands.h"

#include "params/board_register_id.h"

namespace {

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

// Every kind that keeps the state stores the check state itself: the
// frame path clamps exactly while the cell is 0, whatever the board took.
ModeCommand Stored(int p_iState)
{
    ModeCommand c;
    c.Store = true;
    c.CellValue = StateCell(p_iState);
    return c;
}

// The FPN command once its route and read-phase bit are known.
FpnCommand FpnTo(ModeRoute p_Route, bool p_bReadPhase, bool p_bOn, bool p_bHDR)
{
    FpnCommand c;
    c.Route = p_Route;
    const uint32_t uHdr = p_bHDR ? kNucHdr : 0;
    c.Value = p_bOn ? uHdr | (p_bReadPhase ? kNucReadPhase : 0) : uHdr | kNucOff;
    c.EnabledCell = p_bOn ? 0 : 1;
    if (c.Route == ModeRoute::CameraLinkText)
        c.Text = ArvexNucText(c.Value);
    // The log names what is sent: the read-phase bit or not.
    if (p_bOn)
        c.LogLine = p_bReadPhase ? QStringLiteral("Enabling NUC ... with ReadPhase")
                                 : QStringLiteral("Enabling NUC ... without ReadPhase");
    return c;
}

// Belmor+ and Corvane: the read-phase bit needs both the set-up and the measured rate fast.
bool ProcessingReadPhase(bool p_bOn, int p_iProxyIndex, int p_iSetupFrequency, int p_iMeasuredFrameRate)
{
    return p_bOn && IsReadPhaseProxy(p_iProxyIndex) && p_iSetupFrequency > 80 && p_iMeasuredFrameRate > 80;
}

} // namespace

namespace BoardModes {

ModeCommand HdrNothing(bool, int, bool, int, int)
{
    return ModeCommand();
}

ModeCommand HdrStoreOnly(bool, int p_iState, bool, int, int)
{
    return Stored(p_iState);
}

ModeCommand HdrArvex(bool, int p_iState, bool p_bApplyNUCChecked, int p_iProxyIndex, int p_iFrameRate)
{
    ModeCommand c = Stored(p_iState);
    const bool bChecked = p_iState >= 1;
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

ModeCommand HdrBelmorPlus(bool p_bSoftwareNUC, int p_iState, bool, int, int)
{
    ModeCommand c = Stored(p_iState);
    if (p_bSoftwareNUC)
        return c;
    c.Route = ModeRoute::Register;
    c.RegisterId = BoardRegisterId::HDR;
    c.Value = p_iState >= 1 ? kNucHdr : 255 - kNucHdr;
    c.FailureText = QStringLiteral("Couldn't set HDR to %1.\n").arg(c.Value);
    return c;
}

ModeCommand HdrCorvane(bool p_bSoftwareNUC, int p_iState, bool p_bApplyNUCChecked, int, int)
{
    ModeCommand c = Stored(p_iState);
    if (p_bSoftwareNUC)
        return c;
    c.Route = ModeRoute::CorvaneIndirect;
    c.Value = (p_iState >= 1 ? kNucHdr : 0) | (p_bApplyNUCChecked ? 0 : kNucOff);
    c.FailureText = QStringLiteral("Couldn't set HDR to %1.\n").arg(c.Value);
    return c;
}

ModeCommand InvertBWStoreWithSoftwareNuc(bool p_bSoftwareNUC, int p_iState)
{
    return p_bSoftwareNUC ? Stored(p_iState) : ModeCommand();
}

ModeCommand InvertBWStoreOnly(bool, int p_iState)
{
    return Stored(p_iState);
}

namespace {
// The display inversion register, p_uOn or p_uOff; nothing is sent while the
// program corrects the NUC.
ModeCommand InvertBWRegister(bool p_bSoftwareNUC, int p_iState, uint32_t p_uOn, uint32_t p_uOff)
{
    ModeCommand c = Stored(p_iState);
    if (p_bSoftwareNUC)
        return c;
    c.Route = ModeRoute::Register;
    c.RegisterId = BoardRegisterId::INVERT_BW_DISPLAY;
    c.Value = p_iState >= 1 ? p_uOn : p_uOff;
    c.FailureText = QStringLiteral("Couldn't set INVERT_BW_DISPLAY to %1.\n").arg(c.Value);
    return c;
}
} // namespace

ModeCommand InvertBWArvex(bool p_bSoftwareNUC, int p_iState)
{
    return InvertBWRegister(p_bSoftwareNUC, p_iState, 1, 0);
}

ModeCommand InvertBWBelmorPlus(bool p_bSoftwareNUC, int p_iState)
{
    return InvertBWRegister(p_bSoftwareNUC, p_iState, 2, 255 - 2);
}

FpnCommand FpnSoftware(bool, bool, bool, int, int, int, int)
{
    return FpnCommand();
}

FpnCommand FpnArvex(bool, bool p_bOn, bool p_bHDR, int p_iProxyIndex, int p_iFrameRate, int, int)
{
    const bool bReadPhase = p_bOn && IsReadPhaseProxy(p_iProxyIndex) && ArvexFastRate(p_iFrameRate);
    return FpnTo(ModeRoute::CameraLinkText, bReadPhase, p_bOn, p_bHDR);
}

FpnCommand FpnBelmorPlus(bool p_bSoftwareNUC, bool p_bOn, bool p_bHDR, int p_iProxyIndex, int,
                         int p_iSetupFrequency, int p_iMeasuredFrameRate)
{
    if (p_bSoftwareNUC)
        return FpnCommand();
    return FpnTo(ModeRoute::FpgaRegister,
                 ProcessingReadPhase(p_bOn, p_iProxyIndex, p_iSetupFrequency, p_iMeasuredFrameRate), p_bOn, p_bHDR);
}

FpnCommand FpnCorvane(bool p_bSoftwareNUC, bool p_bOn, bool p_bHDR, int p_iProxyIndex, int, int p_iSetupFrequency,
                      int p_iMeasuredFrameRate)
{
    if (p_bSoftwareNUC)
        return FpnCommand();
    return FpnTo(ModeRoute::CorvaneIndirect,
                 ProcessingReadPhase(p_bOn, p_iProxyIndex, p_iSetupFrequency, p_iMeasuredFrameRate), p_bOn, p_bHDR);
}

} // namespace BoardModes
