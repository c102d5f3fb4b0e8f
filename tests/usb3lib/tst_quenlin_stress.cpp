// Starting and stopping asynchronous capture over and over while frames flow and while a recovery runs.
// Meant to run under ThreadSanitizer as well as AddressSanitizer.
#include "quenlin_test_support.h"

#include "platform/mediacapture/media_foundation.h"
#include "sim/core/fault_injector.h"

#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

using namespace sim;

namespace {
std::atomic<int> g_iFrames{0};
std::atomic<bool> g_bStopFromCallback{false};
std::atomic<unsigned> g_uBadLength{0};

void OnFrame(unsigned short* p_pPixels, unsigned int* p_pLength)
{
    // Touch the whole frame, so that a buffer freed under the callback shows.
    unsigned uSum = 0;
    for (unsigned i = 0; i < *p_pLength / 2; i += 97)
        uSum += p_pPixels[i];
    (void)uSum;
    if (*p_pLength != 640u * 480u * 2u)
        g_uBadLength.store(*p_pLength);
    int iWidth = 0;
    getWidth(&iWidth);
    if (g_bStopFromCallback.exchange(false))
        stopCapture();
    ++g_iFrames;
}

void OnDropped() {}

// The application's stop: the stop request, then tear-downs until closed.
void StopLikeTheApplication()
{
    stopCapture();
    while (isInitialized() != 0)
        deinitCapture(1);
}
} // namespace

class TestQuenlinStress : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_pFolder = std::make_unique<TestAppFolder>();
        ResetSimulation();
        ResetCaptureDevices();
        ResetLibrarySettings();
        g_iFrames = 0;
        g_uBadLength = 0;
    }
    void cleanup()
    {
        CloseCapture();
        ClearAllFaults();
        ResetCaptureDevices();
        QTRY_COMPARE(LiveSourceReadersForTests(), 0);
        QCOMPARE(isInitialized(), 0);
        QCOMPARE(g_uBadLength.load(), 0u);
        m_pFolder.reset();
    }

    void startAndStopWhileFramesFlow()
    {
        // The register link and the geometry are used from another thread meanwhile.
        std::atomic<bool> bDone{false};
        std::thread other([&] {
            while (!bDone.load()) {
                int iLatch = 0, iValue = 0;
                if (isInitialized() != 0 && setParameter(3, 100) == 0)
                    getValidationLatch(&iLatch);
                getHeight(&iValue);
                QThread::msleep(5);
            }
        });
        for (int i = 0; i < 14; ++i) {
            QCOMPARE(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0);
            QVERIFY(startCapture() >= 0);
            if (i % 4 == 3)
                g_bStopFromCallback = true;
            QThread::msleep(static_cast<unsigned long>((i % 4) * 20));
            StopLikeTheApplication();
        }
        bDone = true;
        other.join();
        QVERIFY(g_iFrames.load() >= 14);
    }

    void startAndStopDuringRecovery()
    {
        StreamCapture err;
        for (int i = 0; i < 6; ++i) {
            // The device of the previous round may still be away.
            QTRY_COMPARE_WITH_TIMEOUT(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0, 3000);
            QVERIFY(startCapture() >= 0);
            const int iLosses = err.count("Device lost, recovering.\n");
            InjectFault(BoardKind::Corvane, Fault::DeviceLostMidStream, 1, 0, 150 + 100 * (i % 3));
            QTRY_VERIFY_WITH_TIMEOUT(err.count("Device lost, recovering.\n") > iLosses, 5000);
            // Act at different moments of the recovery: its tear-down, its
            // waits, its re-initialisation.
            QThread::msleep(static_cast<unsigned long>(i * 90));
            if (i % 2 == 1) {
                // The application opens and starts a capture of its own meanwhile.
                initAsyncCapture(OnFrame, OnDropped, 0, 1);
                startCapture();
            }
            StopLikeTheApplication();
        }
        QThread::msleep(700);
        QCOMPARE(isInitialized(), 0);
    }

    // The stream keeps going through repeated losses when nobody stops it.
    void repeatedLossesRecover()
    {
        StreamCapture err;
        QCOMPARE(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0);
        QVERIFY(startCapture() >= 0);
        for (int i = 0; i < 2; ++i) {
            const int iLosses = err.count("Device lost, recovering.\n");
            InjectFault(BoardKind::Corvane, Fault::DeviceLostMidStream, 1, 2, 100);
            QTRY_VERIFY_WITH_TIMEOUT(err.count("Device lost, recovering.\n") > iLosses, 5000);
            const int iFrames = g_iFrames.load();
            QTRY_VERIFY_WITH_TIMEOUT(g_iFrames.load() > iFrames + 2, 10000);
        }
        QCOMPARE(isInitialized(), 1);
        StopLikeTheApplication();
    }

private:
    std::unique_ptr<TestAppFolder> m_pFolder;
};

QTEST_GUILESS_MAIN(TestQuenlinStress)
#include "tst_quenlin_stress.moc"
