// Event-processing waits and the process-wide start values.
#include "app/globals.h"
#include "app/waits.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <climits>
#include <thread>

class TestWaits : public QObject
{
    Q_OBJECT

private slots:
    void nothingPositiveReturnsAtOnce_data()
    {
        QTest::addColumn<int>("duration");
        QTest::newRow("zero") << 0;
        QTest::newRow("minus one") << -1;
        QTest::newRow("most negative") << INT_MIN;
    }
    void nothingPositiveReturnsAtOnce()
    {
        QFETCH(int, duration);
        bool bDelivered = false;
        QTimer::singleShot(0, this, [&] { bDelivered = true; });
        QElapsedTimer clock;
        clock.start();
        WaitMs(duration);
        WaitSeconds(duration);
        // Far below the shortest real wait of a second, yet loose enough for a
        // loaded machine or a sanitizer build that deschedules this thread.
        QVERIFY(clock.elapsed() < 500);
        QVERIFY(!bDelivered);
        QCoreApplication::processEvents();
        QVERIFY(bDelivered);
    }

    void eventsAreDeliveredDuringTheWait()
    {
        int iTicks = 0;
        QTimer timer;
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [&] { ++iTicks; });
        timer.start();
        QElapsedTimer clock;
        clock.start();
        WaitMs(150);
        const qint64 iElapsed = clock.elapsed();
        QVERIFY(iElapsed >= 150);
        QVERIFY(iElapsed < 1000);
        QVERIFY2(iTicks >= 5, qPrintable(QString::number(iTicks)));
    }

    // A slot that waits itself runs inside the outer wait; the outer wait
    // returns only after it, past its own deadline.
    void nestedWaitHoldsTheOuterOne()
    {
        bool bInnerDone = false;
        int iTicksDuringInner = 0;
        QTimer ticker;
        ticker.setInterval(10);
        connect(&ticker, &QTimer::timeout, this, [&] {
            if (!bInnerDone)
                ++iTicksDuringInner;
        });
        ticker.start();
        QTimer::singleShot(20, this, [&] {
            WaitMs(200);
            bInnerDone = true;
        });
        QElapsedTimer clock;
        clock.start();
        WaitMs(50);
        QVERIFY(bInnerDone);
        QVERIFY(clock.elapsed() >= 220);
        QVERIFY(iTicksDuringInner >= 5);
    }

    // A press on a button while a connect loop waits reaches the button's slots
    // before the wait returns.
    void buttonPressIsDeliveredDuringTheWait()
    {
        QPushButton button(QStringLiteral("Connect"));
        button.resize(120, 30);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QSignalSpy clicked(&button, &QPushButton::clicked);
        const QPoint centre = button.rect().center();
        const QPoint global = button.mapToGlobal(centre);
        QTimer::singleShot(30, this, [&] {
            QCoreApplication::postEvent(&button, new QMouseEvent(QEvent::MouseButtonPress, centre, global,
                                                                 Qt::LeftButton, Qt::LeftButton,
                                                                 Qt::NoModifier));
            QCoreApplication::postEvent(&button, new QMouseEvent(QEvent::MouseButtonRelease, centre, global,
                                                                 Qt::LeftButton, Qt::NoButton,
                                                                 Qt::NoModifier));
        });
        WaitMs(200);
        QCOMPARE(clicked.count(), 1);
    }

    void secondsWait()
    {
        QElapsedTimer clock;
        clock.start();
        WaitSeconds(1);
        QVERIFY(clock.elapsed() >= 1000);
        QVERIFY(clock.elapsed() < 3000);
    }

    // A plain worker thread has no event loop; the wait still lasts its time.
    void waitOnAThreadWithoutEventLoop()
    {
        qint64 iElapsed = 0;
        std::thread worker([&] {
            QElapsedTimer clock;
            clock.start();
            WaitMs(60);
            iElapsed = clock.elapsed();
        });
        worker.join();
        QVERIFY(iElapsed >= 60);
        QVERIFY(iElapsed < 1000);
    }

    void startValues()
    {
        void* pHandle = reinterpret_cast<void*>(0x1);
        GetLinkHandle(&pHandle);
        QCOMPARE(pHandle, static_cast<void*>(nullptr));
        QVERIFY(g_pMainWindow == nullptr);
        QVERIFY(g_bWindowingDisabled);
        QVERIFY(!g_bWindowingInProgress);
        QVERIFY(!g_bAcquisitionEnded);
        QVERIFY(!g_bDisplayBusy);
        QVERIFY(!g_bNewFPNReference);

        int iDummy = 0;
        g_hCameraLinkSerial = &iDummy;
        GetLinkHandle(&pHandle);
        QCOMPARE(pHandle, static_cast<void*>(&iDummy));
        g_hCameraLinkSerial = nullptr;
    }
};

QTEST_MAIN(TestWaits)
#include "tst_waits.moc"
