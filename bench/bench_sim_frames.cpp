// Frame synthesis of the simulated sensor and one USB3 sample through the capture stand-in.
#include "app/app_paths.h"
#include "platform/mediacapture/media_foundation.h"
#include "sim/core/board_kind.h"
#include "sim/core/board_registry.h"
#include "sim/core/sensor_model.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <vector>

namespace {

void BM_RenderFrame(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    sim::SensorModel model(sim::BoardKind::Corvane, 2, 30);
    std::vector<uint16_t> frame(static_cast<size_t>(w) * h);
    for (auto _ : state) {
        model.renderNextFrame(frame.data(), w, h, w);
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_RenderFrame)->Args({640, 480})->Args({1280, 1024})->Args({2560, 512})->Unit(benchmark::kMillisecond);

// The same synthesis in the USB3 board's byte order, as its capture stream renders it.
void BM_RenderFrameHighByteFirst(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    sim::SensorModel model(sim::BoardKind::Corvane, 2, 30);
    std::vector<uint8_t> frame(static_cast<size_t>(w) * h * 2);
    for (auto _ : state) {
        model.renderNextFrameHighByteFirst(frame.data(), sim::FrameGeometry{w, h});
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_RenderFrameHighByteFirst)->Args({1280, 1024})->Unit(benchmark::kMillisecond);

// One synchronous USB3 sample without pacing: synthesis, byte order and the
// sample objects of the capture stand-in; on the board's stored proxy
// (argument 0) or on the record given (14: 1280 x 1024).
void BM_Usb3SyncSample(benchmark::State& state)
{
    sim::SetFastMode(true);
    if (state.range(0) > 0)
        sim::SensorFor(sim::BoardKind::Corvane)->setProxyIndex(static_cast<int>(state.range(0)));
    MFStartup(MF_VERSION);
    IMFAttributes* pAttributes = nullptr;
    MFCreateAttributes(&pAttributes, 1);
    pAttributes->SetGUID(MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE, MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE_VIDCAP_GUID);
    IMFActivate** ppDevices = nullptr;
    UINT32 count = 0;
    MFEnumDeviceSources(pAttributes, &ppDevices, &count);
    IMFMediaSource* pSource = nullptr;
    IMFSourceReader* pReader = nullptr;
    if (count > 0 && SUCCEEDED(ppDevices[0]->ActivateObject(IID_IMFMediaSource, reinterpret_cast<void**>(&pSource))))
        MFCreateSourceReaderFromMediaSource(pSource, nullptr, &pReader);
    for (UINT32 i = 0; i < count; ++i)
        ppDevices[i]->Release();
    CoTaskMemFree(ppDevices);
    pAttributes->Release();
    if (pReader == nullptr) {
        state.SkipWithError("no simulated USB3 board");
        return;
    }
    for (auto _ : state) {
        IMFSample* pSample = nullptr;
        pReader->ReadSample(MF_SOURCE_READER_ANY_STREAM, 0, nullptr, nullptr, nullptr, &pSample);
        if (pSample)
            pSample->Release();
    }
    pReader->Release();
    pSource->Shutdown();
    pSource->Release();
    MFShutdown();
}
BENCHMARK(BM_Usb3SyncSample)->ArgName("proxy")->Arg(0)->Arg(14)->Unit(benchmark::kMillisecond);

} // namespace

// The simulated boards read their settings from the application folder: give
// them a fresh one instead of wherever the benchmark runs.
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
