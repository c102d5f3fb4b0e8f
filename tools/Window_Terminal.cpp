// The serial terminal: one typed line to the connected board's command link, and what came back.
#include "tools/Window_Terminal.h"

#include "ui_Window_Terminal.h"

#include "app/digiboard_kind.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "board/board_link.h"
#include "board/register_writer.h"
#include "board/terminal_command.h"
#include "app/message_boxes.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QTextCursor>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kReplyWaitMs = 50;

} // namespace

Window_Terminal::Window_Terminal(QWidget* parent) : QMainWindow(parent)
{
    ui = new Ui::Window_Terminal;
    m_pOwnLog = new KV_Log;
    m_pLog = m_pOwnLog;
    ui->setupUi(this);
    connect(ui->lineEdit_Send, &QLineEdit::returnPressed, this, &Window_Terminal::Send2UART);
    connect(ui->pushButton_SEND, &QPushButton::clicked, this, &Window_Terminal::Send2UART);
    // The mouse press is taken by the event filter; this serves the keyboard.
    connect(ui->pushButton_CLEAR, &QPushButton::clicked, this, &Window_Terminal::ClearTerm);
    ui->pushButton_SEND->installEventFilter(this);
    ui->pushButton_CLEAR->installEventFilter(this);
    ui->lineEdit_Send->installEventFilter(this);
    ui->lineEdit_Send->setFocus();
    m_pPollTimer = new QTimer(this);
    connect(m_pPollTimer, &QTimer::timeout, this, &Window_Terminal::TimerGetUARTRx);
}

Window_Terminal::~Window_Terminal()
{
    delete ui;
    delete m_pOwnLog;
}

void Window_Terminal::setLog(KV_Log* p_pLog)
{
    m_pLog = p_pLog != nullptr ? p_pLog : m_pOwnLog;
}

void Window_Terminal::writeLog(const QString& p_sLine)
{
    WriteLogLine(m_pLog, p_sLine);
}

void Window_Terminal::setDigiBoard(int DB)
{
    writeLog(QStringLiteral("Terminal Window set DigiBoard to ") + QString::number(DB));
    m_DigiBoardKind = BoardKindFromIndex(DB);
}

void Window_Terminal::setPortGigE(PvDeviceSerialPort* aPort)
{
    writeLog(QStringLiteral("Terminal Window update Dunstel Serial Port"));
    m_pGigEPort = aPort;
}

void Window_Terminal::setStatusConnexion(bool status)
{
    writeLog(QStringLiteral("Terminal Window set Status connexion to ") + QString::number(status ? 1 : 0));
    m_bConnected = status;
}

void Window_Terminal::appendReceived(const QString& p_sText)
{
    QTextCursor cursor = ui->textEdit->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(p_sText);
    ui->textEdit->setTextCursor(cursor);
    ui->textEdit->ensureCursorVisible();
}

void Window_Terminal::Send2UART()
{
    if (!m_bConnected) {
        PresentMessageBox({this, QMessageBox::Warning, QStringLiteral("Start connexion first"),
                           QStringLiteral("Connexion has not been established yet. Please click on Connect button "
                                          "first."),
                           {QStringLiteral("OK")}});
        return;
    }
    ui->textEdit->moveCursor(QTextCursor::End);
    const QString sLine = ui->lineEdit_Send->text();
    const QByteArray line = sLine.toUtf8();
    BoardLink* pLink = m_Links ? m_Links(m_DigiBoardKind) : nullptr;
    const TerminalMode mode = pLink != nullptr ? pLink->terminalMode() : TerminalMode::None;

    CorvaneTerminalCommand command;
    if (mode == TerminalMode::Text) {
        pLink->sendText(line);
    } else if (mode == TerminalMode::ParameterCommands) {
        std::printf("%s\n", line.constData());
        std::fflush(stdout);
        command = ParseCorvaneTerminalCommand(line);
        // Not a command: nothing sent, the line stays for the operator to correct.
        if (command.LineAction == CorvaneTerminalCommand::Drop)
            return;
        if (command.LineAction == CorvaneTerminalCommand::Write)
            WriteLinkRegister(*pLink, BoardRegisterId(command.RegisterId), command.Value, RegisterErrorPolicy::BoxOnly);
    }

    WaitMs(kReplyWaitMs);
    if (!ui->checkBox_keep->isChecked())
        ui->lineEdit_Send->clear();
    appendReceived(sLine);

    QString sReply;
    if (mode == TerminalMode::Text)
        sReply = QString::fromLatin1(pLink->readTerminalReply());
    else if (mode == TerminalMode::ParameterCommands)
        sReply = CorvaneTerminalReply(command);
    appendReceived(sReply);
}

void Window_Terminal::ClearTerm()
{
    writeLog(QStringLiteral("Clear Terminal"));
    ui->textEdit->clear();
}

void Window_Terminal::TimerGetUARTRx()
{
    ui->textEdit->moveCursor(QTextCursor::End);
    BoardLink* pLink = m_Links ? m_Links(m_DigiBoardKind) : nullptr;
    if (pLink != nullptr && pLink->terminalMode() == TerminalMode::Text)
        appendReceived(QString::fromLatin1(pLink->pollText()));
}

bool Window_Terminal::eventFilter(QObject* p_pObject, QEvent* p_pEvent)
{
    if (p_pEvent->type() == QEvent::MouseButtonPress) {
        if (p_pObject == ui->pushButton_SEND) {
            Send2UART();
            return true;
        }
        if (p_pObject == ui->pushButton_CLEAR) {
            ClearTerm();
            return true;
        }
    }
    if (p_pEvent->type() == QEvent::KeyPress && p_pObject == ui->lineEdit_Send) {
        const int iKey = static_cast<QKeyEvent*>(p_pEvent)->key();
        if (iKey == Qt::Key_Return || iKey == Qt::Key_Enter) {
            Send2UART();
            return true;
        }
    }
    if (p_pObject == this && p_pEvent->type() == QEvent::Close) {
        emit CloseWindow();
        close();
        return true;
    }
    return QMainWindow::eventFilter(p_pObject, p_pEvent);
}

void Window_Terminal::closeEvent(QCloseEvent* p_pEvent)
{
    emit CloseWindow();
    p_pEvent->accept();
}
