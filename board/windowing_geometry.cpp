// Sensor windowing arithmetic: window corners per mode and board, the minimum-size test, TINT, the SerData word and the windowing window's presets.
#include "board/windowing_geometry.h"

#include "app/digiboard_kind.h"
#include "board/links/board_traits.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <algorithm>

namespace {

namespace P = ProxyParameterId;

uint32_t Halve(uint32_t p_uValue)
{
    return p_uValue >> 1;
}

// A divisor cell that is 0 or not defined counts as 1, so no division traps.
uint32_t Divisor(uint32_t p_uCell)
{
    return (p_uCell == 0 || p_uCell == ProxyParameterNotSet) ? 1u : p_uCell;
}

int SignedSize(uint32_t p_uFirst, uint32_t p_uLast)
{
    return p_uFirst > p_uLast ? 0 : int(p_uLast - p_uFirst + 1);
}

void MarkInverted(WindowingPlan& p_Plan, const WindowCorners& p_Corners)
{
    if (p_Corners.YFirst > p_Corners.YLast) {
        p_Plan.Inverted = true;
        p_Plan.Error = WindowSizeError::TooNarrowY;
    } else if (p_Corners.XFirst > p_Corners.XLast) {
        p_Plan.Inverted = true;
        p_Plan.Error = WindowSizeError::TooNarrowX;
    }
}

WindowingPlan CameraLinkPlan(int r, int p_iMode, const WindowCorners& p_User)
{
    WindowingPlan plan;
    plan.Computed = true;
    plan.Mode = p_iMode;
    const uint32_t d = Divisor(GetCurrent(r, P::WindowingDivisor));
    const uint32_t blind = GetDefault(r, P::BlindColumns);
    const uint32_t b = ((blind & 15u) + (blind >> 4)) / Divisor(GetDefault(r, P::WindowingDivisor));
    const uint32_t fullLast = GetCurrent(r, P::WindowFullLastColumn);
    const uint32_t fullRows = GetCurrent(r, P::WindowFullRows);
    const uint32_t cx = Halve((fullLast + 1 + b) * d);
    const uint32_t cy = Halve(fullRows);

    WindowCorners c;
    switch (p_iMode) {
    case 3:
        plan.WindowingDisabled = true;
        c = {0, (fullLast + b + 1) * d, 0, fullRows - 1};
        plan.Hactive = GetCurrent(r, P::WindowFullLineWidth);
        plan.Vactive = GetCurrent(r, P::WindowFullAcqRows);
        plan.WindowingAcqX = b + 1 + fullLast;
        plan.WindowingAcqY = fullRows;
        break;
    case 1:
    case 2: {
        const bool a = p_iMode == 1;
        const uint32_t w = GetCurrent(r, a ? P::WindowSizeALastColumn : P::WindowSizeBLastColumn);
        const uint32_t h = GetCurrent(r, a ? P::WindowSizeARows : P::WindowSizeBRows);
        plan.WindowingDisabled = a ? GetCurrent(r, P::BPRegisterEncoding) != 0 : false;
        const uint32_t span = (w + b + 1) * d;
        c = {cx - Halve(span), cx + Halve(span - 1), cy - Halve(h), cy + Halve(h - 1)};
        plan.Hactive = GetCurrent(r, a ? P::WindowSizeALineWidth : P::WindowSizeBLineWidth);
        plan.Vactive = GetCurrent(r, a ? P::WindowSizeAAcqRows : P::WindowSizeBAcqRows);
        plan.WindowingAcqX = w + 1;
        plan.WindowingAcqY = h;
        break;
    }
    default:
        plan.WindowingDisabled = false;
        c = p_User;
        break;
    }
    plan.SpinCorners = c;
    plan.CellCorners = c;
    plan.AcqX = SignedSize(c.XFirst, c.XLast);
    plan.AcqY = SignedSize(c.YFirst, c.YLast);
    plan.CellAcqX = uint32_t(plan.AcqX);
    plan.CellAcqY = uint32_t(plan.AcqY);

    MarkInverted(plan, c);
    if (plan.Inverted)
        return plan;

    if (p_iMode == 0) {
        plan.WriteUserCells = true;
        plan.UserLineWidth = c.XLast - c.XFirst + 1 + b;
        plan.UserAcqRows = c.YLast - c.YFirst + 1;
        plan.UserLastColumn = plan.UserLineWidth;
        plan.UserRows = plan.UserAcqRows + 1;
        plan.Hactive = plan.UserLineWidth;
        plan.Vactive = plan.UserAcqRows;
        plan.WindowingAcqX = plan.UserLastColumn;
        plan.WindowingAcqY = plan.UserRows;
    }
    if (c.YLast - c.YFirst < GetCurrent(r, P::WindowMinHeight))
        plan.Error = WindowSizeError::TooNarrowY;
    else if (c.XLast - c.XFirst < GetCurrent(r, P::WindowMinWidth) / d)
        plan.Error = WindowSizeError::TooNarrowX;
    return plan;
}

WindowingPlan DunstelPlan(int r, int p_iMode, const WindowCorners& p_User)
{
    WindowingPlan plan;
    plan.Computed = true;
    plan.Mode = p_iMode;
    const uint32_t d = Divisor(GetCurrent(r, P::WindowingDivisor));

    if (p_iMode == 0) {
        plan.WindowingDisabled = false;
        WindowCorners c = p_User;
        // The board takes whole column units: an even column with divisor 1.
        c.XLast = d == 1 ? (c.XLast & ~1u) : c.XLast / d * d;
        plan.SpinCorners = c;
        plan.CellCorners = c;
        plan.SetAcqSpinBoxes = false;
        MarkInverted(plan, c);
        if (plan.Inverted) {
            plan.CellAcqX = 0;
            return plan;
        }
        const uint32_t blind = GetDefault(r, P::BlindColumns);
        plan.CellAcqX = c.XLast - c.XFirst;
        plan.CellAcqY = GetCurrent(r, P::AcqY);
        plan.WriteUserCells = true;
        plan.UserLineWidth = c.XLast - c.XFirst + 1 + (blind & 15u) + (blind >> 4);
        plan.UserAcqRows = c.YLast - c.YFirst;
        plan.UserLastColumn = c.XLast - c.XFirst;
        plan.UserRows = plan.UserAcqRows + 1;
        plan.WindowingAcqX = plan.UserLastColumn / d + 1;
        plan.WindowingAcqY = plan.UserRows;
        if (c.YLast - c.YFirst + 1 < GetCurrent(r, P::WindowMinHeight))
            plan.Error = WindowSizeError::TooNarrowY;
        else if (c.XLast - c.XFirst + 1 < GetCurrent(r, P::WindowMinWidth) / d)
            plan.Error = WindowSizeError::TooNarrowX;
        return plan;
    }

    uint32_t lastColumn = 0;
    uint32_t rows = 0;
    if (p_iMode == 3) {
        plan.WindowingDisabled = true;
        lastColumn = GetCurrent(r, P::WindowFullLastColumn);
        rows = GetCurrent(r, P::WindowFullRows);
        plan.SpinCorners = {0, d * lastColumn, 0, rows - 1};
    } else {
        const bool a = p_iMode == 1;
        plan.WindowingDisabled = a ? GetCurrent(r, P::BPRegisterEncoding) != 0 : false;
        lastColumn = GetCurrent(r, a ? P::WindowSizeALastColumn : P::WindowSizeBLastColumn);
        rows = GetCurrent(r, a ? P::WindowSizeARows : P::WindowSizeBRows);
        plan.SpinCorners = {0, (lastColumn + 1) * d - 1, 0, a ? rows - 1 : rows};
    }
    plan.CellCorners = {0, lastColumn, 0, rows - 1};
    plan.AcqX = int((lastColumn + 1) * d);
    plan.AcqY = int(rows);
    plan.CellAcqX = lastColumn + 1;
    plan.CellAcqY = rows + 1;
    plan.WindowingAcqX = lastColumn + 1;
    plan.WindowingAcqY = rows;
    const WindowCorners& c = plan.SpinCorners;
    if (c.YLast - c.YFirst + 1 < GetCurrent(r, P::WindowMinHeight))
        plan.Error = WindowSizeError::TooNarrowY;
    else if (c.XLast - c.XFirst + 1 < GetCurrent(r, P::WindowMinWidth) / d)
        plan.Error = WindowSizeError::TooNarrowX;
    return plan;
}

} // namespace

int WindowingMode(uint32_t p_uSizeA, uint32_t p_uSizeB)
{
    return (p_uSizeA != 0 ? 1 : 0) + (p_uSizeB != 0 ? 2 : 0);
}

WindowingPlan ComputeWindowingPlan(int p_iRecord, BoardKind p_Kind, int p_iMode, const WindowCorners& p_UserCorners)
{
    if (p_iRecord < 0 || p_iRecord >= kProxyRecordCount || p_iMode < 0 || p_iMode > 3) {
        WindowingPlan none;
        none.Mode = p_iMode;
        return none;
    }
    const WindowingFamily family = BoardTraitsOf(p_Kind).Windowing;
    switch (family) {
    case WindowingFamily::CameraLink:
        return CameraLinkPlan(p_iRecord, p_iMode, p_UserCorners);
    case WindowingFamily::Dunstel:
        return DunstelPlan(p_iRecord, p_iMode, p_UserCorners);
    case WindowingFamily::None:
        break;
    }
    WindowingPlan none;
    none.Mode = p_iMode;
    return none;
}

void ApplyWindowingToRecord(int p_iRecord, const WindowingPlan& p_Plan)
{
    if (!p_Plan.Computed || p_iRecord < 0 || p_iRecord >= kProxyRecordCount)
        return;
    const int r = p_iRecord;
    SetCurrent(r, P::XFirst, p_Plan.CellCorners.XFirst);
    SetCurrent(r, P::XLast, p_Plan.CellCorners.XLast);
    SetCurrent(r, P::YFirst, p_Plan.CellCorners.YFirst);
    SetCurrent(r, P::YLast, p_Plan.CellCorners.YLast);
    SetCurrent(r, P::AcqX, p_Plan.CellAcqX);
    SetCurrent(r, P::AcqY, p_Plan.Inverted ? 0u : p_Plan.CellAcqY);
    if (p_Plan.WriteUserCells) {
        SetCurrent(r, P::WindowUserLineWidth, p_Plan.UserLineWidth);
        SetCurrent(r, P::WindowUserAcqRows, p_Plan.UserAcqRows);
        SetCurrent(r, P::WindowUserLastColumn, p_Plan.UserLastColumn);
        SetCurrent(r, P::WindowUserRows, p_Plan.UserRows);
    }
}

QString WindowSizeErrorText(WindowSizeError p_Error)
{
    switch (p_Error) {
    case WindowSizeError::TooNarrowY:
        return QStringLiteral("Change windowing Y parameter: minimum window size.");
    case WindowSizeError::TooNarrowX:
        return QStringLiteral("Change windowing X parameter: minimum window size.");
    default:
        return QString();
    }
}

int WindowingTint(uint32_t p_uCellAcqX, uint32_t p_uDivisor, int p_iMinimum)
{
    const int64_t t = int64_t(p_uCellAcqX / Divisor(p_uDivisor)) - 20;
    return int(std::max<int64_t>(t, p_iMinimum));
}

uint32_t SerDataWord(bool p_bCompactLayout, const SerDataBits& b)
{
    auto bit = [](uint32_t v) { return v != 0 ? 1u : 0u; };
    if (p_bCompactLayout)
        return bit(b.UpCol) | bit(b.UpRow) << 1 | bit(b.Gain0) << 4 | bit(b.Gain1) << 5 | bit(b.Gain2) << 6;
    return bit(b.SizeB) | bit(b.SizeA) << 1 | bit(b.UpRow) << 2 | bit(b.UpCol) << 3 | bit(b.Gain0) << 4
           | bit(b.Gain1) << 5 | bit(b.DACFilter) << 6;
}

bool WindowSizeAllowed(uint32_t p_uWidth, uint32_t p_uHeight)
{
    return p_uWidth >= 160 && p_uWidth <= 1024 && p_uHeight >= 120 && p_uHeight <= 1024;
}

TypedSizeCorners CornersForTypedSize(uint32_t p_uFirst, uint32_t p_uSize, uint32_t p_uSensorSide)
{
    TypedSizeCorners c;
    if (p_uSize == 0 || p_uSensorSide == 0)
        return {p_uFirst, p_uFirst};
    const uint32_t uSize = std::min(p_uSize, p_uSensorSide);
    c.First = std::min(p_uFirst, p_uSensorSide - uSize);
    c.Last = c.First + uSize - 1;
    return c;
}

PresetResult PresetWindow(const QString& p_sPreset, uint32_t p_uSensorWidth, uint32_t p_uSensorHeight,
                          WindowCorners* p_pCorners)
{
    uint32_t halfWidth = 0;
    uint32_t halfHeight = 0;
    if (p_sPreset == QLatin1String("QVGA centered")) {
        halfWidth = 160;
        halfHeight = 120;
    } else if (p_sPreset == QLatin1String("VGA centered")) {
        halfWidth = 320;
        halfHeight = 240;
    } else {
        return PresetResult::NotPreset;
    }
    if (p_uSensorWidth < 2 * halfWidth || p_uSensorHeight < 2 * halfHeight)
        return PresetResult::TooSmall;
    const uint32_t w2 = p_uSensorWidth / 2;
    const uint32_t h2 = p_uSensorHeight / 2;
    if (p_pCorners)
        *p_pCorners = {w2 - halfWidth, w2 + halfWidth - 1, h2 - halfHeight, h2 + halfHeight - 1};
    return PresetResult::Applied;
}

uint16_t EstimatedWindowFrameRate(uint32_t p_uImageWidth, uint32_t p_uImageHeight, uint32_t p_uFrameRate,
                                  uint32_t p_uWindowWidth, uint32_t p_uWindowHeight)
{
    if (p_uImageWidth == 0 || p_uImageHeight == 0 || p_uFrameRate == 0 || p_uWindowWidth == 0 || p_uWindowHeight == 0)
        return 0;
    const uint32_t product = p_uImageWidth * p_uImageHeight * p_uFrameRate;
    return uint16_t(product / p_uWindowWidth / p_uWindowHeight);
}

int WindowTintMaximum(uint32_t p_uWindowWidth, uint32_t p_uDivisor)
{
    return std::max(0, int(p_uWindowWidth / Divisor(p_uDivisor)) - 13);
}

bool WindowingWindowModel(const QString& p_sProxyName)
{
    static const char* const kModels[] = {"Z641", "Z647", "Z663", "Z671", "Z671P", "Z671Pv2"};
    for (const char* szModel : kModels)
        if (p_sProxyName == QLatin1String(szModel))
            return true;
    return false;
}

int WindowingDacRegister(uint32_t p_uCode)
{
    switch (p_uCode) {
    case 2:
        return 1;
    case 3:
        return 2;
    case 12:
        return 11;
    case 13:
        return 12;
    default:
        return -1;
    }
}
