// The board set-up window: the proxy, frame rate or custom pixel clock an interface board is reconfigured for.
#pragma once

#include "app/digiboard_kind.h"
#include "mainwindow/proxy_choice_source.h"

#include <QMainWindow>
#include <QString>

class KV_Log;
class PvDeviceSerialPort;
class QCloseEvent;

namespace Ui {
class Setup_DigiBoard;
}

// How the window turns a wanted pixel clock into the generated one.
enum class SetupPixelClock {
    None,       // the box is not acted on
    Search,     // the nearest multiplier and divider pair is searched (Belmor+, Dunstel)
    AsWanted,   // the board generates the wanted clock itself (Arvex, Corvane)
};

// One kind's row of the window (see SetupKindRowOf).
struct SetupKindRow
{
    const char* LogName;
    const char* Label;
    bool Standard, Options, Frequencies, Proxies, SetConfig;
    double Value;
    const char* DefaultProxy;   // chosen for the operator; nullptr: none
    SetupPixelClock Clock;
};

class Setup_DigiBoard : public QMainWindow, public ProxyChoiceSource
{
    Q_OBJECT

public:
    explicit Setup_DigiBoard(QWidget* parent = nullptr);
    ~Setup_DigiBoard() override;

    // Item-data role that holds an item's flags in a combo box's model.
    static constexpr int ItemFlagsRole = Qt::UserRole - 1;
    static constexpr int ItemAvailable = 33;   // selectable | enabled

    void setLog(KV_Log* p_pLog);
    // The board kind arrives as the board combo's index; a number that is no kind is None.
    void setDigiBoard(int p_iKind);
    void setStatusConnexion(bool p_bConnected) { m_bConnected = p_bConnected; }
    void setPortGigE(PvDeviceSerialPort* p_pPort);
    void setProxyIndex(int p_iListIndex);
    // The proxy row stored directly, as read from the board.
    void setProxyRow(int p_iProxyRow) { m_iProxyRow = p_iProxyRow; }
    void setFrequency(int p_iFrameRateCode);
    void setCopyright(QString p_sText);
    void updateComboBox();

    int getFrequency() const { return m_iFrameRate; }
    QString getFrequencyText() const;
    QString getProxyText() const;
    // The main window asks the chosen proxy through this.
    QString ProxyText() const override { return getProxyText(); }

    int proxyRow() const { return m_iProxyRow; }
    int configuredGSK() const { return m_iConfiguredGSK; }
    int multiplier() const { return m_iMultiplier; }
    int divider() const { return m_iDivider; }
    // Whether frequency item p_iItem is currently offered (its flags are non-zero).
    bool isFrequencyItemAvailable(int p_iItem) const;

    Ui::Setup_DigiBoard* ui = nullptr;

signals:
    void ButtonConfigPressed();
    void FrequencyNotTested(int);
    void UpdateGSK_CKDIV(int);
    void CloseWindow();

public slots:
    void setEnabled_PushButton_SetConf(bool val);
    void PushButton_Set();
    void ComboBox_SelectProxyCard();
    void ComboBox_SelectFrequency();
    void SpinBox_Changed();

protected:
    bool eventFilter(QObject* p_pObject, QEvent* p_pEvent) override;
    void closeEvent(QCloseEvent* p_pEvent) override;

private:
    void fillProxyList();
    void fillFrequencyList();
    void CheckAvailableFrequencies();
    // Sends the chosen configuration; false when the board or the library refused part of it.
    bool SendSelectedConfiguration();
    // Non-empty when the chosen configuration cannot be sent (the reason).
    QString RefusalOfSelection();
    void writeLog(const QString& p_sLine);

    bool m_bConnected = false;
    int m_iFrameRate = 0;
    int m_iProxyRow = 0;
    BoardKind m_DigiBoardKind = BoardKind::None;
    SetupPixelClock m_PixelClock = SetupPixelClock::None;
    int m_iConfiguredGSK = 0;
    int m_iMultiplier = 2;
    int m_iDivider = 2;
    PvDeviceSerialPort* m_pGigEPort = nullptr;
    KV_Log* m_pLog = nullptr;
    KV_Log* m_pOwnLog = nullptr;
};
