// The automatic bad-pixel detection window: two detection modes, the results table, the count and the map file it writes.
#pragma once

#include "tools/bad_pixel_search.h"
#include "tools/parameter_writer.h"

#include <QString>
#include <QWidget>

#include <opencv2/core.hpp>

#include <cstdint>

namespace Ui {
class Window_DetectBP;
}
class QCloseEvent;
class QMessageBox;

class Window_DetectBP : public QWidget
{
    Q_OBJECT

public:
    explicit Window_DetectBP(QWidget* parent = nullptr);
    ~Window_DetectBP() override;

    // Set by the opener once the copyright text and the proxy index are given.
    bool Configured = false;
    Ui::Window_DetectBP* ui = nullptr;
    cv::Mat LowFrame;
    cv::Mat HighFrame;
    cv::Mat DifferenceFrame;
    cv::Mat LatestFrame;
    uint16_t CurrentProxyIndex = 0;

    void setCopyright(QString p_sText);
    void setProxyIndex(uint16_t p_uIndex);
    // GSK boxes := gsk - 50 and gsk + 50 (clamped by the boxes), label := the value.
    void setCurrentGSK(int p_iGsk);
    void setTableHeaders();
    void addBadPixelRow(QString p_sX, QString p_sY);
    void enableControls(bool p_bOn);

    // A detection run is under way (the window then refuses to close until it has ended it).
    bool isRunning() const { return m_bRunning; }
    // Bad pixels found by the last completed computation.
    uint32_t badPixelCount() const { return m_uBadPixelCount; }
    // Frames received since the window was made.
    uint64_t framesReceived() const { return m_uFramesReceived; }
    // Every wait of a run lasts 1 / p_iDivisor of its time (at least 1). The
    // program keeps 1; tests shorten the run with a fast simulated sensor.
    void setWaitDivisor(int p_iDivisor) { m_iWaitDivisor = p_iDivisor < 1 ? 1 : p_iDivisor; }
    // Where the run's GSK writes go. The window starts with its own signals
    // (ValueDAC_..._changed, then PushButton_SetParam), which the main window
    // forwards to its boxes and its parameter sending.
    void setParameterWriter(ParameterWriter p_Writer) { m_Writer = std::move(p_Writer); }

signals:
    void ValueDAC_A_changed(int p_iValue);
    void ValueDAC_B_changed(int p_iValue);
    void ValueDAC_C_changed(int p_iValue);
    void ValueDAC_D_changed(int p_iValue);
    void PushButton_SetParam();
    void BadPixelDetectionStaus(bool p_bStatus);

public slots:
    void on_checkBox_ImgLevel_stateChanged(int p_iState);
    void on_checkBoxGSKAdjustment_stateChanged(int p_iState);
    void on_pushButton_Start_released();
    void on_pushButton_OpenFile_released();
    void setImageForAnalysis(cv::Mat p_Frame);

protected:
    void closeEvent(QCloseEvent* p_pEvent) override;

private:
    void updateStartButton();
    ParameterWriter signalWriter();
    // The search's way to the window, the main window and the board.
    BadPixelSearch::Io searchIo();
    // The waits of a run (WaitMs, divided by the wait divisor).
    void waitMs(int p_iMs);
    void finishRun();
    // The detection on the search's two frames: the table, the count, the map file.
    void showDetection();
    void writeMapFile();

    int m_iRowCounter = 0;
    int m_iWaitDivisor = 1;
    QString m_sSerialNumber = QStringLiteral("000000000");
    bool m_bRunning = false;
    bool m_bCloseRequested = false;
    uint32_t m_uBadPixelCount = 0;
    uint64_t m_uFramesReceived = 0;
    BadPixelSearch m_Search;
    ParameterWriter m_Writer;
    QMessageBox* m_pNotice = nullptr;
};
