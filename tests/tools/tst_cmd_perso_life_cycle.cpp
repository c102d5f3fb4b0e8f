// The advanced-commands window inside the main window: created once, shown by its menu action, following the connected board and its GigE objects.
// The bench's forms, named here so that they are generated for this test.
#include "ui_MW_ProxyBelmor.h"
#include "ui_MainWindow.h"

#include "board/connection_bench.h"

#include "tools/Cmd_Perso.h"
#include "ui_Cmd_Perso.h"

#include "app/header_constants.h"

#include <QSignalSpy>

class tst_cmd_perso_life_cycle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sim::SetFastMode(true); }

    void menuActionShowsTheOneWindow()
    {
        Bench bench;
        bench.open();
        Cmd_Perso* pWindow = bench.window->CommandsWindow;
        QVERIFY(pWindow != nullptr);
        QVERIFY(!pWindow->isVisible());
        QVERIFY(pWindow->parent() == nullptr);
        QCOMPARE(pWindow->ui->label_Copyright->text(), HeaderConstants::FooterText);
        QVERIFY(pWindow->ui->label_Copyright->openExternalLinks());

        bench.ui()->action_OpenCommandsWindow->trigger();
        QVERIFY(pWindow->isVisible());
        QVERIFY(bench.window->CommandsWindowOpen);
        QVERIFY(!pWindow->testAttribute(Qt::WA_QuitOnClose));
        bench.ui()->action_OpenCommandsWindow->trigger();
        QCOMPARE(bench.logLines().count("Open Advanced Command Window"), 1);

        // Closing only hides it; the next action shows the same window with its values.
        pWindow->ui->spinBox_SliderReg->setValue(42);
        pWindow->close();
        QVERIFY(!bench.window->CommandsWindowOpen);
        QVERIFY(bench.logged("Close Advanced Command Window"));
        bench.ui()->action_OpenCommandsWindow->trigger();
        QCOMPARE(bench.window->CommandsWindow, pWindow);
        QVERIFY(pWindow->isVisible());
        QCOMPARE(pWindow->ui->spinBox_SliderReg->value(), 42);
        QCOMPARE(bench.logLines().count("Open Advanced Command Window"), 2);

        // The proxy follows the main window's, however it changes.
        bench.window->SetCurrentProxyIndex(14);
        QCOMPARE(pWindow->proxyIndex(), 14);
    }

    // A GigE session: the window gets the board, the proxy, the port, the
    // device and the stream; its browsers are open when the operator
    // disconnects, and close before the link frees what they show.
    void followsAGigESession()
    {
        Bench bench;
        bench.settings().setProxyIndex(sim::BoardKind::Dunstel, 5);
        PvDeviceFinderWnd::SetAutomaticChoice(0);
        bench.open();
        Cmd_Perso* pWindow = bench.window->CommandsWindow;
        bench.selectBoard(Dunstel);
        bench.pressMain();
        PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kAsk);
        QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Start"));
        QCOMPARE(pWindow->proxyIndex(), 5);

        bool bChecked = false;
        bool bBrowsersOpen = false;
        QString sBoardWhileStreaming;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&]() {
            if (bChecked || bench.window->FramesDisplayed == 0 || !bench.ui()->pushButton_Start->isEnabled())
                return;
            bChecked = true;
            poll.stop();
            sBoardWhileStreaming = pWindow->boardName();
            QTest::mouseClick(pWindow->ui->pushButton_DeviceParam, Qt::LeftButton);
            QTest::mouseClick(pWindow->ui->pushButton_StreamParam, Qt::LeftButton);
            bBrowsersOpen = pWindow->deviceBrowserOpen() && pWindow->streamBrowserOpen();
            bench.pressMain();
        });
        poll.start(50);
        bench.pressMain();
        QTRY_COMPARE_WITH_TIMEOUT(bench.ui()->pushButton_Start->text(), QString("Connect"), 10000);

        QVERIFY(bChecked);
        QCOMPARE(sBoardWhileStreaming, QString("Dunstel"));
        QVERIFY(bBrowsersOpen);
        QVERIFY(!pWindow->deviceBrowserOpen());
        QVERIFY(!pWindow->streamBrowserOpen());
        QCOMPARE(pWindow->boardName(), QString("NONE"));
        QVERIFY(bench.logged("Closing Pleora Device Parameters window"));
        // Without a device the quick parameters send nothing.
        pWindow->PushButton_SEND_GigEParam();
        QCOMPARE(bench.boxes.size(), 1);
        QCOMPARE(bench.boxes.first().title, QString("Stream not started"));
    }
};

QTEST_MAIN(tst_cmd_perso_life_cycle)
#include "tst_cmd_perso_life_cycle.moc"
