// The main window's signal, slot and timer wiring: each group's signals reach their slots, and several slots on one signal run in their order.
// The bench's forms, named here so that they are generated for this test.
#include "ui_MW_ProxyBelmor.h"
#include "ui_MainWindow.h"

#include "board/connection_bench.h"

#include "mainwindow/proxy_controls.h"
#include "pipeline/kv_histogram.h"
#include "pipeline/kv_video_recorder.h"
#include "tools/Window_Debug.h"
#include "tools/Window_DetectBP.h"
#include "mainwindow/Window_ConfSavingFile.h"

#include <QSignalSpy>
#include <QThread>

#include <atomic>

namespace {

// Records, in order, the style and enabled changes of one widget.
class EventOrder : public QObject
{
public:
    explicit EventOrder(QWidget* p_pWidget, QStringList* p_pOut) : m_pOut(p_pOut) { p_pWidget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* p_pEvent) override
    {
        if (p_pEvent->type() == QEvent::StyleChange)
            *m_pOut << QStringLiteral("tint");
        else if (p_pEvent->type() == QEvent::EnabledChange)
            *m_pOut << QStringLiteral("enabled");
        return false;
    }

private:
    QStringList* m_pOut;
};

} // namespace

class tst_main_window_wiring : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sim::SetFastMode(true); }

    // Timers: each timeout reaches its one slot; none runs before something starts it.
    void timers()
    {
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        const MainWindowTimers& t = w.Timers;
        for (QTimer* pTimer : {t.Miniature, t.OneSecond, t.Histogram, t.SaveStream, t.AGC, t.GainOffset, t.RecordingBlink})
            QVERIFY(!pTimer->isActive());
        // disconnect() tells whether exactly that connection was there.
        QVERIFY(QObject::disconnect(t.RecordingBlink, &QTimer::timeout, &w, &MainWindow::TimeOutREC));
        QVERIFY(QObject::disconnect(t.Histogram, &QTimer::timeout, &w, &MainWindow::CalculHistogram));
        QVERIFY(QObject::disconnect(t.OneSecond, &QTimer::timeout, &w, &MainWindow::TimeOut1s));
        QVERIFY(QObject::disconnect(t.SaveStream, &QTimer::timeout, &w, &MainWindow::TimeOutSaveStream));
        QVERIFY(QObject::disconnect(t.GainOffset, &QTimer::timeout, &w, &MainWindow::TimeOutGainOffset));
        QVERIFY(QObject::disconnect(t.Miniature, &QTimer::timeout, &w, &MainWindow::TimeOutUpdateImgMiniature));
        QVERIFY(QObject::disconnect(t.AGC, &QTimer::timeout, &w, &MainWindow::AGC_processing));
        // Each once: a second disconnect finds nothing left.
        QVERIFY(!QObject::disconnect(t.OneSecond, &QTimer::timeout, &w, &MainWindow::TimeOut1s));
        QVERIFY(!QObject::disconnect(t.GainOffset, &QTimer::timeout, &w, &MainWindow::TimeOutGainOffset));
    }

    // Menu actions: each action of the table reaches its slot (the others' are triggered in tst_menu_actions).
    void menuActions()
    {
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        Ui::MainWindow* ui = bench.ui();
        using Slot = void (MainWindow::*)();
        const QList<QPair<QAction*, Slot>> table = {
            {ui->action_SoftwareBPCorrection, &MainWindow::ActionBPCorrectionSoftware},
            {ui->actionDemoMode, &MainWindow::ActionDemoMode},
            {ui->action_Datasheet_DigiBoard, &MainWindow::Action_OpenDatasheetDigiBoard},
            {ui->actionDisplay_1, &MainWindow::ActionSelectDisplay1},
            {ui->actionDisplay_2, &MainWindow::ActionSelectDisplay2},
            {ui->actionDualView, &MainWindow::ActionDualView},
            {ui->actionExit, &MainWindow::ActionExit},
            {ui->action_NUCHardware, &MainWindow::ActionNUCHardware},
            {ui->action_NUCSoftware, &MainWindow::ActionNUCSoftware},
            {ui->action_Datasheet_Proxy, &MainWindow::Action_OpenDatasheetProxy},
            {ui->action_Datasheet_Kestivo, &MainWindow::Action_OpenDatasheetKestivo},
            {ui->action_ResetParameters, &MainWindow::PushButton_SetDefaultParameter},
            {ui->action_SaveImages_Configuration, &MainWindow::ActionSetupSavingFiles},
            {ui->action_Website, &MainWindow::Action_OpenVantrelWebSite},
            {ui->action_CoolLUT, &MainWindow::Action_CoolLUT},
            {ui->action_FireLUT, &MainWindow::Action_FireLUT},
            {ui->action_CustomLUT, &MainWindow::Action_CustomLUT},
            {ui->actionAuto_Start, &MainWindow::ActionAutoStart},
            {ui->actionAuto_NUC, &MainWindow::ActionAutoNUC},
        };
        for (const auto& row : table)
            QVERIFY2(QObject::disconnect(row.first, &QAction::triggered, &w, row.second),
                     qPrintable(row.first->objectName()));
        QVERIFY(QObject::disconnect(ui->action_Rename_LogFile, &QAction::triggered, w.Log,
                                    QOverload<>::of(&KV_Log::renameFile)));
        QVERIFY(QObject::disconnect(ui->action_Erase_LogFile_content, &QAction::triggered, w.Log, &KV_Log::resetFile));
        QVERIFY(QObject::disconnect(ui->action_Open_LogFile, &QAction::triggered, w.Log, &KV_Log::openLogFile));
        // The actions connected through a small adapter are reached by triggering them.
        ui->action_OpenCommandsWindow->trigger();
        QVERIFY(w.CommandsWindowOpen);
        ui->action_OpenTerminal->trigger();
        QVERIFY(bench.logged("Terminal Window can't be opened because no connection with a DigiBoard is made"));
        // Unwired entries of the form stay so.
        QVERIFY(!QObject::disconnect(ui->action_AboutUs, &QAction::triggered, nullptr, nullptr));
    }

    // Check boxes: the size presets first tint "Set parameters", then run their own slot.
    void sizePresetOrder_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("size A") << "checkBox_SizeA";
        QTest::newRow("size B") << "checkBox_SizeB";
    }
    void sizePresetOrder()
    {
        QFETCH(QString, box);
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        QPushButton* pSet = w.ui->pushButton_SetParameters;
        // Enabled all the way up, so that disabling it is an event of its own.
        for (QWidget* pWidget = pSet; pWidget; pWidget = pWidget->parentWidget())
            pWidget->setEnabled(true);
        pSet->setStyleSheet(QStringLiteral("color: red;"));
        QStringList order;
        EventOrder probe(pSet, &order);
        auto* pBox = w.findChild<QCheckBox*>(box);
        pBox->setChecked(!pBox->isChecked());
        QVERIFY2(order.size() >= 2, qPrintable(order.join(',')));
        QCOMPARE(order.first(), QStringLiteral("tint"));
        QVERIFY(order.indexOf("enabled") > order.indexOf("tint"));
        QVERIFY(!pSet->isEnabled());
    }

    // Sliders and spin boxes follow each other, and the echo ends after one exchange.
    void sliderAndSpinBoxPairs_data()
    {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<QString>("spin");
        for (const char* name : {"TINT", "DAC_A", "DAC_B", "DAC_C", "DAC_D", "ImageGain", "ImageOffset"})
            QTest::newRow(name) << QString("horizontalSlider_") + name << QString("spinBox_") + name;
    }
    void sliderAndSpinBoxPairs()
    {
        QFETCH(QString, slider);
        QFETCH(QString, spin);
        Bench bench;
        bench.open();
        auto* pSlider = bench.window->findChild<QSlider*>(slider);
        auto* pSpin = bench.window->findChild<QSpinBox*>(spin);
        QVERIFY(pSlider && pSpin);
        pSlider->setRange(0, 200);
        pSpin->setRange(0, 200);
        QSignalSpy sliderChanges(pSlider, &QSlider::valueChanged);
        QSignalSpy spinChanges(pSpin, QOverload<int>::of(&QSpinBox::valueChanged));
        pSlider->setValue(17);
        QCOMPARE(pSpin->value(), 17);
        pSpin->setValue(23);
        QCOMPARE(pSlider->value(), 23);
        QCOMPARE(sliderChanges.count(), 2);
        QCOMPARE(spinChanges.count(), 2);
    }

    // A gain or offset typed into its spin box reaches the frame path through the slider's slot,
    // which already sees the new spin-box value.
    void typedGainAndOffsetReachThePipeline()
    {
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        Ui::MainWindow* ui = bench.ui();
        // The GigE board takes the gain and offset the frame path applies, as typed.
        w.DigiBoardKind = BoardKind::Dunstel;
        const int p = w.CurrentProxyIndex;
        ui->horizontalSlider_ImageGain->setRange(1, 255);
        ui->spinBox_ImageGain->setRange(1, 255);
        ui->horizontalSlider_ImageOffset->setRange(0, 10000);
        ui->spinBox_ImageOffset->setRange(0, 10000);

        ui->spinBox_ImageGain->setValue(9);
        QCOMPARE(ui->horizontalSlider_ImageGain->value(), 9);
        QCOMPARE(GetCurrent(p, ProxyParameterId::ImageGainSlider), 9u);
        QCOMPARE(GetCurrent(p, ProxyParameterId::ImageGain), 9u);
        ui->spinBox_ImageOffset->setValue(321);
        QCOMPARE(ui->horizontalSlider_ImageOffset->value(), 321);
        QCOMPARE(GetCurrent(p, ProxyParameterId::ImageOffsetSlider), 321u);
        QCOMPARE(GetCurrent(p, ProxyParameterId::ImageOffset), 321u);

        // The slider first moves its spin box, then its own slot stores that value.
        ui->horizontalSlider_ImageGain->setValue(4);
        QCOMPARE(ui->spinBox_ImageGain->value(), 4);
        QCOMPARE(GetCurrent(p, ProxyParameterId::ImageGain), 4u);
    }

    // A DAC spin box: the slider, then the voltage label, then the tint.
    void dacSpinBoxOrder()
    {
        Bench bench;
        bench.open();
        Ui::MainWindow* ui = bench.ui();
        ui->horizontalSlider_DAC_A->setRange(0, 4095);
        ui->spinBox_DAC_A->setRange(0, 4095);
        ui->pushButton_SetParameters->setStyleSheet(QStringLiteral("color: red;"));
        QStringList order;
        EventOrder probe(ui->pushButton_SetParameters, &order);
        MainWindow& w = *bench.window;
        w.ProxyName = QStringLiteral("Z668");
        const int iBefore = ui->spinBox_DAC_A->value();
        const int iAfter = iBefore < 2000 ? 4095 : 0;
        const QString sLabelBefore = ui->label_Voltage_ADD02->text();
        QString sLabelAtSlider;
        QObject::connect(ui->horizontalSlider_DAC_A, &QSlider::valueChanged, [&order, &sLabelAtSlider, ui](int) {
            sLabelAtSlider = ui->label_Voltage_ADD02->text();
            order << QStringLiteral("slider");
        });
        ui->spinBox_DAC_A->setValue(iAfter);
        QVERIFY2(order.size() >= 2, qPrintable(order.join(',')));
        QCOMPARE(order.at(0), QStringLiteral("slider"));
        QCOMPARE(order.at(1), QStringLiteral("tint"));
        // The label changes after the slider has followed.
        QCOMPARE(sLabelAtSlider, sLabelBefore);
        QCOMPARE(ui->label_Voltage_ADD02->text(), BiasVoltageText(BiasInput::ADD02, w.ProxyName, iAfter));
    }

    // Push buttons: one release runs the stop request before the state machine.
    void startButtonOrder()
    {
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        w.Connecting = true;
        QVERIFY(QObject::disconnect(w.ui->pushButton_Start, &QPushButton::released, &w,
                                    &MainWindow::PushButton_Start));
        QStringList order;
        QObject::connect(w.ui->pushButton_Start, &QPushButton::released, &w,
                         [&order, &w]() { order << (w.StopConnectionAsked ? "after stop" : "before stop"); });
        w.ui->pushButton_Start->setEnabled(true);
        QTest::mouseClick(w.ui->pushButton_Start, Qt::LeftButton);
        QCOMPARE(order, QStringList{"after stop"});
        QVERIFY(bench.logged("Stop connection asked"));
        w.Connecting = false;
    }

    // Recorder, histogram and debug window: their signals reach the main window's slots and back.
    void outputsAndDebugWindow()
    {
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        QVERIFY(QObject::disconnect(w.VideoRecorder, &KV_VideoRecorder::startRecord, &w, &MainWindow::startTimerREC));
        QVERIFY(QObject::disconnect(w.VideoRecorder, &KV_VideoRecorder::stopRecord, &w, &MainWindow::stopTimerREC));
        QVERIFY(QObject::disconnect(&w, &MainWindow::saveImageToVideo, w.VideoRecorder,
                                    &KV_VideoRecorder::AddImageToVideo));
        QVERIFY(QObject::disconnect(w.Histogram, &KV_Histogram::updateNbPixelMaxHisto, &w,
                                    &MainWindow::setLabel_Histogram_NbPixelMaxValue));
        QVERIFY(QObject::disconnect(&w, &MainWindow::UpdateHistogram, w.Histogram, &KV_Histogram::calculateHistogram));
        QVERIFY(QObject::disconnect(&w, &MainWindow::SendImageToDebug, w.DebugWindow.data(),
                                    &Window_Debug::calculateDebug));
        QVERIFY(QObject::disconnect(w.DebugWindow.data(), &Window_Debug::signalTakeFPN, &w,
                                    &MainWindow::takeFPNfromSignal));
        QVERIFY(QObject::disconnect(&w, &MainWindow::signalInterruptDebug, w.DebugWindow.data(),
                                    &Window_Debug::InterruptDebug));
        // A recorder message reaches the operator as a box with its title and text.
        emit w.VideoRecorder->warningHappend(QStringLiteral("Warning"), QStringLiteral("no folder"));
        QCOMPARE(bench.boxes.size(), 1);
        QCOMPARE(bench.boxes.first().title, QStringLiteral("Warning"));
        QCOMPARE(bench.boxes.first().text, QStringLiteral("no folder"));
    }

    // The saving-options dialog is wired each time it is made: its choice reaches the main window.
    void savingOptionsDialog()
    {
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        for (int i = 0; i < 2; ++i) {
            w.ActionSetupSavingFiles();
            QVERIFY(w.ConfSavingFileWindow);
            QVERIFY(QObject::disconnect(w.ConfSavingFileWindow.data(), &Window_ConfSavingFile::Configuration_SavingFormat,
                                        &w, &MainWindow::Update_ConfigurationSavingFile));
            QVERIFY(QObject::disconnect(w.ConfSavingFileWindow.data(), &Window_ConfSavingFile::closeWindow, &w,
                                        &MainWindow::CloseConfigSavingFile));
            w.CloseConfigSavingFile();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    // Frames for the detection window come from the frame thread as copies,
    // queued to the GUI thread; while one waits, the next ones are dropped.
    void detectionFramesFromAnotherThread()
    {
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        w.ui->actionDetectBP->setEnabled(true);
        w.ui->actionDetectBP->trigger();
        QVERIFY(w.DetectBPWindow);
        std::atomic<int> delivered{0};
        Qt::HANDLE guiThread = QThread::currentThreadId();
        std::atomic<bool> onGuiThread{true};
        QObject::connect(&w, &MainWindow::setImageForBPDetection, w.DetectBPWindow.data(), [&](cv::Mat) {
            ++delivered;
            if (QThread::currentThreadId() != guiThread)
                onGuiThread = false;
        });
        // What the frame path does for each frame.
        auto sendLikeTheFramePath = [&w]() {
            if (!w.BPDetectionFrameQueued.exchange(true))
                emit w.setImageForBPDetection(cv::Mat(4, 4, CV_16UC1, cv::Scalar(7)));
        };
        QThread* pThread = QThread::create([&]() {
            for (int i = 0; i < 50; ++i)
                sendLikeTheFramePath();
        });
        pThread->start();
        QVERIFY(pThread->wait(5000));
        delete pThread;
        QTRY_COMPARE(delivered.load(), 1);
        QVERIFY(onGuiThread);
        QVERIFY(!w.BPDetectionFrameQueued);
        // Taken: the next frame goes out again.
        sendLikeTheFramePath();
        QCOMPARE(delivered.load(), 2);
        w.DetectBPWindow->close();
    }
};

QTEST_MAIN(tst_main_window_wiring)
#include "tst_main_window_wiring.moc"
