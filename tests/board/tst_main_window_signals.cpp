// The main window's state signals that tool windows follow: board kind, connection, proxy and log lines.
#include "connection_bench.h"

#include <QSignalSpy>

#include <thread>

class tst_main_window_signals : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sim::SetFastMode(true); }

    // Over one connect and disconnect, each signal comes once per change, in the operator's order.
    void connectAndDisconnect()
    {
        Bench bench;
        bench.settings().setProxyIndex(sim::BoardKind::BelmorPlus, 9);
        bench.settings().setFrameRateCode(sim::BoardKind::BelmorPlus, 120);
        bench.open();
        MainWindow& w = *bench.window;
        QSignalSpy kinds(&w, &MainWindow::DigiBoardKindChanged);
        QSignalSpy connections(&w, &MainWindow::ConnectionChanged);
        QSignalSpy proxies(&w, &MainWindow::ProxyChanged);

        bench.selectBoard(BelmorPlus);
        QCOMPARE(kinds.size(), 1);
        QCOMPARE(kinds.at(0).at(0).value<BoardKind>(), BoardKind::BelmorPlus);
        bench.selectBoard(BelmorPlus);   // the same board again is no change
        QCOMPARE(kinds.size(), 1);
        QVERIFY(connections.isEmpty());

        bench.pressMain();
        QVERIFY(w.Connected);
        QCOMPARE(connections.size(), 1);
        QCOMPARE(connections.at(0).at(0).toBool(), true);
        QVERIFY(!proxies.isEmpty());
        QCOMPARE(proxies.last().at(0).toInt(), 12);   // record 9 at 120 FPS
        QCOMPARE(proxies.last().at(0).toInt(), w.CurrentProxyIndex.load());

        w.Deinit();
        QCOMPARE(connections.size(), 2);
        QCOMPARE(connections.at(1).at(0).toBool(), false);

        bench.selectBoard(Corvane);
        QCOMPARE(kinds.size(), 2);
        QCOMPARE(kinds.at(1).at(0).value<BoardKind>(), BoardKind::Corvane);
        QCOMPARE(connections.size(), 2);   // still disconnected: no signal
    }

    // A line a frame thread writes reaches the window's receivers on the GUI thread.
    void logLinesReachTheGuiThread()
    {
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        QStringList lines;
        bool bOnGuiThread = true;
        QObject receiver;
        QObject::connect(&w, &MainWindow::LogLineWritten, &receiver, [&](const QString& p_sLine) {
            lines << p_sLine;
            bOnGuiThread = bOnGuiThread && QThread::currentThread() == qApp->thread();
        });
        w.Log->writeLine("written on the GUI thread");
        std::thread worker([&w]() { w.Log->writeLine("written on a frame thread"); });
        worker.join();
        QTRY_COMPARE(lines, (QStringList{"written on the GUI thread", "written on a frame thread"}));
        QVERIFY(bOnGuiThread);
    }
};

QTEST_MAIN(tst_main_window_signals)
#include "tst_main_window_signals.moc"
