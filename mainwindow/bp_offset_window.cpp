// The main window's side of the bad-pixel offset window: creation, the menu toggle, acquisition start and stop.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/kv_log.h"
#include "tools/OffsetBP_Widget.h"
#include "tools/Setup_DigiBoard.h"

void MainWindow::CreateBPOffsetWindow()
{
    // No parent: a window of its own, deleted by the main window.
    BPOffsetWindow = new OffsetBP_Widget(nullptr);
    connect(BPOffsetWindow, &OffsetBP_Widget::XOffsetChanged, this, &MainWindow::XOffsetBPChanged);
    connect(BPOffsetWindow, &OffsetBP_Widget::YOffsetChanged, this, &MainWindow::YOffsetBPChanged);
    connect(ui->action_OpenBPOffsetWindow, &QAction::triggered, this, [this](bool) { action_OpenBPOffsetWindow(); });
}

void MainWindow::DestroyBPOffsetWindow()
{
    // Its destructor saves offsets edited since the window was shown.
    delete BPOffsetWindow;
    BPOffsetWindow = nullptr;
}

void MainWindow::action_OpenBPOffsetWindow()
{
    if (BPOffsetWindow->isVisible()) {
        Log->writeLine("Close Offset BP Window");
        // The window's close saves its offsets (once, so a failure is told once).
        BPOffsetWindow->close();
        return;
    }
    Log->writeLine("Open Offset BP Window");
    // The offsets shown and saved are those of the proxy in use. An acquisition
    // start reads them for most boards; for the others (and after a change of
    // proxy) they are read here, so that what the operator sets is kept.
    if (BPOffsetWindow->ProxyName() != SetupWindow->getProxyText())
        ReadBPOffsetForAcquisition();
    BPOffsetWindow->SetShownFlag(true);
    BPOffsetWindow->show();
}

void MainWindow::ReadBPOffsetForAcquisition()
{
    BPOffsetWindow->SetProxyName(SetupWindow->getProxyText());
    BPOffsetWindow->ReadBPOffsetFile();
}

void MainWindow::CloseBPOffsetWindowForDeinit()
{
    if (BPOffsetWindow->isVisible()) {
        Log->writeLine("Closing OffsetBP Window ...");
        BPOffsetWindow->close(); // saves the offsets
        Log->writeLine("... OK");
        return;
    }
    BPOffsetWindow->SaveBPOffsetFile();
}
