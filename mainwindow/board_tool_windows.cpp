// The main window's side of the board set-up, terminal and I2C windows: creation, menu actions, close slots and what they are handed.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/header_constants.h"
#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "board/mainwindow_board_link.h"
#include "tools/MW_I2C_Configuration.h"
#include "tools/Setup_DigiBoard.h"
#include "tools/Window_Terminal.h"

#include <QTimer>

namespace {

// Asks to connect first; true when the operator chose "Connect".
bool OfferConnection(QWidget* p_pParent)
{
    return PresentMessageBox({p_pParent, QMessageBox::Warning, QStringLiteral("Start connexion first"),
                              QStringLiteral("Connexion has not been established yet. Please click on Connect button "
                                             "first."),
                              {QStringLiteral("Connect"), QStringLiteral("Cancel")}})
           == 0;
}

} // namespace

void MainWindow::CreateBoardToolWindows()
{
    // No parent: tool windows of their own; the main window deletes them.
    SetupWindow = new Setup_DigiBoard(nullptr);
    SetupWindow->setAttribute(Qt::WA_QuitOnClose, false);
    connect(SetupWindow, &Setup_DigiBoard::ButtonConfigPressed, this, &MainWindow::Deinit);
    connect(SetupWindow, &Setup_DigiBoard::FrequencyNotTested, this, &MainWindow::MessageBoxFrequencyWarning);
    connect(SetupWindow, &Setup_DigiBoard::UpdateGSK_CKDIV, this, &MainWindow::UpdateValuesOnDynamicFrequency);
    connect(SetupWindow, &Setup_DigiBoard::CloseWindow, this, &MainWindow::CloseSetupDigiWindow);
    connect(ui->action_OpenSetupDigiBoardWindow, &QAction::triggered, this, [this](bool) { ActionSetupDigi(); });
    SetupProxySource = SetupWindow;

    TerminalWindow = new Window_Terminal(nullptr);
    TerminalWindow->setBoardLinks([this](BoardKind p_Kind) { return WindowBoardLink(this, p_Kind); });
    TerminalWindow->setAttribute(Qt::WA_QuitOnClose, false);
    connect(TerminalWindow, &Window_Terminal::CloseWindow, this, &MainWindow::CloseTermWindow);
    connect(ui->action_OpenTerminal, &QAction::triggered, this, [this](bool) { ActionTerminal(); });

    I2CWindow = new MW_I2C_Configuration(nullptr);
    I2CWindow->setBoardLinks([this](BoardKind p_Kind) { return WindowBoardLink(this, p_Kind); });
    I2CWindow->setAttribute(Qt::WA_QuitOnClose, false);
    connect(I2CWindow, &MW_I2C_Configuration::CloseWindow, this, &MainWindow::CloseCommandI2CWindow);
    connect(ui->action_Send_I2C_Configuration_file, &QAction::triggered, this, [this](bool) { ActionCommandsI2C(); });

    // The windows follow the board choice and the connection as they change.
    connect(this, &MainWindow::DigiBoardKindChanged, this,
            [this](BoardKind p_Kind) { TellToolWindowsBoardKind(BoardKindIndex(p_Kind)); });
    connect(this, &MainWindow::ConnectionChanged, this, &MainWindow::TellToolWindowsConnection);
}

void MainWindow::DestroyBoardToolWindows()
{
    SetupProxySource = nullptr;
    delete SetupWindow;
    SetupWindow = nullptr;
    delete TerminalWindow;
    TerminalWindow = nullptr;
    delete I2CWindow;
    I2CWindow = nullptr;
}

// Runs one step of the main button (the connection attempt) without the
// automatic start of acquisition, whatever the attempt gives.
void MainWindow::ConnectForToolWindow()
{
    const bool bAutoStart = AutoStart;
    AutoStart = false;
    PushButton_Start();
    AutoStart = bAutoStart;
}

void MainWindow::ActionSetupDigi()
{
    if (SetupWindowOpen) {
        SetupWindow->activateWindow();
        SetupWindow->centralWidget()->raise();
        return;
    }
    if (!Connected) {
        if (!OfferConnection(this)) {
            Log->writeLine("Setup Digiboard window can't be opened because no connexion with a DigiBoard is made");
            return;
        }
        ConnectForToolWindow();
    }
    Log->writeLine("Open Setup DigiBoard window");
    SetupWindow->updateComboBox();
    SetupWindow->activateWindow();
    SetupWindow->setAttribute(Qt::WA_QuitOnClose, false);
    SetupWindow->show();
    SetupWindowOpen = true;
}

void MainWindow::CloseSetupDigiWindow()
{
    Log->writeLine("Close Setup Digiboard Window");
    SetupWindowOpen = false;
}

void MainWindow::ActionTerminal()
{
    if (TerminalWindowOpen) {
        BringToolWindowToFront(TerminalWindow);
        TerminalWindow->centralWidget()->raise();
        return;
    }
    if (!Connected) {
        PresentMessageBox({this, QMessageBox::Warning, QStringLiteral("Start connexion first"),
                           QStringLiteral("Connexion has not been established yet. Please click on Connect button "
                                          "first."),
                           {QStringLiteral("Ok")}});
        Log->writeLine("Terminal Window can't be opened because no connection with a DigiBoard is made");
        return;
    }
    Log->writeLine("Open Terminal Window");
    TerminalWindow->activateWindow();
    TerminalWindow->setAttribute(Qt::WA_QuitOnClose, false);
    TerminalWindow->show();
    TerminalWindowOpen = true;
}

void MainWindow::CloseTermWindow()
{
    Log->writeLine("Close Terminal Window");
    TerminalWindowOpen = false;
}

void MainWindow::ActionCommandsI2C()
{
    if (I2CWindowOpen) {
        I2CWindow->activateWindow();
        I2CWindow->centralWidget()->raise();
        return;
    }
    if (!Connected) {
        if (!OfferConnection(this))
            return;
        ConnectForToolWindow();
    }
    I2CWindow->activateWindow();
    I2CWindow->setAttribute(Qt::WA_QuitOnClose, false);
    I2CWindow->show();
    I2CWindowOpen = true;
}

void MainWindow::CloseCommandI2CWindow()
{
    Log->writeLine("Close I2C Commands Window");
    I2CWindowOpen = false;
}

void MainWindow::HandGigEToToolWindows()
{
    SetupWindow->setPortGigE(GigESerialPort);
    TerminalWindow->setPortGigE(GigESerialPort);
    I2CWindow->setPortGigE(GigESerialPort);
}

void MainWindow::ResetGigEInToolWindows()
{
    SetupWindow->setPortGigE(nullptr);
    TerminalWindow->setPortGigE(nullptr);
    I2CWindow->setPortGigE(nullptr);
}

void MainWindow::TellToolWindowsConnection(bool p_bConnected)
{
    if (!p_bConnected)
        SetupWindow->setEnabled_PushButton_SetConf(false);
    SetupWindow->setStatusConnexion(p_bConnected);
    TerminalWindow->setStatusConnexion(p_bConnected);
    I2CWindow->setStatusConnexion(p_bConnected);
}

void MainWindow::TellToolWindowsBoardKind(int p_iKind)
{
    SetupWindow->setDigiBoard(p_iKind);
    TerminalWindow->setDigiBoard(p_iKind);
}

void MainWindow::StopTerminalTimer()
{
    TerminalWindow->pollTimer()->stop();
}

void MainWindow::ShowBoardConfigurationInSetupWindow(int p_iProxyListPosition, int p_iProxyRow, int p_iFrameRate)
{
    SetupWindow->setDigiBoard(static_cast<int>(DigiBoardKind.load()));
    SetupWindow->setProxyIndex(p_iProxyListPosition);
    SetupWindow->setProxyRow(p_iProxyRow);
    SetupWindow->setFrequency(p_iFrameRate);
    I2CWindow->setDigiBoard(static_cast<int>(DigiBoardKind.load()));
}
