// The connect retries through the real main window: ten attempts a second apart, the operator's stop, a board that fails its initialisation.
#include <algorithm>
#include "support/build_speed.h"
#include "connection_bench.h"

class tst_connection_retries : public QObject
{
    Q_OBJECT

private slots:
    void absentCorvaneRetriesTenTimes();
    void secondPressStopsConnecting();
    void corvaneFailingItsInitialisation();
};

void tst_connection_retries::absentCorvaneRetriesTenTimes()
{
    Bench bench;
    bench.settings().setBoardPresent(sim::BoardKind::Corvane, false);
    bench.open();
    bench.selectBoard(Corvane);
    LabelWatch watch(bench.ui()->label_State);
    bench.pressMain();

    QStringList expected;
    for (int n = 1; n <= 10; ++n)
        expected << QString("Attempt to connect %1/10").arg(n);
    QCOMPARE(watch.attemptTexts(), expected);
    // About a second between attempts.
    QList<qint64> times;
    for (const auto& t : watch.texts)
        if (t.first.startsWith("Attempt to connect"))
            times << t.second;
    // Never less than the second's wait; the typical gap is near it. A
    // loaded machine stretches some gaps, not most of them; two-second
    // retries would show in the median.
    QList<qint64> gaps;
    for (int i = 1; i < times.size(); ++i) {
        const qint64 gap = times.at(i) - times.at(i - 1);
        QVERIFY2(gap >= 900, qPrintable(QString::number(gap)));
        gaps << gap;
    }
    QCOMPARE(gaps.size(), 9);
    std::sort(gaps.begin(), gaps.end());
    QVERIFY2(gaps.at(gaps.size() / 2) < 1500LL * BuildSlowdown, qPrintable(QString::number(gaps.at(gaps.size() / 2))));
    QVERIFY(bench.logged("Attempt to connect: 10"));
    QVERIFY(bench.logged("Corvane not connected to the computer"));
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Connect"));
    QCOMPARE(bench.ui()->label_State->text(), QString("Ready"));
    QVERIFY(bench.ui()->pushButton_Start->isEnabled());
    QVERIFY(!bench.window->Connected);
    QVERIFY(!bench.window->Connecting);
    QVERIFY(bench.boxes.isEmpty());
}

void tst_connection_retries::secondPressStopsConnecting()
{
    Bench bench;
    bench.settings().setBoardPresent(sim::BoardKind::Corvane, false);
    bench.open();
    bench.selectBoard(Corvane);
    QString sCaptionWhileConnecting;
    QTimer::singleShot(1500, [&bench, &sCaptionWhileConnecting]() {
        sCaptionWhileConnecting = bench.ui()->pushButton_Start->text();
        bench.pressMain();
    });
    LabelWatch watch(bench.ui()->label_State);
    QElapsedTimer clock;
    clock.start();
    bench.pressMain();
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(sCaptionWhileConnecting, QString("Stop\nConnection"));
    QVERIFY(bench.logged("Stop connection asked"));
    QVERIFY(bench.logged("Stop connection !"));
    QVERIFY(bench.logged("Connecting interrupted pressing button"));
    QVERIFY(!bench.logged("Corvane not connected to the computer"));
    QVERIFY(watch.attemptTexts().size() < 4);
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Connect"));
    QVERIFY(!bench.window->StopConnectionAsked);

    // The board is back: the next press connects.
    bench.settings().setBoardPresent(sim::BoardKind::Corvane, true);
    bench.pressMain();
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Start"));
}


void tst_connection_retries::corvaneFailingItsInitialisation()
{
    Bench bench;
    // Listed, but never opens: 0x40 for attempts 0 to 9, 0x1 at the last one.
    sim::InjectFault(sim::BoardKind::Corvane, sim::Fault::ActivationFailure);
    bench.open();
    bench.selectBoard(Corvane);
    bench.pressMain();
    QVERIFY(bench.logged("Attempt to connect: 10"));
    QVERIFY(!bench.logged("Corvane not connected to the computer"));
    QVERIFY(!bench.logged("Error 0x00000001 - Serial Communication failed. The connection can't be established correctly"));
    QVERIFY(bench.boxes.isEmpty());
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Connect"));
    QCOMPARE(bench.ui()->label_State->text(), QString("Ready"));
    QVERIFY(!bench.window->Connected);
}

QTEST_MAIN(tst_connection_retries)
#include "tst_connection_retries.moc"
