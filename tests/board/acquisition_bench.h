// A main window on a clean simulated bench, connected to one board kind as the connection step leaves it.
#pragma once

#include "support/test_app_folder.h"

#include "app/globals.h"
#include "app/kv_log.h"
#include "mainwindow/MainWindow.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "params/proxy_lookup.h"
#include "sim/core/board_registry.h"
#include "sim/core/simulation_settings.h"
#include "ui_MainWindow.h"

#include <QFile>
#include <QStringList>

#include <sys/resource.h>

#include <cstdio>
#include <memory>

// Every box the window presents, as "title|text"; none blocks.
struct BoxRecorder
{
    QStringList Boxes;
    BoxRecorder()
    {
        SetMessageBoxPresenter([this](const MessageBoxRequest& p_Request) {
            Boxes << p_Request.title + "|" + p_Request.text;
            return 0;
        });
    }
    ~BoxRecorder() { SetMessageBoxPresenter({}); }
};

struct AcquisitionBench
{
    TestAppFolder Folder;
    BoxRecorder Recorder;
    std::unique_ptr<MainWindow> Window;

    // p_iProxy: the proxy the board is set up for (also the window's record).
    AcquisitionBench(int p_iKind, sim::BoardKind p_Board, int p_iProxy)
    {
        sim::ResetSimulation();
        sim::SimulationSettings().setProxyIndex(p_Board, p_iProxy);
        Window = std::make_unique<MainWindow>();
        MainWindow& w = *Window;
        w.show();
        w.GetPointerToInstance();
        w.DigiBoardKind = BoardKindFromIndex(p_iKind);
        w.CurrentProxyIndex = p_iProxy;
        w.ProxyName = QString::fromLatin1(ProxyModelName(p_iProxy));
        w.Connected = true;
        w.bInitDriverDone = false;
        g_bWindowingDisabled = true;
        g_bDisplayBusy = false;
    }
    ~AcquisitionBench()
    {
        Window->Deinit();
        Window.reset();
        sim::ResetSimulation();
    }

    MainWindow& w() { return *Window; }

    QString log() const
    {
        QFile f(Window->Log->filePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    // The window's idle state after Deinit.
    bool idle() const
    {
        MainWindow& m = *Window;
        return !m.Connected && m.ui->pushButton_Start->text() == "Connect" && m.ui->pushButton_Start->isEnabled()
               && m.ui->label_State->text() == "Ready" && m.FrameCounter == -1 && !m.bInitDriverDone && m.FrameWidth == 0
               && m.FrameHeight == 0 && m.FramePitch == 0;
    }
};

// Resident set size in kB.
inline long ResidentKb()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * 4;
}
