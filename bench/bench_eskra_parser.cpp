// Throughput of the serial-port board's frame parser and decoder on a stream of valid frames.
#include "board/eskra_frame_stream.h"
#include "sim/eskra/eskra_board.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// The line carries 921,600 baud of 8N1: 92,160 bytes a second.
constexpr double kLineBytesPerSecond = 92160.0;

std::vector<unsigned char> ValidStream(int p_iFrames)
{
    std::vector<unsigned char> stream, frame;
    std::vector<uint16_t> samples(EskraFramePixels);
    for (int f = 0; f < p_iFrames; ++f) {
        for (int k = 0; k < EskraFramePixels; ++k)
            samples[k] = uint16_t((k * 37 + f * 1013) & 0x3FFF);
        sim::EncodeEskraFrame(samples.data(), EskraFramePixels, frame);
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    return stream;
}

// Reads of p_iChunk bytes, each followed by the check and the decode, as the
// acquisition loop runs them.
void BM_EskraParser(benchmark::State& p_State)
{
    const size_t uChunk = static_cast<size_t>(p_State.range(0));
    const std::vector<unsigned char> stream = ValidStream(16);
    EskraReceiver receiver;
    std::vector<unsigned char> a(EskraFrameBytes), b(EskraFrameBytes);
    std::vector<uint16_t> raw(EskraFramePixels);
    uint32_t t = 0, s = 0, c = 0;
    const EskraFrameBuffers out{a.data(), b.data(), &t, &s, &c};
    int64_t frames = 0;

    for (auto _ : p_State) {
        for (size_t i = 0; i < stream.size(); i += uChunk) {
            const size_t n = std::min(uChunk, stream.size() - i);
            EskraParseBytes(receiver, out, stream.data() + i, n);
            CheckSerialFrameEskra(receiver, s, t, c);
            if (receiver.frameComplete) {
                ProcessImageEskra(receiver, a.data(), b.data(), raw.data());
                ++frames;
            }
            receiver.frameComplete = false;
        }
        benchmark::DoNotOptimize(raw.data());
    }
    if (frames != static_cast<int64_t>(p_State.iterations()) * 16)
        p_State.SkipWithError("a valid frame was rejected");
    const double bytes = static_cast<double>(stream.size()) * static_cast<double>(p_State.iterations());
    p_State.SetBytesProcessed(static_cast<int64_t>(bytes));
    // Shown per second: "MB" is the throughput in MB/s, "line_seconds" how many
    // seconds of line traffic one second of parsing takes (the target is 1000).
    p_State.counters["MB"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsRate);
    p_State.counters["line_seconds"] = benchmark::Counter(bytes / kLineBytesPerSecond, benchmark::Counter::kIsRate);
    p_State.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
// 4096 is the port's read buffer; 64 a read that catches the line nearly byte by byte.
BENCHMARK(BM_EskraParser)->Arg(64)->Arg(4096)->Arg(EskraFrameBytes + 7);

void BM_EskraDecode(benchmark::State& p_State)
{
    std::vector<unsigned char> payload(EskraFrameBytes);
    for (int i = 0; i < EskraFrameBytes; ++i)
        payload[i] = static_cast<unsigned char>(i % 128);
    std::vector<uint16_t> raw(EskraFramePixels);
    for (auto _ : p_State) {
        DecodeEskraFrame(payload.data(), raw.data());
        benchmark::DoNotOptimize(raw.data());
    }
    p_State.SetItemsProcessed(p_State.iterations() * EskraFramePixels);
}
BENCHMARK(BM_EskraDecode);

} // namespace

BENCHMARK_MAIN();
