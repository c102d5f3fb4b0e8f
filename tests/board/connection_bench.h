// The bench of the connection tests: a real main window in a fresh application folder with the simulated boards.
#pragma once

#include "mainwindow/MainWindow.h"

#include "ui_MW_ProxyBelmor.h"
#include "ui_MainWindow.h"

#include "app/kv_log.h"
#include "board/cameralink_serial.h"
#include "board/sensor_parameter_math.h"
#include "board/sensor_parameters.h"
#include "platform/ebus/ebus.h"
#include "params/proxy_parameter_ids.h"
#include "mainwindow/MW_ProxyBelmor.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_table.h"
#include "sim/cameralink/cameralink_cabling.h"
#include "sim/core/board_registry.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "support/test_app_folder.h"
#include "usb3lib/Quenlin.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <memory>

enum Kind { None = 0, Arvex = 1, Belmor = 2, BelmorPlus = 3, Dunstel = 4, Eskra = 5, Corvane = 6 };

// One main window in a fresh application folder with the simulated boards,
// every box recorded instead of shown.
struct Bench
{
    TestAppFolder folder;
    QList<MessageBoxRequest> boxes;
    int answer = 0;
    std::unique_ptr<MainWindow> window;

    Bench()
    {
        sim::ResetSimulation();
        // The shared connector remembers which board spoke last.
        sim::ResetCameraLinkPortLayout();
        KV_Log::setMessageSink([](QMessageBox::Icon, const QString&, const QString&) {});
        SetMessageBoxPresenter([this](const MessageBoxRequest& p_Request) {
            boxes << p_Request;
            return answer;
        });
    }
    ~Bench()
    {
        // A test that left the board connected disconnects it the operator's way.
        if (window && window->Connected)
            window->Deinit();
        if (window)
            window->ReleaseGigEConnection();
        window.reset();
        CloseCameraLinkSerial();
        for (int i = 0; i < 3 && isInitialized() != 0; ++i)
            deinitCapture(1);
        SetMessageBoxPresenter(nullptr);
        KV_Log::setMessageSink(KV_Log::MessageSink());
        sim::ResetSimulation();
    }

    sim::SimulationSettings settings() const { return sim::SimulationSettings(); }

    Ui::MainWindow* ui() const { return window->ui; }

    void open()
    {
        window = std::make_unique<MainWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void selectBoard(int p_iKind) { ui()->comboBox_SelectDigiBoard->setCurrentIndex(p_iKind); }

    void pressMain() { QTest::mouseClick(ui()->pushButton_Start, Qt::LeftButton); }

    // Chooses the kind and presses the main button, the GigE device finder
    // taking the first device; the board must then be connected.
    void connectBoard(int p_iKind)
    {
        selectBoard(p_iKind);
        PvDeviceFinderWnd::SetAutomaticChoice(0);
        pressMain();
        PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kAsk);
        QVERIFY(window->Connected);
    }

    QStringList logLines() const
    {
        const QStringList logs = QDir(folder.filePath("Logs")).entryList({"Log_*.txt"}, QDir::Files);
        QStringList lines;
        if (logs.isEmpty())
            return lines;
        QFile file(folder.filePath("Logs/" + logs.first()));
        if (!file.open(QIODevice::ReadOnly))
            return lines;
        for (const QString& sLine : QString::fromUtf8(file.readAll()).split('\n')) {
            const int iAt = sLine.indexOf(QStringLiteral(" : "));
            lines << (iAt >= 0 ? sLine.mid(iAt + 3) : sLine).trimmed();
        }
        return lines;
    }
    bool logged(const QString& p_sLine) const { return logLines().contains(p_sLine); }
    int indexInLog(const QString& p_sLine) const { return logLines().indexOf(p_sLine); }
};

// Records every text the status label shows, with the time it appeared.
struct LabelWatch
{
    QElapsedTimer clock;
    QList<QPair<QString, qint64>> texts;
    QTimer poll;

    explicit LabelWatch(QLabel* p_pLabel)
    {
        clock.start();
        QObject::connect(&poll, &QTimer::timeout, [this, p_pLabel]() {
            if (texts.isEmpty() || texts.last().first != p_pLabel->text())
                texts.append({p_pLabel->text(), clock.elapsed()});
        });
        poll.start(20);
    }
    QStringList attemptTexts() const
    {
        QStringList out;
        for (const auto& t : texts)
            if (t.first.startsWith("Attempt to connect"))
                out << t.first;
        return out;
    }
};

// Ticks the register boxes that every family takes.
inline void TickRegisters(Ui::MainWindow* ui)
{
    for (QCheckBox* pBox : {ui->checkBox_Enable_TINT, ui->checkBox_Enable_DAC_A, ui->checkBox_Enable_DAC_B,
                            ui->checkBox_Enable_DAC_C, ui->checkBox_Enable_DAC_D, ui->checkBox_GMS})
        pBox->setChecked(true);
}

inline void TickOnly(Ui::MainWindow* ui, QCheckBox* p_pBox)
{
    for (QCheckBox* pBox : {ui->checkBox_Enable_TINT, ui->checkBox_Enable_DAC_A, ui->checkBox_Enable_DAC_B,
                            ui->checkBox_Enable_DAC_C, ui->checkBox_Enable_DAC_D, ui->checkBox_GMS})
        pBox->setChecked(pBox == p_pBox);
}
