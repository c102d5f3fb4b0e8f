// The lasting thread for the frame threads' OpenCV work, and the display scaling that goes through it.
#include "pipeline/correction_chain.h"
#include "pipeline/cv_host_thread.h"
#include "support/sanitized_heap.h"

#include <QtTest>

#include <opencv2/imgproc.hpp>

#include <malloc.h>

#include <atomic>
#include <chrono>
#include <future>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Runs p_Body on a thread of its own that ends with it, as a board driver's frame thread does.
template <typename Body>
void OnFreshThread(const Body& p_Body)
{
    std::thread(p_Body).join();
}

} // namespace

class tst_cv_host_thread : public QObject
{
    Q_OBJECT

private slots:
    void workOfShortLivedThreadsRunsOnOneThread();
    void errorReachesTheCallerAndTheThreadGoesOn();
    void callFromTheHostThreadRunsAtOnce();
    void concurrentCallersTakeTurns();
    void scalingFromFreshThreadsLeavesNoMemory_data();
    void scalingFromFreshThreadsLeavesNoMemory();
};

void tst_cv_host_thread::workOfShortLivedThreadsRunsOnOneThread()
{
    std::set<std::thread::id> hosts;
    std::set<std::thread::id> callers;
    for (int i = 0; i < 5; ++i) {
        OnFreshThread([&] {
            callers.insert(std::this_thread::get_id());
            RunOnCvHostThread([&] { hosts.insert(std::this_thread::get_id()); });
        });
    }
    RunOnCvHostThread([&] { hosts.insert(std::this_thread::get_id()); });
    QCOMPARE(int(hosts.size()), 1);
    QVERIFY(*hosts.begin() != std::this_thread::get_id());
    QCOMPARE(int(callers.count(*hosts.begin())), 0);
}

void tst_cv_host_thread::errorReachesTheCallerAndTheThreadGoesOn()
{
    bool bCaught = false;
    try {
        RunOnCvHostThread([] { throw std::runtime_error("scaling failed"); });
    } catch (const std::runtime_error& e) {
        bCaught = QByteArray(e.what()) == "scaling failed";
    }
    QVERIFY(bCaught);
    // An OpenCV error (an empty image) comes back as such.
    bool bCvCaught = false;
    try {
        RunOnCvHostThread([] {
            cv::Mat empty, out;
            cv::resize(empty, out, cv::Size(), 2.0, 2.0);
        });
    } catch (const cv::Exception&) {
        bCvCaught = true;
    }
    QVERIFY(bCvCaught);
    int iRan = 0;
    RunOnCvHostThread([&] { ++iRan; });
    QCOMPARE(iRan, 1);
}

void tst_cv_host_thread::callFromTheHostThreadRunsAtOnce()
{
    // On a thread of its own, so that a hang fails the test instead of stopping it.
    auto* pDone = new std::promise<int>;
    std::future<int> done = pDone->get_future();
    std::thread([pDone] {
        int iDepth = 0;
        RunOnCvHostThread([&] {
            ++iDepth;
            RunOnCvHostThread([&] { ++iDepth; });
        });
        pDone->set_value(iDepth);
        delete pDone;
    }).detach();
    QVERIFY(done.wait_for(std::chrono::seconds(10)) == std::future_status::ready);
    QCOMPARE(done.get(), 2);
}

void tst_cv_host_thread::concurrentCallersTakeTurns()
{
    // Plain counters: each call must have the host to itself, and see the writes of the calls before it.
    long lCount = 0;
    int iInside = 0;
    std::atomic<int> overlaps{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 6; ++t) {
        callers.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                RunOnCvHostThread([&] {
                    if (++iInside != 1)
                        ++overlaps;
                    ++lCount;
                    --iInside;
                });
            }
        });
    }
    for (std::thread& t : callers)
        t.join();
    QCOMPARE(lCount, 6L * 200L);
    QCOMPARE(overlaps.load(), 0);
}

void tst_cv_host_thread::scalingFromFreshThreadsLeavesNoMemory_data()
{
    QTest::addColumn<int>("interpolation");
    QTest::newRow("nearest") << int(cv::INTER_NEAREST);
    QTest::newRow("linear") << int(cv::INTER_LINEAR);
    QTest::newRow("cubic") << int(cv::INTER_CUBIC);
    QTest::newRow("lanczos4") << int(cv::INTER_LANCZOS4);
}

void tst_cv_host_thread::scalingFromFreshThreadsLeavesNoMemory()
{
#ifdef KESTIVO_SANITIZED_HEAP
    QSKIP("The sanitizer's allocator does not give the heap figures");
#else
    QFETCH(int, interpolation);
    cv::Mat full(480, 640, CV_8UC1);
    cv::randu(full, 0, 256);
    DisplayScaleChoice choice;
    choice.Resize = true;
    choice.Scale = 1.5;
    choice.CvInterpolation = interpolation;
    auto scaleOnFreshThread = [&] {
        OnFreshThread([&] {
            cv::Mat scaled;
            ScaleDisplayImage(full, scaled, choice);
        });
    };
    for (int i = 0; i < 20; ++i)
        scaleOnFreshThread();
    const int kThreads = 300;
    const size_t before = mallinfo2().uordblks;
    for (int i = 0; i < kThreads; ++i)
        scaleOnFreshThread();
    const double perThread = (double(mallinfo2().uordblks) - double(before)) / kThreads;
    // OpenCV's parallel loop entered on each of these threads would keep about 850 bytes for each.
    QVERIFY2(perThread < 100.0, qPrintable(QString::number(perThread)));

    cv::Mat scaled, expected;
    OnFreshThread([&] { ScaleDisplayImage(full, scaled, choice); });
    cv::resize(full, expected, cv::Size(), choice.Scale, choice.Scale, interpolation);
    QCOMPARE(cv::norm(scaled, expected, cv::NORM_INF), 0.0);
#endif
}

QTEST_GUILESS_MAIN(tst_cv_host_thread)
#include "tst_cv_host_thread.moc"
