// A main window opened as at start-up on a clean simulated bench, driven through its main button.
#pragma once

#include "acquisition_bench.h"

#include "board/acquisition_state.h"
#include "board/cameralink_serial.h"
#include "board/eskra_frame_stream.h"
#include "mainwindow/MW_ProxyBelmor.h"
#include "platform/ebus/ebus.h"
#include "platform/multicam/multicam.h"
#include "sim/core/message_recorder.h"
#include "sim/eskra/eskra_board.h"
#include "ui_MW_ProxyBelmor.h"
#include "usb3lib/Quenlin.h"

#include <QTimer>
#include <QtTest>

#include <functional>

// A window that was opened and shown as at start-up, with the board chosen in its combo box.
struct Road
{
    TestAppFolder Folder;
    BoxRecorder Recorder;
    std::unique_ptr<MainWindow> Window;

    // p_PrepareFolder, when given, fills the application folder (its root path) before the window starts.
    Road(sim::BoardKind p_Board, int p_iProxy, const std::function<void(const QString&)>& p_PrepareFolder = {})
    {
        if (p_PrepareFolder)
            p_PrepareFolder(Folder.rootPath());
        sim::ResetSimulation();
        sim::ShutdownSharedEskraBoard();
        g_EskraReceiver.reset();
        sim::SimulationSettings().setProxyIndex(p_Board, p_iProxy);
        sim::SimulationSettings().setFrameRateCode(p_Board, 30);
        PvDeviceFinderWnd::SetAutomaticChoice(0);
        Window = std::make_unique<MainWindow>();
        Window->show();
        g_bWindowingDisabled = true;
    }
    ~Road()
    {
        Window->Deinit();
        Window.reset();
        PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kAsk);
        CloseCameraLinkSerial();
        for (int i = 0; i < 3 && isInitialized() != 0; ++i)
            deinitCapture(1);
        sim::ShutdownSharedEskraBoard();
        sim::ResetSimulation();
    }
    Ui::MainWindow* ui() const { return Window->ui; }
    void press() { QTest::mouseClick(ui()->pushButton_Start, Qt::LeftButton); }
    // Runs p_Action once acquisition streams: frames counted, the button enabled
    // again for the disconnection. A fixed delay would, on a loaded machine,
    // land in the start's own board writes.
    void whenStreaming(const std::function<void()>& p_Action)
    {
        auto* pPoll = new QTimer(Window.get());
        QObject::connect(pPoll, &QTimer::timeout, Window.get(), [this, pPoll, p_Action]() {
            if (ui()->pushButton_Start->text() != "Safe\ndisconnection" || !ui()->pushButton_Start->isEnabled()
                || Window->StopAcquisition || Window->FrameCounter <= 0)
                return;
            pPoll->stop();
            pPoll->deleteLater();
            p_Action();
        });
        pPoll->start(10);
    }
    // Presses the disconnect button once acquisition streams.
    void pressOnceStreaming(bool* p_pPressed)
    {
        whenStreaming([this, p_pPressed]() {
            press();
            *p_pPressed = true;
        });
    }
    // The Belmor board asks for its proxy in the selector window.
    void confirmBelmorProxyLater(int p_iListPosition)
    {
        QTimer::singleShot(300, Window.get(), [this, p_iListPosition]() {
            MW_ProxyBelmor* pSelector = Window->ProxySelector;
            pSelector->ui->comboBox_SelectProxy->setCurrentIndex(p_iListPosition);
            pSelector->ui->lineEdit_PW->setText("Ravensdal_KPTWv3");
            QTest::mouseClick(pSelector->ui->pushButton_Start, Qt::LeftButton);
        });
    }
};

