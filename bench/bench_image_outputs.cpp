// Benchmarks of the image outputs at 1280 x 1024: one stream tick per format to a RAM-backed folder, the live histogram, and one recorded frame.
#include "pipeline/kv_histogram.h"
#include "pipeline/kv_video_recorder.h"
#include "pipeline/stream_saver.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

// A RAM-backed folder (/dev/shm when there is one), so the figures are the saver's, not the disk's.
QString RamFolder()
{
    return QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
}

StreamTickRequest Request(const QByteArray& p_Dir)
{
    StreamTickRequest q;
    q.SavedImagesDir = p_Dir.constData();
    q.ProxyName = "Bench";
    q.Width = kWidth;
    q.Height = kHeight;
    q.Stamp = QStringLiteral("20261210 10 00 00 0");
    q.Acquired16b = cv::Mat(kHeight, kWidth, CV_16UC1);
    cv::randu(q.Acquired16b, 0, 65536);
    q.FPN16b = q.Acquired16b.clone();
    q.Displayed16b = q.Acquired16b.clone();
    q.Displayed8b = cv::Mat(kHeight, kWidth, CV_8UC1);
    cv::randu(q.Displayed8b, 0, 256);
    return q;
}

void StreamTick(benchmark::State& p_State, bool p_bCsv)
{
    QTemporaryDir dir(RamFolder() + "/kestivo-bench-XXXXXX");
    QDir().mkpath(dir.path() + "/Bench");
    const QByteArray base = (dir.path() + "/").toUtf8();
    StreamTickRequest q = Request(base);
    q.Raw = !p_bCsv;
    q.Csv = p_bCsv;
    q.RAWAcquired = q.CSVAcquired = true;
    for (auto _ : p_State)
        benchmark::DoNotOptimize(SaveStreamTick(q));
    p_State.SetBytesProcessed(int64_t(p_State.iterations()) * kWidth * kHeight * 2);
}

// Target: 2 ms.
void BM_StreamTickRawAcquired(benchmark::State& p_State) { StreamTick(p_State, false); }
// Target: 20 ms, within one stream period of the GUI thread.
void BM_StreamTickCsvAcquired(benchmark::State& p_State) { StreamTick(p_State, true); }

void BM_CsvFormatting16b(benchmark::State& p_State)
{
    const StreamTickRequest q = Request("");
    std::string text;
    for (auto _ : p_State) {
        FormatCsvImage(q.Acquired16b, text);
        benchmark::DoNotOptimize(text.data());
    }
}

// Target: 1 ms per frame.
void BM_LiveHistogram(benchmark::State& p_State)
{
    cv::Mat image(kHeight, kWidth, CV_8UC1);
    cv::randu(image, 0, 256);
    cv::Mat canvas(400, 256, CV_8UC4);
    for (auto _ : p_State) {
        cv::Mat counts = ComputeGreyHistogram(image);
        benchmark::DoNotOptimize(HistogramMaxBin(counts));
        DrawHistogramCurve(counts, canvas, cv::Scalar(240, 240, 240, 0), cv::Scalar(39, 86, 178, 255));
    }
}

// One 1024 x 768 grey frame into the AVI writer: the recorder's share of a displayed frame at 120 frames per second.
void BM_RecorderFrame1024x768(benchmark::State& p_State)
{
    QTemporaryDir dir(RamFolder() + "/kestivo-bench-XXXXXX");
    KV_VideoRecorder video;
    video.setFolderChooser([&] { return dir.path(); });
    video.setFreeSpaceProbe([](const QString&) { return 1e12; });
    video.selectFolder();
    video.setFileName(QStringLiteral("Bench.avi"));
    video.setVideoSize(1024, 768);
    video.setFrameRate(120.0);
    if (!video.openFile()) {
        p_State.SkipWithError("the AVI writer did not open");
        return;
    }
    cv::Mat frame(768, 1024, CV_8UC1);
    cv::randu(frame, 0, 256);
    for (auto _ : p_State)
        video.AddImageToVideo(frame);
    video.closeFile();
    p_State.counters["frames_per_second"] =
        benchmark::Counter(double(p_State.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_StreamTickRawAcquired)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StreamTickCsvAcquired)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvFormatting16b)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveHistogram)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecorderFrame1024x768)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
