// Calls handed from worker threads to an object's thread.
#include "app/thread_call.h"

#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class tst_thread_call : public QObject
{
    Q_OBJECT

private slots:
    void callsRunOnTheContextsThreadInOrder();
    void callOnThreadRunsAtOnceThere();
    void callForAGoneContextIsDropped();
};

void tst_thread_call::callsRunOnTheContextsThreadInOrder()
{
    // Two workers post while the GUI thread runs: every call runs there, each
    // worker's calls in the order they were posted, and what they captured arrives whole.
    QObject context;
    std::vector<int> seen[2];
    bool offThread = false;
    auto work = [&context, &seen, &offThread](int p_iWorker) {
        for (int i = 0; i < 500; ++i) {
            auto payload = std::make_shared<std::vector<int>>(64, i);
            PostToThreadOf(&context, [&seen, &offThread, &context, p_iWorker, payload] {
                offThread |= QThread::currentThread() != context.thread();
                seen[p_iWorker].push_back(payload->back());
            });
        }
    };
    std::thread a(work, 0);
    std::thread b(work, 1);
    a.join();
    b.join();
    QTRY_COMPARE(seen[0].size() + seen[1].size(), size_t(1000));
    QVERIFY(!offThread);
    for (const std::vector<int>& s : seen)
        for (int i = 0; i < int(s.size()); ++i)
            QCOMPARE(s[size_t(i)], i);

    // The calls keep their place among the thread's other events.
    QString order;
    PostToThreadOf(&context, [&order] { order += 'A'; });
    QMetaObject::invokeMethod(&context, [&order] { order += 'E'; }, Qt::QueuedConnection);
    PostToThreadOf(&context, [&order] { order += 'B'; });
    QTRY_COMPARE(order, QString("AEB"));
}

void tst_thread_call::callOnThreadRunsAtOnceThere()
{
    QObject context;
    int runs = 0;
    CallOnThreadOf(&context, [&runs] { ++runs; });
    QCOMPARE(runs, 1);
    // Posting always waits for the loop, even from the context's own thread.
    PostToThreadOf(&context, [&runs] { ++runs; });
    QCOMPARE(runs, 1);
    QTRY_COMPARE(runs, 2);
    // From a worker, CallOnThreadOf queues.
    std::thread worker([&context, &runs] { CallOnThreadOf(&context, [&runs] { ++runs; }); });
    worker.join();
    QTRY_COMPARE(runs, 3);
}

void tst_thread_call::callForAGoneContextIsDropped()
{
    int runs = 0;
    auto pContext = std::make_unique<QObject>();
    std::thread worker([&pContext, &runs] { PostToThreadOf(pContext.get(), [&runs] { ++runs; }); });
    worker.join();
    pContext.reset();
    QObject survivor;
    bool survivorRan = false;
    PostToThreadOf(&survivor, [&survivorRan] { survivorRan = true; });
    QTRY_VERIFY(survivorRan);
    QCOMPARE(runs, 0);
    // A null context or an empty call does nothing.
    PostToThreadOf(nullptr, [&runs] { ++runs; });
    CallOnThreadOf(&survivor, {});
    QCoreApplication::processEvents();
    QCOMPARE(runs, 0);
}

QTEST_GUILESS_MAIN(tst_thread_call)
#include "tst_thread_call.moc"
