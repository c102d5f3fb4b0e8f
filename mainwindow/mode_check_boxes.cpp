// MainWindow: the information panel before a start, the bad-pixel offsets, and the image-processing and board-mode check boxes (2Tap, AGC, GMS, HDR, inversion, size presets, gamma).
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/digiboard_kind.h"
#include "app/kv_log.h"
#include "board/links/usb3_link.h"
#include "board/mainwindow_board_link.h"
#include "board/register_writer.h"
#include "app/message_boxes.h"
#include "mainwindow/mode_commands.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

// How long switching the AGC off waits for a pass under way. A pass runs on
// this thread, so only one that itself processes events can still be running;
// waiting for it without a bound would never end.
constexpr int kAgcPassWaitMs = 2000;
// The processing board behind the USB3 board.
constexpr int kCorvaneProcessingBoard = 2;

} // namespace

// ---------------------------------------------------------------------------
// Information panel and small state slots

void MainWindow::UpdateInformationWindowBeforeStart()
{
    ui->label_Proxy_Val->setText(ProxyName);
    if (FrameWidth != 0)
        ui->label_Width_Val->setText(QString::number(FrameWidth.load()));
    if (FrameHeight != 0)
        ui->label_Height_Val->setText(QString::number(FrameHeight.load()));
    ui->label_Configuration_Val->setText(ConfigurationCustom ? QStringLiteral("Custom") : QStringLiteral("Default"));
    ui->label_TapMode_Val->setText(ui->checkBox_2Tap->isChecked() ? QStringLiteral("2Tap") : QStringLiteral("1Tap"));
    // No board leaves the label as it is.
    if (const BoardLink* pLink = WindowBoardLink(this, DigiBoardKind.load()))
        ui->label_Connection_Val->setText(pLink->connectionLabel());
}

void MainWindow::XOffsetBPChanged(int p_iValue)
{
    BadPixelOffsetX = p_iValue;
    Log->writeLine("Offset X BP changed: " + QString::number(p_iValue));
}

void MainWindow::YOffsetBPChanged(int p_iValue)
{
    BadPixelOffsetY = p_iValue;
    Log->writeLine("Offset Y BP changed: " + QString::number(p_iValue));
}

// ---------------------------------------------------------------------------
// Board-mode commands

int MainWindow::SendModeCameraLinkText(const QByteArray& p_Text)
{
    // Only a Camera Link board's builders choose this route; its link sends the text as it is.
    BoardLink* pLink = WindowBoardLink(this, DigiBoardKind.load());
    return pLink != nullptr && pLink->sendText(p_Text) ? 0 : 1;
}

int MainWindow::WriteModeRegister(int p_iRegisterId, uint32_t p_uValue, bool p_bShowError)
{
    return WriteRegister(this, DigiBoardKind.load(), p_iRegisterId, p_uValue,
                         p_bShowError ? RegisterErrorPolicy::MessageBox : RegisterErrorPolicy::Silent);
}

int MainWindow::WriteCorvaneNucRegister(uint32_t p_uValue)
{
    // Board, register, value, then the write itself; every failed step is
    // logged, and the result of the last step counts.
    Usb3Link& rLink = static_cast<Usb3Link&>(*CorvaneLink);
    int iLast = 0;
    rLink.writeProcessingCommand(kCorvaneProcessingBoard, NucFpgaRegister, int(p_uValue),
                                 [&rLink, &iLast](BoardRegisterId p_Id, int p_iValue, int p_iStatus) {
                                     iLast = ReportRegisterWrite(rLink, p_Id, p_iValue, p_iStatus,
                                                                 RegisterErrorPolicy::MessageBox);
                                 });
    return iLast;
}

void MainWindow::RunModeCommand(const ModeCommand& p_Command, int p_iCell, const QString& p_sFailurePrefix)
{
    if (p_Command.Store)
        SetCurrent(CurrentProxyIndex, p_iCell, p_Command.CellValue);
    int iStatus = 0;
    switch (p_Command.Route) {
    case ModeRoute::None:
        return;
    case ModeRoute::CameraLinkText:
        for (int i = 0; i < p_Command.Sends; ++i)
            iStatus = SendModeCameraLinkText(p_Command.Text);
        break;
    case ModeRoute::Register:
        iStatus = WriteModeRegister(p_Command.RegisterId, p_Command.Value, false);
        break;
    case ModeRoute::CorvaneIndirect:
        iStatus = WriteCorvaneNucRegister(p_Command.Value);
        break;
    case ModeRoute::FpgaRegister:
        Send_Command_To_FPGA(NucFpgaRegister, static_cast<uchar>(p_Command.Value));
        return;
    }
    if (iStatus == 0)
        return;
    PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Critical"), p_Command.FailureText,
                       {QStringLiteral("OK")}});
    Log->writeLine(p_sFailurePrefix + p_Command.FailureText);
}

// ---------------------------------------------------------------------------
// Check boxes

void MainWindow::CheckBox_2Tap(int p_iCheckBoxStatus)
{
    TwoTap = p_iCheckBoxStatus > 0;
    SetCurrent(CurrentProxyIndex, ProxyParameterId::TwoTap, static_cast<uint32_t>(p_iCheckBoxStatus));
    Log->writeLine("2 Tap: " + QString::number(p_iCheckBoxStatus));
}

void MainWindow::Enable_2Tap()
{
    ui->checkBox_2Tap->setEnabled(true);
    SetCurrent(CurrentProxyIndex, ProxyParameterId::TwoTapEnabled, 1);
}

void MainWindow::Disable_2Tap()
{
    ui->checkBox_2Tap->setEnabled(false);
    SetCurrent(CurrentProxyIndex, ProxyParameterId::TwoTapEnabled, 0);
}

void MainWindow::CheckBox_AGC(int p_iCheckBoxStatus)
{
    const int p = CurrentProxyIndex;
    SetCurrent(p, ProxyParameterId::AGC, static_cast<uint32_t>(p_iCheckBoxStatus));
    Log->writeLine("AGC: " + QString::number(p_iCheckBoxStatus) + " - Offset: "
                   + QString::number(ui->spinBox_ImageOffset->value()));
    QWidget* const handedOver[] = {ui->spinBox_ImageOffset, ui->horizontalSlider_ImageOffset, ui->spinBox_ImageGain,
                                   ui->horizontalSlider_ImageGain};
    if (p_iCheckBoxStatus >= 1) {
        for (QWidget* pWidget : handedOver)
            pWidget->setEnabled(false);
        Timers.AGC->start(AGCTimerPeriodMs);
        return;
    }
    Timers.AGC->stop();
    QElapsedTimer waited;
    waited.start();
    while (AGCRunning && waited.elapsed() < kAgcPassWaitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    for (QWidget* pWidget : handedOver)
        pWidget->setEnabled(true);
    SetCurrent(p, ProxyParameterId::AGCCentre, 0);
    ui->horizontalSlider_ImageOffset->setValue(OffsetAfterAgc(ui->horizontalSlider_ImageOffset->value(),
                                                              ui->spinBox_AGC_Centre->value(),
                                                              GetCurrent(p, ProxyParameterId::ImageGainSlider)));
}

void MainWindow::CheckBox_GMS(int p_iCheckBoxStatus)
{
    using namespace ProxyParameterId;
    const int p = CurrentProxyIndex;
    SetCurrent(p, GMSEnabled, static_cast<uint32_t>(p_iCheckBoxStatus));
    const bool bOn = p_iCheckBoxStatus >= 1;
    for (QWidget* pWidget : {static_cast<QWidget*>(ui->checkBox_Gain0), static_cast<QWidget*>(ui->checkBox_Gain1),
                             static_cast<QWidget*>(ui->checkBox_UpCol), static_cast<QWidget*>(ui->checkBox_UpRow),
                             static_cast<QWidget*>(ui->checkBox_SizeA), static_cast<QWidget*>(ui->checkBox_SizeB)})
        pWidget->setEnabled(bOn);
    ui->checkBox_Gain2->setEnabled(bOn && GetDefault(p, Gain2Enabled) != 0);
    for (int iCell : {Gain0Enabled, Gain1Enabled, SizeAEnabled, SizeBEnabled, UpColEnabled, UpRowEnabled})
        SetCurrent(p, iCell, bOn ? 1 : 0);
    if (!bOn)
        SetCurrent(p, Gain2Enabled, 0);
}

void MainWindow::CheckBox_HDR(int p_iCheckBoxStatus)
{
    Log->writeLine("HDR mode : " + QString::number(p_iCheckBoxStatus));
    const ModeCommand command =
        HdrModeCommand(static_cast<int>(DigiBoardKind.load()), SoftwareNUC, p_iCheckBoxStatus,
                       ui->checkBox_ApplyNUC->isChecked(), CurrentProxyIndex, FrameRate);
    RunModeCommand(command, ProxyParameterId::HDR, QStringLiteral("HDR failed ... "));
}

void MainWindow::CheckBox_InvertBW(int p_iCheckBoxStatus)
{
    Log->writeLine("Invert Black and white mode : " + QString::number(p_iCheckBoxStatus));
    const ModeCommand command =
        InvertBWModeCommand(static_cast<int>(DigiBoardKind.load()), SoftwareNUC, p_iCheckBoxStatus);
    RunModeCommand(command, ProxyParameterId::InvertBW, QStringLiteral("Invert Black and White failed ... "));
}

void MainWindow::CheckBox_SizeA(int p_iCheckBoxStatus)
{
    ApplySizePreset(true, p_iCheckBoxStatus);
}

void MainWindow::CheckBox_SizeB(int p_iCheckBoxStatus)
{
    ApplySizePreset(false, p_iCheckBoxStatus);
}

void MainWindow::ApplySizePreset(bool p_bSizeA, int p_iCheckBoxStatus)
{
    using namespace ProxyParameterId;
    const int p = CurrentProxyIndex;
    std::printf("Changed Size%c Status: %d\n", p_bSizeA ? 'A' : 'B', p_iCheckBoxStatus);
    std::fflush(stdout);
    SetCurrent(p, p_bSizeA ? SizeAActive : SizeBActive, static_cast<uint32_t>(p_iCheckBoxStatus));
    SetCurrent(p, p_bSizeA ? SizeA : SizeB, static_cast<uint32_t>(p_iCheckBoxStatus));

    ui->pushButton_SetWindow->setEnabled(true);
    ui->pushButton_SetParameters->setEnabled(false);
    SetCurrent(p, SetParametersButtonEnabled, 0);

    const bool bA = GetCurrent(p, SizeAActive) != 0;
    const bool bB = GetCurrent(p, SizeBActive) != 0;
    QSpinBox* const corners[] = {ui->spinBox_XFirst, ui->spinBox_XLast, ui->spinBox_YFirst, ui->spinBox_YLast};
    const int enabledCells[] = {XFirstEnabled, XLastEnabled, YFirstEnabled, YLastEnabled};
    if (!bA && !bB) {
        ui->pushButton_SetParameters->setEnabled(false);
        if (!p_bSizeA)
            ui->pushButton_SetWindow->setEnabled(false);
        for (int i = 0; i < 4; ++i) {
            corners[i]->setEnabled(true);
            SetCurrent(p, enabledCells[i], 1);
        }
        ui->spinBox_AcqX->setRange(int(GetDefault(p, AcqXMin)), int(GetDefault(p, AcqXMax)));
        ui->spinBox_AcqY->setRange(int(GetDefault(p, AcqYMin)), int(GetDefault(p, AcqYMax)));
    } else {
        for (int i = 0; i < 4; ++i) {
            corners[i]->setEnabled(false);
            SetCurrent(p, enabledCells[i], 0);
        }
        ui->spinBox_XLast->setSingleStep(1);
    }

    WindowPresets presets;
    presets.Divisor = GetCurrent(p, WindowingDivisor);
    presets.DivisorDefault = GetDefault(p, WindowingDivisor);
    presets.BlindColumnsDefault = GetDefault(p, BlindColumns);
    presets.FullLastColumn = GetCurrent(p, WindowFullLastColumn);
    presets.FullRows = GetCurrent(p, WindowFullRows);
    presets.SizeALastColumn = GetCurrent(p, WindowSizeALastColumn);
    presets.SizeARows = GetCurrent(p, WindowSizeARows);
    presets.SizeBLastColumn = GetCurrent(p, WindowSizeBLastColumn);
    presets.SizeBRows = GetCurrent(p, WindowSizeBRows);
    const WindowCorners w = SizePresetWindow(bA, bB, presets);
    if (!w.Set)
        return;
    ui->spinBox_XFirst->setValue(w.XFirst);
    ui->spinBox_XLast->setValue(w.XLast);
    ui->spinBox_YFirst->setValue(w.YFirst);
    ui->spinBox_YLast->setValue(w.YLast);
}

void MainWindow::SpinBox_Gamma(double p_dValue)
{
    Gamma = p_dValue;
}
