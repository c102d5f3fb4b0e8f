// The saving-options dialog: snapshot and save-all formats, the number of frames, the stream period and the stream files.
#pragma once

#include <QDialog>

class KV_Log;
class QCloseEvent;

namespace Ui {
class Window_ConfSavingFile;
}

// The saving options, always passed as these 18 values in this order.
struct SavingConfiguration
{
    int SnapshotFormat = 0;      // 0 BMP, 1 JPG, 2 PNG, 3 TIFF
    int SaveAllFramesFormat = 0; // 0 BMP, 1 RAW
    int NumberFrames = 0;        // 0: until stopped
    int Period = 100;            // ms
    bool BMP = false, JPG = false, CSV = false;
    bool CSV8b = false, CSV16b = false, CSVFPN = false, CSVAcquired = false, CSVDisplayed = false;
    bool RAW = false;
    bool RAW8b = false, RAW16b = false, RAWFPN = false, RAWAcquired = false, RAWDisplayed = false;
};

class Window_ConfSavingFile : public QDialog
{
    Q_OBJECT

public:
    explicit Window_ConfSavingFile(QWidget* parent = nullptr);
    ~Window_ConfSavingFile() override;

    void SetLog(KV_Log* p_pLog);
    void UpdateValues(int p_iSnapshotFormat, int p_iSaveAllFramesFormat, int p_iNumberFrames, int p_iPeriod,
                      bool p_bBMP, bool p_bJPG, bool p_bCSV, bool p_bCSV8b, bool p_bCSV16b, bool p_bCSVFPN,
                      bool p_bCSVAcquired, bool p_bCSVDisplayed, bool p_bRAW, bool p_bRAW8b, bool p_bRAW16b,
                      bool p_bRAWFPN, bool p_bRAWAcquired, bool p_bRAWDisplayed);
    void UpdateValues(const SavingConfiguration& p_Config);
    // The record the widgets show now.
    SavingConfiguration CurrentValues() const;
    bool IsOpen() const { return m_bOpen; }
    void SetOpen(bool p_bOpen) { m_bOpen = p_bOpen; }

    Ui::Window_ConfSavingFile* ui = nullptr;

signals:
    void Configuration_SavingFormat(int SnapshotFormat, int SaveAllFramesFormat, int NumberFrames, int Period,
                                    bool BMP, bool JPG, bool CSV, bool CSV8b, bool CSV16b, bool CSVFPN,
                                    bool CSVAcquired, bool CSVDisplayed, bool RAW, bool RAW8b, bool RAW16b,
                                    bool RAWFPN, bool RAWAcquired, bool RAWDisplayed);
    void closeWindow();

public slots:
    void CheckBox_Infinite();
    void CheckBox_FixNumber();
    void PushButton_OK();
    void PushButton_Cancel();
    void closeEvent(QCloseEvent* event) override;
    void on_checkBox_SaveCSV_stateChanged(int p_iState);
    void on_checkBox_SaveRAW_stateChanged(int p_iState);
    void on_checkBox_DisplayedImageCSV_stateChanged(int p_iState);
    void on_checkBox_DisplayedImageRAW_stateChanged(int p_iState);

private:
    void FillComboBoxSnapshotFormat();
    void FillComboBoxSaveAllFramesFormat();

    bool m_bOpen = false;
    KV_Log* m_pOwnLog = nullptr;
    KV_Log* m_pLog = nullptr;
};
