// The main-window controls by name: each name's widget or action, and the few things board code does with them.
#include "mainwindow/MainWindow.h"

#include "app/widget_style.h"
#include "mainwindow/main_controls.h"
#include "ui_MainWindow.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QtGlobal>

namespace {

QObject* ControlObject(const Ui::MainWindow* p_pUi, MainControl p_Control)
{
    switch (p_Control) {
    case MainControl::StartButton:
        return p_pUi->pushButton_Start;
    case MainControl::SetParametersButton:
        return p_pUi->pushButton_SetParameters;
    case MainControl::SetWindowButton:
        return p_pUi->pushButton_SetWindow;
    case MainControl::SelectBPFileButton:
        return p_pUi->pushButton_SelectBPFile;
    case MainControl::LoadConfigurationButton:
        return p_pUi->pushButton_LoadConfiguration;
    case MainControl::SaveConfigurationButton:
        return p_pUi->pushButton_SaveConfiguration;
    case MainControl::OpenProxyDatasheetButton:
        return p_pUi->pushButton_Open_ProxyDatasheet;
    case MainControl::SaveHistogramCSVButton:
        return p_pUi->pushButton_SaveHistogramCSV;
    case MainControl::SaveHistogramBMPButton:
        return p_pUi->pushButton_SaveHistogramBMP;
    case MainControl::SaveAllFramesButton:
        return p_pUi->pushButton_SaveAllFrames;
    case MainControl::ZoomOutButton:
        return p_pUi->pushButton_ZoomM;
    case MainControl::ZoomInButton:
        return p_pUi->pushButton_ZoomP;
    case MainControl::NUCMenu:
        return p_pUi->menu_NUC;
    case MainControl::NUCHardwareAction:
        return p_pUi->action_NUCHardware;
    case MainControl::NUCSoftwareAction:
        return p_pUi->action_NUCSoftware;
    case MainControl::DetectBPAction:
        return p_pUi->actionDetectBP;
    case MainControl::SaveAllFramesAction:
        return p_pUi->actionSaveAllFrames;
    case MainControl::CalibrationScriptAction:
        return p_pUi->action_CablibrationScript;
    case MainControl::CoolLUTAction:
        return p_pUi->action_CoolLUT;
    case MainControl::FireLUTAction:
        return p_pUi->action_FireLUT;
    case MainControl::DatasheetDigiBoardAction:
        return p_pUi->action_Datasheet_DigiBoard;
    case MainControl::DatasheetProxyAction:
        return p_pUi->action_Datasheet_Proxy;
    case MainControl::OpenBPOffsetWindowAction:
        return p_pUi->action_OpenBPOffsetWindow;
    case MainControl::SoftwareBPCorrectionAction:
        return p_pUi->action_SoftwareBPCorrection;
    case MainControl::TwoTapBox:
        return p_pUi->checkBox_2Tap;
    case MainControl::AGCBox:
        return p_pUi->checkBox_AGC;
    case MainControl::AdvancedUserBox:
        return p_pUi->checkBox_Advanced_user;
    case MainControl::ApplyNUCBox:
        return p_pUi->checkBox_ApplyNUC;
    case MainControl::AverageFPNBox:
        return p_pUi->checkBox_Enable_AverageFPN;
    case MainControl::EnableTINTBox:
        return p_pUi->checkBox_Enable_TINT;
    case MainControl::EnableDACABox:
        return p_pUi->checkBox_Enable_DAC_A;
    case MainControl::EnableDACBBox:
        return p_pUi->checkBox_Enable_DAC_B;
    case MainControl::EnableDACCBox:
        return p_pUi->checkBox_Enable_DAC_C;
    case MainControl::EnableDACDBox:
        return p_pUi->checkBox_Enable_DAC_D;
    case MainControl::GMSBox:
        return p_pUi->checkBox_GMS;
    case MainControl::HDRBox:
        return p_pUi->checkBox_HDR;
    case MainControl::InvertBWBox:
        return p_pUi->checkBox_InvertBW;
    case MainControl::InvertPixelClockBox:
        return p_pUi->checkBox_InvPClock;
    case MainControl::SaveAllDisplayedRawBox:
        return p_pUi->checkBox_SaveAllDisplayedImageRAW;
    case MainControl::SaveStreamBox:
        return p_pUi->checkBox_SaveStream;
    case MainControl::SaveRAWBox:
        return p_pUi->checkBox_RAW;
    case MainControl::SaveJPGBox:
        return p_pUi->checkBox_JPG;
    case MainControl::SaveCSVBox:
        return p_pUi->checkBox_CSV;
    case MainControl::SaveBMPBox:
        return p_pUi->checkBox_BMP;
    case MainControl::WindowingEnabledBox:
        return p_pUi->checkBox_WindowingEnabled;
    case MainControl::SizeABox:
        return p_pUi->checkBox_SizeA;
    case MainControl::SizeBBox:
        return p_pUi->checkBox_SizeB;
    case MainControl::Gain0Box:
        return p_pUi->checkBox_Gain0;
    case MainControl::Gain1Box:
        return p_pUi->checkBox_Gain1;
    case MainControl::Gain2Box:
        return p_pUi->checkBox_Gain2;
    case MainControl::UpColBox:
        return p_pUi->checkBox_UpCol;
    case MainControl::UpRowBox:
        return p_pUi->checkBox_UpRow;
    case MainControl::DACFilterBox:
        return p_pUi->checkBox_DACFilter;
    case MainControl::OAdj0Box:
        return p_pUi->checkBox_OAdj0;
    case MainControl::OAdj1Box:
        return p_pUi->checkBox_OAdj1;
    case MainControl::OAdj2Box:
        return p_pUi->checkBox_OAdj2;
    case MainControl::MAdj0Box:
        return p_pUi->checkBox_MAdj0;
    case MainControl::MAdj1Box:
        return p_pUi->checkBox_MAdj1;
    case MainControl::MAdj2Box:
        return p_pUi->checkBox_MAdj2;
    case MainControl::Ref0Box:
        return p_pUi->checkBox_Ref0;
    case MainControl::Ref1Box:
        return p_pUi->checkBox_Ref1;
    case MainControl::BoardList:
        return p_pUi->comboBox_SelectDigiBoard;
    case MainControl::BPCorrectionModeBox:
        return p_pUi->comboBox_BPCorrectionMode;
    case MainControl::BayerModeBox:
        return p_pUi->comboBox_BayerMode;
    case MainControl::TINTSpinBox:
        return p_pUi->spinBox_TINT;
    case MainControl::TINTSlider:
        return p_pUi->horizontalSlider_TINT;
    case MainControl::CKDIVSpinBox:
        return p_pUi->spinBox_CKDIV;
    case MainControl::DACASpinBox:
        return p_pUi->spinBox_DAC_A;
    case MainControl::DACBSpinBox:
        return p_pUi->spinBox_DAC_B;
    case MainControl::DACCSpinBox:
        return p_pUi->spinBox_DAC_C;
    case MainControl::DACDSpinBox:
        return p_pUi->spinBox_DAC_D;
    case MainControl::ImageGainSpinBox:
        return p_pUi->spinBox_ImageGain;
    case MainControl::ImageGainSlider:
        return p_pUi->horizontalSlider_ImageGain;
    case MainControl::ImageOffsetSpinBox:
        return p_pUi->spinBox_ImageOffset;
    case MainControl::ImageOffsetSlider:
        return p_pUi->horizontalSlider_ImageOffset;
    case MainControl::XFirstSpinBox:
        return p_pUi->spinBox_XFirst;
    case MainControl::XLastSpinBox:
        return p_pUi->spinBox_XLast;
    case MainControl::YFirstSpinBox:
        return p_pUi->spinBox_YFirst;
    case MainControl::YLastSpinBox:
        return p_pUi->spinBox_YLast;
    case MainControl::AcqXSpinBox:
        return p_pUi->spinBox_AcqX;
    case MainControl::AcqYSpinBox:
        return p_pUi->spinBox_AcqY;
    case MainControl::StateLabel:
        return p_pUi->label_State;
    case MainControl::ProxyLabel:
        return p_pUi->label_Proxy_Val;
    case MainControl::ProxyFrequencyLabel:
        return p_pUi->label_Info_Proxy_Freq;
    case MainControl::BPFileLabel:
        return p_pUi->label_BPFile;
    case MainControl::AcquiredFrameRateLabel:
        return p_pUi->label_Framerate_Acq_Val;
    case MainControl::ShownFrameRateLabel:
        return p_pUi->label_Framerate_Shown_Val;
    case MainControl::BandwidthLabel:
        return p_pUi->label_Bandwidth_Val;
    case MainControl::MeanValueLabel:
        return p_pUi->label_MeanValue_Val;
    case MainControl::StdValueLabel:
        return p_pUi->label_StdValue_Val;
    case MainControl::MinValueLabel:
        return p_pUi->label_MinValue_Val;
    case MainControl::MaxValueLabel:
        return p_pUi->label_MaxValue_Val;
    case MainControl::BadPixelCorrectionGroup:
        return p_pUi->groupBox_BadPixeCorrection;
    case MainControl::NUCGroup:
        return p_pUi->groupBox_NUC;
    case MainControl::DisplayParametersGroup:
        return p_pUi->groupBox_DisplayParameters;
    case MainControl::ProxyParametersGroup:
        return p_pUi->groupBox_ProxyParameters;
    case MainControl::SaveImageGroup:
        return p_pUi->groupBox_SaveImage;
    case MainControl::SensorParametersGroup:
        return p_pUi->groupBox_SensorParameters;
    case MainControl::RecordingVideoGroup:
        return p_pUi->groupBox_RecordingVideo;
    case MainControl::ViewArea:
        return p_pUi->scrollArea;
    }
    return nullptr;
}

// A name used with a call its control does not take is a slip in the calling
// code: it is reported, never passed over in silence.
void Refuse(MainControl p_Control, const char* p_szCall)
{
    qWarning("Main control %d does not take %s", static_cast<int>(p_Control), p_szCall);
}

} // namespace

void MainWindow::SetControlEnabled(MainControl p_Control, bool p_bEnabled)
{
    QObject* pObject = ControlObject(ui, p_Control);
    if (auto* pWidget = qobject_cast<QWidget*>(pObject))
        pWidget->setEnabled(p_bEnabled);
    else if (auto* pAction = qobject_cast<QAction*>(pObject))
        pAction->setEnabled(p_bEnabled);
    else
        Refuse(p_Control, "setEnabled");
}

void MainWindow::SetControlChecked(MainControl p_Control, bool p_bChecked)
{
    QObject* pObject = ControlObject(ui, p_Control);
    if (auto* pButton = qobject_cast<QAbstractButton*>(pObject))
        pButton->setChecked(p_bChecked);
    else if (auto* pAction = qobject_cast<QAction*>(pObject))
        pAction->setChecked(p_bChecked);
    else
        Refuse(p_Control, "setChecked");
}

bool MainWindow::ControlChecked(MainControl p_Control) const
{
    QObject* pObject = ControlObject(ui, p_Control);
    if (auto* pButton = qobject_cast<QAbstractButton*>(pObject))
        return pButton->isChecked();
    if (auto* pAction = qobject_cast<QAction*>(pObject))
        return pAction->isChecked();
    Refuse(p_Control, "isChecked");
    return false;
}

bool MainWindow::ControlVisible(MainControl p_Control) const
{
    if (auto* pWidget = qobject_cast<QWidget*>(ControlObject(ui, p_Control)))
        return pWidget->isVisible();
    Refuse(p_Control, "isVisible");
    return false;
}

void MainWindow::ClickControl(MainControl p_Control)
{
    QObject* pObject = ControlObject(ui, p_Control);
    if (auto* pButton = qobject_cast<QAbstractButton*>(pObject))
        pButton->click();
    else if (auto* pAction = qobject_cast<QAction*>(pObject))
        pAction->trigger();
    else
        Refuse(p_Control, "click");
}

int MainWindow::ControlValue(MainControl p_Control) const
{
    QObject* pObject = ControlObject(ui, p_Control);
    if (auto* pSpinBox = qobject_cast<QSpinBox*>(pObject))
        return pSpinBox->value();
    if (auto* pSlider = qobject_cast<QAbstractSlider*>(pObject))
        return pSlider->value();
    if (auto* pCombo = qobject_cast<QComboBox*>(pObject))
        return pCombo->currentIndex();
    Refuse(p_Control, "value");
    return 0;
}

void MainWindow::SetControlValue(MainControl p_Control, int p_iValue)
{
    QObject* pObject = ControlObject(ui, p_Control);
    if (auto* pSpinBox = qobject_cast<QSpinBox*>(pObject))
        pSpinBox->setValue(p_iValue);
    else if (auto* pSlider = qobject_cast<QAbstractSlider*>(pObject))
        pSlider->setValue(p_iValue);
    else if (auto* pCombo = qobject_cast<QComboBox*>(pObject))
        pCombo->setCurrentIndex(p_iValue);
    else
        Refuse(p_Control, "setValue");
}

void MainWindow::SetControlValueQuietly(MainControl p_Control, int p_iValue)
{
    const QSignalBlocker blocker(ControlObject(ui, p_Control));
    SetControlValue(p_Control, p_iValue);
}

int MainWindow::ControlMinimum(MainControl p_Control) const
{
    QObject* pObject = ControlObject(ui, p_Control);
    if (auto* pSpinBox = qobject_cast<QSpinBox*>(pObject))
        return pSpinBox->minimum();
    if (auto* pSlider = qobject_cast<QAbstractSlider*>(pObject))
        return pSlider->minimum();
    Refuse(p_Control, "minimum");
    return 0;
}

void MainWindow::SetControlRange(MainControl p_Control, int p_iMinimum, int p_iMaximum)
{
    QObject* pObject = ControlObject(ui, p_Control);
    if (auto* pSpinBox = qobject_cast<QSpinBox*>(pObject))
        pSpinBox->setRange(p_iMinimum, p_iMaximum);
    else if (auto* pSlider = qobject_cast<QAbstractSlider*>(pObject))
        pSlider->setRange(p_iMinimum, p_iMaximum);
    else
        Refuse(p_Control, "setRange");
}

void MainWindow::ShowTintRange(int p_iMinimum, int p_iMaximum, int p_iSingleStep)
{
    // One bound at a time, slider first: the pair's value links follow each step.
    ui->horizontalSlider_TINT->setMinimum(p_iMinimum);
    ui->horizontalSlider_TINT->setMaximum(p_iMaximum);
    ui->horizontalSlider_TINT->setSingleStep(p_iSingleStep);
    ui->spinBox_TINT->setMinimum(p_iMinimum);
    ui->spinBox_TINT->setMaximum(p_iMaximum);
    ui->spinBox_TINT->setSingleStep(p_iSingleStep);
}

QString MainWindow::ControlText(MainControl p_Control) const
{
    QObject* pObject = ControlObject(ui, p_Control);
    if (auto* pButton = qobject_cast<QAbstractButton*>(pObject))
        return pButton->text();
    if (auto* pLabel = qobject_cast<QLabel*>(pObject))
        return pLabel->text();
    if (auto* pCombo = qobject_cast<QComboBox*>(pObject))
        return pCombo->currentText();
    Refuse(p_Control, "text");
    return QString();
}

void MainWindow::SetControlText(MainControl p_Control, const QString& p_sText)
{
    QObject* pObject = ControlObject(ui, p_Control);
    if (auto* pButton = qobject_cast<QAbstractButton*>(pObject))
        pButton->setText(p_sText);
    else if (auto* pLabel = qobject_cast<QLabel*>(pObject))
        pLabel->setText(p_sText);
    else
        Refuse(p_Control, "setText");
}

void MainWindow::ClearControlText(MainControl p_Control)
{
    if (auto* pLabel = qobject_cast<QLabel*>(ControlObject(ui, p_Control)))
        pLabel->clear();
    else
        Refuse(p_Control, "clear");
}

void MainWindow::SetControlIcon(MainControl p_Control, const QIcon& p_Icon)
{
    if (auto* pButton = qobject_cast<QAbstractButton*>(ControlObject(ui, p_Control)))
        pButton->setIcon(p_Icon);
    else
        Refuse(p_Control, "setIcon");
}

void MainWindow::SetControlCheckable(MainControl p_Control, bool p_bCheckable)
{
    if (auto* pButton = qobject_cast<QAbstractButton*>(ControlObject(ui, p_Control)))
        pButton->setCheckable(p_bCheckable);
    else
        Refuse(p_Control, "setCheckable");
}

void MainWindow::ClearControlTint(MainControl p_Control)
{
    if (auto* pWidget = qobject_cast<QWidget*>(ControlObject(ui, p_Control)))
        SetStyleSheetIfChanged(pWidget, QString());
    else
        Refuse(p_Control, "setStyleSheet");
}

QSize MainWindow::ControlSize(MainControl p_Control) const
{
    if (auto* pWidget = qobject_cast<QWidget*>(ControlObject(ui, p_Control)))
        return pWidget->size();
    Refuse(p_Control, "size");
    return QSize();
}

void MainWindow::SetControlMinimumSize(MainControl p_Control, int p_iWidth, int p_iHeight)
{
    if (auto* pWidget = qobject_cast<QWidget*>(ControlObject(ui, p_Control))) {
        pWidget->setMinimumHeight(p_iHeight);
        pWidget->setMinimumWidth(p_iWidth);
    } else {
        Refuse(p_Control, "setMinimumSize");
    }
}
