// Descriptor application, frame-rate values, voltage and pixel-count texts and exposure ranges.
#include "mainwindow/proxy_controls.h"

#include "app/header_constants.h"
#include "board/links/board_traits.h"
#include "board/sensor_parameter_math.h"
#include "params/proxy_lookup.h"
#include "params/proxy_parameter_table.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QByteArray>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QWidget>

#include <string_view>

namespace {

constexpr int kFrameRates[7] = {25, 30, 50, 60, 100, 120, 200};

bool Defined(uint32_t p_uCell)
{
    return p_uCell != ProxyParameterNotSet;
}

} // namespace

int FrameRatePosition(int p_iFrameRate)
{
    for (int i = 0; i < 7; ++i)
        if (kFrameRates[i] == p_iFrameRate)
            return i;
    return -1;
}

int ProxyIndexFromProxyText(const QString& p_sText)
{
    const QByteArray utf8 = p_sText.toUtf8();
    return GetProxyIndexFromName(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size()))) + 1;
}

QString ModelNameOfRecord(int p_iProxyIndex)
{
    // Records 0 and 13 carry the list's placeholder texts, not model names.
    if (p_iProxyIndex <= 0 || p_iProxyIndex == kNoProxyIndex || p_iProxyIndex >= kProxyRecordCount)
        return QString();
    return QString::fromLatin1(ProxyModelName(p_iProxyIndex));
}

std::optional<int> ResolveCell(const CellRef& p_Ref, int p_iProxyIndex)
{
    switch (p_Ref.kind) {
    case CellRef::Unchanged:
        return std::nullopt;
    case CellRef::Default:
        return static_cast<int>(GetDefault(p_iProxyIndex, p_Ref.value));
    case CellRef::Current:
        return static_cast<int>(GetCurrent(p_iProxyIndex, p_Ref.value));
    case CellRef::Fixed:
        return p_Ref.value;
    case CellRef::DoubledBound:
        return 2 * static_cast<int>(GetDefault(p_iProxyIndex, p_Ref.value)) - 65535;
    }
    return std::nullopt;
}

void ApplyDescriptorRow(const DescriptorRow& p_Row, int p_iProxyIndex)
{
    QWidget* pWidget = p_Row.widget;
    if (!pWidget)
        return;
    if (const std::optional<int> enabled = ResolveCell(p_Row.enabled, p_iProxyIndex))
        pWidget->setEnabled(*enabled != 0);

    const std::optional<int> lo = ResolveCell(p_Row.rangeMin, p_iProxyIndex);
    const std::optional<int> hi = ResolveCell(p_Row.rangeMax, p_iProxyIndex);
    if (lo && hi) {
        if (auto* pSpin = qobject_cast<QSpinBox*>(pWidget))
            pSpin->setRange(*lo, *hi);
        else if (auto* pSlider = qobject_cast<QAbstractSlider*>(pWidget))
            pSlider->setRange(*lo, *hi);
        else if (auto* pDouble = qobject_cast<QDoubleSpinBox*>(pWidget))
            pDouble->setRange(*lo, *hi);
    }

    if (const std::optional<int> value = ResolveCell(p_Row.value, p_iProxyIndex)) {
        if (auto* pCombo = qobject_cast<QComboBox*>(pWidget))
            pCombo->setCurrentIndex(*value);
        else if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget))
            pButton->setChecked(*value != 0);
        else if (auto* pSpin = qobject_cast<QSpinBox*>(pWidget))
            pSpin->setValue(*value);
        else if (auto* pSlider = qobject_cast<QAbstractSlider*>(pWidget))
            pSlider->setValue(*value);
        else if (auto* pDouble = qobject_cast<QDoubleSpinBox*>(pWidget))
            pDouble->setValue(*value);
    }

    if (const std::optional<int> visible = ResolveCell(p_Row.visible, p_iProxyIndex))
        pWidget->setVisible(*visible != 0);
}

FrameRateValues DynamicFrequencyValues(int p_iProxyIndex, int p_iFrameRate)
{
    FrameRateValues values;
    uint32_t uCkdiv = ProxyParameterNotSet;
    uint32_t uGsk = ProxyParameterNotSet;
    const int i = FrameRatePosition(p_iFrameRate);
    if (i >= 0) {
        uCkdiv = GetCurrent(p_iProxyIndex, ControlCells::CKDIVPerFrameRate + i);
        uGsk = GetCurrent(p_iProxyIndex, ControlCells::GSKPerFrameRate + i);
    } else if (p_iFrameRate == kCustomFrameRate) {
        uCkdiv = GetCurrent(p_iProxyIndex, ControlCells::CustomCKDIV);
        uGsk = GetCurrent(p_iProxyIndex, ControlCells::CustomGSK);
    } else {
        return values;
    }
    values.listed = true;
    if (Defined(uCkdiv))
        values.ckdiv = uCkdiv;
    if (Defined(uGsk))
        values.gsk = uGsk;
    return values;
}

std::optional<uint32_t> DefaultFrequencyDivider(int p_iProxyIndex, BoardKind p_Kind)
{
    const int iStartCell = BoardTraitsOf(p_Kind).CKDIVStartCell;
    if (iStartCell < 0)
        return std::nullopt;
    const uint32_t uHigh = GetCurrent(p_iProxyIndex, ControlCells::CKDIVHighBit);
    const uint32_t uStart = GetDefault(p_iProxyIndex, iStartCell);
    if (!Defined(uHigh) || !Defined(uStart))
        return std::nullopt;
    return (uHigh << 10) + uStart;
}

GskDacCells GskDacForChannel(uint32_t p_uChannel)
{
    switch (p_uChannel) {
    case 2:
        return {170, 125, 0};
    case 3:
        return {175, 130, 1};
    case 12:
        return {180, 135, 2};
    case 13:
        return {185, 140, 3};
    default:
        return {};
    }
}

// ---------------------------------------------------------------------------
// Voltage labels and the histogram count

QString BiasVoltageText(BiasInput p_Input, const QString& p_sModel, int p_iCode)
{
    return QString::asprintf("%1.1fV", static_cast<double>(BiasVoltage(p_Input, p_sModel.toStdString(), p_iCode)));
}

QString HistogramPixelCountText(int p_iPixels, int p_iFrameWidth, int p_iFrameHeight)
{
    if (p_iPixels == 0 || p_iFrameWidth <= 0 || p_iFrameHeight <= 0)
        return QString();
    const unsigned uFramePixels = static_cast<unsigned>(p_iFrameHeight) * static_cast<unsigned>(p_iFrameWidth);
    const double dPercent = static_cast<float>(p_iPixels) * 100.0 / uFramePixels;
    return QString::number(dPercent, 'f', 4) + QStringLiteral("% - ") + QString::number(p_iPixels)
           + QStringLiteral(" pixels");
}

std::optional<ExposureRange> X1550ExposureRange(int p_iFrameRate, int p_iCkdiv, uint32_t p_uSliderLines,
                                                uint32_t p_uSpinBoxLines)
{
    if (p_iFrameRate <= 0)
        return std::nullopt;
    const TintRange tint = ComputeTintRange(p_iFrameRate, p_iCkdiv);
    const LineTiming timing = ComputeLineTiming(p_iFrameRate, p_iCkdiv);
    auto linesToUs = [&timing](uint32_t p_uLines) {
        // Truncated toward zero; an undefined cell's 65535 lines can pass the int range, which stays at its edge.
        const double dValue = static_cast<double>(p_uLines) * timing.LineUs - timing.OffsetUs;
        if (dValue >= 2147483647.0)
            return 2147483647;
        return static_cast<int>(dValue);
    };
    ExposureRange range;
    range.minimum = tint.Minimum;
    range.maximum = tint.Maximum;
    range.sliderValue = linesToUs(p_uSliderLines);
    range.spinBoxValue = linesToUs(p_uSpinBoxLines);
    range.singleStep = tint.SingleStep;
    return range;
}

std::optional<ProxyModelDefaults> ProxyModelDefaultsFor(int p_iProxyIndex)
{
    const QString sDefault = QStringLiteral("Default size");
    const QString sSizeA = QStringLiteral("SizeA");
    auto row = [](const QString& a, int mode, const char* v02, const char* v03, const char* v0C,
                  const char* v0D) {
        ProxyModelDefaults d;
        d.sizeACaption = a;
        d.camFileSizeMode = mode;
        d.voltage02 = QString::fromLatin1(v02);
        d.voltage03 = QString::fromLatin1(v03);
        d.voltage0C = QString::fromLatin1(v0C);
        d.voltage0D = QString::fromLatin1(v0D);
        return d;
    };
    std::optional<ProxyModelDefaults> d;
    switch (p_iProxyIndex) {
    case 1: d = row(sSizeA, 1, "3.0V", "5.2V", "", ""); break;
    case 2: d = row(sSizeA, 3, "1.5V", "3.2V", "", ""); break;
    case 3: d = row(sSizeA, 3, "1.8V", "3.2V", "5.0V", "2.4V"); break;
    case 4: d = row(sDefault, 1, "1.9V", "2.5V", "", ""); break;
    case 5: d = row(sDefault, 1, "2.7V", "1.8V", "", ""); break;
    case 6: d = row(sSizeA, 3, "4.8V", "3.3V", "2.3V", "1.2V"); break;
    case 7: d = row(sSizeA, 3, "3.6V", "2.8V", "2.3V", "1.7V"); break;
    case 8: d = row(sDefault, 1, "1.7V", "2.8V", "", ""); break;
    case 9:
    case 12: d = row(sSizeA, 3, "3.6V", "2.8V", "2.3V", "1.7V"); break;
    case 10: d = row(sDefault, 1, "1.8V", "2.8V", "3.6V", "2.3V"); break;
    case 11: d = row(sDefault, 1, "2.7V", "1.7V", "", ""); break;
    case 14: d = row(sSizeA, 3, "", "", "", ""); break;
    case 15: d = row(sDefault, 1, "2.1V", "2.1V", "", ""); break;
    case 16: d = row(sSizeA, 3, "0V", "0V", "", ""); break;
    case 17: d = row(sDefault, 1, "2.7V", "1.8V", "", ""); break;
    case 18: d = row(sDefault, 1, "2.6V", "1.7V", "", ""); break;
    case 19: d = row(sDefault, 1, "2.1V", "2.1V", "", ""); break;
    case 20: d = row(sDefault, 1, "1.7V", "3.3V", "", ""); break;
    case 21: d = row(sDefault, 1, "1.8V", "2.8V", "3.6V", "2.3V"); break;
    case 23: d = row(sDefault, 1, "", "", "", ""); break;
    case 24: d = row(sDefault, 1, "", "", "", ""); break;
    default: return std::nullopt;
    }
    d->name = ModelNameOfRecord(p_iProxyIndex);
    return d;
}
