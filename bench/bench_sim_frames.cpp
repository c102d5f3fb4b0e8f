// Frame synthesis of the simulated sensor and one USB3 sample through the capture stand-in.
#include "platform/mediacapture/media_foundation.h"
#include "sim/core/board_kind.h"
#include "sim/core/sensor_model.h"

#include <benchmark/benchmark.h>

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

} // namespace

BENCHMARK_MAIN();
