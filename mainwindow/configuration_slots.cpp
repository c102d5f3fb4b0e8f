// MainWindow: saving the current sensor and display settings to a ".conf" file and loading one back.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/header_constants.h"
#include "app/kv_log.h"
#include "mainwindow/configuration_file.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QFile>
#include <QFileDialog>

namespace {

const char* const kConfigurationFilter = "Configuration file (*.conf)";

bool Checked(const QCheckBox* p_pBox)
{
    return p_pBox->isChecked();
}

} // namespace

QString MainWindow::AskConfigurationFile(bool p_bSave)
{
    // A Qt dialog rather than the platform's, so that it looks the same
    // everywhere and can be driven by tests.
    QFileDialog dialog(this, p_bSave ? QStringLiteral("Save File") : QStringLiteral("Open File"),
                       ApplicationDir + HeaderConstants::SavedConfigurationsFolder,
                       QString::fromLatin1(kConfigurationFilter));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setModal(true);
    if (p_bSave) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("conf"));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

ConfigurationSettings MainWindow::CurrentConfigurationSettings() const
{
    ConfigurationSettings s;
    s.DigiBoard = ui->comboBox_SelectDigiBoard->currentText();
    s.Proxy = ProxyName;
    s.GMS = Checked(ui->checkBox_GMS);
    s.OAdj2 = Checked(ui->checkBox_OAdj2);
    s.OAdj1 = Checked(ui->checkBox_OAdj1);
    s.OAdj0 = Checked(ui->checkBox_OAdj0);
    s.MAdj2 = Checked(ui->checkBox_MAdj2);
    s.MAdj1 = Checked(ui->checkBox_MAdj1);
    s.MAdj0 = Checked(ui->checkBox_MAdj0);
    s.Ref1 = Checked(ui->checkBox_Ref1);
    s.Ref0 = Checked(ui->checkBox_Ref0);
    s.Gain1 = Checked(ui->checkBox_Gain0);
    s.Gain2 = Checked(ui->checkBox_Gain1);
    s.Gain3 = Checked(ui->checkBox_Gain2);
    s.UpCol = Checked(ui->checkBox_UpCol);
    s.UpRow = Checked(ui->checkBox_UpRow);
    s.bTINT = Checked(ui->checkBox_Enable_TINT);
    s.bDACA = Checked(ui->checkBox_Enable_DAC_A);
    s.bDACB = Checked(ui->checkBox_Enable_DAC_B);
    s.bDACC = Checked(ui->checkBox_Enable_DAC_C);
    s.bDACD = Checked(ui->checkBox_Enable_DAC_D);
    s.bCKDIV = Checked(ui->checkBox_Advanced_user);
    s.bInvBW = Checked(ui->checkBox_InvertBW);
    s.bHDR = Checked(ui->checkBox_HDR);
    s.bGamma = Checked(ui->checkBox_Gamma);
    s.bAGC = Checked(ui->checkBox_AGC);
    s.TINT = ui->spinBox_TINT->value();
    s.DACA = ui->spinBox_DAC_A->value();
    s.DACB = ui->spinBox_DAC_B->value();
    s.DACC = ui->spinBox_DAC_C->value();
    s.DACD = ui->spinBox_DAC_D->value();
    s.CKDIV = ui->spinBox_CKDIV->value();
    s.Gamma = static_cast<float>(ui->spinBox_Gamma->value());
    s.AGCGain = ui->spinBox_AGC_GainClip->value();
    s.AGCCentre = ui->spinBox_AGC_Centre->value();
    s.Bayer = ui->comboBox_BayerMode->currentIndex();
    s.Interpol = ui->comboBox_InterpolationMethod->currentIndex();
    s.OffsetImage = ui->spinBox_ImageOffset->value();
    s.GainImage = ui->spinBox_ImageGain->value();
    return s;
}

void MainWindow::PushButton_SaveConfiguraton()
{
    if (!Connected)
        return;
    Log->writeLine("Saving configuration file");
    const QString sPath = AskConfigurationFile(true);
    if (sPath.isEmpty()) {
        Log->writeLine("No file selected");
        return;
    }
    Log->writeLine("Configuration file used to save parameters --> " + sPath);
    QFile file(sPath);
    const bool bOpen = file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
    if (!bOpen || !file.isWritable()) {
        PresentMessageBox({this, QMessageBox::Warning, QStringLiteral("Problem with the file"),
                           QStringLiteral("The wanted file cannot be created or modify. Abort"), {QStringLiteral("OK")}});
        return;
    }
    const bool bWritten = WriteConfigurationFile(file, CurrentConfigurationSettings(), QDateTime::currentDateTime());
    file.close();
    // A full disk must not pass for a saved configuration.
    if (!bWritten || file.error() != QFileDevice::NoError) {
        Log->writeLine("Configuration file not completely written: " + file.errorString());
        PresentMessageBox({this, QMessageBox::Warning, QStringLiteral("Problem with the file"),
                           QStringLiteral("The configuration could not be written completely. Abort"),
                           {QStringLiteral("OK")}});
    }
}

void MainWindow::PushButton_LoadConfiguraton()
{
    if (!Connected)
        return;
    Log->writeLine("Loading configuration file");
    const QString sPath = AskConfigurationFile(false);
    if (sPath.isEmpty()) {
        Log->writeLine("No file selected");
        return;
    }
    Log->writeLine("Configuration file opened --> " + sPath);
    QFile file(sPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text) || !file.isReadable()) {
        Log->writeLine("Can't open configuration file");
        PresentMessageBox({this, QMessageBox::Warning, QStringLiteral("Problem with the file"),
                           QStringLiteral("The wanted file cannot be opened. Abort"), {QStringLiteral("OK")}});
        return;
    }
    const ConfigurationReadResult read = ReadConfigurationFile(file);
    file.close();
    const ConfigurationSettings& s = read.Settings;

    if (s.Proxy != ProxyName || s.DigiBoard != ui->comboBox_SelectDigiBoard->currentText()) {
        const int iAnswer = PresentMessageBox(
            {this, QMessageBox::Warning, QStringLiteral("Careful different setup detected"),
             QStringLiteral("The configuration file was not made with same proxy or digi board.\nDo you want to "
                            "continue ?"),
             {QStringLiteral("Yes"), QStringLiteral("No")}});
        if (iAnswer == 1)
            return;
    }
    if (read.Status != ConfigurationReadStatus::Complete) {
        PresentMessageBox({this, QMessageBox::Warning, QStringLiteral("File incomplete"),
                           QStringLiteral("The selected file is not complete. Parameter won't be load"),
                           {QStringLiteral("OK")}});
        return;
    }

    // The widgets first, each running its own slots as after an operator's change.
    const std::pair<QCheckBox*, int> boxes[] = {
        {ui->checkBox_GMS, s.GMS},          {ui->checkBox_OAdj2, s.OAdj2},        {ui->checkBox_OAdj1, s.OAdj1},
        {ui->checkBox_OAdj0, s.OAdj0},      {ui->checkBox_MAdj2, s.MAdj2},        {ui->checkBox_MAdj1, s.MAdj1},
        {ui->checkBox_MAdj0, s.MAdj0},      {ui->checkBox_Ref1, s.Ref1},          {ui->checkBox_Ref0, s.Ref0},
        {ui->checkBox_Gain0, s.Gain1},      {ui->checkBox_Gain1, s.Gain2},        {ui->checkBox_Gain2, s.Gain3},
        {ui->checkBox_UpCol, s.UpCol},      {ui->checkBox_UpRow, s.UpRow},        {ui->checkBox_Enable_TINT, s.bTINT},
        {ui->checkBox_Enable_DAC_A, s.bDACA}, {ui->checkBox_Enable_DAC_B, s.bDACB}, {ui->checkBox_Enable_DAC_C, s.bDACC},
        {ui->checkBox_Enable_DAC_D, s.bDACD}, {ui->checkBox_Advanced_user, s.bCKDIV}, {ui->checkBox_InvertBW, s.bInvBW},
        {ui->checkBox_HDR, s.bHDR},         {ui->checkBox_Gamma, s.bGamma},       {ui->checkBox_AGC, s.bAGC},
    };
    for (const auto& box : boxes)
        box.first->setChecked(box.second != 0);
    ui->spinBox_TINT->setValue(s.TINT);
    ui->spinBox_DAC_A->setValue(s.DACA);
    ui->spinBox_DAC_B->setValue(s.DACB);
    ui->spinBox_DAC_C->setValue(s.DACC);
    ui->spinBox_DAC_D->setValue(s.DACD);
    ui->spinBox_CKDIV->setValue(s.CKDIV);
    ui->spinBox_Gamma->setValue(double(s.Gamma));
    ui->spinBox_AGC_GainClip->setValue(s.AGCGain);
    ui->spinBox_AGC_Centre->setValue(s.AGCCentre);
    ui->comboBox_BayerMode->setCurrentIndex(s.Bayer);
    ui->comboBox_InterpolationMethod->setCurrentIndex(s.Interpol);
    ui->spinBox_ImageGain->setValue(s.GainImage);
    ui->spinBox_ImageOffset->setValue(s.OffsetImage);

    // Then the cells, as read: they override what the slots stored.
    using namespace ProxyParameterId;
    const int p = CurrentProxyIndex;
    const std::pair<int, int> cells[] = {
        {GMS, s.GMS},     {OAdj2, s.OAdj2}, {OAdj1, s.OAdj1},   {OAdj0, s.OAdj0},     {MAdj2, s.MAdj2},
        {MAdj1, s.MAdj1}, {MAdj0, s.MAdj0}, {Ref1, s.Ref1},     {Ref0, s.Ref0},       {Gain0, s.Gain1},
        {Gain1, s.Gain2}, {Gain2, s.Gain3}, {UpCol, s.UpCol},   {UpRow, s.UpRow},     {InvertBW, s.bInvBW},
        {HDR, s.bHDR},    {AGC, s.bAGC},    {TINT, s.TINT},     {DAC_A, s.DACA},      {DAC_B, s.DACB},
        {DAC_C, s.DACC},  {DAC_D, s.DACD},  {CKDIV, s.CKDIV},   {AGCGainClip, s.AGCGain},
    };
    for (const auto& cell : cells)
        SetCurrent(p, cell.first, static_cast<uint32_t>(cell.second));
    if (s.bAGC != 0)
        SetCurrent(p, AGCCentre, static_cast<uint32_t>(s.AGCCentre));
    SetCurrent(p, BayerModeEnabled, static_cast<uint32_t>(s.Bayer));
    SetCurrent(p, InterpolationMethod, static_cast<uint32_t>(s.Interpol));

    const int iApply = PresentMessageBox(
        {this, QMessageBox::Information, QStringLiteral("Apply parameters ?"),
         QStringLiteral("Would you like to apply those parameter directly ? (Be sure, the parameters are correct !)"),
         {QStringLiteral("Yes"), QStringLiteral("No")}});
    if (iApply == 0)
        PushButton_SetModuleParameters();
}
