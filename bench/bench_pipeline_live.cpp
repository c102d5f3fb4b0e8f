// Frames delivered and shown per second by the real main window, offscreen, fed by a simulated 1024 x 768 source at 120 frames per second.
#include "../tests/pipeline/frame_source.h"
#include "../tests/support/test_app_folder.h"

#include "app/globals.h"
#include "pipeline/pipeline_state.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

namespace {

void BM_LiveView(benchmark::State& state)
{
    const int kind = int(state.range(0)); // 4: frames on a worker thread; 5: on the GUI thread
    TestAppFolder folder;
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
    }
}
BENCHMARK(BM_LiveView)->Arg(4)->Arg(5)->Iterations(1)->Unit(benchmark::kMillisecond);

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
