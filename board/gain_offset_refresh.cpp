// Image gain and offset: the sliders' values into the parameter table, and the once-a-second board write.
#include "board/gain_offset_refresh.h"
#include "app/digiboard_kind.h"

#include "app/kv_log.h"
#include "board/cameralink_commands.h"
#include "board/links/board_traits.h"
#include "board/register_writer.h"
#include "params/proxy_parameter_table.h"

#include <cstdio>

namespace {


bool TakesBoardGainOffset(BoardKind p_Kind)
{
    return BoardTraitsOf(p_Kind).BoardGainOffset;
}

// 0 when sent (or nothing to send for this board), the link's status otherwise.
// The caller words the failure.
int SendRegister(const GainOffsetContext& p_Context, BoardRegisterId p_Id, int p_iValue)
{
    if (!TakesBoardGainOffset(p_Context.Kind))
        return 0;
    BoardLink* pLink = p_Context.Link ? p_Context.Link : StandaloneBoardLink(p_Context.Kind);
    if (pLink == nullptr)
        return 0;
    return WriteLinkRegister(*pLink, p_Id, static_cast<uint32_t>(p_iValue), RegisterErrorPolicy::Silent);
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
    if (BoardTraitsOf(p_Context.Kind).GainInSoftware || p_Context.SoftwareNUC) {
        SetCurrent(iProxy, GainOffsetCell::Gain, static_cast<uint32_t>(p_iGainSpinValue));
        if (!p_Context.AGCOn)
            WriteLogLine(QStringLiteral("Gain value set to : ") + QString::number(GetCurrent(iProxy, GainOffsetCell::Gain)));
        return;
    }
    // The tick stores and sends it.
    if (TakesBoardGainOffset(p_Context.Kind) && p_Context.TimerRunning)
        p_Changed = true;
}

void StoreImageOffset(const GainOffsetContext& p_Context, int p_iOffsetSpinValue, std::atomic<bool>& p_Changed)
{
    const int iProxy = p_Context.ProxyIndex;
    const BoardKind iKind = p_Context.Kind;
    const BoardTraits& traits = BoardTraitsOf(iKind);
    bool bStored = false;
    if (traits.OffsetHalvedWithSoftwareNuc && p_Context.SoftwareNUC) {
        SetCurrent(iProxy, GainOffsetCell::Offset, static_cast<uint32_t>(p_iOffsetSpinValue / 2));
        bStored = true;
    } else if (traits.OffsetAsIs) {
        SetCurrent(iProxy, GainOffsetCell::Offset, static_cast<uint32_t>(p_iOffsetSpinValue));
        bStored = true;
    }
    if (bStored && !p_Context.AGCOn)
        WriteLogLine(QStringLiteral("Offset value set to ") + QString::number(GetCurrent(iProxy, GainOffsetCell::Offset)));

    if (TakesBoardGainOffset(iKind) && !p_Context.SoftwareNUC && p_Context.TimerRunning)
        p_Changed = true;
}

bool GainOffsetTick(const GainOffsetContext& p_Context, int p_iGainSpinValue, int p_iOffsetSpinValue,
                    std::atomic<bool>& p_Changed, QString* p_pFailure)
{
    const int iProxy = p_Context.ProxyIndex;
    const BoardKind iKind = p_Context.Kind;
    // Taken at the start: a slider that moves while this tick's writes wait
    // marks a new change, which the next tick sends, instead of being cleared
    // with this one.
    const bool bPending = p_Changed.exchange(false);

    const uint32_t uOffset = static_cast<uint32_t>(p_iOffsetSpinValue / 2);
    if (uOffset != GetCurrent(iProxy, GainOffsetCell::Offset) || bPending)
        SetCurrent(iProxy, GainOffsetCell::Offset, uOffset);
    if (bPending) {
        const int iValue = static_cast<int>(GetCurrent(iProxy, GainOffsetCell::Offset));
        if (SendRegister(p_Context, BoardRegisterId::OFFSET_IMG, iValue) != 0) {
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
        if (SendRegister(p_Context, BoardRegisterId::GAIN_IMG, iValue) != 0) {
            if (p_pFailure != nullptr)
                *p_pFailure = FailureText("Couldn't set GAIN_IMG to %d.\n", iValue);
            p_Changed = true;
            return false;
        }
    }
    return true;
}
