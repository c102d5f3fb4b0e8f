// MainWindow: the FPN correction, average-FPN and two-point NUC controls, and the change of the two-point NUC gain file.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "mainwindow/mode_commands.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/two_point_nuc_gain_file.h"
#include "tools/Setup_DigiBoard.h"

void MainWindow::CheckBox_ApplyFPN(int p_iCheckBoxStatus)
{
    using namespace ProxyParameterId;
    if (ui->checkBox_AGC->isChecked())
        ui->checkBox_AGC->setChecked(false);
    const int p = CurrentProxyIndex;
    SetCurrent(p, ApplyNUC, static_cast<uint32_t>(p_iCheckBoxStatus));
    Log->writeLine("NUC Enabled/Disabled: " + QString::number(p_iCheckBoxStatus));
    if (p_iCheckBoxStatus != 0)
        ui->checkBox_Enable_NUC2pt->setChecked(false);

    const FpnCommand command = ApplyFpnCommand(
        static_cast<int>(DigiBoardKind.load()), SoftwareNUC, p_iCheckBoxStatus != 0, ui->checkBox_HDR->isChecked(), p,
        FrameRate, SetupWindow ? SetupWindow->getFrequency() : 0, MeasuredFrameRate);
    if (!command.LogLine.isEmpty())
        Log->writeLine(command.LogLine);
    // The writes report their own failures.
    switch (command.Route) {
    case ModeRoute::CameraLinkText:
        SendModeCameraLinkText(command.Text);
        break;
    case ModeRoute::FpgaRegister:
        Send_Command_To_FPGA(NucFpgaRegister, static_cast<uchar>(command.Value));
        break;
    case ModeRoute::CorvaneIndirect:
        WriteCorvaneNucRegister(command.Value);
        break;
    case ModeRoute::None:
    case ModeRoute::Register:
        break;
    }
    if (command.EnabledCell >= 0)
        SetCurrent(p, ApplyNUCEnabled, static_cast<uint32_t>(command.EnabledCell));

    // The display gain and offset suit one correction state each: they are
    // put aside when the correction goes off and come back when it is on again.
    if (GetCurrent(p, ApplyNUC) == 0) {
        SavedImageGain = ui->spinBox_ImageGain->value();
        SavedImageOffset = ui->spinBox_ImageOffset->value();
        SetImageGainAndOffset(1, 0);
        Log->writeLine("Save values of Gain and Offset apply previously : Offset = " + QString::number(SavedImageOffset)
                       + " Gain = " + QString::number(SavedImageGain));
    } else {
        SetImageGainAndOffset(SavedImageGain, SavedImageOffset);
        Log->writeLine("Restore Gain and Offset values saved previously");
    }
}

void MainWindow::SetImageGainAndOffset(int p_iGain, int p_iOffset)
{
    using namespace ProxyParameterId;
    const int p = CurrentProxyIndex;
    SetCurrent(p, ImageGainSlider, static_cast<uint32_t>(p_iGain));
    SetCurrent(p, ImageGain, static_cast<uint32_t>(p_iGain));
    ui->horizontalSlider_ImageGain->setValue(p_iGain);
    ui->spinBox_ImageGain->setValue(p_iGain);
    SetCurrent(p, ImageOffsetSlider, static_cast<uint32_t>(p_iOffset));
    SetCurrent(p, ImageOffset, static_cast<uint32_t>(p_iOffset));
    ui->horizontalSlider_ImageOffset->setValue(p_iOffset);
    ui->spinBox_ImageOffset->setValue(p_iOffset);
}

void MainWindow::CheckBox_AverageFPN(int p_iCheckBoxStatus)
{
    Log->writeLine("CheckBox Average FPN:" + QString::number(p_iCheckBoxStatus));
    ui->spinBox_Number_Images_AverageFPN->setEnabled(p_iCheckBoxStatus != 0);
    AverageFPN = p_iCheckBoxStatus != 0;
}

void MainWindow::SpinBox_AverageFPN(int p_iValue)
{
    Log->writeLine("Change number of Average image to make a FPN Reference: " + QString::number(p_iValue));
    ui->checkBox_Enable_AverageFPN->setText("Average FPN on " + QString::number(p_iValue) + " images");
}

void MainWindow::ResetTwoPointNUCGains()
{
    // In place: the frame path keeps reading the same buffer.
    if (!NUC2ptGainImage.empty())
        NUC2ptGainImage.setTo(cv::Scalar(1.0));
}

void MainWindow::DropTwoPointNUCFile()
{
    ui->label_CalibFileName->clear();
    NUC2ptCalibFileInfo = QFileInfo();
    // Unchecking runs this slot again, which resets the gains.
    ui->checkBox_Enable_NUC2pt->setChecked(false);
    SetCurrent(CurrentProxyIndex, ProxyParameterId::NUC2pt, 0);
}

void MainWindow::CheckBox_NUC2Pt(int p_iCheckBoxStatus)
{
    using namespace ProxyParameterId;
    Log->writeLine("CheckBox 2 points NUC Correction: " + QString::number(p_iCheckBoxStatus));
    const bool bChecked = ui->checkBox_Enable_NUC2pt->isChecked();
    SetCurrent(CurrentProxyIndex, NUC2pt, bChecked ? 1 : 0);
    if (!bChecked) {
        Log->writeLine("Reset 2 points NUC reference.");
        ResetTwoPointNUCGains();
        return;
    }
    ui->checkBox_ApplyNUC->setChecked(false);

    if (ui->label_CalibFileName->text().isEmpty()) {
        Log->writeLine("Selection of a 2 points NUC Gain file");
        const QString sPath = SelectFileDialog(QStringLiteral("Select a 2 points NUC Gain File"),
                                               QStringLiteral("CSV files (*.csv)"));
        if (sPath.isEmpty()) {
            DropTwoPointNUCFile();
            return;
        }
        NUC2ptCalibFileInfo = QFileInfo(sPath);
        ui->label_CalibFileName->setText(NUC2ptCalibFileInfo.fileName());
    }

    const QString sPath = NUC2ptCalibFileInfo.absoluteFilePath();
    Log->writeLine("2 Point NUC Gain File selected: " + sPath);
    const int iWidth = FrameWidth;
    const int iHeight = FrameHeight;
    const TwoPointNUCGainRead read = ReadTwoPointNUCGainFile(sPath, iWidth, iHeight, FramePitch / 2);
    if (read.Status == TwoPointNUCGainStatus::Loaded) {
        Log->writeLine("The 2 Points NUC file has too much data");
        if (NUC2ptGainImage.size() == read.Gains.size() && NUC2ptGainImage.type() == read.Gains.type())
            read.Gains.copyTo(NUC2ptGainImage); // same buffer: the frame path never sees it move
        else
            NUC2ptGainImage = read.Gains;
        return;
    }
    // Nothing of a file that cannot be used reaches the gains; the correction goes off.
    const QString sText = TwoPointNUCGainFailureText(read, iWidth, iHeight);
    Log->writeLine(sText);
    const bool bCritical = read.Status == TwoPointNUCGainStatus::CannotOpen;
    PresentMessageBox({this, bCritical ? QMessageBox::Critical : QMessageBox::Warning,
                       bCritical ? QStringLiteral("Critical") : QStringLiteral("Warning"), sText,
                       {QStringLiteral("OK")}});
    DropTwoPointNUCFile();
}

void MainWindow::PushButton_ChangeCalibFile()
{
    ui->checkBox_ApplyNUC->setChecked(false);
    Log->writeLine("Selection of a new 2 points NUC Calibration file");
    const QString sPath =
        SelectFileDialog(QStringLiteral("Select a 2pts NUC Calibration File"), QStringLiteral("CSV files (*.csv)"));
    if (sPath.isEmpty()) {
        ui->label_CalibFileName->clear();
        NUC2ptCalibFileInfo = QFileInfo();
        if (ui->checkBox_Enable_NUC2pt->isChecked())
            ui->checkBox_Enable_NUC2pt->setChecked(false);
        PushButton_ResetGainOffset();
        return;
    }
    NUC2ptCalibFileInfo = QFileInfo(sPath);
    ui->label_CalibFileName->setText(NUC2ptCalibFileInfo.fileName());
    if (ui->checkBox_Enable_NUC2pt->isChecked())
        CheckBox_NUC2Pt(1);
}
