// The frame-statistics window ("Debug Window"): writes the per-frame statistics report of the live stream.
#pragma once

#include <QFile>
#include <QString>
#include <QWidget>

#include <opencv2/core.hpp>

namespace Ui {
class Window_Debug;
}
class QCloseEvent;

class Window_Debug : public QWidget
{
    Q_OBJECT

public:
    explicit Window_Debug(QWidget* parent = nullptr);
    ~Window_Debug() override;

    Ui::Window_Debug* ui = nullptr;

    bool isRunning() const { return m_bRunning; }
    QString filePath() const { return m_sFilePath; }
    int linesWritten() const { return m_iLineCounter; }

    bool eventFilter(QObject* p_pWatched, QEvent* p_pEvent) override;

signals:
    void signalDebugStart();
    void signalDebugStop();
    void signalTakeFPN();

public slots:
    void PushButton_StartDebug();
    void calculateDebug(cv::Mat p_cvmatImageRAW, cv::Mat p_cvmatImageProcessed);
    void InterruptDebug();
    void getSelectedFileNameByDialog();
    void CheckBox_ProcessedImage_stateChanged(int p_iState);

    void setTINT(int p_iValue) { m_iTint = p_iValue; }
    void setDAC_A(int p_iValue) { m_iDacA = p_iValue; }
    void setDAC_B(int p_iValue) { m_iDacB = p_iValue; }
    void setDAC_C(int p_iValue) { m_iDacC = p_iValue; }
    void setDAC_D(int p_iValue) { m_iDacD = p_iValue; }
    void setGain(int p_iValue) { m_iImageGain = p_iValue; }
    void setOffset(int p_iValue) { m_iImageOffset = p_iValue; }
    void setCKDIV(int p_iValue) { m_iCkdiv = p_iValue; }
    void setGMSGain0(int p_iValue) { m_iGain0 = p_iValue; }
    void setGMSGain1(int p_iValue) { m_iGain1 = p_iValue; }
    void setGMSGain2(int p_iValue) { m_iGain2 = p_iValue; }
    void setGMSUpCol(int p_iValue) { m_iUpCol = p_iValue; }
    void setGMSUpRow(int p_iValue) { m_iUpRow = p_iValue; }
    void setFrequency(int p_iValue) { m_iFrameRate = p_iValue; }
    void setProxyName(QString p_sString) { m_sProxyName = p_sString; }
    void setDigiName(QString p_sString) { m_sDigiName = p_sString; }
    void isNUCApply(bool p_bValue) { m_bNucApplied = p_bValue; }
    void setCopyright(QString p_sCopyright);

protected:
    void closeEvent(QCloseEvent* p_pEvent) override;

private:
    void setControlsEnabled(bool p_bOn);
    void endReport(bool p_bWithEndingTime);
    void warn(const QString& p_sTitle, const QString& p_sText);

    bool m_bAnalyseRaw = false;
    bool m_bAnalyseProcessed = false;
    bool m_bRunning = false;
    bool m_bNucApplied = false;
    bool m_bAutoFPN = false;
    bool m_bWantMin = false;
    bool m_bWantMax = false;
    bool m_bWantMean = false;
    bool m_bWantStd = false;
    int m_iRequestedCount = 1;
    int m_iLineCounter = 1;
    int m_iTint = 0, m_iDacA = 0, m_iDacB = 0, m_iDacC = 0, m_iDacD = 0, m_iImageGain = 0, m_iImageOffset = 0,
        m_iCkdiv = 0, m_iGain0 = 0, m_iGain1 = 0, m_iGain2 = 0, m_iUpCol = 0, m_iUpRow = 0, m_iFrameRate = 0;
    QFile m_Report;
    QString m_sFilePath;
    QString m_sProxyName;
    QString m_sDigiName;
    bool m_bChoosingFile = false;
};
