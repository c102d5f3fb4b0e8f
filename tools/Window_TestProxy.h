// The proxy-board test window: an operator-observed sequence (connect, bias, saved image, shuttered NUC, GSK variation, disconnect).
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace Ui {
class Window_TestProxy;
}
class QCloseEvent;
class QMessageBox;
class QTimer;

class Window_TestProxy : public QWidget
{
    Q_OBJECT

public:
    explicit Window_TestProxy(QWidget* parent = nullptr);
    ~Window_TestProxy() override;

    Ui::Window_TestProxy* ui = nullptr;

    void setCopyright(QString p_sText);
    void fillProxyList();
    void fillPredefinedTests();
    void updateSelectedProxy(QString p_sProxy);

    QString selectedProxyName() const { return m_sSelectedProxyName; }
    uint8_t proxyIndex() const { return m_uProxyIndex; }
    bool isRunning() const { return m_bRunning; }
    // Every wait of a run lasts 1 / p_iDivisor of its time (at least 1). The
    // program keeps 1; tests shorten the run with a fast simulated board.
    void setWaitDivisor(int p_iDivisor) { m_iWaitDivisor = p_iDivisor < 1 ? 1 : p_iDivisor; }
    // Ends a run before its time: the board is disconnected again if the run
    // connected it, the prompts go, and the progress stays where it stopped.
    // The main window asks for it when the parameters of a step were refused
    // or could not be sent.
    void stopRun();

signals:
    void ValueTINT_changed(int p_iValue);
    void ValueDAC_A_changed(int p_iValue);
    void ValueDAC_B_changed(int p_iValue);
    void ValueDAC_C_changed(int p_iValue);
    void ValueDAC_D_changed(int p_iValue);
    void ValueGain_changed(int p_iValue);
    void ValueOffset_changed(int p_iValue);
    void PushButton_SetParam();
    void PushButtonConnect();
    void PushButtonTakeFPN();
    void SaveBMPImage(QString p_sName);
    void InvertUpColUpRow();
    // A run begins: the main window notes what the run will change.
    void TestStarted();
    // The sequence has ended (normally, stopped, or because the window was
    // closed) and the board is as the sequence left it.
    void TestFinished();
    // The board was connected when the run began: the main window takes it
    // down first, so that the run starts from the disconnected state.
    void DisconnectBoard();

public slots:
    void on_pushButton_released();
    void on_checkBox_ChangeBIAS_released();
    void on_checkBox_NUC_released();
    void on_checkBox_GSKVariation_released();
    void on_comboBox_SelectProxy_currentTextChanged(QString arg1);
    void on_comboBox_PredefinedTest_currentIndexChanged(QString arg1);
    // The main window's connection state, kept up to date by the main window.
    void setBoardConnected(bool p_bConnected) { m_bBoardConnected = p_bConnected; }

protected:
    void closeEvent(QCloseEvent* p_pEvent) override;

private:
    // One step of the sequence: runs, then returns the wait in ms before the next.
    using Step = std::function<int()>;
    void runNextStep();
    void startWait(int p_iMs);
    void waitTimedOut();
    void endRun();
    void emitGskValue(int p_iDelta);
    QMessageBox* makePrompt(const QString& p_sTitle, const QString& p_sText);

    QString m_sSelectedProxyName;
    uint8_t m_uProxyIndex = 13;
    bool m_bRunning = false;
    int m_iWaitDivisor = 1;
    bool m_bCloseAfterRun = false;
    bool m_bShutterPart = false;
    bool m_bGskPart = false;
    bool m_bBoardConnected = false;
    bool m_bCutShort = false;
    // Changes whenever a stop or the end takes over the course of the run.
    quint64 m_uEpoch = 0;
    // First opening press and the closing press, as indexes of m_Steps.
    size_t m_uFirstPress = 0;
    size_t m_uClosingPress = 0;
    // The wait in progress: it ends when m_iWaitMs have passed on m_WaitClock.
    QElapsedTimer m_WaitClock;
    int m_iWaitMs = 0;
    QElapsedTimer m_DisconnectClock;
    std::vector<Step> m_Steps;
    size_t m_uNextStep = 0;
    QTimer* m_pStepTimer = nullptr;
    QMessageBox* m_pPutShutter = nullptr;
    QMessageBox* m_pRemoveShutter = nullptr;
};
