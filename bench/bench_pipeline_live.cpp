// Frames delivered and shown per second by the real main window, offscreen, fed by a simulated 1024 x 768 source at 120 frames per second, and the latency from synthesis to paint.
#include "../tests/board/road_bench.h"
#include "../tests/pipeline/frame_source.h"
#include "../tests/support/test_app_folder.h"

#include "board/frame_rate_setup.h"
#include "sim/core/board_registry.h"
#include "sim/core/simulation_settings.h"
#include "params/data_cell_ids.h"
#include "params/proxy_lookup.h"
#include "params/proxy_parameter_table.h"

#include "app/globals.h"
#include "app/message_boxes.h"
#include "pipeline/kv_video_recorder.h"
#include "pipeline/affichage.h"
#include "pipeline/pipeline_state.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

void BM_LiveView(benchmark::State& state)
{
    const int kind = int(state.range(0)); // 4: frames on a worker thread; 5: on the GUI thread
    const bool bRecording = state.range(1) != 0; // the video recorder writes every shown frame
    TestAppFolder folder;
    SetMessageBoxPresenter([](const MessageBoxRequest&) { return 0; });
    MainWindow window;
    window.GetPointerToInstance();
    window.DigiBoardKind = BoardKindFromIndex(kind);
    window.CurrentProxyIndex = 4;
    window.Connected = true;
    window.FrameCounter = 1;
    window.show();
    g_bDisplayBusy = false;
    FrameSource source(window, 1024, 768);
    constexpr double kRate = 120.0;
    constexpr int kSeconds = 3;
    // An uncompressed AVI in a RAM-backed folder, so the figure is the program's, not the disk's.
    QTemporaryDir videoFolder((QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
                              + "/kestivo-bench-XXXXXX");
    KV_VideoRecorder* pVideo = window.VideoRecorder;
    if (bRecording) {
        pVideo->setFolderChooser([&] { return videoFolder.path(); });
        pVideo->setFreeSpaceProbe([](const QString&) { return 1e12; });
        pVideo->selectFolder();
        pVideo->setFileName(QStringLiteral("Bench.avi"));
        pVideo->setVideoSize(1024, 768);
        pVideo->setFrameRate(kRate);
        if (!pVideo->openFile()) {
            state.SkipWithError("the AVI writer did not open");
            SetMessageBoxPresenter({});
            return;
        }
    }
    for (auto _ : state) {
        window.FramesReceived = 0;
        window.FramesDisplayed = 0;
        const unsigned droppedBefore = window.Pipeline->DroppedFrames;
        QElapsedTimer clock;
        clock.start();
        int delivered = 0;
        if (kind == 5) {
            // The serial-port board's loop: a frame, then the events, at the frame rate.
            qint64 next = 0;
            while (clock.elapsed() < kSeconds * 1000) {
                if (clock.nsecsElapsed() >= next) {
                    source.fill(uint16_t(1000 + (delivered % 50) * 100));
                    source.deliver();
                    ++delivered;
                    next += qint64(1e9 / kRate);
                }
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            }
        } else {
            source.startWorker(kRate);
            while (clock.elapsed() < kSeconds * 1000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            source.stop();
            QCoreApplication::processEvents();
            delivered = window.FramesReceived;
        }
        const double seconds = clock.elapsed() / 1000.0;
        // FramesDisplayed never passes FramesReceived (the one-second timer is not running here).
        state.counters["delivered_per_s"] = delivered / seconds;
        state.counters["shown_per_s"] = window.FramesDisplayed / seconds;
        state.counters["dropped_per_s"] = (window.Pipeline->DroppedFrames - droppedBefore) / seconds;
        if (bRecording)
            state.counters["recorded_per_s"] = pVideo->framesWritten() / seconds;
    }
    if (bRecording)
        pVideo->closeFile();
    SetMessageBoxPresenter({});
}
BENCHMARK(BM_LiveView)
    ->ArgNames({"board", "recording"})
    ->Args({4, 0})
    ->Args({5, 0})
    ->Args({4, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The USB3 board through the real frame path (simulated device, capture
// library, frame callback, main window), paced at the fastest rate a proxy
// record offers on that board, the largest frame among those records: every
// delivered frame should be shown.
void BM_LiveCorvane(benchmark::State& state)
{
    EnsureProxyParameterTableFilled();
    constexpr int kNoProxyRecord = 13;
    int iProxy = -1, iCode = 0;
    uint64_t uArea = 0;
    for (int i = 1; i < kProxyRecordCount; ++i) {
        const uint32_t w = GetDefault(i, ProxyParameterId::AcqBufferWidth);
        const uint32_t h = GetDefault(i, ProxyParameterId::AcqBufferHeight);
        if (i == kNoProxyRecord || w == ProxyParameterNotSet || h == ProxyParameterNotSet)
            continue;
        for (int item = FrameRateItemLastPreset; item >= FrameRateItemFirstPreset; --item) {
            const int k = item - FrameRateItemFirstPreset;
            if (!FrameRateItemOffered(i, item)
                || GetCurrent(i, ProxyParameterId::USB3FrameRateParam28 + k) == ProxyParameterNotSet)
                continue;
            const int code = FrameRateCodeOfItem(item);
            if (code > iCode || (code == iCode && uint64_t(w) * h > uArea)) {
                iCode = code;
                iProxy = i;
                uArea = uint64_t(w) * h;
            }
            break;
        }
    }
    if (iProxy < 0) {
        state.SkipWithError("no proxy record offers a preset rate on this board");
        return;
    }
    sim::SetFastMode(false);
    Road road(sim::BoardKind::Corvane, iProxy);
    sim::SimulationSettings().setFrameRateCode(sim::BoardKind::Corvane, iCode);
    sim::SensorFor(sim::BoardKind::Corvane)->setFrameRateCode(iCode);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(int(sim::BoardKind::Corvane));
    road.press();
    if (!w.Connected) {
        state.SkipWithError("the board did not connect");
        return;
    }
    // Shown: every frame that reaches the GUI thread's display slot.
    std::atomic<int> shown{0};
    QObject::connect(&w, &MainWindow::ImageReadyToDisplay, &w, [&shown](cv::Mat, cv::Mat) { ++shown; },
                     Qt::QueuedConnection);
    constexpr int kWarmUpMs = 1000, kMeasureMs = 3000;
    for (auto _ : state) {
        road.press();
        QElapsedTimer clock;
        clock.start();
        while (w.FramesReceived == 0 && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        // The operator's program waits in the event loop; so does this one.
        QEventLoop loop;
        QTimer::singleShot(kWarmUpMs, &loop, &QEventLoop::quit);
        loop.exec();
        // The window's own counters restart every second: the board's count of sent frames is the measure.
        const std::shared_ptr<sim::SensorModel> pSensor = sim::SensorFor(sim::BoardKind::Corvane);
        const uint64_t uSentAtStart = pSensor->framesRendered();
        const int iShownAtStart = shown;
        QElapsedTimer measure;
        measure.start();
        QTimer::singleShot(kMeasureMs, &loop, &QEventLoop::quit);
        loop.exec();
        const double seconds = measure.elapsed() / 1000.0;
        const int iDelivered = int(pSensor->framesRendered() - uSentAtStart);
        const int iShown = shown - iShownAtStart;
        const int iWidth = w.FrameWidth, iHeight = w.FrameHeight;
        road.press();
        QTest::qWait(200);
        // The code the board ran at, read back: the connection and the start
        // must not have moved it off the fastest preset.
        state.counters["rate_code"] = pSensor->frameRateCode();
        state.counters["proxy"] = iProxy;
        state.counters["width"] = iWidth;
        state.counters["height"] = iHeight;
        state.counters["delivered_per_s"] = iDelivered / seconds;
        state.counters["shown_per_s"] = iShown / seconds;
        state.counters["not_shown"] = std::max(0, iDelivered - iShown);
        // One frame may be on its way at each end of the window.
        state.counters["all_shown"] = iDelivered - iShown <= 1 ? 1 : 0;
    }
}
BENCHMARK(BM_LiveCorvane)->Iterations(1)->Unit(benchmark::kMillisecond);

// From a frame's synthesis to the paint of the view that shows it, at
// 1024 x 768 and 120 frames per second on a worker thread. One frame is in
// flight at a time, so frames reach the display slot in the order their
// images were emitted, and a paint after the slot shows the last of them.
class PaintProbe : public QObject
{
public:
    PaintProbe(MainWindow& p_Window, std::vector<qint64>& p_Emitted, std::mutex& p_Mutex, QElapsedTimer& p_Clock)
        : m_Window(p_Window), m_Emitted(p_Emitted), m_Mutex(p_Mutex), m_Clock(p_Clock)
    {
    }
    std::vector<double> LatenciesMs;

protected:
    bool eventFilter(QObject* p_pObject, QEvent* p_pEvent) override
    {
        if (p_pEvent->type() == QEvent::Paint) {
            const int iShown = m_Window.FramesDisplayed;
            if (iShown > m_iLastShown) {
                m_iLastShown = iShown;
                std::lock_guard<std::mutex> lock(m_Mutex);
                if (iShown <= int(m_Emitted.size()))
                    LatenciesMs.push_back((m_Clock.nsecsElapsed() - m_Emitted[size_t(iShown - 1)]) / 1e6);
            }
        }
        return QObject::eventFilter(p_pObject, p_pEvent);
    }

private:
    MainWindow& m_Window;
    std::vector<qint64>& m_Emitted;
    std::mutex& m_Mutex;
    QElapsedTimer& m_Clock;
    int m_iLastShown = 0;
};

void BM_LiveLatency(benchmark::State& state)
{
    TestAppFolder folder;
    MainWindow window;
    window.GetPointerToInstance();
    window.DigiBoardKind = BoardKind::Dunstel;
    window.CurrentProxyIndex = 4;
    window.Connected = true;
    window.FrameCounter = 1;
    window.show();
    g_bDisplayBusy = false;
    FrameSource source(window, 1024, 768);
    QElapsedTimer clock;
    clock.start();
    std::mutex mutex;
    std::vector<qint64> emitted;
    std::atomic<qint64> synthesisedAt{0};
    // On the frame thread, inside the hand-off: the frame was taken for display.
    QObject::connect(&window, &MainWindow::ImageReadyToDisplay, &window, [&](cv::Mat, cv::Mat) {
        std::lock_guard<std::mutex> lock(mutex);
        emitted.push_back(synthesisedAt.load());
    }, Qt::DirectConnection);
    PaintProbe probe(window, emitted, mutex, clock);
    window.ImageView->installEventFilter(&probe);
    window.FramesDisplayed = 0;
    constexpr double kRate = 120.0;
    constexpr int kSeconds = 3;
    for (auto _ : state) {
        std::atomic<bool> bStop{false};
        std::thread worker([&] {
            using steady = std::chrono::steady_clock;
            const auto period = std::chrono::duration_cast<steady::duration>(std::chrono::duration<double>(1.0 / kRate));
            auto next = steady::now();
            std::vector<uint16_t>& raw = source.raw();
            for (int n = 0; !bStop; ++n) {
                const uint16_t v = uint16_t(1000 + (n % 50) * 100);
                for (size_t i = 0; i < raw.size(); ++i)
                    raw[i] = uint16_t(v + (i & 255));
                synthesisedAt = clock.nsecsElapsed();
                source.deliver();
                next += period;
                std::this_thread::sleep_until(next);
            }
        });
        QElapsedTimer run;
        run.start();
        while (run.elapsed() < kSeconds * 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        bStop = true;
        worker.join();
        QCoreApplication::processEvents();
    }
    window.ImageView->removeEventFilter(&probe);
    std::vector<double> l = probe.LatenciesMs;
    std::sort(l.begin(), l.end());
    state.counters["painted"] = double(l.size());
    if (!l.empty()) {
        state.counters["median_ms"] = l[l.size() / 2];
        state.counters["p99_ms"] = l[std::min(l.size() - 1, size_t(double(l.size()) * 0.99))];
    }
}
BENCHMARK(BM_LiveLatency)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
