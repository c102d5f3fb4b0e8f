// MainWindow: the saving options taken over from the dialog, and the dialog's life cycle.
#include "mainwindow/MainWindow.h"
#include "ui_MainWindow.h"

#include "app/kv_log.h"
#include "mainwindow/Window_ConfSavingFile.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QPushButton>

#include <cstring>

namespace {

struct SnapshotPattern
{
    const char* Extension;
    int CounterCell;
};

const SnapshotPattern kSnapshotPatterns[] = {{"bmp", ProxyParameterId::SnapshotCounterBMP},
                                             {"jpeg", ProxyParameterId::SnapshotCounterJPEG},
                                             {"png", ProxyParameterId::SnapshotCounterPNG},
                                             {"tif", ProxyParameterId::SnapshotCounterTIF}};

void UnknownFormatBox(QWidget* p_pParent)
{
    PresentMessageBox({p_pParent, QMessageBox::Critical, QStringLiteral("Unknown format"),
                       QStringLiteral("This format is unknown"), {QStringLiteral("Ok")}});
}

} // namespace

void MainWindow::Update_ConfigurationSavingFile(int p_iSnapshotFormat, int p_iSaveAllFramesFormat, int p_iNumberFrames,
                                                int p_iPeriod, bool p_bBMP, bool p_bJPG, bool p_bCSV, bool p_bCSV8b,
                                                bool p_bCSV16b, bool p_bCSVFPN, bool p_bCSVAcquired,
                                                bool p_bCSVDisplayed, bool p_bRAW, bool p_bRAW8b, bool p_bRAW16b,
                                                bool p_bRAWFPN, bool p_bRAWAcquired, bool p_bRAWDisplayed)
{
    if (SaveAllFramesRunning)
        ui->pushButton_SaveAllFrames->click();
    SnapshotFormat = p_iSnapshotFormat;
    SaveAllFramesFormat = p_iSaveAllFramesFormat;
    Period = p_iPeriod;
    NumberFrames = p_iNumberFrames;
    const int proxy = CurrentProxyIndex;

    QString sFileName;
    if (p_iSnapshotFormat >= 0 && p_iSnapshotFormat <= 3) {
        const SnapshotPattern& pattern = kSnapshotPatterns[p_iSnapshotFormat];
        qstrncpy(SnapshotExtension, pattern.Extension, sizeof(SnapshotExtension));
        const uint32_t counter = GetCurrent(proxy, pattern.CounterCell);
        sFileName = counter != 0 ? "Snapshot_" + QString::number(counter) + "." + pattern.Extension
                                 : QString("Snapshot_.") + pattern.Extension;
    } else {
        UnknownFormatBox(this);
    }

    if (p_iSaveAllFramesFormat == 0 || p_iSaveAllFramesFormat == 1) {
        const bool bRaw = p_iSaveAllFramesFormat == 1;
        SaveAllFramesRaw = bRaw;
        SaveAllFramesBmp = !bRaw;
        const char* szFormat = bRaw ? "RAW" : "BMP";
        ui->pushButton_SaveAllFrames->setText(p_iNumberFrames > 0 ? "Save " + QString::number(p_iNumberFrames)
                                                                        + " frames in " + szFormat
                                                                  : QString("Save all frames ") + szFormat);
    } else {
        UnknownFormatBox(this);
    }

    ui->lineEdit_FileName->setText(sFileName);
    ui->pushButton_Take_Snapshot->setText("Snapshot " + QString::fromLatin1(SnapshotExtension).toUpper());
    ui->checkBox_SaveStream->setText("Save stream with a " + QString::number(p_iPeriod) + " ms period");
    ui->checkBox_BMP->setChecked(p_bBMP);
    ui->checkBox_CSV->setChecked(p_bCSV);
    ui->checkBox_JPG->setChecked(p_bJPG);
    ui->checkBox_RAW->setChecked(p_bRAW);
    CSV8b = p_bCSV8b;
    CSV16b = p_bCSV16b;
    CSVAcquired = p_bCSVAcquired;
    CSVFPN = p_bCSVFPN;
    CSVDisplayed = p_bCSVDisplayed;
    RAW8b = p_bRAW8b;
    RAW16b = p_bRAW16b;
    RAWAcquired = p_bRAWAcquired;
    RAWFPN = p_bRAWFPN;
    RAWDisplayed = p_bRAWDisplayed;
    ui->checkBox_SaveStream->setEnabled(p_bBMP || p_bCSV || p_bJPG || p_bRAW);
    SetCurrent(proxy, ProxyParameterId::SaveStreamPeriod, uint32_t(p_iPeriod));
    SetCurrent(proxy, ProxyParameterId::SaveBMP, p_bBMP ? 1 : 0);
    SetCurrent(proxy, ProxyParameterId::SaveCSV, p_bCSV ? 1 : 0);
    SetCurrent(proxy, ProxyParameterId::SaveJPG, p_bJPG ? 1 : 0);
    SetCurrent(proxy, ProxyParameterId::SaveRAW, p_bRAW ? 1 : 0);
}

void MainWindow::ActionSetupSavingFiles()
{
    if (!ConfSavingFileWindow) {
        auto* pDialog = new Window_ConfSavingFile;
        pDialog->setAttribute(Qt::WA_QuitOnClose, false);
        ConfSavingFileWindow = pDialog;
        ConnectConfSavingFile();
        pDialog->SetLog(Log);
        pDialog->UpdateValues(SnapshotFormat, SaveAllFramesFormat, NumberFrames, Period, ui->checkBox_BMP->isChecked(),
                              ui->checkBox_JPG->isChecked(), ui->checkBox_CSV->isChecked(), CSV8b, CSV16b, CSVFPN,
                              CSVAcquired, CSVDisplayed, ui->checkBox_RAW->isChecked(), RAW8b, RAW16b, RAWFPN,
                              RAWAcquired, RAWDisplayed);
    }
    if (ConfSavingFileWindow->IsOpen()) {
        ConfSavingFileWindow->activateWindow();
        ConfSavingFileWindow->raise();
    } else {
        ConfSavingFileWindow->show();
        ConfSavingFileWindow->SetOpen(true);
    }
}

void MainWindow::ConnectConfSavingFile()
{
    connect(ConfSavingFileWindow.data(), &Window_ConfSavingFile::Configuration_SavingFormat, this,
            &MainWindow::Update_ConfigurationSavingFile);
    connect(ConfSavingFileWindow.data(), &Window_ConfSavingFile::closeWindow, this,
            &MainWindow::CloseConfigSavingFile);
}

void MainWindow::CloseConfigSavingFile()
{
    Log->writeLine("Close Configuration Saving File Window");
    Window_ConfSavingFile* pDialog = ConfSavingFileWindow.data();
    ConfSavingFileWindow.clear();
    if (!pDialog)
        return;
    pDialog->SetOpen(false);
    // Called from inside the dialog's own handlers: hidden now, deleted once they have returned.
    disconnect(pDialog, nullptr, this, nullptr);
    pDialog->hide();
    pDialog->deleteLater();
}
