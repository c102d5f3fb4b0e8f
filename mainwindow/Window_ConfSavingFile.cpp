// The saving-options dialog: its enabling rules, the save-all count pair and the record it emits on OK.
#include "mainwindow/Window_ConfSavingFile.h"

#include "ui_Window_ConfSavingFile.h"

#include "app/app_paths.h"
#include "app/header_constants.h"
#include "app/kv_log.h"

#include <QCloseEvent>
#include <QIcon>
#include <QPixmap>

namespace {

QString Bit(bool p_bValue)
{
    return p_bValue ? QStringLiteral("1") : QStringLiteral("0");
}

void SetChildren(std::initializer_list<QCheckBox*> p_Boxes, bool p_bParentChecked)
{
    for (QCheckBox* pBox : p_Boxes) {
        if (!p_bParentChecked)
            pBox->setChecked(false);
        pBox->setEnabled(p_bParentChecked);
    }
}

} // namespace

Window_ConfSavingFile::Window_ConfSavingFile(QWidget* parent)
    : QDialog(parent)
    , m_pOwnLog(new KV_Log)
    , m_pLog(m_pOwnLog)
{
    ui = new Ui::Window_ConfSavingFile;
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Configure Saving Files"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_bOpen = false;
    ui->label_picture->setPixmap(
        QPixmap(ApplicationDirPath() + HeaderConstants::LogosFolder + HeaderConstants::LogoMiniImage));
    FillComboBoxSnapshotFormat();
    FillComboBoxSaveAllFramesFormat();
    connect(ui->pushButton_Cancel, &QPushButton::released, this, &Window_ConfSavingFile::PushButton_Cancel);
    connect(ui->pushButton_OK, &QPushButton::released, this, &Window_ConfSavingFile::PushButton_OK);
    connect(ui->checkBox_FixNumber, &QCheckBox::clicked, this, &Window_ConfSavingFile::CheckBox_FixNumber);
    connect(ui->checkBox_Infinite, &QCheckBox::clicked, this, &Window_ConfSavingFile::CheckBox_Infinite);
    SetChildren({ui->checkBox_SavedFPNCSV, ui->checkBox_AcquiredImageCSV, ui->checkBox_DisplayedImageCSV,
                 ui->checkBox_8bit_CSV, ui->checkBox_16bit_CSV, ui->checkBox_SavedFPNRAW,
                 ui->checkBox_AcquiredImageRAW, ui->checkBox_DisplayedImageRAW, ui->checkBox_8bit_RAW,
                 ui->checkBox_16bit_RAW},
                false);
}

Window_ConfSavingFile::~Window_ConfSavingFile()
{
    delete ui;
    delete m_pOwnLog;
}

void Window_ConfSavingFile::SetLog(KV_Log* p_pLog)
{
    m_pLog = p_pLog ? p_pLog : m_pOwnLog;
}

void Window_ConfSavingFile::FillComboBoxSnapshotFormat()
{
    ui->comboBox_SnapshotFormat->removeItem(0);
    for (int i = 0; i < HeaderConstants::SnapshotFormatNames.size(); ++i)
        ui->comboBox_SnapshotFormat->insertItem(i, HeaderConstants::SnapshotFormatNames.at(i));
}

void Window_ConfSavingFile::FillComboBoxSaveAllFramesFormat()
{
    ui->comboBox_SaveAllFramesFormat->removeItem(0);
    for (int i = 0; i < HeaderConstants::SaveAllFramesFormatNames.size(); ++i)
        ui->comboBox_SaveAllFramesFormat->insertItem(i, HeaderConstants::SaveAllFramesFormatNames.at(i));
}

void Window_ConfSavingFile::UpdateValues(const SavingConfiguration& c)
{
    UpdateValues(c.SnapshotFormat, c.SaveAllFramesFormat, c.NumberFrames, c.Period, c.BMP, c.JPG, c.CSV, c.CSV8b,
                 c.CSV16b, c.CSVFPN, c.CSVAcquired, c.CSVDisplayed, c.RAW, c.RAW8b, c.RAW16b, c.RAWFPN,
                 c.RAWAcquired, c.RAWDisplayed);
}

void Window_ConfSavingFile::UpdateValues(int p_iSnapshotFormat, int p_iSaveAllFramesFormat, int p_iNumberFrames,
                                         int p_iPeriod, bool p_bBMP, bool p_bJPG, bool p_bCSV, bool p_bCSV8b,
                                         bool p_bCSV16b, bool p_bCSVFPN, bool p_bCSVAcquired, bool p_bCSVDisplayed,
                                         bool p_bRAW, bool p_bRAW8b, bool p_bRAW16b, bool p_bRAWFPN,
                                         bool p_bRAWAcquired, bool p_bRAWDisplayed)
{
    m_pLog->writeLine("Update Values to Saving File Configuration Window");
    if (p_iNumberFrames != 0) {
        ui->spinBox_FixNumber->setEnabled(true);
        ui->spinBox_FixNumber->setValue(p_iNumberFrames);
        ui->checkBox_FixNumber->setChecked(true);
    } else {
        ui->spinBox_FixNumber->setEnabled(false);
        ui->checkBox_FixNumber->setChecked(false);
    }
    ui->checkBox_Infinite->setChecked(p_iNumberFrames == 0);
    ui->comboBox_SnapshotFormat->setCurrentIndex(p_iSnapshotFormat);
    ui->comboBox_SaveAllFramesFormat->setCurrentIndex(p_iSaveAllFramesFormat);
    ui->spinBox_SaveStreamPeriod->setValue(p_iPeriod);
    // Parents first: a checked parent enables its sub-options before they are set.
    ui->checkBox_SaveBMP->setChecked(p_bBMP);
    ui->checkBox_SaveJPG->setChecked(p_bJPG);
    ui->checkBox_SaveCSV->setChecked(p_bCSV);
    ui->checkBox_AcquiredImageCSV->setChecked(p_bCSVAcquired);
    ui->checkBox_SavedFPNCSV->setChecked(p_bCSVFPN);
    ui->checkBox_DisplayedImageCSV->setChecked(p_bCSVDisplayed);
    ui->checkBox_8bit_CSV->setChecked(p_bCSV8b);
    ui->checkBox_16bit_CSV->setChecked(p_bCSV16b);
    ui->checkBox_SaveRAW->setChecked(p_bRAW);
    ui->checkBox_AcquiredImageRAW->setChecked(p_bRAWAcquired);
    ui->checkBox_SavedFPNRAW->setChecked(p_bRAWFPN);
    ui->checkBox_DisplayedImageRAW->setChecked(p_bRAWDisplayed);
    ui->checkBox_8bit_RAW->setChecked(p_bRAW8b);
    ui->checkBox_16bit_RAW->setChecked(p_bRAW16b);
}

SavingConfiguration Window_ConfSavingFile::CurrentValues() const
{
    SavingConfiguration c;
    c.SnapshotFormat = ui->comboBox_SnapshotFormat->currentIndex();
    c.SaveAllFramesFormat = ui->comboBox_SaveAllFramesFormat->currentIndex();
    c.NumberFrames = ui->checkBox_Infinite->isChecked() ? 0 : ui->spinBox_FixNumber->value();
    c.Period = ui->spinBox_SaveStreamPeriod->value();
    c.BMP = ui->checkBox_SaveBMP->isChecked();
    c.JPG = ui->checkBox_SaveJPG->isChecked();
    c.CSV = ui->checkBox_SaveCSV->isChecked();
    c.CSV8b = ui->checkBox_8bit_CSV->isChecked();
    c.CSV16b = ui->checkBox_16bit_CSV->isChecked();
    c.CSVFPN = ui->checkBox_SavedFPNCSV->isChecked();
    c.CSVAcquired = ui->checkBox_AcquiredImageCSV->isChecked();
    c.CSVDisplayed = ui->checkBox_DisplayedImageCSV->isChecked();
    c.RAW = ui->checkBox_SaveRAW->isChecked();
    c.RAW8b = ui->checkBox_8bit_RAW->isChecked();
    c.RAW16b = ui->checkBox_16bit_RAW->isChecked();
    c.RAWFPN = ui->checkBox_SavedFPNRAW->isChecked();
    c.RAWAcquired = ui->checkBox_AcquiredImageRAW->isChecked();
    c.RAWDisplayed = ui->checkBox_DisplayedImageRAW->isChecked();
    return c;
}

void Window_ConfSavingFile::CheckBox_FixNumber()
{
    ui->spinBox_FixNumber->setEnabled(true);
    ui->checkBox_FixNumber->setChecked(true);
    ui->checkBox_Infinite->setChecked(false);
}

void Window_ConfSavingFile::CheckBox_Infinite()
{
    ui->spinBox_FixNumber->setEnabled(false);
    ui->checkBox_FixNumber->setChecked(false);
    ui->checkBox_Infinite->setChecked(true);
}

void Window_ConfSavingFile::PushButton_OK()
{
    const SavingConfiguration c = CurrentValues();
    m_pLog->writeLine("New parameters for saving frames function");
    m_pLog->writeLine("\tSnapshot format: " + ui->comboBox_SnapshotFormat->currentText());
    m_pLog->writeLine("\tSave All Frames format: " + ui->comboBox_SaveAllFramesFormat->currentText());
    m_pLog->writeLine("\tSave stream period: " + QString::number(c.Period));
    m_pLog->writeLine("\tSave stream format");
    m_pLog->writeLine("\t\tBMP: " + Bit(c.BMP));
    m_pLog->writeLine("\t\tJPG: " + Bit(c.JPG));
    m_pLog->writeLine("\t\tCSV: " + Bit(c.CSV));
    m_pLog->writeLine("\t\t\t8-bit: " + Bit(c.CSV8b));
    m_pLog->writeLine("\t\t\t16-bit: " + Bit(c.CSV16b));
    m_pLog->writeLine("\t\t\tSaved FPN: " + Bit(c.CSVFPN));
    m_pLog->writeLine("\t\t\tAcquired Image: " + Bit(c.CSVAcquired));
    m_pLog->writeLine("\t\t\tDisplayed Image: " + Bit(c.CSVDisplayed));
    m_pLog->writeLine("\t\tRAW: " + Bit(c.RAW));
    m_pLog->writeLine("\t\t\t8-bit: " + Bit(c.RAW8b));
    m_pLog->writeLine("\t\t\t16-bit: " + Bit(c.RAW16b));
    m_pLog->writeLine("\t\t\tSaved FPN: " + Bit(c.RAWFPN));
    m_pLog->writeLine("\t\t\tAcquired Image: " + Bit(c.RAWAcquired));
    m_pLog->writeLine("\t\t\tDisplayed Image: " + Bit(c.RAWDisplayed));
    emit Configuration_SavingFormat(c.SnapshotFormat, c.SaveAllFramesFormat, c.NumberFrames, c.Period, c.BMP, c.JPG,
                                    c.CSV, c.CSV8b, c.CSV16b, c.CSVFPN, c.CSVAcquired, c.CSVDisplayed, c.RAW,
                                    c.RAW8b, c.RAW16b, c.RAWFPN, c.RAWAcquired, c.RAWDisplayed);
    // The main window discards the dialog in answer: no member is touched after this.
    emit closeWindow();
}

void Window_ConfSavingFile::PushButton_Cancel()
{
    emit closeWindow();
}

void Window_ConfSavingFile::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closeWindow();
}

void Window_ConfSavingFile::on_checkBox_SaveCSV_stateChanged(int p_iState)
{
    SetChildren({ui->checkBox_SavedFPNCSV, ui->checkBox_AcquiredImageCSV, ui->checkBox_DisplayedImageCSV},
                p_iState != 0);
}

void Window_ConfSavingFile::on_checkBox_SaveRAW_stateChanged(int p_iState)
{
    SetChildren({ui->checkBox_SavedFPNRAW, ui->checkBox_AcquiredImageRAW, ui->checkBox_DisplayedImageRAW},
                p_iState != 0);
}

void Window_ConfSavingFile::on_checkBox_DisplayedImageCSV_stateChanged(int p_iState)
{
    SetChildren({ui->checkBox_16bit_CSV, ui->checkBox_8bit_CSV}, p_iState != 0);
}

void Window_ConfSavingFile::on_checkBox_DisplayedImageRAW_stateChanged(int p_iState)
{
    SetChildren({ui->checkBox_16bit_RAW, ui->checkBox_8bit_RAW}, p_iState != 0);
}
