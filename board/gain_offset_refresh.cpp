// Image gain and offset: the sliders' values into the parameter table, and the once-a-second board write.
#include "board/gain_offset_refresh.h"
#include "app/digiboard_kind.h"

#include "app/kv_log.h"
#include "board/cameralink_commands.h"
#include "board/corvane_writer.h"
#include "params/proxy_parameter_table.h"

#include <cstdio>

namespace {

constexpr int kGainImg = 20;
constexpr int kOffsetImg = 21;

// The processing board behind the USB3 board and its gain and offset registers.
constexpr int kCorvaneProcessingBoard = 2;
constexpr int kCorvaneGainRegister = 7;
constexpr int kCorvaneOffsetRegister = 8;

bool TakesBoardGainOffset(int p_iKind)
{
    return p_iKind == BoardKind::Arvex || p_iKind == BoardKind::BelmorPlus || p_iKind == BoardKind::Corvane;
}

void Log(const QString& p_sLine)
{
    if (GlobalLog != nullptr)
        GlobalLog->writeLine(p_sLine);
}

void SendToCorvane(int p_iRegister, int p_iValue)
{
    SetCorvaneParameter(51, kCorvaneProcessingBoard, true);
    SetCorvaneParameter(52, p_iRegister, true);
    SetCorvaneParameter(53, p_iValue, true);
    SetCorvaneParameter(50, 0, true);
}

// 0 when sent (or nothing to send for this board), the Camera Link status otherwise.
int SendRegister(int p_iKind, int p_iId, int p_iCorvaneRegister, int p_iValue)
{
    switch (p_iKind) {
    case BoardKind::BelmorPlus: return SendCameraLinkCommand(p_iId, p_iValue, true);
    case BoardKind::Arvex: return SendCameraLinkCommandStar(p_iId, p_iValue, true);
    case BoardKind::Corvane: SendToCorvane(p_iCorvaneRegister, p_iValue); return 0;
    default: return 0;
    }
}

QString FailureText(const char* p_szFormat, int p_iValue)
{
    char szMessage[100] = {};
    std::snprintf(szMessage, sizeof szMessage, p_szFormat, p_iValue);
    return QString::fromLatin1(szMessage);
}

} // namespace

void StoreImageGain(const GainOffsetContext& p_Context, int p_iGainSpinValue, std::atomic<bool>& p_Changed)
{
    const int iProxy = p_Context.ProxyIndex;
    if (p_Context.BoardKind == BoardKind::Belmor || p_Context.BoardKind == BoardKind::Dunstel || p_Context.SoftwareNUC) {
        SetCurrent(iProxy, GainOffsetCell::Gain, static_cast<uint32_t>(p_iGainSpinValue));
        if (!p_Context.AGCOn)
            Log(QStringLiteral("Gain value set to : ") + QString::number(GetCurrent(iProxy, GainOffsetCell::Gain)));
        return;
    }
    // The tick stores and sends it.
    if (TakesBoardGainOffset(p_Context.BoardKind) && p_Context.TimerRunning)
        p_Changed = true;
}

void StoreImageOffset(const GainOffsetContext& p_Context, int p_iOffsetSpinValue, std::atomic<bool>& p_Changed)
{
    const int iProxy = p_Context.ProxyIndex;
    const int iKind = p_Context.BoardKind;
    bool bStored = false;
    if ((iKind == BoardKind::BelmorPlus || iKind == BoardKind::Corvane) && p_Context.SoftwareNUC) {
        SetCurrent(iProxy, GainOffsetCell::Offset, static_cast<uint32_t>(p_iOffsetSpinValue / 2));
        bStored = true;
    } else if (iKind == BoardKind::Eskra || iKind == BoardKind::Belmor || iKind == BoardKind::Dunstel
               || (iKind == BoardKind::BelmorPlus && !p_Context.SoftwareNUC)) {
        SetCurrent(iProxy, GainOffsetCell::Offset, static_cast<uint32_t>(p_iOffsetSpinValue));
        bStored = true;
    }
    if (bStored && !p_Context.AGCOn)
        Log(QStringLiteral("Offset value set to ") + QString::number(GetCurrent(iProxy, GainOffsetCell::Offset)));

    if (TakesBoardGainOffset(iKind) && !p_Context.SoftwareNUC && p_Context.TimerRunning)
        p_Changed = true;
}

bool GainOffsetTick(const GainOffsetContext& p_Context, int p_iGainSpinValue, int p_iOffsetSpinValue,
                    std::atomic<bool>& p_Changed, QString* p_pFailure)
{
    const int iProxy = p_Context.ProxyIndex;
    const int iKind = p_Context.BoardKind;
    // Taken at the start: a slider that moves while this tick's writes wait
    // marks a new change, which the next tick sends, instead of being cleared
    // with this one.
    const bool bPending = p_Changed.exchange(false);

    const uint32_t uOffset = static_cast<uint32_t>(p_iOffsetSpinValue / 2);
    if (uOffset != GetCurrent(iProxy, GainOffsetCell::Offset) || bPending)
        SetCurrent(iProxy, GainOffsetCell::Offset, uOffset);
    if (bPending) {
        const int iValue = static_cast<int>(GetCurrent(iProxy, GainOffsetCell::Offset));
        if (SendRegister(iKind, kOffsetImg, kCorvaneOffsetRegister, iValue) != 0) {
            if (p_pFailure != nullptr)
                *p_pFailure = FailureText("Couldn't set OFFSET_IMG to %d.\n", iValue);
            p_Changed = true;
            return false;
        }
    }

    const uint32_t uGain = static_cast<uint32_t>(p_iGainSpinValue);
    if (uGain != GetCurrent(iProxy, GainOffsetCell::Gain) || bPending)
        SetCurrent(iProxy, GainOffsetCell::Gain, uGain);
    if (bPending) {
        const int iValue = static_cast<int>(GetCurrent(iProxy, GainOffsetCell::Gain));
        if (SendRegister(iKind, kGainImg, kCorvaneGainRegister, iValue) != 0) {
            if (p_pFailure != nullptr)
                *p_pFailure = FailureText("Couldn't set GAIN_IMG to %d.\n", iValue);
            p_Changed = true;
            return false;
        }
    }
    return true;
}
