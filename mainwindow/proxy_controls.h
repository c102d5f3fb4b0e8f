// The rules that turn a proxy record into control states, kept free of the main window so they can be tested alone.
#pragma once

#include "app/digiboard_kind.h"
#include "params/bias_voltages.h"
#include "params/proxy_parameter_ids.h"

#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

// Cells of a record that the control set-up and refresh read or write besides
// the control descriptors. Plain ints: inside MainWindow some of the
// parameter names would be shadowed by members of the same name.
namespace ControlCells {
constexpr int BlindColumns = ProxyParameterId::BlindColumns;
constexpr int AGCAuxiliary = ProxyParameterId::AGCAuxiliary;
constexpr int AGCMargin = ProxyParameterId::AGCMargin;
constexpr int AGCThreshold = ProxyParameterId::AGCThreshold;
constexpr int AdvancedUserState = ProxyParameterId::AdvancedUserState;
constexpr int GSKChannel = ProxyParameterId::GSKChannel;
constexpr int GSKPerFrameRate = ProxyParameterId::GSKPerFrameRate;
constexpr int CKDIVPerFrameRate = ProxyParameterId::CKDIVPerFrameRate;
constexpr int CKDIVStartCameraLink = ProxyParameterId::CKDIVStartCameraLink;
constexpr int CKDIVStartUSB3 = ProxyParameterId::CKDIVStartUSB3;
constexpr int CKDIVStartGigE = ProxyParameterId::CKDIVStartGigE;
constexpr int StartColumnFlip = ProxyParameterId::UpColAltDefault;
constexpr int StartRowFlip = ProxyParameterId::UpRowAltDefault;
constexpr int CKDIVHighBit = ProxyParameterId::CKDIVHighBit;
constexpr int CustomGSK = ProxyParameterId::CustomGSK;
constexpr int CustomCKDIV = ProxyParameterId::CustomCKDIV;
} // namespace ControlCells

constexpr int kNoProxyIndex = 13;
constexpr int kEskraProxyIndex = 17;
constexpr int kCustomFrameRate = 254;
constexpr int kDefaultFrameRate = 255;

// Position 0..6 of a frame rate in the frame-rate blocks (25, 30, 50, 60, 100,
// 120, 200 FPS), or -1 for any other number.
int FrameRatePosition(int p_iFrameRate);

// The record that a proxy text selects: the model's ProxyIndex, 13 for
// "No Proxy", 0 for "Proxy Board..." and any text that names no model.
int ProxyIndexFromProxyText(const QString& p_sText);

// The model name of a record ("" for 0, 13 and 22, which have none).
QString ModelNameOfRecord(int p_iProxyIndex);

// ----- Applying a descriptor group ------------------------------------------------

// Where one property of a control takes its value from.
struct CellRef
{
    enum Kind : uint8_t {
        Unchanged,  // the property is left as it is
        Default,    // default half of the cell
        Current,    // current half of the cell
        Fixed,      // a fixed number
        DoubledBound // 2 x default half - 65535 (the image-offset range bounds)
    };
    Kind kind = Unchanged;
    int value = 0;

    static CellRef D(int p_iCell) { return {Default, p_iCell}; }
    static CellRef C(int p_iCell) { return {Current, p_iCell}; }
    static CellRef F(int p_iValue) { return {Fixed, p_iValue}; }
    static CellRef Doubled(int p_iCell) { return {DoubledBound, p_iCell}; }
    bool isSet() const { return kind != Unchanged; }
};

// The number a reference stands for in record p_iProxyIndex, or nothing when
// it is Unchanged. Cells are passed on as the unsigned value read as an int.
std::optional<int> ResolveCell(const CellRef& p_Ref, int p_iProxyIndex);

// One row of the control set-up: a control and where each of its properties
// comes from. A range is set only when both bounds are given.
struct DescriptorRow
{
    QWidget* widget = nullptr;
    CellRef enabled;
    CellRef value;     // checked state, combo index or value, by the widget's kind
    CellRef rangeMin;
    CellRef rangeMax;
    CellRef visible;
};

// Sets the row's properties on its widget in the order enabled, range, value,
// visible; truth values are non-zero cells (65535 included). The widget's own
// change signals are left live, so its slots run as the values arrive.
void ApplyDescriptorRow(const DescriptorRow& p_Row, int p_iProxyIndex);

// ----- Frame-rate values ----------------------------------------------------------

// The clock divider and GSK value that one frame rate gives a record. A value
// whose cell is not defined (65535) is absent: it must never reach a register.
struct FrameRateValues
{
    std::optional<uint32_t> ckdiv;
    std::optional<uint32_t> gsk;
    bool listed = false; // the rate is one of the seven or the custom one
};

// For a dynamic reconfiguration: a listed rate takes its block cells, 254 the
// custom cells 361 and 360 (current halves).
FrameRateValues DynamicFrequencyValues(int p_iProxyIndex, int p_iFrameRate);

// The divider that the default configuration of the board kind shows:
// (cell 359 << 10) + the kind's start cell; absent for kinds without one or
// when a cell is not defined.
std::optional<uint32_t> DefaultFrequencyDivider(int p_iProxyIndex, BoardKind p_Kind);

// The cell of the DAC value that a GSK channel code drives: the spin box's
// and the slider's value cells, or {-1, -1} for a code that names no DAC.
struct GskDacCells
{
    int spinBoxCell = -1;
    int sliderCell = -1;
    int dac = -1; // 0 DAC A .. 3 DAC D
};
GskDacCells GskDacForChannel(uint32_t p_uChannel);

// ----- Labels -------------------------------------------------------------------

// The label text "%1.1fV" of the input's voltage for DAC code p_iCode (0.0V
// for a model without a row).
QString BiasVoltageText(BiasInput p_Input, const QString& p_sModel, int p_iCode);

// The text of the histogram's highest-bin count: percentage of the frame with
// four decimals, "% - ", the count, " pixels"; empty for 0 pixels and while no
// frame geometry is known (a zero width or height).
QString HistogramPixelCountText(int p_iPixels, int p_iFrameWidth, int p_iFrameHeight);

// ----- Exposure controls of the X1550 (record 14) ----------------------------------

struct ExposureRange
{
    int minimum = 0;
    int maximum = 0;
    int sliderValue = 0;
    int spinBoxValue = 0;
    int singleStep = 0;
};
// From the frame rate, spinBox_CKDIV's value and the default halves of cells
// 155 (slider) and 216 (spin box). Absent for a frame rate of 0 or less (not
// read yet): the controls keep their ranges.
std::optional<ExposureRange> X1550ExposureRange(int p_iFrameRate, int p_iCkdiv, uint32_t p_uSliderLines,
                                                uint32_t p_uSpinBoxLines);

// ----- Proxy-model captions ---------------------------------------------------------

// What a model gives the form: its name, the caption of checkBox_SizeA, the
// camera-file size mode and the initial texts of the four voltage labels (the
// register captions come from HeaderConstants::ProxyControlLabels).
struct ProxyModelDefaults
{
    QString name;
    QString sizeACaption;
    int camFileSizeMode = 1;
    QString voltage02;
    QString voltage03;
    QString voltage0C;
    QString voltage0D;
};
// Absent for the records without a model row (0, 13 and 22).
std::optional<ProxyModelDefaults> ProxyModelDefaultsFor(int p_iProxyIndex);
