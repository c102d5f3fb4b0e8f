// The main window's side of the advanced-commands window: its creation, menu action, close and the GigE objects it is handed.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/header_constants.h"
#include "app/kv_log.h"
#include "board/mainwindow_board_link.h"
#include "tools/Cmd_Perso.h"

void MainWindow::CreateAdvancedCommandsWindow()
{
    // No parent: a tool window of its own; the main window deletes it.
    CommandsWindow = new Cmd_Perso(nullptr);
    CommandsWindow->setBoardLinks([this](BoardKind p_Kind) { return WindowBoardLink(this, p_Kind); });
    CommandsWindow->setAttribute(Qt::WA_QuitOnClose, false);
    connect(CommandsWindow, &Cmd_Perso::CloseWindow, this, &MainWindow::CloseAdvCmdWindow);
    connect(ui->action_OpenCommandsWindow, &QAction::triggered, this, [this](bool) { ActionCommands(); });
    connect(this, &MainWindow::CommandsBoardChanged, CommandsWindow, &Cmd_Perso::UpdateDigiBoard);
    // Whichever path changes the proxy (board read-back, Belmor selector), the particular parameters follow.
    connect(this, &MainWindow::ProxyChanged, CommandsWindow, &Cmd_Perso::setProxyBoard);
}

void MainWindow::DestroyAdvancedCommandsWindow()
{
    delete CommandsWindow;
    CommandsWindow = nullptr;
}

void MainWindow::ActionCommands()
{
    if (!CommandsWindow)
        return;
    if (CommandsWindowOpen) {
        BringToolWindowToFront(CommandsWindow);
        CommandsWindow->centralWidget()->raise();
        return;
    }
    Log->writeLine("Open Advanced Command Window");
    CommandsWindow->activateWindow();
    CommandsWindow->setAttribute(Qt::WA_QuitOnClose, false);
    CommandsWindow->show();
    CommandsWindowOpen = true;
}

void MainWindow::CloseAdvCmdWindow()
{
    Log->writeLine("Close Advanced Command Window");
    CommandsWindowOpen = false;
}

void MainWindow::HandGigEToAdvancedCommands()
{
    if (!CommandsWindow)
        return;
    CommandsWindow->setDeviceGigE(GigEDevice);
    CommandsWindow->setStreamGigE(GigEStream);
}

void MainWindow::ResetGigEInAdvancedCommands()
{
    if (!CommandsWindow)
        return;
    CommandsWindow->setDeviceGigE(nullptr);
    CommandsWindow->setStreamGigE(nullptr);
}

void MainWindow::CloseAdvancedCommandsBrowsers()
{
    if (CommandsWindow)
        CommandsWindow->CloseParameterBrowsers();
}
