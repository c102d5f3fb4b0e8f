// The capture library's per-frame paths: inversion, software NUC and the synchronous frame read, on two frame sizes.
#include "app/app_paths.h"
#include "sim/core/board_kind.h"
#include "sim/usb3/capture_devices.h"
#include "usb3lib/Quenlin.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <vector>

namespace {

// Opens a synchronous capture on a device of the benchmark's frame size.
bool OpenCapture(int p_iWidth, int p_iHeight)
{
    setVerbose(0);
    sim::RemoveAddedCaptureDevices();
    sim::AddCaptureDevice("Vantrel_Corvane bench", sim::FrameGeometry{p_iWidth, p_iHeight}, true);
    return initSyncCapture(0) == 0;
}

void CloseCapture()
{
    deinitCapture(1);
    sim::RemoveAddedCaptureDevices();
}

void BM_ProcessInvBW(benchmark::State& state)
{
    const size_t n = static_cast<size_t>(state.range(0) * state.range(1));
    std::vector<unsigned short> pixels(n, 1234);
    for (auto _ : state) {
        processInvBW(pixels.data(), static_cast<unsigned>(n));
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * n));
}
BENCHMARK(BM_ProcessInvBW)->Args({640, 480})->Args({1280, 1024})->Unit(benchmark::kMicrosecond);

void BM_ProcessNUC(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    if (!OpenCapture(w, h)) {
        state.SkipWithError("no capture device");
        return;
    }
    const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::vector<unsigned short> reference(n, 40), pixels(n, 1000);
    setFPNReferenceImage(reference.data(), static_cast<int>(n));
    setContrast(1);
    setLuminance(40);   // offset = reference: the pixels stay as they are from one run to the next
    for (auto _ : state) {
        processNUC(pixels.data(), static_cast<int>(n));
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * n));
    setLuminance(0);
    CloseCapture();
}
BENCHMARK(BM_ProcessNUC)->Args({640, 480})->Args({1280, 1024})->Unit(benchmark::kMicrosecond);

// One synchronous frame without pacing: the device's synthesis, then the
// library's byte-order conversion into the caller's buffer.
void BM_GetSyncFrame(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    sim::SetFastMode(true);
    if (!OpenCapture(w, h)) {
        state.SkipWithError("no capture device");
        return;
    }
    std::vector<unsigned short> frame(static_cast<size_t>(w) * static_cast<size_t>(h));
    unsigned int uLength = 0;
    for (auto _ : state) {
        if (getSyncFrame(frame.data(), &uLength) != 0) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * w * h);
    CloseCapture();
    sim::SetFastMode(false);
}
BENCHMARK(BM_GetSyncFrame)->Args({640, 480})->Args({1280, 1024})->Unit(benchmark::kMillisecond);

} // namespace

// The simulated devices read their settings from the application folder:
// give them a fresh one instead of wherever the benchmark runs.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    SetApplicationDirPathOverride(folder.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
