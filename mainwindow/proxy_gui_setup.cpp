// MainWindow: applying the current proxy record to the form, the board-kind rules, frame-rate follow-up, model captions and voltage labels.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/header_constants.h"
#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "board/links/board_traits.h"
#include "mainwindow/proxy_controls.h"
#include "params/proxy_lookup.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <vector>

using namespace ProxyParameterId;

namespace {

using R = CellRef;

void PrintLine(const QByteArray& p_Text)
{
    std::fputs(p_Text.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

// ---------------------------------------------------------------------------
// InitGUIWithProxy

ProxyChoiceSource* MainWindow::ProxyChoiceFor(BoardKind p_Kind) const
{
    return BoardTraitsOf(p_Kind).OperatorChoosesProxy ? BelmorProxySource : SetupProxySource;
}

void MainWindow::InitGUIWithProxy()
{
    Log->writeLine("Refresh GUI depending on the proxy");
    const BoardKind iKind = DigiBoardKind;

    // Which record is current: the one the chosen proxy names.
    int iProxy = CurrentProxyIndex;
    if (const ProxyChoiceSource* pChoice = ProxyChoiceFor(iKind)) {
        const QString sText = pChoice->ProxyText();
        PrintLine("Proxy lue : " + sText.toUtf8());
        iProxy = ProxyIndexFromProxyText(sText);
    } else {
        PrintLine("Proxy lue : " + QByteArray(ProxyModelName(iProxy)));
    }
    // A proxy outside the table (a selector out of step) would index past it.
    if (iProxy < 0 || iProxy >= kProxyRecordCount) {
        Log->writeLine("Proxy index " + QString::number(iProxy) + " unknown, no proxy selected");
        iProxy = 0;
    }
    if (iProxy == 9 && FrameRate == 120)
        iProxy = 12;
    SetCurrentProxyIndex(iProxy);
    const int p = CurrentProxyIndex;
    auto apply = [p](const std::vector<DescriptorRow>& p_Rows) {
        for (const DescriptorRow& row : p_Rows)
            ApplyDescriptorRow(row, p);
    };

    // The flip check boxes of some boards start from their own defaults.
    const bool bAltFlip = BoardTraitsOf(iKind).FormFlipsFromAltDefaults;
    if (bAltFlip) {
        SetCurrent(p, UpCol, GetDefault(p, ControlCells::StartColumnFlip));
        SetCurrent(p, UpRow, GetDefault(p, ControlCells::StartRowFlip));
    }
    const R upCol = bAltFlip ? R::C(UpCol) : R::D(UpCol);
    const R upRow = bAltFlip ? R::C(UpRow) : R::D(UpRow);

    apply({
        {ui->checkBox_2Tap, R::D(TwoTapEnabled), R::D(ProxyParameterId::TwoTap), {}, {}, R::D(TwoTapVisible)},
        {ui->checkBox_GMS, R::D(GMSEnabled), R::D(GMS), {}, {}, R::D(GMSVisible)},
        {ui->checkBox_UpCol, R::D(UpColEnabled), upCol, {}, {}, R::D(UpColVisible)},
        {ui->checkBox_UpRow, R::D(UpRowEnabled), upRow, {}, {}, R::D(UpRowVisible)},
        {ui->checkBox_OAdj0, R::D(OAdj0Enabled), R::D(OAdj0), {}, {}, R::D(OAdj0Visible)},
        {ui->checkBox_OAdj1, R::D(OAdj1Enabled), R::D(OAdj1), {}, {}, R::D(OAdj1Visible)},
        {ui->checkBox_OAdj2, R::D(OAdj2Enabled), R::D(OAdj2), {}, {}, R::D(OAdj2Visible)},
        {ui->checkBox_MAdj0, R::D(MAdj0Enabled), R::D(MAdj0), {}, {}, R::D(MAdj0Visible)},
        {ui->checkBox_MAdj1, R::D(MAdj1Enabled), R::D(MAdj1), {}, {}, R::D(MAdj1Visible)},
        {ui->checkBox_MAdj2, R::D(MAdj2Enabled), R::D(MAdj2), {}, {}, R::D(MAdj2Visible)},
        {ui->checkBox_Ref0, R::D(Ref0Enabled), R::D(Ref0), {}, {}, R::D(Ref0Visible)},
        {ui->checkBox_Ref1, R::D(Ref1Enabled), R::D(Ref1), {}, {}, R::D(Ref1Visible)},
        {ui->checkBox_Gain0, R::D(Gain0Enabled), R::D(Gain0), {}, {}, R::D(Gain0Visible)},
        {ui->checkBox_Gain1, R::D(Gain1Enabled), R::D(Gain1), {}, {}, R::D(Gain1Visible)},
        {ui->checkBox_Gain2, R::D(Gain2Enabled), R::D(Gain2), {}, {}, R::D(Gain2Visible)},
        {ui->checkBox_SizeA, R::D(SizeAEnabled), R::D(SizeA), {}, {}, R::D(SizeAVisible)},
    });
    ui->checkBox_SizeA->setText(QStringLiteral("Default size"));
    apply({{ui->checkBox_SizeB, R::D(SizeBEnabled), R::D(SizeB), {}, {}, R::D(SizeBVisible)}});

    DefaultImageSizeCode = 1;
    const uint32_t uBlind = GetDefault(p, ControlCells::BlindColumns);
    BlindColumnsLeft = static_cast<int>(uBlind & 15);
    BlindColumnsRight = static_cast<int>(uBlind >> 4);

    apply({
        {ui->spinBox_XFirst, R::D(XFirstEnabled), R::D(XFirst), R::D(XFirstMin), R::D(XFirstMax), R::D(XFirstVisible)},
        {ui->spinBox_XLast, R::D(XLastEnabled), R::D(XLast), R::D(XLastMin), R::D(XLastMax), R::D(XLastVisible)},
        {ui->spinBox_YFirst, R::D(YFirstEnabled), R::D(YFirst), R::D(YFirstMin), R::D(YFirstMax), R::D(YFirstVisible)},
        {ui->spinBox_YLast, R::D(YLastEnabled), R::D(YLast), R::D(YLastMin), R::D(YLastMax), R::D(YLastVisible)},
        {ui->spinBox_AcqX, R::D(AcqXEnabled), R::D(AcqX), R::D(AcqXMin), R::D(AcqXMax), R::D(AcqXVisible)},
        {ui->spinBox_AcqY, R::D(AcqYEnabled), R::D(AcqY), R::D(AcqYMin), R::D(AcqYMax), R::D(AcqYVisible)},
        {ui->line, {}, {}, {}, {}, R::D(LineVisible)},
        {ui->line_2, {}, {}, {}, {}, R::D(Line2Visible)},
        {ui->pushButton_SetWindow, R::D(SetWindowButtonEnabled), {}, {}, {}, R::D(SetWindowButtonVisible)},
        {ui->checkBox_Enable_TINT, R::D(TINTLabelEnabled), {}, {}, {}, R::D(TINTLabelVisible)},
        {ui->label_TINT, R::D(TINTLabelEnabled), {}, {}, {}, R::D(TINTLabelVisible)},
        {ui->horizontalSlider_TINT, R::D(TINTSliderEnabled), R::D(TINTSlider), R::D(TINTSliderMin),
         R::D(TINTSliderMax), R::D(TINTSliderVisible)},
    });
    ui->horizontalSlider_TINT->setSingleStep(1);
    apply({{ui->spinBox_TINT, R::D(TINTEnabled), R::D(TINT), R::D(TINTMin), R::D(TINTMax), R::D(TINTVisible)}});
    ui->spinBox_TINT->setSingleStep(1);

    apply({
        {ui->checkBox_Enable_DAC_A, {}, R::D(EnableDAC_A), {}, {}, R::D(EnableDAC_AVisible)},
        {ui->label_ADD02, R::D(EnableDAC_A), {}, {}, {}, R::D(EnableDAC_AVisible)},
        {ui->horizontalSlider_DAC_A, R::D(DAC_ASliderEnabled), R::D(DAC_ASlider), R::D(DAC_ASliderMin),
         R::D(DAC_ASliderMax), R::D(DAC_ASliderVisible)},
        {ui->spinBox_DAC_A, R::D(DAC_AEnabled), R::D(DAC_A), R::D(DAC_AMin), R::D(DAC_AMax), R::D(DAC_AVisible)},
        {ui->checkBox_Enable_DAC_B, {}, R::D(EnableDAC_B), {}, {}, R::D(EnableDAC_BVisible)},
        {ui->label_ADD03, R::D(EnableDAC_B), {}, {}, {}, R::D(EnableDAC_BVisible)},
        {ui->horizontalSlider_DAC_B, R::D(DAC_BSliderEnabled), R::D(DAC_BSlider), R::D(DAC_BSliderMin),
         R::D(DAC_BSliderMax), R::D(DAC_BSliderVisible)},
        {ui->spinBox_DAC_B, R::D(DAC_BEnabled), R::D(DAC_B), R::D(DAC_BMin), R::D(DAC_BMax), R::D(DAC_BVisible)},
        {ui->checkBox_Enable_DAC_C, {}, R::D(EnableDAC_C), {}, {}, R::D(EnableDAC_CVisible)},
        {ui->label_ADD0C, R::D(EnableDAC_C), {}, {}, {}, R::D(EnableDAC_CVisible)},
        {ui->horizontalSlider_DAC_C, R::D(DAC_CSliderEnabled), R::D(DAC_CSlider), R::D(DAC_CSliderMin),
         R::D(DAC_CSliderMax), R::D(DAC_CSliderVisible)},
        {ui->spinBox_DAC_C, R::D(DAC_CEnabled), R::D(DAC_C), R::D(DAC_CMin), R::D(DAC_CMax), R::D(DAC_CVisible)},
        {ui->checkBox_Enable_DAC_D, {}, R::D(EnableDAC_D), {}, {}, R::D(EnableDAC_DVisible)},
        {ui->label_ADD0D, R::D(EnableDAC_D), {}, {}, {}, R::D(EnableDAC_DVisible)},
        {ui->horizontalSlider_DAC_D, R::D(DAC_DSliderEnabled), R::D(DAC_DSlider), R::D(DAC_DSliderMin),
         R::D(DAC_DSliderMax), R::D(DAC_DSliderVisible)},
        {ui->spinBox_DAC_D, R::D(DAC_DEnabled), R::D(DAC_D), R::D(DAC_DMin), R::D(DAC_DMax), R::D(DAC_DVisible)},
    });
    if (ConfigurationCustom)
        ApplyCustomFrameRateToDacs();

    apply({
        {ui->label_Voltage_ADD02, {}, {}, {}, {}, R::D(VoltageADD02LabelVisible)},
        {ui->label_Voltage_ADD03, {}, {}, {}, {}, R::D(VoltageADD03LabelVisible)},
        {ui->label_Voltage_ADD0C, {}, {}, {}, {}, R::D(VoltageADD0CLabelVisible)},
        {ui->label_Voltage_ADD0D, {}, {}, {}, {}, R::D(VoltageADD0DLabelVisible)},
    });

    ApplyClockDividerControls();
    if (ConfigurationCustom)
        ApplyCustomFrameRateToDivider();

    apply({
        {ui->pushButton_SetParameters, R::D(SetParametersButtonEnabled), {}, {}, {}, R::D(SetParametersButtonVisible)},
        {ui->comboBox_BPCorrectionMode, R::D(BPCorrectionModeEnabled), {}, {}, {}, R::D(BPCorrectionModeVisible)},
        {ui->checkBox_ApplyNUC, R::D(ApplyNUCEnabled), R::D(ApplyNUC), {}, {}, R::D(ApplyNUCVisible)},
        {ui->checkBox_Enable_AverageFPN, R::D(ApplyNUCEnabled), R::D(ApplyNUC), {}, {}, R::D(ApplyNUCVisible)},
        {ui->checkBox_Enable_NUC2pt, R::D(NUC2ptEnabled), R::D(NUC2pt), {}, {}, R::D(NUC2ptVisible)},
        {ui->spinBox_Number_Images_AverageFPN, R::F(0), {}, {}, {}, R::F(1)},
        {ui->pushButton_Take_FPN_Reference, R::D(TakeFPNReferenceButtonEnabled), {}, {}, {},
         R::D(TakeFPNReferenceButtonVisible)},
        {ui->label_ImageGain, R::D(ImageGainLabelEnabled), {}, {}, {}, R::D(ImageGainLabelVisible)},
        {ui->horizontalSlider_ImageGain, R::D(ImageGainSliderEnabled), R::D(ImageGainSlider),
         R::D(ImageGainSliderMin), R::D(ImageGainSliderMax), R::D(ImageGainSliderVisible)},
        {ui->spinBox_ImageGain, R::D(ImageGainEnabled), R::D(ImageGain), R::D(ImageGainMin), R::D(ImageGainMax),
         R::D(ImageGainVisible)},
        {ui->label_ImageOffset, R::D(ImageOffsetLabelEnabled), {}, {}, {}, R::D(ImageOffsetLabelVisible)},
        {ui->horizontalSlider_ImageOffset, R::D(ImageOffsetSliderEnabled), R::D(ImageOffsetSlider),
         R::Doubled(ImageOffsetSliderMin), R::Doubled(ImageOffsetSliderMax), R::D(ImageOffsetSliderVisible)},
        {ui->spinBox_ImageOffset, R::D(ImageOffsetEnabled), R::D(ImageOffset), R::Doubled(ImageOffsetMin),
         R::Doubled(ImageOffsetMax), R::D(ImageOffsetVisible)},
    });
    ui->spinBox_ImageOffset->setSingleStep(50);
    apply({
        {ui->checkBox_HDR, R::D(HDREnabled), R::D(HDR), {}, {}, R::D(HDRVisible)},
        {ui->checkBox_InvertBW, R::D(InvertBWEnabled), R::D(InvertBW), {}, {}, R::D(InvertBWVisible)},
        {ui->comboBox_InterpolationMethod, R::D(InterpolationMethodEnabled), R::D(InterpolationMethod), {}, {},
         R::D(InterpolationMethodVisible)},
        {ui->comboBox_BayerMode, R::D(BayerModeEnabled), R::F(0), {}, {}, R::F(1)},
        {ui->checkBox_AGC, R::D(AGCEnabled), R::D(AGC), {}, {}, R::D(AGCVisible)},
    });
    AGCMargin = static_cast<int>(GetDefault(p, ControlCells::AGCMargin));
    apply({
        {ui->spinBox_Gamma, R::D(GammaSpinBoxEnabled), R::F(1), {}, {}, R::D(GammaSpinBoxVisible)},
        {ui->checkBox_Gamma, R::D(GammaEnabled), R::D(ProxyParameterId::Gamma), {}, {}, R::D(GammaVisible)},
        {ui->spinBox_AGC_GainClip, R::D(AGCGainClipEnabled), R::F(32), {}, {}, R::D(AGCGainClipVisible)},
        {ui->spinBox_AGC_Centre, R::D(AGCCentreEnabled), R::F(127), {}, {}, R::D(AGCCentreVisible)},
        {ui->label_AGC_GainClip, R::D(AGCGainClipLabelEnabled), {}, {}, {}, R::D(AGCGainClipLabelVisible)},
        {ui->label_AGC_Centre, R::D(AGCCentreLabelEnabled), {}, {}, {}, R::D(AGCCentreLabelVisible)},
        {ui->label_FileName, R::D(FileNameLabelEnabled), {}, {}, {}, R::D(FileNameLabelVisible)},
        {ui->lineEdit_FileName, R::D(FileNameEditEnabled), {}, {}, {}, R::D(FileNameEditVisible)},
    });
    ui->label_State->setText(QStringLiteral("Ready"));
    apply({
        {ui->checkBox_SaveStream, R::F(0), R::D(SaveStream), {}, {}, R::D(SaveStreamVisible)},
        {ui->checkBox_RAW, R::D(SaveRAWEnabled), R::D(SaveRAW), {}, {}, R::D(SaveRAWVisible)},
        {ui->checkBox_JPG, R::D(SaveJPGEnabled), R::D(SaveJPG), {}, {}, R::D(SaveJPGVisible)},
        {ui->checkBox_CSV, R::D(SaveCSVEnabled), R::D(SaveCSV), {}, {}, R::D(SaveCSVVisible)},
        {ui->checkBox_BMP, R::D(SaveBMPEnabled), R::D(SaveBMP), {}, {}, R::D(SaveBMPVisible)},
        {ui->pushButton_Take_Snapshot, R::D(TakeSnapshotButtonEnabled), {}, {}, {}, R::D(TakeSnapshotButtonVisible)},
        {ui->pushButton_SaveAllFrames, R::D(SaveAllFramesButtonEnabled), {}, {}, {},
         R::D(SaveAllFramesButtonVisible)},
        {ui->pushButton_Open_SavedImages_Folder, R::C(OpenSavedImagesFolderButtonEnabled), {}, {}, {},
         R::C(OpenSavedImagesFolderButtonVisible)},
        {ui->pushButton_Start, R::D(StartButtonEnabled), {}, {}, {}, R::D(StartButtonVisible)},
        {ui->pushButton_ZoomM, R::F(0), {}, {}, {}, {}},
        {ui->pushButton_ZoomP, R::F(0), {}, {}, {}, {}},
    });

    // What the sensor was last given: the record's defaults.
    static constexpr int kSentCells[LastSentParameterCount] = {
        TINT, DAC_A, DAC_B, DAC_C, DAC_D, OAdj0, OAdj1, OAdj2, MAdj0, MAdj1, MAdj2,
        Ref0, Ref1, UpCol, UpRow, Gain0, Gain1, Gain2, SizeA, SizeB, CKDIV};
    for (int i = 0; i < LastSentParameterCount; ++i)
        LastSentParameters[i] = static_cast<int>(GetDefault(p, kSentCells[i]));

    applyProxyModelDefaults();

    const QString sProxyFolder = QString::fromUtf8(SavedImagesDir) + ProxyName;
    if (!QFileInfo(sProxyFolder).isDir()) {
        if (QDir().mkpath(sProxyFolder)) {
            Log->writeLine(ProxyName + " SavedImages folder created.");
        } else {
            Log->writeLine("Proxy SavedImages folder can't be created.");
            PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Folder can't be created"),
                               "The " + ProxyName + " SavedImages folder can't be created.",
                               {QStringLiteral("OK")}});
        }
    }

    UpdateGUI();

    const bool bSizeA = ui->checkBox_SizeA->isChecked();
    const bool bSizeB = ui->checkBox_SizeB->isChecked();
    ImageSizeCode = bSizeA && bSizeB ? 3 : bSizeA ? 1 : bSizeB ? 2 : 0;
    PrintLine("Windowing default OK");
}

void MainWindow::ApplyClockDividerControls()
{
    const int p = CurrentProxyIndex;
    const BoardKind iKind = DigiBoardKind;
    const bool bAdvanced = AdvancedUserAuthenticated != 0;

    // Row 51: the clock divider.
    if (bAdvanced) {
        ui->spinBox_CKDIV->setEnabled(true);
        SetCurrent(p, CKDIVEnabled, 1);
    } else {
        ui->spinBox_CKDIV->setEnabled(GetDefault(p, CKDIVEnabled) != 0);
    }
    ui->spinBox_CKDIV->setRange(static_cast<int>(GetDefault(p, CKDIVMin)), static_cast<int>(GetDefault(p, CKDIVMax)));
    const int iStartCell = BoardTraitsOf(iKind).CKDIVStartCell;
    if (iStartCell >= 0)
        SetClockDividerControl(GetDefault(p, iStartCell), "start value");

    // Rows 52 to 54: advanced users see the current halves.
    const std::vector<DescriptorRow> rows = bAdvanced
        ? std::vector<DescriptorRow>{
              {ui->checkBox_DACFilter, R::C(DACFilterEnabled), R::C(DACFilter), {}, {}, R::C(DACFilterVisible)},
              {ui->checkBox_InvPClock, R::C(InvPClockEnabled), R::C(InvPClock), {}, {}, R::C(InvPClockVisible)}}
        : std::vector<DescriptorRow>{
              {ui->checkBox_DACFilter, R::D(DACFilterEnabled), R::D(DACFilter), {}, {}, R::D(DACFilterVisible)},
              {ui->checkBox_InvPClock, R::D(InvPClockEnabled), R::D(InvPClock), {}, {}, R::D(InvPClockVisible)}};
    for (const DescriptorRow& row : rows)
        ApplyDescriptorRow(row, p);
    if (bAdvanced) {
        ui->label_CKDIV->setEnabled(true);
        SetCurrent(p, CKDIVLabelEnabled, 1);
        ui->checkBox_Advanced_user->setEnabled(true);
        SetCurrent(p, AdvancedUserEnabled, 1);
        ui->checkBox_Advanced_user->setChecked(true);
        SetCurrent(p, AdvancedUser, 1);
        ui->checkBox_Advanced_user->setVisible(true);
        SetCurrent(p, AdvancedUserVisible, 1);
    } else {
        ui->label_CKDIV->setEnabled(GetDefault(p, CKDIVLabelEnabled) != 0);
        ApplyDescriptorRow({ui->checkBox_Advanced_user, R::D(AdvancedUserEnabled), R::D(AdvancedUser), {}, {},
                            R::D(AdvancedUserVisible)},
                           p);
    }
}

bool MainWindow::SetClockDividerControl(uint32_t p_uValue, const char* p_szWhat)
{
    if (p_uValue == ProxyParameterNotSet) {
        Log->writeLine(QStringLiteral("CKDIV ") + QLatin1String(p_szWhat) + " not defined for proxy "
                       + QString::number(CurrentProxyIndex) + ", CKDIV left unchanged");
        return false;
    }
    ui->spinBox_CKDIV->setValue(static_cast<int>(p_uValue));
    return true;
}

void MainWindow::SetGskDac(uint32_t p_uChannel, uint32_t p_uGsk, bool p_bWriteCells)
{
    const GskDacCells cells = GskDacForChannel(p_uChannel);
    if (cells.dac < 0)
        return;
    const int p = CurrentProxyIndex;
    if (p_bWriteCells) {
        SetCurrent(p, cells.spinBoxCell, p_uGsk);
        SetCurrent(p, cells.sliderCell, p_uGsk);
    }
    QSpinBox* spins[4] = {ui->spinBox_DAC_A, ui->spinBox_DAC_B, ui->spinBox_DAC_C, ui->spinBox_DAC_D};
    QSlider* sliders[4] = {ui->horizontalSlider_DAC_A, ui->horizontalSlider_DAC_B, ui->horizontalSlider_DAC_C,
                           ui->horizontalSlider_DAC_D};
    spins[cells.dac]->setValue(static_cast<int>(p_uGsk));
    sliders[cells.dac]->setValue(static_cast<int>(p_uGsk));
}

void MainWindow::ApplyCustomFrameRateToDacs()
{
    const int p = CurrentProxyIndex;
    const BoardKind iKind = DigiBoardKind;
    const uint32_t uChannel = GetCurrent(p, ControlCells::GSKChannel);

    // The DAC that carries GSK shows its current values.
    const GskDacCells cells = GskDacForChannel(uChannel);
    if (cells.dac >= 0) {
        QSlider* sliders[4] = {ui->horizontalSlider_DAC_A, ui->horizontalSlider_DAC_B, ui->horizontalSlider_DAC_C,
                               ui->horizontalSlider_DAC_D};
        QSpinBox* spins[4] = {ui->spinBox_DAC_A, ui->spinBox_DAC_B, ui->spinBox_DAC_C, ui->spinBox_DAC_D};
        sliders[cells.dac]->setValue(static_cast<int>(GetCurrent(p, cells.sliderCell)));
        spins[cells.dac]->setValue(static_cast<int>(GetCurrent(p, cells.spinBoxCell)));
    }
    if (!FirstStart)
        return;

    const BoardTraits& traits = BoardTraitsOf(iKind);
    if (traits.FirstStartDropsCKDIVHighBit)
        SetCurrent(p, ControlCells::CKDIVHighBit, 0);
    const uint32_t uHigh = GetCurrent(p, ControlCells::CKDIVHighBit);
    const int iRate = FrameRate;
    const int i = FrameRatePosition(iRate);
    uint32_t uDividerCell = ProxyParameterNotSet;
    uint32_t uGsk = ProxyParameterNotSet;
    bool bWithHigh = true;
    double dVideoRate = 30.0;
    if (i >= 0) {
        uDividerCell = GetCurrent(p, ControlCells::CKDIVPerFrameRate + i);
        uGsk = GetCurrent(p, ControlCells::GSKPerFrameRate + i);
        dVideoRate = iRate;
    } else if (iRate == kCustomFrameRate) {
        // The 30 FPS divider alone, as the board's custom set-up starts from it.
        uDividerCell = GetCurrent(p, ControlCells::CKDIVPerFrameRate + 1);
        uGsk = GetCurrent(p, ControlCells::CustomGSK);
        bWithHigh = false;
    } else {
        uDividerCell = traits.CKDIVStartCell >= 0 ? GetDefault(p, traits.CKDIVStartCell) : 0;
        uGsk = GetCurrent(p, ControlCells::CustomGSK);
    }
    ui->spinBox_FrameRate->setValue(dVideoRate);
    if (uDividerCell == ProxyParameterNotSet || (bWithHigh && uHigh == ProxyParameterNotSet))
        Log->writeLine("CKDIV not defined for proxy " + QString::number(p) + " at " + QString::number(iRate)
                       + " FPS, CKDIV left unchanged");
    else
        SetCurrent(p, CKDIV, (bWithHigh ? (uHigh << 10) : 0u) + uDividerCell);
    if (uGsk == ProxyParameterNotSet) {
        if (GskDacForChannel(uChannel).dac >= 0)
            Log->writeLine("GSK not defined for proxy " + QString::number(p) + " at " + QString::number(iRate)
                           + " FPS, GSK left unchanged");
    } else {
        SetGskDac(uChannel, uGsk, true);
    }
}

void MainWindow::ApplyCustomFrameRateToDivider()
{
    const int p = CurrentProxyIndex;
    const BoardKind iKind = DigiBoardKind;
    const BoardTraits& traits = BoardTraitsOf(iKind);
    if (traits.RateDividerDropsCKDIVHighBit)
        SetCurrent(p, ControlCells::CKDIVHighBit, 0);
    const uint32_t uHigh = GetCurrent(p, ControlCells::CKDIVHighBit);
    const int iRate = FrameRate;
    const int i = FrameRatePosition(iRate);
    uint32_t uLow = ProxyParameterNotSet;
    bool bChange = true;
    double dVideoRate = 30.0;
    if (i >= 0) {
        uLow = GetCurrent(p, ControlCells::CKDIVPerFrameRate + i);
        dVideoRate = iRate;
    } else if (iRate == kCustomFrameRate) {
        const uint32_t uCustom = GetCurrent(p, ControlCells::CustomCKDIV);
        uLow = uCustom == ProxyParameterNotSet ? ProxyParameterNotSet : (uCustom & 1023);
    } else if (traits.RateDividerFromStartCell) {
        uLow = GetDefault(p, traits.CKDIVStartCell);
    } else {
        bChange = false;
    }
    if (bChange) {
        if (uHigh == ProxyParameterNotSet)
            SetClockDividerControl(ProxyParameterNotSet, "high part");
        else if (uLow == ProxyParameterNotSet)
            SetClockDividerControl(ProxyParameterNotSet, ("at " + QByteArray::number(iRate) + " FPS").constData());
        else
            SetClockDividerControl((uHigh << 10) + uLow, "frame-rate value");
    }
    ui->spinBox_FrameRate->setValue(dVideoRate);
}

// ---------------------------------------------------------------------------
// UpdateGUI

void MainWindow::UpdateGUI()
{
    emit CommandsBoardChanged(ui->comboBox_SelectDigiBoard->currentText());

    const BoardKind iKind = DigiBoardKind;
    if (iKind == BoardKind::None) {
        ui->checkBox_2Tap->setEnabled(false);
        ui->pushButton_Start->setEnabled(false);
    } else if (BoardTraitsOf(iKind).Kind != BoardKind::None) {
        if (BoardTraitsOf(iKind).OneProxyOnly) {
            SetCurrentProxyIndex(kEskraProxyIndex);
            ui->label_Info_Proxy_Freq->setText(QStringLiteral("Only with Z603 @6.8FPS"));
        }
        ApplyBoardKindRules(iKind);
    }

    const bool bProxy = CurrentProxyIndex != kNoProxyIndex;
    for (QWidget* pBox : {static_cast<QWidget*>(ui->groupBox_BadPixeCorrection),
                          static_cast<QWidget*>(ui->groupBox_DisplayParameters), static_cast<QWidget*>(ui->groupBox_NUC),
                          static_cast<QWidget*>(ui->groupBox_ProxyParameters),
                          static_cast<QWidget*>(ui->groupBox_SaveImage),
                          static_cast<QWidget*>(ui->groupBox_SensorParameters),
                          static_cast<QWidget*>(ui->groupBox_RecordingVideo)})
        pBox->setEnabled(bProxy);
}

void MainWindow::ApplyBoardKindRules(BoardKind p_Kind)
{
    const int p = CurrentProxyIndex;
    const BoardTraits& traits = BoardTraitsOf(p_Kind);
    const bool bEmbedded = traits.EmbeddedProcessing;

    // Image gain and offset start neutral.
    ui->spinBox_ImageGain->setRange(1, 255);
    ui->spinBox_ImageGain->setValue(1);
    ui->horizontalSlider_ImageGain->setRange(1, 255);
    ui->horizontalSlider_ImageGain->setValue(1);
    ui->horizontalSlider_ImageOffset->setValue(0);
    ui->spinBox_ImageOffset->setValue(0);
    SetCurrent(p, ImageGainSliderMax, 255);
    SetCurrent(p, ImageGainSlider, 1);
    SetCurrent(p, ImageOffsetSlider, 0);
    if (!traits.KeepsRecordCells)
        SetCurrent(p, ImageGain, 1);
    SetCurrent(p, ImageOffset, 0);

    const QAbstractSpinBox::ButtonSymbols symbols =
        traits.ImageSpinBoxesWithoutArrows ? QAbstractSpinBox::NoButtons : QAbstractSpinBox::UpDownArrows;
    ui->spinBox_ImageGain->setButtonSymbols(symbols);
    ui->spinBox_ImageOffset->setButtonSymbols(symbols);

    // The boards that run their own gain control offer no AGC here.
    if (bEmbedded) {
        ui->checkBox_AGC->setChecked(false);
        ui->checkBox_AGC->setEnabled(false);
        SetCurrent(p, AGC, 0);
        SetCurrent(p, AGCEnabled, 0);
        SetCurrent(p, ControlCells::AGCAuxiliary, 0);
        SetCurrent(p, ControlCells::AGCMargin, 5);
        SetCurrent(p, ControlCells::AGCThreshold, 5);
        ui->label_AGC_Centre->setEnabled(false);
        ui->label_AGC_GainClip->setEnabled(false);
        SetCurrent(p, AGCCentreLabelEnabled, 0);
        SetCurrent(p, AGCGainClipLabelEnabled, 0);
        ui->spinBox_AGC_GainClip->setEnabled(false);
        ui->spinBox_AGC_GainClip->setValue(32);
        SetCurrent(p, AGCGainClipEnabled, 0);
        SetCurrent(p, AGCGainClip, 32);
        ui->spinBox_AGC_Centre->setEnabled(false);
        ui->spinBox_AGC_Centre->setValue(127);
        SetCurrent(p, AGCCentreEnabled, 0);
        SetCurrent(p, AGCCentre, 0);
    }

    // Where the one-point NUC runs.
    const bool bSwitchesNuc = traits.OperatorSwitchesNuc;
    if (bEmbedded) {
        ui->checkBox_ApplyNUC->setEnabled(bSwitchesNuc);
        ui->checkBox_ApplyNUC->setChecked(false);
        ui->checkBox_ApplyNUC->setText(bSwitchesNuc ? QStringLiteral("1 point NUC Embedded")
                                                    : QStringLiteral("1 point NUC"));
        ui->checkBox_Enable_AverageFPN->setEnabled(false);
        SetCurrent(p, ApplyNUCEnabled, 1);
        SetCurrent(p, ApplyNUC, 0);
        ui->action_NUCHardware->setChecked(true);
        ui->action_NUCHardware->setEnabled(bSwitchesNuc);
        ui->action_NUCSoftware->setChecked(false);
        ui->action_NUCSoftware->setEnabled(bSwitchesNuc);
        SoftwareNUC = false;
        ui->label_NUCType_Val->setText(QStringLiteral("Hardware"));
    } else {
        ui->checkBox_ApplyNUC->setText(QStringLiteral("1 point NUC"));
        ui->checkBox_Enable_AverageFPN->setEnabled(true);
        if (traits.AverageFpnAtStart)
            ui->checkBox_Enable_AverageFPN->setChecked(true);
        ui->action_NUCHardware->setChecked(false);
        ui->action_NUCHardware->setEnabled(bSwitchesNuc);
        ui->action_NUCSoftware->setChecked(true);
        ui->action_NUCSoftware->setEnabled(bSwitchesNuc);
        SoftwareNUC = true;
        ui->label_NUCType_Val->setText(QStringLiteral("Software"));
    }

    ui->comboBox_BPCorrectionMode->setEnabled(false);
    if (!traits.KeepsRecordCells)
        SetCurrent(p, BPCorrectionModeEnabled, 0);

    if (bEmbedded) {
        ui->pushButton_Take_FPN_Reference->setEnabled(true);

        // The clock divider: read-only without the advanced-user password.
        const int iMin = static_cast<int>(GetDefault(p, CKDIVMin));
        const int iMax = static_cast<int>(GetDefault(p, CKDIVMax));
        if (p == kNoProxyIndex) {
            ui->spinBox_CKDIV->setEnabled(false);
            SetCurrent(p, CKDIVEnabled, 0);
            ui->spinBox_CKDIV->setRange(iMin, iMax);
            SetClockDividerControl(GetCurrent(p, CKDIV), "value");
        } else {
            ui->spinBox_CKDIV->setEnabled(AdvancedUserAuthenticated != 0);
            SetCurrent(p, CKDIVEnabled, static_cast<uint32_t>(AdvancedUserAuthenticated));
            ui->spinBox_CKDIV->setRange(iMin, iMax);
        }

        // Two-tap readout exists only for records 7 and 12 on these boards.
        if (p == 7 || p == 12) {
            ui->checkBox_2Tap->setVisible(true);
            SetCurrent(p, TwoTapVisible, 1);
        } else {
            ui->checkBox_2Tap->setEnabled(false);
            ui->checkBox_2Tap->setVisible(false);
            SetCurrent(p, TwoTapEnabled, 0);
            SetCurrent(p, TwoTapVisible, 0);
        }
    } else if (!traits.KeepsRecordCells) {
        ui->checkBox_2Tap->setEnabled(false);
        ui->checkBox_2Tap->setVisible(false);
        SetCurrent(p, TwoTapEnabled, 0);
        SetCurrent(p, TwoTapVisible, 0);
    }

    // Windowing is driven from its own window on the Camera Link boards, not offered elsewhere.
    QWidget* windowing[9] = {ui->checkBox_SizeA,  ui->checkBox_SizeB,  ui->spinBox_AcqX,
                             ui->spinBox_AcqY,    ui->spinBox_XFirst,  ui->spinBox_XLast,
                             ui->spinBox_YFirst,  ui->spinBox_YLast,   ui->pushButton_SetWindow};
    if (traits.WindowingCellsKept) {
        for (QWidget* pWidget : windowing)
            pWidget->setVisible(false);
        ui->line->setVisible(false);
        ui->line_2->setVisible(false);
    } else {
        for (QWidget* pWidget : windowing) {
            pWidget->setEnabled(false);
            pWidget->setVisible(false);
        }
        for (int iCell : {SizeAEnabled, SizeAVisible, SizeBEnabled, SizeBVisible, AcqXEnabled, AcqXVisible, AcqYEnabled,
                          AcqYVisible, XFirstEnabled, XFirstVisible, XLastEnabled, XLastVisible, YFirstEnabled,
                          YFirstVisible, YLastEnabled, YLastVisible, SetWindowButtonEnabled, SetWindowButtonVisible})
            SetCurrent(p, iCell, 0);
        ui->line->setVisible(false);
        ui->line_2->setVisible(false);
        SetCurrent(p, LineVisible, 0);
        SetCurrent(p, Line2Visible, 0);
    }
}

// ---------------------------------------------------------------------------
// UpdateValuesOnDynamicFrequency

void MainWindow::UpdateValuesOnDynamicFrequency(int frameRate)
{
    Log->writeLine("Update values for Dynamic reconfiguration");
    const int p = CurrentProxyIndex;
    const uint32_t uChannel = GetCurrent(p, ControlCells::GSKChannel);
    const FrameRateValues values = DynamicFrequencyValues(p, frameRate);
    if (values.listed) {
        ConfigurationCustom = true;
        if (values.ckdiv)
            SetCurrent(p, CKDIV, *values.ckdiv);
        Log->writeLine("After Dynamic Reconfiguration, on ProxyBoard " + QString::number(p) + " CKDIV = "
                       + (values.ckdiv ? QString::number(*values.ckdiv) : QStringLiteral("not defined"))
                       + " - GSK = " + (values.gsk ? QString::number(*values.gsk) : QStringLiteral("not defined")));
        if (values.ckdiv)
            ui->spinBox_CKDIV->setValue(static_cast<int>(*values.ckdiv));
        else
            SetClockDividerControl(ProxyParameterNotSet, ("at " + QByteArray::number(frameRate) + " FPS").constData());
        if (values.gsk)
            SetGskDac(uChannel, *values.gsk, true);
        else if (GskDacForChannel(uChannel).dac >= 0)
            Log->writeLine("GSK not defined for proxy " + QString::number(p) + " at " + QString::number(frameRate)
                           + " FPS, GSK left unchanged");
        return;
    }
    // The board's default configuration: only the divider follows.
    const BoardKind iKind = DigiBoardKind;
    if (BoardTraitsOf(iKind).CKDIVStartCell >= 0)
        SetClockDividerControl(DefaultFrequencyDivider(p, iKind).value_or(ProxyParameterNotSet), "default value");
    else
        ui->spinBox_CKDIV->setValue(frameRate);
}

// ---------------------------------------------------------------------------
// Model captions

void MainWindow::applyProxyModelDefaults()
{
    const int p = CurrentProxyIndex;
    if (p == kNoProxyIndex) {
        ProxyName.clear();
        if (ui->pushButton_Start->isEnabled())
            ui->pushButton_Start->setEnabled(false);
        for (int r = 0; r < kProxyRecordCount; ++r)
            for (int c = 0; c < kProxyParameterCount; ++c)
                ResetCurrent(r, c);
        ui->checkBox_SizeA->setText(QStringLiteral("Size A"));
        DefaultImageSizeCode = 1;
    } else {
        const std::optional<ProxyModelDefaults> model = ProxyModelDefaultsFor(p);
        if (!model)
            return;
        ProxyName = model->name;
        ui->checkBox_SizeA->setText(model->sizeACaption);
        DefaultImageSizeCode = model->camFileSizeMode;
    }
    if (const HeaderConstants::ProxyControlLabelSet* pLabels = HeaderConstants::ProxyControlLabelsFor(p)) {
        ui->label_TINT->setText(pLabels->Tint);
        ui->label_ADD02->setText(pLabels->Add02);
        ui->label_ADD03->setText(pLabels->Add03);
        ui->label_ADD0C->setText(pLabels->Add0C);
        ui->label_ADD0D->setText(pLabels->Add0D);
    }
    if (p == kNoProxyIndex)
        return;
    const std::optional<ProxyModelDefaults> model = ProxyModelDefaultsFor(p);
    ui->label_Voltage_ADD02->setText(model->voltage02);
    ui->label_Voltage_ADD03->setText(model->voltage03);
    ui->label_Voltage_ADD0C->setText(model->voltage0C);
    ui->label_Voltage_ADD0D->setText(model->voltage0D);

    if (p == 14) {
        const std::optional<ExposureRange> range =
            X1550ExposureRange(FrameRate, ui->spinBox_CKDIV->value(), GetDefault(p, TINTSlider), GetDefault(p, TINT));
        if (!range) {
            Log->writeLine("Frame rate not known yet, exposure ranges kept");
            return;
        }
        ui->horizontalSlider_TINT->setRange(range->minimum, range->maximum);
        ui->horizontalSlider_TINT->setValue(range->sliderValue);
        ui->horizontalSlider_TINT->setSingleStep(range->singleStep);
        ui->spinBox_TINT->setRange(range->minimum, range->maximum);
        ui->spinBox_TINT->setValue(range->spinBoxValue);
        ui->spinBox_TINT->setSingleStep(range->singleStep);
    }
}

// ---------------------------------------------------------------------------
// Voltage labels and the histogram count

void MainWindow::updateLabelVoltage_ADD02(int p_iValue)
{
    ui->label_Voltage_ADD02->setText(BiasVoltageText(BiasInput::ADD02, ProxyName, p_iValue));
}

void MainWindow::updateLabelVoltage_ADD03(int p_iValue)
{
    ui->label_Voltage_ADD03->setText(BiasVoltageText(BiasInput::ADD03, ProxyName, p_iValue));
}

void MainWindow::updateLabelVoltage_ADD0C(int p_iValue)
{
    ui->label_Voltage_ADD0C->setText(BiasVoltageText(BiasInput::ADD0C, ProxyName, p_iValue));
}

void MainWindow::updateLabelVoltage_ADD0D(int p_iValue)
{
    ui->label_Voltage_ADD0D->setText(BiasVoltageText(BiasInput::ADD0D, ProxyName, p_iValue));
}

void MainWindow::setLabel_Histogram_NbPixelMaxValue(int p_iValue)
{
    ui->label_NbPixelMax->setText(HistogramPixelCountText(p_iValue, FrameWidth, FrameHeight));
}
