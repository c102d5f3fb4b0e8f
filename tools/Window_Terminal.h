// The serial terminal: one typed line to the connected board's command link, and what came back.
#pragma once

#include "app/digiboard_kind.h"

#include <QMainWindow>
#include <QString>

#include <functional>

class BoardLink;
class KV_Log;
class PvDeviceSerialPort;
class QCloseEvent;
class QTimer;

namespace Ui {
class Window_Terminal;
}

class Window_Terminal : public QMainWindow
{
    Q_OBJECT

public:
    explicit Window_Terminal(QWidget* parent = nullptr);
    ~Window_Terminal() override;

    void setLog(KV_Log* p_pLog);
    bool isConnected() const { return m_bConnected; }
    int digiBoard() const { return BoardKindIndex(m_DigiBoardKind); }
    // The link the lines go through for a board kind (null: none).
    using LinkSource = std::function<BoardLink*(BoardKind)>;
    void setBoardLinks(LinkSource p_Links) { m_Links = std::move(p_Links); }
    // The poll timer, created and connected but never started.
    QTimer* pollTimer() const { return m_pPollTimer; }

    Ui::Window_Terminal* ui = nullptr;

signals:
    void CloseWindow();

public slots:
    // The board kind arrives as the board combo's index; a number that is no kind is None.
    void setDigiBoard(int DB);
    void setPortGigE(PvDeviceSerialPort* aPort);
    void setStatusConnexion(bool status);
    void Send2UART();
    void ClearTerm();
    void TimerGetUARTRx();

protected:
    bool eventFilter(QObject* p_pObject, QEvent* p_pEvent) override;
    void closeEvent(QCloseEvent* p_pEvent) override;

private:
    // Adds the text at the end of the received area as plain text: a reply
    // holding "<...>" is shown as sent, never taken for markup.
    void appendReceived(const QString& p_sText);
    void writeLog(const QString& p_sLine);

    PvDeviceSerialPort* m_pGigEPort = nullptr;   // the Dunstel link holds the port it writes through
    LinkSource m_Links;
    bool m_bConnected = false;
    BoardKind m_DigiBoardKind = BoardKind::None;
    QTimer* m_pPollTimer = nullptr;
    KV_Log* m_pLog = nullptr;
    KV_Log* m_pOwnLog = nullptr;
};
