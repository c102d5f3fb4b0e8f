// The proxy-board test window: an operator-observed sequence (connect, bias, saved image, shuttered NUC, GSK variation, disconnect).
#pragma once

#include "tools/parameter_writer.h"

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include <memory>

namespace Ui {
class Window_TestProxy;
}
class QCloseEvent;
class QMessageBox;
class QTimer;
class ProxyTestSequence;
enum class ShutterPrompt;

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
    bool isRunning() const;
    // Every wait of a run lasts 1 / p_iDivisor of its time (at least 1). The
    // program keeps 1; tests shorten the run with a fast simulated board.
    void setWaitDivisor(int p_iDivisor) { m_iWaitDivisor = p_iDivisor < 1 ? 1 : p_iDivisor; }
    // Ends a run before its time: the board is disconnected again if the run
    // connected it, the prompts go, and the progress stays where it stopped.
    // The main window asks for it when the parameters of a step were refused
    // or could not be sent.
    void stopRun();
    // Where the run's parameter writes go. The window starts with its own
    // signals (Value..._changed, then PushButton_SetParam), which the main
    // window forwards to its boxes and its parameter sending.
    void setParameterWriter(ParameterWriter p_Writer);

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
    // The window's side of the sequence: its signals, boxes, timer and prompts.
    class SequenceGlue;
    ParameterWriter signalWriter();
    void startWait(int p_iMs);
    void waitTimedOut();
    QMessageBox*& prompt(ShutterPrompt p_Prompt);
    QMessageBox* makePrompt(const QString& p_sTitle, const QString& p_sText);

    QString m_sSelectedProxyName;
    uint8_t m_uProxyIndex = 13;
    int m_iWaitDivisor = 1;
    bool m_bCloseAfterRun = false;
    bool m_bBoardConnected = false;
    // The wait in progress: it ends when m_iWaitMs have passed on m_WaitClock.
    QElapsedTimer m_WaitClock;
    int m_iWaitMs = 0;
    // The sequence's clock, started with the window.
    QElapsedTimer m_Clock;
    QTimer* m_pStepTimer = nullptr;
    QMessageBox* m_pPutShutter = nullptr;
    QMessageBox* m_pRemoveShutter = nullptr;
    std::unique_ptr<SequenceGlue> m_pGlue;
    std::unique_ptr<ProxyTestSequence> m_pSequence;
};
