// The connect procedure's attempts: which first results retry, the attempt numbers, the stop between retries.
#include "board/connect_retry.h"

#include <QtTest>

namespace {

// Scripted attempts: results[i] answers attempt i (the last one repeats).
struct Script
{
    QList<int> results;
    QList<int> attempts;
    QList<int> retriesAnnounced;
    QList<int> waits;
    int stopAtRetry = -1; // the stop is seen before this retry (1..10)
    int eventsProcessed = 0;

    ConnectAttemptSteps steps()
    {
        ConnectAttemptSteps s;
        s.attempt = [this](int n) {
            attempts << n;
            return results.at(qMin(n, results.size() - 1));
        };
        s.processEvents = [this]() { ++eventsProcessed; };
        s.stopAsked = [this]() { return stopAtRetry == retriesAnnounced.size() + 1; };
        s.retryStarting = [this](int n) { retriesAnnounced << n; };
        s.wait = [this](int ms) { waits << ms; };
        return s;
    }
};

} // namespace

class tst_connect_retry : public QObject
{
    Q_OBJECT

private slots:
    void firstResultWithoutRetry_data();
    void firstResultWithoutRetry();
    void absentBoardRetriesTenTimes();
    void initFailureEndsOnTheLastRetry();
    void successDuringRetriesEndsEarly();
    void anyErrorDuringRetriesRetriesAgain();
    void stopBeforeARetry();
};

void tst_connect_retry::firstResultWithoutRetry_data()
{
    QTest::addColumn<int>("result");
    QTest::newRow("connected") << int(ConnectResult::Connected);
    QTest::newRow("link failed") << int(ConnectResult::LinkFailed);
    QTest::newRow("GigE open failed") << int(ConnectResult::GigEOpenFailed);
    QTest::newRow("no GigE chosen") << int(ConnectResult::GigENotChosen);
    QTest::newRow("Belmor not confirmed") << int(ConnectResult::BelmorNotConfirmed);
}

void tst_connect_retry::firstResultWithoutRetry()
{
    QFETCH(int, result);
    Script script;
    script.results = {result, 0};
    QCOMPARE(RunConnectAttempts(script.steps()), result);
    QCOMPARE(script.attempts, QList<int>{0});
    QVERIFY(script.waits.isEmpty());
}

void tst_connect_retry::absentBoardRetriesTenTimes()
{
    Script script;
    script.results = {ConnectResult::CorvaneAbsent};
    QCOMPARE(RunConnectAttempts(script.steps()), int(ConnectResult::CorvaneAbsent));
    QCOMPARE(script.attempts, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    QCOMPARE(script.retriesAnnounced, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    QCOMPARE(script.waits, QVector<int>(10, ConnectRetryDelayMs).toList());
    QCOMPARE(script.eventsProcessed, 10);
}

void tst_connect_retry::initFailureEndsOnTheLastRetry()
{
    Script script;
    script.results = QVector<int>(10, ConnectResult::CorvaneAbsent).toList();
    script.results << ConnectResult::LinkFailed;
    QCOMPARE(RunConnectAttempts(script.steps()), int(ConnectResult::LinkFailed));
    QCOMPARE(script.attempts.size(), 11);
}

void tst_connect_retry::successDuringRetriesEndsEarly()
{
    Script script;
    script.results = {ConnectResult::CorvaneAbsent, ConnectResult::CorvaneAbsent, ConnectResult::Connected};
    QCOMPARE(RunConnectAttempts(script.steps()), int(ConnectResult::Connected));
    QCOMPARE(script.attempts, (QList<int>{0, 1, 2}));
}

void tst_connect_retry::anyErrorDuringRetriesRetriesAgain()
{
    Script script;
    script.results = {ConnectResult::CorvaneAbsent, ConnectResult::LinkFailed, ConnectResult::GigENotChosen,
                      ConnectResult::Connected};
    QCOMPARE(RunConnectAttempts(script.steps()), int(ConnectResult::Connected));
    QCOMPARE(script.attempts, (QList<int>{0, 1, 2, 3}));
}

void tst_connect_retry::stopBeforeARetry()
{
    Script script;
    script.results = {ConnectResult::CorvaneAbsent};
    script.stopAtRetry = 3;
    QCOMPARE(RunConnectAttempts(script.steps()), int(ConnectResult::Interrupted));
    // Attempts already under way finish; no further wait or attempt starts.
    QCOMPARE(script.attempts, (QList<int>{0, 1, 2}));
    QCOMPARE(script.waits.size(), 2);
}

QTEST_GUILESS_MAIN(tst_connect_retry)
#include "tst_connect_retry.moc"
