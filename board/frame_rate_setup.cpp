// Frame-rate reconfiguration of an interface board: which rates a proxy offers, the custom pixel-clock search and the command sequence per board.
#include "board/frame_rate_setup.h"

#include "app/digiboard_kind.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "board/links/board_traits.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "usb3lib/Quenlin.h"

#include <QThread>

#include <cmath>

namespace id = ProxyParameterId;

namespace {

// Board parameters of a reconfiguration (BoardRegisterId).
constexpr int kParamCorvaneProxy = 16;
constexpr int kParamProxy = 27;
constexpr int kParamPixelClock = 28;
constexpr int kParamPixelDivider = 29;
constexpr int kParamCKDIV = 30;
constexpr int kParamGSK = 31;
constexpr int kParamGSKChannel = 32;
constexpr int kParamOptionsA = 33;
constexpr int kParamOptionsB = 34;
constexpr int kParamFrameRate = 35;

constexpr int kProxyWaitMs = 150;

// The record 9 sensor at its two frame-rate sets (record 12 is the 120 FPS one).
constexpr int kY1437PRow = 9;
constexpr int kY1437P120Row = 12;
constexpr int kItem120Fps = 6;

const FrameRateTraits& TraitsOfKind(int p_iKind)
{
    return BoardTraitsOf(BoardKindFromIndex(p_iKind)).FrameRate;
}

int Cell(int p_iRow, int p_iCell)
{
    return static_cast<int>(GetCurrent(p_iRow, p_iCell));
}

FrameRateSetupStep WriteStep(int p_iId, int p_iValue)
{
    return {FrameRateSetupStep::Write, p_iId, p_iValue};
}

bool ValidRow(int p_iRow)
{
    return p_iRow >= 0 && p_iRow < kProxyRecordCount;
}

void AddProxyNumber(const FrameRateSetupRequest& p_Request, const FrameRateTraits& p_Traits,
                    QVector<FrameRateSetupStep>& p_Steps)
{
    const int iRow = p_Request.ProxyRow;
    switch (p_Traits.Numbering) {
    case ProxyNumbering::CameraLink: {
        if (!p_Request.ProxyChosen)
            return;
        int iNumber = iRow;
        if (iRow == kY1437PRow || iRow == kY1437P120Row)
            iNumber = p_Request.Item == kItem120Fps ? kY1437P120Row : kY1437PRow;
        p_Steps << WriteStep(kParamProxy, iNumber);
        if (p_Traits.WaitAfterProxy)
            p_Steps << FrameRateSetupStep{FrameRateSetupStep::Wait, 0, kProxyWaitMs};
        return;
    }
    case ProxyNumbering::Corvane:
        p_Steps << FrameRateSetupStep{FrameRateSetupStep::OpenCorvaneCapture, 0, 0};
        p_Steps << FrameRateSetupStep{FrameRateSetupStep::Wait, 0, kProxyWaitMs};
        if (p_Request.ProxyChosen)
            p_Steps << WriteStep(kParamCorvaneProxy, iRow == kY1437P120Row ? 8 : iRow - 1);
        p_Steps << FrameRateSetupStep{FrameRateSetupStep::Wait, 0, kProxyWaitMs};
        return;
    case ProxyNumbering::Dunstel:
        if (p_Request.ProxyChosen)
            p_Steps << WriteStep(kParamProxy, iRow == kY1437P120Row ? 7 : iRow - 2);
        return;
    case ProxyNumbering::None:
        return;
    }
}

// The pixel clock, its divider when the board takes one, the GSK and its
// channel, the option words when the board takes them: what follows the
// divider word in both a preset and a custom reconfiguration.
void AddClockSteps(const FrameRateTraits& p_Traits, int p_iPixelClock, int p_iPixelDivider, int p_iGsk, int p_iChannel,
                   int p_iOptionsA, int p_iOptionsB, QVector<FrameRateSetupStep>& p_Steps)
{
    p_Steps << WriteStep(kParamPixelClock, p_iPixelClock);
    if (!p_Traits.PixelFrequency)
        p_Steps << WriteStep(kParamPixelDivider, p_iPixelDivider);
    p_Steps << WriteStep(kParamGSK, p_iGsk);
    if (p_Traits.GSKChannel)
        p_Steps << WriteStep(kParamGSKChannel, p_iChannel);
    if (p_Traits.Options)
        p_Steps << WriteStep(kParamOptionsA, p_iOptionsA) << WriteStep(kParamOptionsB, p_iOptionsB);
}

} // namespace

int FrameRateCodeOfItem(int p_iItem)
{
    if (p_iItem == FrameRateItemDefault)
        return FrameRateCodeDefault;
    if (p_iItem == FrameRateItemCustom)
        return FrameRateCodeCustom;
    if (p_iItem >= FrameRateItemFirstPreset && p_iItem <= FrameRateItemLastPreset)
        return id::kFrameRates[p_iItem - FrameRateItemFirstPreset];
    return FrameRateCodeNone;
}

int FrameRateItemOfCode(int p_iCode)
{
    for (int i = 0; i < id::kFrameRateCount; ++i)
        if (id::kFrameRates[i] == p_iCode)
            return FrameRateItemFirstPreset + i;
    return -1;
}

bool FrameRateItemOffered(int p_iProxyRow, int p_iItem)
{
    if (!ValidRow(p_iProxyRow) || p_iItem < FrameRateItemFirstPreset || p_iItem > FrameRateItemLastPreset)
        return false;
    return GetCurrent(p_iProxyRow, id::FrameRateParam28 + p_iItem - FrameRateItemFirstPreset) != ProxyParameterNotSet;
}

PixelClockChoice SearchPixelClock(double p_dWantedMHz, const std::function<void(int, int, double)>& p_Diagnostics)
{
    PixelClockChoice choice;
    double dBest = 100.0;
    for (int iDivider = 2; iDivider <= 255; ++iDivider) {
        for (int iMultiplier = 2; iMultiplier <= 255; ++iMultiplier) {
            const double dError = std::fabs(iMultiplier * 100.0 / iDivider - p_dWantedMHz);
            if (dError < dBest) {
                choice.Multiplier = iMultiplier;
                choice.Divider = iDivider;
                dBest = dError;
                if (p_Diagnostics)
                    p_Diagnostics(iMultiplier, iDivider, dError);
            }
        }
    }
    choice.GeneratedMHz = choice.Multiplier * 100.0 / choice.Divider;
    return choice;
}

QString PixelClockErrorText(double p_dGeneratedMHz, double p_dWantedMHz)
{
    if (p_dWantedMHz == 0.0)
        return QString();
    return QStringLiteral("Error: ") + QString::number((p_dGeneratedMHz - p_dWantedMHz) * 100 / p_dWantedMHz, 'g', 4)
           + QStringLiteral("%");
}

FrameRateSetupPlan PlanFrameRateSetup(const FrameRateSetupRequest& p_Request)
{
    FrameRateSetupPlan plan;
    const BoardTraits& board = BoardTraitsOf(BoardKindFromIndex(p_Request.Kind));
    const FrameRateTraits& traits = board.FrameRate;
    const int iRow = p_Request.ProxyRow;
    const int iItem = p_Request.Item;
    if (!traits.Reconfigures) {
        plan.KeepConfiguredGSK = true;
        return plan;  // no reconfiguration path: nothing sent, code 0
    }
    if (!ValidRow(iRow) || iItem < FrameRateItemDefault || iItem > FrameRateItemCustom) {
        plan.Refusal = QStringLiteral("The selected configuration is not valid.");
        return plan;
    }
    const bool bPreset = iItem >= FrameRateItemFirstPreset && iItem <= FrameRateItemLastPreset;
    const int i = iItem - FrameRateItemFirstPreset;
    const QString sRate = bPreset ? QString::number(id::kFrameRates[i]) + QStringLiteral(" FPS") : QString();
    if (bPreset && !FrameRateItemOffered(iRow, iItem)) {
        plan.Refusal = "The selected proxy does not offer " + sRate + ". Nothing has been sent to the DigiBoard.";
        return plan;
    }
    // Arvex and Corvane take the pixel frequency itself; a record without one
    // for the rate would send the not-defined marker as a frequency.
    if (bPreset && traits.PixelFrequency
        && GetCurrent(iRow, id::USB3FrameRateParam28 + i) == ProxyParameterNotSet) {
        plan.Refusal = "The pixel frequency of " + sRate + " is not defined for the selected proxy on the "
                       + board.Name + " board. Nothing has been sent to the DigiBoard.";
        return plan;
    }

    AddProxyNumber(p_Request, traits, plan.Steps);
    const int iHighBit = Cell(iRow, id::CKDIVHighBit) << 10;
    const int iChannel = Cell(iRow, id::GSKChannel);
    QVector<FrameRateSetupStep>& s = plan.Steps;

    if (iItem == FrameRateItemDefault) {
        plan.LogLine = QStringLiteral("Reconfiguration : Default");
        plan.RestoreCKDIVDefault = true;
        plan.ConfiguredGSK = Cell(iRow, id::GSKPerFrameRate + 1);
        plan.FrameRateCode = FrameRateCodeDefault;
    } else if (bPreset) {
        const int iCode = id::kFrameRates[i];
        plan.LogLine = "Reconfiguration : " + sRate;
        const int iDivider = Cell(iRow, id::CKDIVPerFrameRate + i);
        const int iGsk = Cell(iRow, id::GSKPerFrameRate + i);
        const int iCkdivWord = traits.CKDIVHighBit ? iHighBit + iDivider : iDivider;
        s << WriteStep(kParamCKDIV, iCkdivWord);
        AddClockSteps(traits, Cell(iRow, (traits.PixelFrequency ? id::USB3FrameRateParam28 : id::FrameRateParam28) + i),
                      Cell(iRow, id::FrameRateParam29 + i), iGsk, iChannel,
                      Cell(iRow, id::FrameRateParam33A + i) + Cell(iRow, id::FrameRateParam33B + i),
                      Cell(iRow, id::FrameRateParam34A + i) + Cell(iRow, id::FrameRateParam34B + i), s);
        s << WriteStep(kParamFrameRate, iCode);
        plan.WriteCKDIV = true;
        plan.CKDIVValue = static_cast<uint32_t>(iCkdivWord);
        plan.ConfiguredGSK = iGsk;
        plan.FrameRateCode = iCode;
    } else {
        plan.LogLine = QStringLiteral("Reconfiguration : Custom");
        const int iGsk = p_Request.CustomGSK;
        // The spin box shows 4 decimals: the small bias keeps 0.29 MHz from
        // being sent as 28 after the binary product 28.999...
        const int iFrequency = static_cast<int>(std::floor(p_Request.WantedMHz * 100.0 + 1e-6));
        const int iCkdivWord =
            traits.CKDIVHighBit ? iHighBit + p_Request.CustomCKDIV % 1024 : p_Request.CustomCKDIV;
        const int iOptionsA = 8 * int(p_Request.InvertDV) + 4 * int(p_Request.InvertTx) + 2 * int(p_Request.DisableDV);
        const int iOptionsB = 2 * int(p_Request.InvertPx) + int(p_Request.InvertMCLK);
        s << WriteStep(kParamCKDIV, iCkdivWord);
        AddClockSteps(traits, traits.PixelFrequency ? iFrequency : p_Request.Multiplier, p_Request.Divider, iGsk,
                      iChannel, iOptionsA, iOptionsB, s);
        s << WriteStep(kParamFrameRate, FrameRateCodeCustom);
        plan.WriteCustom = true;
        plan.CKDIVValue = static_cast<uint32_t>(iCkdivWord);
        plan.ConfiguredGSK = iGsk;
        plan.FrameRateCode = FrameRateCodeCustom;
    }
    if (traits.SettleMs > 0)
        s << FrameRateSetupStep{FrameRateSetupStep::Sleep, 0, traits.SettleMs};
    return plan;
}

bool RunFrameRateSetup(const FrameRateSetupPlan& p_Plan, int p_iProxyRow, const FrameRateSetupLinks& p_Links)
{
    if (!p_Plan.Refusal.isEmpty())
        return false;
    bool bOk = true;
    for (const FrameRateSetupStep& step : p_Plan.Steps) {
        switch (step.StepType) {
        case FrameRateSetupStep::Write:
            if (!p_Links.Write || p_Links.Write(step.Id, step.Value) != 0)
                bOk = false;
            break;
        case FrameRateSetupStep::Wait:
            if (p_Links.Wait)
                p_Links.Wait(step.Value);
            break;
        case FrameRateSetupStep::Sleep:
            if (p_Links.Sleep)
                p_Links.Sleep(step.Value);
            break;
        case FrameRateSetupStep::OpenCorvaneCapture:
            if (p_Links.OpenCorvane && p_Links.OpenCorvane() != 0)
                bOk = false;
            break;
        }
    }
    if (ValidRow(p_iProxyRow)) {
        if (p_Plan.RestoreCKDIVDefault)
            ResetCurrent(p_iProxyRow, id::CKDIV);
        if (p_Plan.WriteCKDIV)
            SetCurrent(p_iProxyRow, id::CKDIV, p_Plan.CKDIVValue);
        if (p_Plan.WriteCustom) {
            SetCurrent(p_iProxyRow, id::CustomCKDIV, p_Plan.CKDIVValue);
            SetCurrent(p_iProxyRow, id::CustomGSK, static_cast<uint32_t>(p_Plan.ConfiguredGSK));
        }
    }
    return bOk;
}

FrameRateSetupLinks BoardFrameRateSetupLinks(int p_iKind, PvDeviceSerialPort* p_pGigEPort)
{
    FrameRateSetupLinks links;
    if (const auto write = TraitsOfKind(p_iKind).Write)
        links.Write = [write, p_pGigEPort](int p_iId, int p_iValue) { return write(p_pGigEPort, p_iId, p_iValue); };
    else
        links.Write = [](int, int) { return 0; };
    links.Wait = [](int p_iMs) { WaitMs(p_iMs); };
    links.Sleep = [](int p_iMs) { QThread::msleep(static_cast<unsigned long>(p_iMs)); };
    links.OpenCorvane = []() {
        if (isInitialized() != 0)
            return 0;
        const int iStatus = initSyncCapture(0);
        if (iStatus != 0) {
            WriteLogLine(QStringLiteral("Error when initializing Corvane DigiBoard"));
            deinitCapture(1);
        }
        return iStatus;
    };
    return links;
}
