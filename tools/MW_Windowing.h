// The sensor windowing window: the operator's sub-window of the sensor, its estimated frame rate, camera file and corners.
#pragma once

#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <functional>

class QCloseEvent;
class QSpinBox;

namespace Ui {
class MW_Windowing;
}

class MW_Windowing : public QMainWindow
{
    Q_OBJECT

public:
    explicit MW_Windowing(QWidget* parent = nullptr);
    ~MW_Windowing() override;

    // Writes one board register (BoardRegisterId, value) through the encoder
    // of the connected board; 0 when written. The owner sets it.
    using RegisterWriter = std::function<int(int, int)>;
    void setRegisterWriter(RegisterWriter p_Writer) { m_WriteRegister = std::move(p_Writer); }

    void setProxy(QString p_sProxyName, int p_iProxyIndex);
    // Takes effect on the camera-file names at the next setProxy.
    void setSecondCamFile(bool p_bSecondCamFile) { m_bSecondCamFile = p_bSecondCamFile; }
    void setImageSize(uint16_t p_uWidth, uint16_t p_uHeight);
    // The frame rate measured in the last second.
    void setCurrentFps(uint16_t p_uFps);

    QString sourceCamFilePath() const { return m_sSourceCamFile; }
    QString windowingCamFilePath() const { return m_sWindowingCamFile; }
    uint16_t currentFrameRate() const { return m_uCurrentFps; }

    Ui::MW_Windowing* ui = nullptr;

signals:
    void Windowing_configured(bool);
    void CloseWindow();

public slots:
    void setXFirst(int p_iValue);
    void setXLast(int p_iValue);
    void setYFirst(int p_iValue);
    void setYLast(int p_iValue);
    void updateComboBoxPredifinedWindowing(QString p_sText);
    // A window size typed by the operator: the last corner follows it.
    void setXSize(int p_iSize);
    void setYSize(int p_iSize);
    // Rewrites the windowing camera file, then sends the corners.
    void Modify_CamFileWindowing();
    // Sends the corners and asks the main window to restart acquisition.
    void PushButton_SetWindow();

protected:
    void closeEvent(QCloseEvent* p_pEvent) override;

private:
    void updateWindowWidth();
    void updateWindowHeight();
    void updateWindowFps();
    void updateButton();
    // Shows a size without taking it for one the operator typed.
    void writeSizeBox(QSpinBox* p_pBox, int p_iValue);
    void updateTintMaximum();

    RegisterWriter m_WriteRegister;
    QString m_sProxyName;
    QString m_sSourceCamFile;
    QString m_sWindowingCamFile;
    bool m_bSecondCamFile = false;
    bool m_bWindowingOffered = false;
    bool m_bWritingSizes = false;
    int m_iProxyIndex = 0;
    static constexpr int kRingSize = 15;
    uint16_t m_FpsRing[kRingSize] = {};
    int m_iRingNext = 0;
    uint16_t m_uImageWidth = 0;
    uint16_t m_uImageHeight = 0;
    uint16_t m_uXFirst = 0;
    uint16_t m_uXLast = 0;
    uint16_t m_uYFirst = 0;
    uint16_t m_uYLast = 0;
    uint16_t m_uWindowWidth = 0;
    uint16_t m_uWindowHeight = 0;
    uint16_t m_uSensorWidth = 0;
    uint16_t m_uSensorHeight = 0;
    uint16_t m_uCurrentFps = 0;
    uint16_t m_uTintMax = 0;
    uint16_t m_uEstimatedFps = 0;
    uint16_t m_uBlindColumns = 0;
};
