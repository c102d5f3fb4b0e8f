// The main window's side of the board set-up, terminal and I2C windows: creation, menu actions, close slots and what they are handed.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/header_constants.h"
#include "app/kv_log.h"
#include "mainwindow/message_boxes.h"
#include "tools/Setup_DigiBoard.h"

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
}

void MainWindow::DestroyBoardToolWindows()
{
    SetupProxySource = nullptr;
    delete SetupWindow;
    SetupWindow = nullptr;
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

void MainWindow::HandGigEToToolWindows()
{
    SetupWindow->setPortGigE(GigESerialPort);
}

void MainWindow::ResetGigEInToolWindows()
{
    SetupWindow->setPortGigE(nullptr);
}

void MainWindow::ShowBoardConfigurationInSetupWindow(int p_iProxyListPosition, int p_iProxyRow, int p_iFrameRate)
{
    SetupWindow->setDigiBoard(static_cast<int>(DigiBoardKind.load()));
    SetupWindow->setProxyIndex(p_iProxyListPosition);
    SetupWindow->setProxyRow(p_iProxyRow);
    SetupWindow->setFrequency(p_iFrameRate);
}
