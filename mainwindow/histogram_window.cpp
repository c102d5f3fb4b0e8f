// The main window's side of the advanced histogram window: opened on first use, destroyed when closed.
#include "mainwindow/MainWindow.h"
#include "ui_MainWindow.h"

#include "app/kv_log.h"
#include "tools/Window_Histogram.h"

#include <QAction>
#include <QPushButton>

void MainWindow::ConnectHistogramWindowControls()
{
    connect(ui->action_Advanced_Histogram, &QAction::triggered, this, [this](bool) { Action_OpenWindowHistogram(); });
    connect(ui->pushButton_SizeUp, &QPushButton::released, this, &MainWindow::Action_OpenWindowHistogram);
}

void MainWindow::Action_OpenWindowHistogram()
{
    if (HistogramWindow) {
        HistogramWindow->activateWindow();
        HistogramWindow->raise();
        return;
    }
    auto* pWindow = new Window_Histogram(nullptr);
    pWindow->setAttribute(Qt::WA_QuitOnClose, false);
    connect(pWindow, &Window_Histogram::CloseWindow, this, &MainWindow::CloseHistWindow);
    // Direct: the calculation runs inside the histogram timer's slot.
    connect(this, &MainWindow::UpdateAdvancedHistogram, pWindow, &Window_Histogram::calculateHistogram,
            Qt::DirectConnection);
    pWindow->Enable_RGBHistogram_Option(BayerCode != 0);
    pWindow->show();
    HistogramWindow = pWindow;
    HistogramWindowOpen = true;
}

void MainWindow::CloseHistWindow()
{
    Log->writeLine("Close Advanced Histogram Window");
    HistogramWindowOpen = false;
    // Destroyed, not only hidden: a hidden window would keep its connection
    // and its images; the next use builds a new one.
    if (HistogramWindow)
        HistogramWindow->disposeWhenIdle();
    HistogramWindow = nullptr;
}
