// The correction chain per frame beside a memcpy of a cold frame and beside the plain per-pixel reference.
#include "pipeline/correction_chain.h"
#include "../tests/pipeline/reference_chain.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace {

// Raw frames come from a pool larger than any cache, one after the other,
// as a grabber's DMA buffers would: each frame is read cold.
constexpr size_t kPoolBytes = size_t(768) << 20;

struct ColdPool
{
    std::vector<uint16_t> Data;
    size_t FramePixels = 0;
    size_t Frames = 0;
    size_t Next = 0;

    explicit ColdPool(size_t p_uPixels) : FramePixels(p_uPixels)
    {
        Frames = kPoolBytes / (p_uPixels * 2);
        Data.resize(Frames * p_uPixels);
        std::mt19937 rng(7);
        for (size_t i = 0; i < Data.size(); i += 61)
            Data[i] = uint16_t(rng());
        for (size_t i = 0; i < Data.size(); ++i)
            Data[i] = uint16_t(Data[i] + 2000 + (i & 1023));
    }
    const uint16_t* next()
    {
        const uint16_t* p = Data.data() + Next * FramePixels;
        Next = (Next + 1) % Frames;
        return p;
    }
};

// One pool per frame size for the whole run: filling 768 MiB again for every
// case and repetition would take longer than the measurements.
ColdPool& SharedPool(size_t p_uPixels)
{
    static std::map<size_t, std::unique_ptr<ColdPool>> pools;
    std::unique_ptr<ColdPool>& pool = pools[p_uPixels];
    if (!pool)
        pool = std::make_unique<ColdPool>(p_uPixels);
    return *pool;
}

struct Setup
{
    FrameGeometry Geometry;
    size_t N;
    ColdPool& Pool;
    std::vector<uint16_t> Reference, Corrected, Acquired, Display16;
    std::vector<uint8_t> Display8;
    std::vector<float> Working32f;
    std::vector<double> Gain2;
    std::vector<uint32_t> BadPixels;
    BadPixelFillState Fill;
    GammaTable Gamma;
    CorrectionSettings Settings;

    Setup(int w, int h, bool gamma)
        : Geometry{w, h, 2 * w}, N(size_t(w) * size_t(h)), Pool(SharedPool(N)), Reference(N, 1500), Corrected(N),
          Acquired(N), Display16(N), Display8(N), Working32f(N), Gain2(N, 1.0)
    {
        std::mt19937 rng(3);
        BadPixels.push_back(1000);
        for (int i = 0; i < 1000; ++i)
            BadPixels.push_back(uint32_t(rng() % N));
        Settings.Path = CorrectionPath::Software;
        Settings.Input = SoftwareInput::FPN;
        Settings.Offset = 100;
        Settings.Gain = 3;
        Settings.Centre = 40;
        Settings.Clamp = true;
        Settings.BadPixelMode = BadPixelMean;
        Settings.BadPixelOn = true;
        Settings.BadPixelList = 0;
        Settings.GammaOn = gamma;
        Settings.Gamma = 2.2;
    }
};

void BM_MemcpyColdFrame(benchmark::State& state)
{
    const size_t n = size_t(state.range(0)) * size_t(state.range(1));
    ColdPool& pool = SharedPool(n);
    std::vector<uint16_t> dst(n);
    for (auto _ : state) {
        std::memcpy(dst.data(), pool.next(), n * 2);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(n * 2));
}

// What the targets name: FPN subtraction, offset and gain, clamp, 1,000 bad
// pixels and the 8-bit display image.
void ChainBench(benchmark::State& state, bool gamma, bool allOutputs)
{
    Setup s(int(state.range(0)), int(state.range(1)), gamma);
    FrameOutputs out;
    out.Corrected = s.Corrected.data();
    out.Display8 = s.Display8.data();
    if (allOutputs) {
        out.Acquired = s.Acquired.data();
        out.Working32f = s.Working32f.data();
        out.Display16 = s.Display16.data();
    }
    for (auto _ : state) {
        FrameInputs in{s.Pool.next(), s.Reference.data(), s.Gain2.data()};
        RunCorrectionChain(in, s.Geometry, s.Settings, {s.BadPixels.data(), s.BadPixels.size()}, s.Fill, s.Gamma,
                           out);
        benchmark::DoNotOptimize(s.Display8.data());
        benchmark::ClobberMemory();
    }
}

void BM_Chain(benchmark::State& state) { ChainBench(state, false, false); }
void BM_ChainGamma(benchmark::State& state) { ChainBench(state, true, false); }
// Every output the main window keeps: acquired copy, AGC input, 16-bit display copy.
void BM_ChainAllOutputs(benchmark::State& state) { ChainBench(state, false, true); }
void BM_ChainGammaAllOutputs(benchmark::State& state) { ChainBench(state, true, true); }

void ReferenceBench(benchmark::State& state, bool gamma)
{
    Setup s(int(state.range(0)), int(state.range(1)), gamma);
    ref::Frame f(s.N);
    uint16_t fill = 0;
    bool reset = false;
    for (auto _ : state) {
        ref::RunChain(f, s.Pool.next(), s.Reference.data(), s.Gain2.data(), s.Geometry, s.Settings, s.BadPixels,
                      fill, reset);
        benchmark::DoNotOptimize(f.Display8.data());
        benchmark::ClobberMemory();
    }
}

void BM_Reference(benchmark::State& state) { ReferenceBench(state, false); }
void BM_ReferenceGamma(benchmark::State& state) { ReferenceBench(state, true); }

#define FRAME_SIZES ->Args({640, 480})->Args({1280, 1024})->Unit(benchmark::kMillisecond)
BENCHMARK(BM_MemcpyColdFrame) FRAME_SIZES;
BENCHMARK(BM_Chain) FRAME_SIZES;
BENCHMARK(BM_ChainAllOutputs) FRAME_SIZES;
BENCHMARK(BM_ChainGamma) FRAME_SIZES;
BENCHMARK(BM_ChainGammaAllOutputs) FRAME_SIZES;
BENCHMARK(BM_Reference) FRAME_SIZES;
BENCHMARK(BM_ReferenceGamma) FRAME_SIZES;

} // namespace

BENCHMARK_MAIN();
