// Main window construction, its start-up state, the screens, the boot-file board choice and the shut-down.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/globals.h"
#include "app/kv_log.h"
#include "support/test_app_folder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

bool WriteFile(const QString& p_sPath, const QByteArray& p_Content)
{
    QFile file(p_sPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(p_Content) == p_Content.size();
}

QByteArray ReadFile(const QString& p_sPath)
{
    QFile file(p_sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString LogText(const TestAppFolder& p_Folder)
{
    const QStringList logs = QDir(p_Folder.filePath("Logs")).entryList({"Log_*.txt"}, QDir::Files);
    return logs.isEmpty() ? QString() : QString::fromUtf8(ReadFile(p_Folder.filePath("Logs/" + logs.first())));
}

QStringList Items(const QComboBox* p_pCombo)
{
    QStringList items;
    for (int i = 0; i < p_pCombo->count(); ++i)
        items << p_pCombo->itemText(i);
    return items;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        // Nothing a test scheduled for deletion outlives it.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void titleAndDefaults()
    {
        TestAppFolder folder;
        MainWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Vantrel - Kestivo 5.25 [*]"));
        QCOMPARE(QByteArray(window.SnapshotExtension), QByteArray("bmp"));
        QCOMPARE(window.Period, 100);
        QCOMPARE(window.FPNAverageCount.load(), 10);
        QCOMPARE(window.FrameCounter.load(), -1);
        QCOMPARE(window.Gamma.load(), 1.0);
        QCOMPARE(window.DisplayScale.load(), 1.0);
        QCOMPARE(window.LastDisplayScale, 1.0);
        QVERIFY(window.BadPixelCorrectionOn);
        QVERIFY(window.FullFrameWindow);
        QVERIFY(window.FirstStart);
        QVERIFY(window.SaveAllFramesBmp);
        QVERIFY(!window.SaveAllFramesRaw);
        QVERIFY(!window.StopAcquisition);
        QVERIFY(!window.Connected);
        QVERIFY(!window.Connecting);
        QVERIFY(!window.bInitDriverDone);
        QVERIFY(!window.AutoStart);
        QVERIFY(!window.AutoNUC);
        QCOMPARE(window.DigiBoardKind.load(), BoardKind::None);
        QCOMPARE(window.CurrentProxyIndex.load(), 0);
        QCOMPARE(window.AdvancedUserAuthenticated, 0);
        QVERIFY(window.WorkingImage32s.empty());
        QVERIFY(window.DisplayImage8b.empty());
        QVERIFY(window.StreamAcquired16b.empty());
        QVERIFY(window.BadPixelFile == nullptr);
        QCOMPARE(QString::fromUtf8(window.ApplicationDirUtf8), folder.binPath());
        QCOMPARE(window.ApplicationDir, folder.binPath());
        // The window's own size after the form, not the 1920 x 1080 placeholder.
        QCOMPARE(window.SingleViewWidth, window.width());
        QCOMPARE(window.SingleViewHeight, window.height());
        QCOMPARE(window.SingleViewWidth, 1905);
        QCOMPARE(window.SingleViewHeight, 1000);
        // Other names of the same members share the value.
        window.bInitDriverDone = true;
        QVERIFY(window.bInitDriverDone);
        window.FramesReceived = 7;
        QCOMPARE(window.FramesReceived.load(), 7);
    }

    void noTimerRunsAfterConstruction()
    {
        TestAppFolder folder;
        MainWindow window;
        const QList<QTimer*> timers = window.findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(timers.size() >= 7);
        for (QTimer* pTimer : timers)
            QVERIFY2(!pTimer->isActive(), qPrintable(pTimer->objectName()));
        const MainWindowTimers& t = window.Timers;
        for (QTimer* pTimer : {t.Miniature, t.OneSecond, t.Histogram, t.SaveStream, t.AGC, t.GainOffset,
                               t.RecordingBlink}) {
            QVERIFY(pTimer);
            QCOMPARE(pTimer->parent(), &window);
            QVERIFY(!pTimer->isSingleShot());
        }
        QCOMPARE(t.Miniature->interval(), 3000);
        QCOMPARE(t.OneSecond->interval(), 1000);
        QCOMPARE(t.Histogram->interval(), 1000);
        QCOMPARE(t.SaveStream->interval(), 100);
        QCOMPARE(t.AGC->interval(), 50);
        QCOMPARE(t.GainOffset->interval(), 1000);
        QCOMPARE(t.RecordingBlink->interval(), 500);
        // Queued signals can carry frames.
        QVERIFY(QMetaType::type("cv::Mat") != QMetaType::UnknownType);
    }

    void foldersCreated()
    {
        TestAppFolder folder;
        QDir(folder.rootPath() + "/SavedImages").removeRecursively();
        QDir(folder.rootPath() + "/SavedConfigurations").removeRecursively();
        QVERIFY(!QFileInfo::exists(folder.rootPath() + "/Datasheets"));
        MainWindow window;
        for (const char* sub : {"Datasheets", "SavedConfigurations", "SavedImages"})
            QVERIFY2(QFileInfo(folder.rootPath() + "/" + sub).isDir(), sub);
        QCOMPARE(QByteArray(window.DatasheetsDir), (folder.binPath() + "/../Datasheets/").toUtf8());
        QCOMPARE(QByteArray(window.SavedConfigurationsDir), (folder.binPath() + "/../SavedConfigurations/").toUtf8());
        QCOMPARE(QByteArray(window.SavedImagesDir), (folder.binPath() + "/../SavedImages/").toUtf8());
    }

    void logOpenedAndWritten()
    {
        TestAppFolder folder;
        {
            MainWindow window;
            QCOMPARE(GlobalLog, window.Log);
            QVERIFY(window.Log->isEnabled());
        }
        QVERIFY(GlobalLog != nullptr);
        const QString sLog = LogText(folder);
        QVERIFY(sLog.contains(" : Processing Calibration is not available\n"));
        QVERIFY(sLog.contains(" : Getting screen definition display 1: "));
        QVERIFY(sLog.contains(" : Second Display not connected\n"));
        QVERIFY(sLog.contains(" : Last configuration read\n"));
        QVERIFY(sLog.contains(" : DigiBoard  : Digi board ...\n"));
        QVERIFY(sLog.contains(" : AutoStart  : 0\n"));
        QVERIFY(sLog.contains(" : AutoNUC    : 0\n"));
        // Folder creation runs before the log is open, so its lines are not kept.
        QVERIFY(!sLog.contains("Creating"));
    }

    // A log folder that cannot be made leaves the window without a log, nothing worse.
    void unusableLogFolder()
    {
        TestAppFolder folder;
        QDir(folder.filePath("Logs")).removeRecursively();
        QVERIFY(WriteFile(folder.filePath("Logs"), "not a folder"));
        QStringList messages;
        KV_Log::setMessageSink([&messages](QMessageBox::Icon, const QString& p_sTitle, const QString&) {
            messages << p_sTitle;
        });
        {
            MainWindow window;
            QVERIFY(!window.Log->isEnabled());
            QCOMPARE(window.DigiBoardKind.load(), BoardKind::None);
            QCOMPARE(window.windowTitle(), QStringLiteral("Vantrel - Kestivo 5.25 [*]"));
        }
        KV_Log::setMessageSink({});
        QVERIFY(messages.size() <= 1);
        QVERIFY(QFileInfo(folder.filePath("Logs")).isFile());
    }

    void calibrationProgramShowsItsAction()
    {
        TestAppFolder folder;
        QVERIFY(QDir().mkpath(folder.rootPath() + "/Processing_Calibration"));
        QVERIFY(WriteFile(folder.rootPath() + "/Processing_Calibration/main.exe", "x"));
        MainWindow window;
        QVERIFY(window.ui->action_CablibrationScript->isVisible());
        QVERIFY(!window.ui->action_CablibrationScript->isEnabled());
        QVERIFY(LogText(folder).contains(" : Processing Calibration is available\n"));
    }

    void calibrationProgramMissingHidesItsAction()
    {
        TestAppFolder folder;
        MainWindow window;
        QVERIFY(!window.ui->action_CablibrationScript->isVisible());
    }

    void screens()
    {
        TestAppFolder folder;
        MainWindow window;
        const QSize size = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(window.MaxScreenWidth, size.width());
        QCOMPARE(window.MaxScreenHeight, size.height());
        if (QGuiApplication::screens().size() == 1) {
            QCOMPARE(window.DemoWidth, size.width());
            QCOMPARE(window.DemoHeight, size.height() - 60);
            QCOMPARE(window.ui->actionDisplay_2->text(), QStringLiteral("Display 2 : Not connected"));
            QVERIFY(!window.ui->actionDisplay_2->isEnabled());
        }
        QCOMPARE(window.ui->actionDisplay_1->text(),
                 QString("Display 1: %1x%2").arg(size.width()).arg(size.height()));
    }

    void screenSetup_data()
    {
        QTest::addColumn<QList<QSize>>("sizes");
        QTest::addColumn<QSize>("demo");
        QTest::addColumn<QSize>("max");
        QTest::addColumn<QString>("display1");
        QTest::addColumn<QString>("display2");
        QTest::addColumn<bool>("connected");
        QTest::newRow("one screen") << QList<QSize>{{1920, 1080}} << QSize(1920, 1020) << QSize(1920, 1080)
                                    << "Display 1: 1920x1080" << "Display 2 : Not connected" << false;
        QTest::newRow("second smaller") << QList<QSize>{{1920, 1080}, {1280, 1024}} << QSize(1280, 964)
                                        << QSize(1920, 1080) << "Display 1: 1920x1080" << "Display 2: 1280x1024"
                                        << true;
        QTest::newRow("second wider, lower") << QList<QSize>{{1280, 1024}, {2560, 1000}} << QSize(2560, 940)
                                             << QSize(2560, 1024) << "Display 1: 1280x1024"
                                             << "Display 2: 2560x1000" << true;
        QTest::newRow("third ignored") << QList<QSize>{{800, 600}, {1024, 768}, {3840, 2160}} << QSize(1024, 708)
                                       << QSize(1024, 768) << "Display 1: 800x600" << "Display 2: 1024x768" << true;
        QTest::newRow("no screen") << QList<QSize>{} << QSize(0, -60) << QSize(0, 0) << "Display 1: 0x0"
                                   << "Display 2 : Not connected" << false;
    }
    void screenSetup()
    {
        QFETCH(QList<QSize>, sizes);
        QFETCH(QSize, demo);
        QFETCH(QSize, max);
        QFETCH(QString, display1);
        QFETCH(QString, display2);
        QFETCH(bool, connected);
        const ScreenSetup setup = ComputeScreenSetup(sizes);
        QCOMPARE(QSize(setup.DemoWidth, setup.DemoHeight), demo);
        QCOMPARE(QSize(setup.MaxScreenWidth, setup.MaxScreenHeight), max);
        QCOMPARE(setup.Display1Text, display1);
        QCOMPARE(setup.Display2Text, display2);
        QCOMPARE(setup.Display2Connected, connected);
        QCOMPARE(setup.LogLines.first(), "Getting screen definition display 1: " + display1.mid(11));
        QCOMPARE(setup.LogLines.last(), connected ? "Getting screen definition display 2: " + display2.mid(11)
                                                  : QStringLiteral("Second Display not connected"));
    }

    void initialControlStates()
    {
        TestAppFolder folder;
        MainWindow window;
        Ui::MainWindow* ui = window.ui;
        for (QWidget* pWidget : {static_cast<QWidget*>(ui->checkBox_2Tap),
                                 static_cast<QWidget*>(ui->pushButton_Open_ProxyDatasheet),
                                 static_cast<QWidget*>(ui->pushButton_LoadConfiguration),
                                 static_cast<QWidget*>(ui->pushButton_SaveConfiguration),
                                 static_cast<QWidget*>(ui->pushButton_SaveHistogramCSV),
                                 static_cast<QWidget*>(ui->pushButton_SaveHistogramBMP),
                                 static_cast<QWidget*>(ui->groupBox_RecordingVideo),
                                 static_cast<QWidget*>(ui->groupBox_BadPixeCorrection),
                                 static_cast<QWidget*>(ui->groupBox_ProxyParameters),
                                 static_cast<QWidget*>(ui->groupBox_DisplayParameters),
                                 static_cast<QWidget*>(ui->groupBox_NUC), static_cast<QWidget*>(ui->groupBox_SaveImage),
                                 static_cast<QWidget*>(ui->groupBox_SensorParameters)})
            QVERIFY2(!pWidget->isEnabled(), qPrintable(pWidget->objectName()));
        // Choosing "Digi board ..." while the combo box is filled enables the main button again.
        QVERIFY(ui->pushButton_Start->isEnabled());
        QCOMPARE(ui->pushButton_Start->text(), QStringLiteral("Connect"));
        QCOMPARE(ui->label_State->text(), QStringLiteral("Ready"));
        // No board offers windowing.
        QVERIFY(!ui->checkBox_WindowingEnabled->isEnabled());
        QVERIFY(ui->checkBox_WindowingEnabled->isHidden());
        QVERIFY(!ui->action_WindowingConfiguration->isEnabled());

        QVERIFY(!ui->action_OpenBPOffsetWindow->isEnabled());
        QVERIFY(!ui->actionDualView->isEnabled());
        QVERIFY(!ui->actionDebug_Mode->isEnabled());
        QVERIFY(!ui->actionDebug_Mode->isVisible());
        QVERIFY(!ui->menu_NUC->isEnabled());
        QVERIFY(!ui->action_Datasheet_DigiBoard->isEnabled());
        QVERIFY(!ui->action_Datasheet_Proxy->isEnabled());
        QVERIFY(ui->action_SoftwareBPCorrection->isChecked());
        QVERIFY(ui->action_NUCSoftware->isChecked());
        QVERIFY(!ui->action_NUCSoftware->isEnabled());
        QVERIFY(!ui->action_NUCHardware->isChecked());
        QVERIFY(!ui->action_NUCHardware->isEnabled());
        QVERIFY(ui->actionDetectBP->isVisible());
        QVERIFY(ui->actionProxy_Test->isVisible());
        QVERIFY(ui->checkBox_Enable_NUC2pt->isHidden());
        QVERIFY(ui->pushButton_ChangeCalibFile->isHidden());
        for (QWidget* pWidget :
             {static_cast<QWidget*>(ui->spinBox_XFirst), static_cast<QWidget*>(ui->spinBox_XLast),
              static_cast<QWidget*>(ui->spinBox_YFirst), static_cast<QWidget*>(ui->spinBox_YLast),
              static_cast<QWidget*>(ui->spinBox_AcqX), static_cast<QWidget*>(ui->spinBox_AcqY),
              static_cast<QWidget*>(ui->checkBox_SizeA), static_cast<QWidget*>(ui->checkBox_SizeB),
              static_cast<QWidget*>(ui->line), static_cast<QWidget*>(ui->line_2),
              static_cast<QWidget*>(ui->pushButton_SetWindow)})
            QVERIFY2(pWidget->isHidden(), qPrintable(pWidget->objectName()));
        QVERIFY(ui->label_Copyright->openExternalLinks());
        QVERIFY(ui->label_Copyright->text() != QStringLiteral("COPYRIGHT"));
        QVERIFY(window.windowTitle().endsWith("[*]"));
    }

    void comboBoxesFilled()
    {
        TestAppFolder folder;
        MainWindow window;
        QCOMPARE(Items(window.ui->comboBox_SelectDigiBoard),
                 (QStringList{"Digi board ...", "Arvex", "Belmor", "Belmor+", "Dunstel", "Eskra", "Corvane"}));
        QCOMPARE(Items(window.ui->comboBox_BPCorrectionMode),
                 (QStringList{"No correction", "Previous pixel", "Display Black pixel", "Display White pixel",
                              "Display Blink pixel", "Line", "Mean Pixel"}));
        QCOMPARE(Items(window.ui->comboBox_InterpolationMethod),
                 (QStringList{"NN Type", "Fit Linear Type", "Cubic Type", "Lanczoz4 Type"}));
        QCOMPARE(Items(window.ui->comboBox_BayerMode),
                 (QStringList{"No Bayer", "RG2RGB", "BG2RGB", "GB2RGB", "GR2RGB"}));
        QCOMPARE(window.ui->comboBox_SelectDigiBoard->currentIndex(), 0);
    }

    void bootFileSelectsBoard_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<bool>("autoStart");
        QTest::addColumn<bool>("autoNUC");
        QTest::addColumn<bool>("windowing");
        QTest::newRow("Eskra") << QByteArray("DigiBoard :Eskra\nAuto Start :0\nAuto NUC :0\n") << BoardKind::Eskra << false << false
                               << false;
        QTest::newRow("Belmor+ with auto start") << QByteArray("DigiBoard :Belmor+\nAuto Start :1\nAuto NUC :0\n")
                                                 << BoardKind::BelmorPlus << true << false << true;
        QTest::newRow("Arvex with auto NUC") << QByteArray("DigiBoard :Arvex\nAuto Start :0\nAuto NUC :2\n") << BoardKind::Arvex
                                             << false << true << true;
        QTest::newRow("Corvane, CR LF") << QByteArray("DigiBoard :Corvane\r\nAuto Start :1\r\nAuto NUC :1\r\n")
                                        << BoardKind::Corvane << true << true << false;
        QTest::newRow("Dunstel") << QByteArray("DigiBoard :Dunstel\nAuto Start :x\nAuto NUC :-1\n") << BoardKind::Dunstel << false
                                 << false << false;
        QTest::newRow("leading blank is no board") << QByteArray("DigiBoard : Belmor\nAuto Start :0\nAuto NUC :0\n")
                                                   << BoardKind::None << false << false << false;
        QTest::newRow("unknown board") << QByteArray("DigiBoard :Zorbel\nAuto Start :0\nAuto NUC :0\n") << BoardKind::None
                                       << false << false << false;
        QTest::newRow("placeholder") << QByteArray("DigiBoard :Digi board ...\nAuto Start :0\nAuto NUC :0\n") << BoardKind::None
                                     << false << false << false;
        QTest::newRow("line without colon") << QByteArray("garbage\nmore\n") << BoardKind::None << false << false << false;
    }
    void bootFileSelectsBoard()
    {
        QFETCH(QByteArray, content);
        QFETCH(BoardKind, kind);
        QFETCH(bool, autoStart);
        QFETCH(bool, autoNUC);
        QFETCH(bool, windowing);
        TestAppFolder folder;
        QVERIFY(WriteFile(folder.filePath("boot.txt"), content));
        MainWindow window;
        // The selection ran the board slot before the constructor returned.
        QCOMPARE(window.ui->comboBox_SelectDigiBoard->currentIndex(), BoardKindIndex(kind));
        QCOMPARE(window.DigiBoardKind.load(), kind);
        QCOMPARE(window.AutoStart, autoStart);
        QCOMPARE(window.AutoNUC, autoNUC);
        QCOMPARE(window.ui->actionAuto_Start->isChecked(), autoStart);
        QCOMPARE(window.ui->actionAuto_NUC->isChecked(), autoNUC);
        QCOMPARE(window.ui->checkBox_WindowingEnabled->isEnabled(), windowing);
        QCOMPARE(window.ui->action_WindowingConfiguration->isEnabled(), windowing);
        const QString sLog = LogText(folder);
        QVERIFY(sLog.contains(" : DigiBoard  : " + window.ui->comboBox_SelectDigiBoard->currentText() + "\n"));
        QVERIFY(sLog.contains(QString(" : AutoStart  : %1\n").arg(autoStart ? 1 : 0)));
        if (kind != BoardKind::None)
            QVERIFY(sLog.contains(" : DigiBoard changed to " + window.ui->comboBox_SelectDigiBoard->currentText()));
    }

    void missingBootFileIsCreated()
    {
        TestAppFolder folder;
        QFile::remove(folder.filePath("boot.txt"));
        MainWindow window;
        QCOMPARE(ReadFile(folder.filePath("boot.txt")),
                 QByteArray("DigiBoard :Digi board ...\nAuto Start :0\nAuto NUC :0\n"));
        QCOMPARE(window.DigiBoardKind.load(), BoardKind::None);
    }

    void boardChoice_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<bool>("startEnabled");
        QTest::newRow("Belmor") << "Belmor" << BoardKind::Belmor << true;
        QTest::newRow("case ignored") << "bElMoR+" << BoardKind::BelmorPlus << true;
        QTest::newRow("placeholder") << "Digi board ..." << BoardKind::None << true;
        QTest::newRow("unknown") << "Nothing" << BoardKind::None << false;
    }
    void boardChoice()
    {
        QFETCH(QString, text);
        QFETCH(BoardKind, kind);
        QFETCH(bool, startEnabled);
        TestAppFolder folder;
        MainWindow window;
        window.DigiBoardKind = BoardKind::Eskra;
        window.Connected = true;
        window.ComboBox_SelectDigiBoard(text);
        QCOMPARE(window.DigiBoardKind.load(), kind);
        QVERIFY(!window.Connected);
        QCOMPARE(window.ui->pushButton_Start->isEnabled(), startEnabled);
        QCOMPARE(window.ui->label_State->text(), QStringLiteral("Ready"));
        // An empty text (a placeholder being removed) changes nothing.
        window.Connected = true;
        window.ComboBox_SelectDigiBoard(QString());
        QCOMPARE(window.DigiBoardKind.load(), kind);
        QVERIFY(window.Connected);
    }

    void boardChangeStopsGigEGrabbing()
    {
        TestAppFolder folder;
        MainWindow window;
        window.DigiBoardKind = BoardKind::Dunstel;
        window.bInitDriverDone = true;
        window.ComboBox_SelectDigiBoard("Arvex");
        QVERIFY(window.StopAcquisition);
    }

    void instancePointer()
    {
        TestAppFolder folder;
        g_pMainWindow = nullptr;
        MainWindow window;
        // The constructor leaves the pointer alone; the slot sets it.
        QCOMPARE(g_pMainWindow, static_cast<MainWindow*>(nullptr));
        window.GetPointerToInstance();
        QCOMPARE(g_pMainWindow, &window);
        g_pMainWindow = nullptr;
    }

    // Frame threads reach the window through the process-wide pointer: a
    // window that goes must not leave it pointing at freed memory.
    void instancePointerClearedWithTheWindow()
    {
        TestAppFolder folder;
        {
            MainWindow window;
            window.GetPointerToInstance();
        }
        QCOMPARE(g_pMainWindow, static_cast<MainWindow*>(nullptr));
        MainWindow kept;
        kept.GetPointerToInstance();
        {
            MainWindow other;
        }
        QCOMPARE(g_pMainWindow, &kept);
        g_pMainWindow = nullptr;
    }

    void closeSetsStopFlagsAndWaits()
    {
        TestAppFolder folder;
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A timer slot still runs inside the shut-down wait: the wait processes events.
        bool bTimerRan = false;
        QTimer::singleShot(50, &window, [&] {
            bTimerRan = true;
            QVERIFY(window.StopAcquisition);
            QVERIFY(window.StopConnectionAsked);
        });
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(window.close());
        QVERIFY(elapsed.elapsed() >= 200);
        QVERIFY(bTimerRan);
        QVERIFY(!window.isVisible());
        QVERIFY(window.StopAcquisition);
        QVERIFY(window.StopConnectionAsked);
    }

    void closingOrderAndDeletion()
    {
        QStringList closed;
        QList<QPointer<QWidget>> windows;
        for (const char* name : {"debug", "detect", "test", "windowing", "terminal"}) {
            auto* pWindow = new QWidget;
            pWindow->setObjectName(name);
            pWindow->show();
            pWindow->installEventFilter(this);
            connect(pWindow, &QObject::destroyed, this, [&closed, name] { closed << QString("gone:") + name; });
            windows << pWindow;
        }
        m_pClosed = &closed;
        // A window that never opened is skipped, not dereferenced.
        windows.insert(2, QPointer<QWidget>());
        CloseAndScheduleDeletion(windows);
        QCOMPARE(closed, (QStringList{"close:debug", "close:detect", "close:test", "close:windowing", "close:terminal"}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const QPointer<QWidget>& pWindow : windows)
            QVERIFY(pWindow.isNull());
        QCOMPARE(closed.size(), 10);
        // The destructor's second pass over the same pointers touches nothing.
        CloseAndScheduleDeletion(windows);
        QCOMPARE(closed.size(), 10);
        m_pClosed = nullptr;
    }

    void destructionAfterClose()
    {
        TestAppFolder folder;
        auto pWindow = std::make_unique<MainWindow>();
        pWindow->show();
        pWindow->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        KV_Log* pLog = pWindow->Log;
        QCOMPARE(GlobalLog, pLog);
        pWindow.reset();
        // The log went with the window; free functions keep a log to write to.
        QVERIFY(GlobalLog != pLog);
        QVERIFY(GlobalLog != nullptr);
        GlobalLog->writeLine("after the window");
    }

protected:
    bool eventFilter(QObject* p_pObject, QEvent* p_pEvent) override
    {
        if (p_pEvent->type() == QEvent::Close && m_pClosed)
            *m_pClosed << "close:" + p_pObject->objectName();
        return false;
    }

private:
    QStringList* m_pClosed = nullptr;
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
