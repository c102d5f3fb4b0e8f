// Start-up values: descriptors of the main form's sensor controls.
#include "params/proxy_parameter_fill.h"
#include "params/proxy_parameter_ids.h"

#include <cassert>
#include <utility>
#include <vector>

using namespace ProxyParameterId;

namespace {

// The table's assignment, for the one fill that runs at a time.
proxy_fill::CellAssign g_Assign = nullptr;

void Assign(int p_iProxyIndex, int p_iParameterId, uint32_t p_uValue)
{
    g_Assign(p_iProxyIndex, p_iParameterId, p_uValue);
}


// A value written "-": not defined for the record, the cell keeps 65535.
// Distinct from the number 65535, which the image-offset maxima really hold.
constexpr long Dash = -1;

// The records whose value differs from the column's common one.
struct Except
{
    long value;
    std::vector<int> records;
};

// One column of a row: the value all records share, then the exceptions,
// written in the same shape as the data sheet: {1, {{0, {0, 13, 24}}}} reads
// "1, but 0 in records 0, 13 and 24".
struct Col
{
    Col(long p_lCommon, std::vector<Except> p_Exceptions = {})
        : common(p_lCommon), exceptions(std::move(p_Exceptions)) {}

    long common;
    std::vector<Except> exceptions;
    bool givenElsewhere = false;          // the value is filled with the register data

    long ValueFor(int p_iRecord) const
    {
        long value = common;
        int hits = 0;
        for (const Except& e : exceptions)
            for (int record : e.records)
                if (record == p_iRecord) {
                    value = e.value;
                    ++hits;
                }
        assert(hits <= 1 && "a record listed twice in one column");
        (void)hits;
        return value;
    }
};

// Value cells of the sliders and spin boxes that follow the per-record
// register data: filled with it, not here (the DAC A, B and D slider positions
// too, which the register data derives from the DAC spin boxes' values).
Col PerRecordRegisterData()
{
    Col col(Dash);
    col.givenElsewhere = true;
    return col;
}

void Cell(int p_iCell, const Col& p_Col)
{
    if (p_Col.givenElsewhere)
        return;
    for (const Except& e : p_Col.exceptions)
        for (int record : e.records) {
            assert(record >= 0 && record < kProxyRecordCount);
            (void)record;
        }
    for (int record = 0; record < kProxyRecordCount; ++record) {
        const long value = p_Col.ValueFor(record);
        if (value != Dash)
            Assign(record, p_iCell, static_cast<uint32_t>(value));
    }
}

// {enabled, value, visible}
void CheckBox(int p_iFirst, const Col& p_Enabled, const Col& p_Value, const Col& p_Visible)
{
    Cell(p_iFirst, p_Enabled);
    Cell(p_iFirst + 1, p_Value);
    Cell(p_iFirst + 2, p_Visible);
}

// {enabled, visible}
void Widget(int p_iFirst, const Col& p_Enabled, const Col& p_Visible)
{
    Cell(p_iFirst, p_Enabled);
    Cell(p_iFirst + 1, p_Visible);
}

// {enabled, max, min, value, visible}
void SpinBox(int p_iFirst, const Col& p_Enabled, const Col& p_Max, const Col& p_Min,
             const Col& p_Value, const Col& p_Visible)
{
    Cell(p_iFirst, p_Enabled);
    Cell(p_iFirst + 1, p_Max);
    Cell(p_iFirst + 2, p_Min);
    Cell(p_iFirst + 3, p_Value);
    Cell(p_iFirst + 4, p_Visible);
}

// {ticked, enabled, visible}
void GammaCheckBox(int p_iFirst, const Col& p_Ticked, const Col& p_Enabled, const Col& p_Visible)
{
    Cell(p_iFirst, p_Ticked);
    Cell(p_iFirst + 1, p_Enabled);
    Cell(p_iFirst + 2, p_Visible);
}

void FillCheckBoxes()
{
    //       first cell                  enabled                                  value                                                      visible
    // 9-11 comboBox_BPCorrectionMode
    CheckBox(BPCorrectionModeEnabled,    {0},                                     {0},                                                       {1});
    // 12-14 comboBox_InterpolationMethod
    CheckBox(InterpolationMethodEnabled, {0, {{1, {0}}}},                         {0},                                                       {1});
    // 15-17 checkBox_2Tap
    CheckBox(TwoTapEnabled,              {0, {{1, {9, 12}}}},                     {0, {{1, {12}}}},                                          {0, {{1, {9, 12}}}});
    // 18-20 checkBox_AGC
    CheckBox(AGCEnabled,                 {1, {{0, {0, 13}}}},                     {0},                                                       {1});
    // 24-26 checkBox_DACFilter
    CheckBox(DACFilterEnabled,           {0},                                     {0},                                                       {1, {{0, {22, 23}}}});
    // 27-29 checkBox_ApplyNUC and checkBox_Enable_AverageFPN
    CheckBox(ApplyNUCEnabled,            {0},                                     {0},                                                       {1});
    // 30-32 checkBox_Gain0
    CheckBox(Gain0Enabled,               {1, {{0, {0, 13, 14, 22, 24}}}},         {1, {{0, {0, 1, 2, 3, 4, 8, 10, 13, 14, 21, 22, 24}}}},   {1, {{0, {22}}}});
    // 33-35 checkBox_Gain1
    CheckBox(Gain1Enabled,               {1, {{0, {0, 13, 14, 22, 24}}}},         {0, {{1, {1, 2, 3, 4, 8, 10, 16, 20, 21}}}},               {1, {{0, {22}}}});
    // 36-38 checkBox_Gain2
    CheckBox(Gain2Enabled,               {0, {{1, {5, 8, 10, 11, 15, 17, 18, 19, 20, 21, 23}}}},
                                                                                  {0, {{1, {5, 11, 15, 17, 18, 19, 20, 23}}}},
                                                                                                                                             {1, {{0, {1, 2, 3, 4, 6, 7, 9, 12, 14, 16, 22}}}});
    // 39-41 checkBox_HDR
    CheckBox(HDREnabled,                 {1, {{0, {0, 13, 24}}}},                 {0},                                                       {1});
    // 42-44 checkBox_InvertBW
    CheckBox(InvertBWEnabled,            {1, {{0, {0, 13}}}},                     {0},                                                       {1});
    // 45-47 checkBox_InvPClock
    CheckBox(InvPClockEnabled,           {0},                                     {0},                                                       {1});
    // 48-50 checkBox_BMP
    CheckBox(SaveBMPEnabled,             {0},                                     {0},                                                       {1});
    // 51-53 checkBox_CSV
    CheckBox(SaveCSVEnabled,             {0},                                     {0},                                                       {1});
    // 54-56 checkBox_JPG
    CheckBox(SaveJPGEnabled,             {0},                                     {0},                                                       {1});
    // 57-59 checkBox_RAW
    CheckBox(SaveRAWEnabled,             {0},                                     {0},                                                       {1});
    // 60-62 checkBox_SaveStream
    CheckBox(SaveStreamEnabled,          {1, {{0, {0, 13}}}},                     {0},                                                       {1});
    // 63-65 checkBox_SizeA
    CheckBox(SizeAEnabled,               {0},                                     {1, {{0, {0, 13, 14, 24}}}},                               {1, {{0, {14}}}});
    // 66-68 checkBox_SizeB
    CheckBox(SizeBEnabled,               {0},                                     {0, {{1, {2, 3, 6, 7, 9, 12}}}},                           {0, {{1, {0, 1, 2, 3, 6, 7, 9, 12, 13, 24}}}});
    // 69-71 checkBox_UpCol
    CheckBox(UpColEnabled,               {1, {{0, {0, 13, 14, 22, 24}}}},         {1, {{0, {0, 13, 16, 22, 23}}}},                           {1, {{0, {22}}}});
    // 72-74 checkBox_UpRow
    CheckBox(UpRowEnabled,               {1, {{0, {0, 13, 14, 22, 24}}}},         {1, {{0, {0, 13, 16, 22, 23}}}},                           {1, {{0, {22}}}});
    // 187-189 spinBox_AGC_Centre
    CheckBox(AGCCentreEnabled,           {1, {{0, {0, 13, 24}}}},                 {0},                                                       {1});
    // 190-192 spinBox_AGC_GainClip
    CheckBox(AGCGainClipEnabled,         {1, {{0, {0, 13, 24}}}},                 {1},                                                       {1});
    // 273-275 checkBox_Advanced_user
    CheckBox(AdvancedUserEnabled,        {1, {{0, {0, 13, 24}}}},                 {0},                                                       {1});
    // 342-344 checkBox_GMS
    CheckBox(GMSEnabled,                 {1, {{0, {0, 14, 22}}}},                 {1, {{0, {0, 13, 14, 22}}}},                               {1, {{0, {22, 24}}}});
    // 365-367 checkBox_OAdj2
    CheckBox(OAdj2Enabled,               {0, {{1, {16}}}},                        {0, {{1, {16}}}},                                          {1, {{0, {0}}}});
    // 368-370 checkBox_OAdj1
    CheckBox(OAdj1Enabled,               {0, {{1, {16}}}},                        {0},                                                       {1, {{0, {0}}}});
    // 371-373 checkBox_OAdj0
    CheckBox(OAdj0Enabled,               {0, {{1, {16}}}},                        {0, {{1, {16}}}},                                          {1, {{0, {0}}}});
    // 374-376 checkBox_MAdj2
    CheckBox(MAdj2Enabled,               {0, {{1, {16}}}},                        {0},                                                       {1, {{0, {0}}}});
    // 377-379 checkBox_MAdj1
    CheckBox(MAdj1Enabled,               {0, {{1, {16}}}},                        {0, {{1, {16}}}},                                          {1, {{0, {0}}}});
    // 380-382 checkBox_MAdj0
    CheckBox(MAdj0Enabled,               {0, {{1, {16}}}},                        {0, {{1, {16}}}},                                          {1, {{0, {0}}}});
    // 383-385 checkBox_Ref1
    CheckBox(Ref1Enabled,                {0, {{1, {16}}}},                        {0, {{1, {16}}}},                                          {1, {{0, {0}}}});
    // 386-388 checkBox_Ref0
    CheckBox(Ref0Enabled,                {0, {{1, {16}}}},                        {0, {{1, {16}}}},                                          {1, {{0, {0}}}});
    // 389-391 checkBox_Enable_NUC2pt
    CheckBox(NUC2ptEnabled,              {0},                                     {0},                                                       {1, {{0, {0}}}});

    //            first cell  ticked  enabled              visible
    // 404-406 checkBox_Gamma
    GammaCheckBox(Gamma,      {0},    {0, {{1, {14}}}},    {1, {{0, {0, 13, 24}}}});
}

void FillWidgetStates()
{
    //     first cell                          enabled                          visible
    // 75-76 checkBox_Enable_DAC_A (ticked, visible) and label_ADD02
    Widget(EnableDAC_A,                        {1, {{0, {0, 13, 24}}}},         {1, {{0, {24}}}});
    // 77-78 checkBox_Enable_DAC_B (ticked, visible) and label_ADD03
    Widget(EnableDAC_B,                        {1, {{0, {0, 13, 14, 24}}}},     {1, {{0, {14, 24}}}});
    // 79-80 checkBox_Enable_DAC_C (ticked, visible) and label_ADD0C
    Widget(EnableDAC_C,                        {0, {{1, {3, 6, 7, 9, 10, 12, 16, 21}}}},
                                                                                {0, {{1, {0, 3, 6, 7, 9, 10, 12, 13, 16, 21}}}});
    // 81-82 checkBox_Enable_DAC_D (ticked, visible) and label_ADD0D
    Widget(EnableDAC_D,                        {0, {{1, {3, 6, 7, 9, 10, 12, 21}}}},
                                                                                {0, {{1, {0, 3, 6, 7, 9, 10, 12, 13, 21}}}});
    // 83-84 label_AGC_Centre
    Widget(AGCCentreLabelEnabled,              {1, {{0, {0, 13, 24}}}},         {1});
    // 85-86 label_AGC_GainClip
    Widget(AGCGainClipLabelEnabled,            {1, {{0, {0, 13, 24}}}},         {1});
    // 88-89 label_ImageGain
    Widget(ImageGainLabelEnabled,              {1, {{0, {0, 13}}}},             {1});
    // 90-91 label_ImageOffset
    Widget(ImageOffsetLabelEnabled,            {1, {{0, {0, 13}}}},             {1});
    // 92-93 label_FileName
    Widget(FileNameLabelEnabled,               {1, {{0, {0, 13}}}},             {1});
    // 94-95 checkBox_Enable_TINT and label_TINT
    Widget(TINTLabelEnabled,                   {1, {{0, {0, 13, 24}}}},         {1});
    // 104-105 lineEdit_FileName
    Widget(FileNameEditEnabled,                {1, {{0, {0, 13}}}},             {1});
    // 106-107 pushButton_SaveAllFrames
    Widget(SaveAllFramesButtonEnabled,         {1, {{0, {0, 13}}}},             {1});
    // 108-109 pushButton_Take_Snapshot
    Widget(TakeSnapshotButtonEnabled,          {1, {{0, {0, 13}}}},             {1});
    // 110-111 pushButton_Take_FPN_Reference
    Widget(TakeFPNReferenceButtonEnabled,      {1, {{0, {0, 13}}}},             {1});
    // 112-113 pushButton_SetParameters
    Widget(SetParametersButtonEnabled,         {1, {{0, {0, 13}}}},             {1});
    // 114-115 pushButton_SetWindow
    Widget(SetWindowButtonEnabled,             {1, {{0, {0, 13}}}},             {1});
    // 116-117 pushButton_Start
    Widget(StartButtonEnabled,                 {1, {{0, {0, 13}}}},             {1});
    // 281-282 pushButton_Open_SavedImages_Folder
    Widget(OpenSavedImagesFolderButtonEnabled, {1, {{0, {0, 13}}}},             {1});
}

void FillSingleCells()
{
    // 87 label_CKDIV enabled
    Cell(CKDIVLabelEnabled,        {1, {{0, {0, 13, 24}}}});
    // 96 label_Voltage_ADD02 visible
    Cell(VoltageADD02LabelVisible, {1, {{0, {0, 13, 14, 22, 24}}}});
    // 97 label_Voltage_ADD03 visible
    Cell(VoltageADD03LabelVisible, {1, {{0, {0, 13, 14, 22, 24}}}});
    // 98 label_Voltage_ADD0C visible
    Cell(VoltageADD0CLabelVisible, {0, {{1, {3, 6, 7, 9, 10, 12, 21}}}});
    // 99 label_Voltage_ADD0D visible
    Cell(VoltageADD0DLabelVisible, {0, {{1, {3, 6, 7, 9, 10, 12, 21}}}});
    // 102 line visible
    Cell(LineVisible,              {1, {{0, {0, 13, 14}}}});
    // 103 line_2 visible
    Cell(Line2Visible,             {1, {{0, {14}}}});
    // 393 comboBox_BayerMode enabled
    Cell(BayerModeEnabled,         {0, {{1, {14, 16}}}});
    // 402 spinBox_Gamma enabled
    Cell(GammaSpinBoxEnabled,      {0, {{1, {14}}}});
    // 403 spinBox_Gamma visible
    Cell(GammaSpinBoxVisible,      {1, {{0, {0, 13, 24}}}});
}

void FillSpinBoxes()
{
    const Col perRecord = PerRecordRegisterData();

    //      first cell                enabled                                   max                     min                                                          value                          visible
    // 122-126 horizontalSlider_DAC_A
    SpinBox(DAC_ASliderEnabled,       {1, {{0, {0, 13, 24}}}},                  {4095},                 {0},                                                         perRecord,                    {1});
    // 127-131 horizontalSlider_DAC_B
    SpinBox(DAC_BSliderEnabled,       {1, {{0, {0, 13, 14, 24}}}},              {4095, {{0, {14}}}},    {0},                                                         perRecord,                    {1, {{0, {14}}}});
    // 132-136 horizontalSlider_DAC_C
    SpinBox(DAC_CSliderEnabled,       {0, {{1, {3, 6, 7, 9, 10, 12, 16, 21}}}}, {4095, {{0, {14}}}},    {0},
            {0, {{2100, {3, 7, 9, 12}}, {2300, {6}}, {3072, {10}}, {4095, {21}}}},
                                                                                                                                                                                                    {0, {{1, {0, 3, 6, 7, 9, 10, 12, 13, 16, 21}}}});
    // 137-141 horizontalSlider_DAC_D
    SpinBox(DAC_DSliderEnabled,       {0, {{1, {3, 6, 7, 9, 10, 12, 21}}}},     {4095, {{0, {14}}}},    {0},                                                         perRecord,                    {0, {{1, {0, 3, 6, 7, 9, 10, 12, 13, 21}}}});
    // 142-146 horizontalSlider_ImageGain
    SpinBox(ImageGainSliderEnabled,   {1, {{0, {0, 13}}}},                      {255},                  {0},                                                         {1},                           {1});
    // 147-151 horizontalSlider_ImageOffset
    SpinBox(ImageOffsetSliderEnabled, {1, {{0, {0, 13}}}},                      {65535},                {0},                                                         {0},                           {1});
    // 152-156 horizontalSlider_TINT
    SpinBox(TINTSliderEnabled,        {1, {{0, {0, 13, 24}}}},                  perRecord,              {15, {{2, {4}}, {1, {8, 10, 14, 16, 17, 21, 22, 23}}}},      perRecord,                     {1});
    // 157-161 spinBox_AcqX
    SpinBox(AcqXEnabled,              {0},                                      perRecord,              {2, {{Dash, {14, 22}}}},                                     perRecord,                     {1, {{0, {14}}, {Dash, {22}}}});
    // 162-166 spinBox_AcqY
    SpinBox(AcqYEnabled,              {0, {{Dash, {22}}}},                      perRecord,              {2, {{Dash, {14, 22}}}},                                     perRecord,                     {1, {{0, {14}}, {Dash, {22}}}});
    // 167-171 spinBox_DAC_A
    SpinBox(DAC_AEnabled,             {1, {{0, {0, 13, 24}}}},                  {4095},                 {0},                                                         perRecord,                     {1});
    // 172-176 spinBox_DAC_B
    SpinBox(DAC_BEnabled,             {1, {{0, {0, 13, 14, 24}}}},              {4095, {{Dash, {14}}}}, {0, {{Dash, {14}}}},                                         perRecord,                     {1, {{0, {14}}}});
    // 177-181 spinBox_DAC_C
    SpinBox(DAC_CEnabled,             {0, {{1, {3, 6, 7, 9, 10, 12, 16, 21}}}}, {4095, {{Dash, {14}}}}, {0, {{Dash, {14}}}},                                         perRecord,                     {0, {{1, {0, 3, 6, 7, 9, 10, 12, 13, 16, 21}}}});
    // 182-186 spinBox_DAC_D
    SpinBox(DAC_DEnabled,             {0, {{1, {3, 6, 7, 9, 10, 12, 21}}}},     {4095, {{Dash, {14}}}}, {0, {{Dash, {14}}}},                                         perRecord,                     {0, {{1, {0, 3, 6, 7, 9, 10, 12, 13, 21}}}});
    // 193-197 spinBox_CKDIV
    SpinBox(CKDIVEnabled,             {0},                                      {4095},                 {0},                                                         perRecord,                     {1});
    // 198-202 spinBox_ImageGain
    SpinBox(ImageGainEnabled,         {1, {{0, {0, 13}}}},                      {255},                  {0},                                                         {1},                           {1});
    // 203-207 spinBox_ImageOffset
    SpinBox(ImageOffsetEnabled,       {1, {{0, {0, 13}}}},                      {65535},                {0},                                                         {0},                           {1});
    // 213-217 spinBox_TINT
    SpinBox(TINTEnabled,              {1, {{0, {0, 13, 24}}}},                  perRecord,              {15, {{2, {4, 11}}, {1, {8, 10, 14, 16, 17, 21, 22, 23}}}},  perRecord,                     {1});
    // 218-222 spinBox_XFirst
    SpinBox(XFirstEnabled,            {0, {{Dash, {14, 22}}}},                  perRecord,              {0, {{Dash, {14, 22}}}},                                     {0, {{Dash, {14, 22}}}},       {0, {{Dash, {22}}}});
    // 223-227 spinBox_XLast
    SpinBox(XLastEnabled,             {0, {{Dash, {14, 22}}}},                  perRecord,              {0, {{Dash, {14, 22}}}},                                     perRecord,                     {0, {{Dash, {22}}}});
    // 228-232 spinBox_YFirst
    SpinBox(YFirstEnabled,            {0, {{Dash, {14, 22}}}},                  perRecord,              {0, {{Dash, {14, 22}}}},                                     {0, {{Dash, {14, 22}}}},       {0, {{Dash, {22}}}});
    // 233-237 spinBox_YLast
    SpinBox(YLastEnabled,             {0, {{Dash, {14, 22}}}},                  perRecord,              {0, {{Dash, {14, 22}}}},                                     perRecord,                     {0, {{Dash, {22}}}});
}

} // namespace

void proxy_fill::FillControlDescriptorCells(CellAssign p_Assign)
{
    g_Assign = p_Assign;
    FillCheckBoxes();
    FillWidgetStates();
    FillSingleCells();
    FillSpinBoxes();
}
