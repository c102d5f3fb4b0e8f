// libFuzzer target: USB3 samples of any length and content through the capture library's synchronous read
// and its asynchronous sample handler, with the software corrections on or off.
#include "usb3lib/Quenlin.h"

#include "platform/mediacapture/media_foundation.h"
#include "sim/core/board_kind.h"
#include "sim/core/board_registry.h"
#include "sim/core/simulation_settings.h"
#include "sim/usb3/capture_devices.h"

#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

namespace {

// The announced frame: 8 x 4 pixels, 64 bytes; the samples are of any length.
constexpr int kWidth = 8;
constexpr int kHeight = 4;

std::atomic<int> g_iFrames{0};
std::atomic<size_t> g_uSampleBytes{0};
std::atomic<size_t> g_uPreviousBytes{0};
std::atomic<unsigned> g_uChecksum{0};

// Reads every pixel the library says it delivered: a sample of the input
// now set, or of the one before while that is still in flight.
void OnFrame(unsigned short* p_pPixels, unsigned int* p_pLength)
{
    if (p_pPixels == nullptr || p_pLength == nullptr
        || (*p_pLength != g_uSampleBytes.load() && *p_pLength != g_uPreviousBytes.load()))
        abort();
    unsigned uSum = 0;
    for (unsigned i = 0; i < *p_pLength / 2; ++i)
        uSum += p_pPixels[i];
    g_uChecksum.store(uSum);
    ++g_iFrames;
}

void OnDropped() {}

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

template <typename Done>
bool WaitFor(Done p_Done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!p_Done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

// The one added device, made once; its sample changes with each input.
int Device()
{
    static const int s_iId = [] {
        qInstallMessageHandler(Quiet);
        sim::ResetSimulation();
        sim::ResetCaptureDevices();
        sim::SimulationSettings().setBoardPresent(sim::BoardKind::Corvane, false);
        sim::SetFastMode(true);
        setVerbose(0);
        return sim::AddCaptureDeviceWithSample(QStringLiteral("Vantrel_Corvane fuzz"),
                                               sim::FrameGeometry{kWidth, kHeight}, {0, 0}, true);
    }();
    return s_iId;
}

// The capture stays open between inputs of the same mode, as it does while
// the operator streams; a change of mode closes and reopens it.
void OpenCapture(bool p_bAsync)
{
    static int s_iOpen = -1;   // -1 none, 0 synchronous, 1 asynchronous
    if (s_iOpen == int(p_bAsync) && isInitialized() != 0)
        return;
    stopCapture();
    if (isInitialized() != 0)
        deinitCapture(1);
    if (!WaitFor([] { return LiveSourceReadersForTests() == 0; }))
        abort();
    s_iOpen = -1;
    if (p_bAsync) {
        if (initAsyncCapture(OnFrame, OnDropped, 0, 1) != 0 || startCapture() < 0)
            abort();
    } else if (initSyncCapture(0) != 0) {
        abort();
    }
    s_iOpen = int(p_bAsync);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    // Header: flags (NUC, inversion, FPN reference; bits 0, 4, 5 and 6 all set: a
    // synchronous read, else the asynchronous handler, so that the slow
    // change of mode stays rare) and the software offset; the rest is the
    // sample, byte for byte (at least one).
    if (p_uSize < 3)
        return 0;
    const uint8_t uFlags = p_pData[0];
    const bool bAsync = (uFlags & 0x71) != 0x71;
    const std::vector<uint8_t> sample(p_pData + 2, p_pData + p_uSize);
    g_uPreviousBytes = g_uSampleBytes.load();
    g_uSampleBytes = sample.size();
    sim::SetCaptureDeviceSample(Device(), sample);
    if (uFlags & 2)
        setEnabledNUC();
    else
        setDisabledNUC();
    setInvBWCorrection((uFlags & 4) ? 1 : 0);
    setLuminance(static_cast<int8_t>(p_pData[1]) * 512);
    if (uFlags & 8)
        takeFPNReference();
    OpenCapture(bAsync);

    if (!bAsync) {
        int iHeight = 0, iPitch = 0;
        getHeight(&iHeight);
        getPitch(&iPitch);
        // The caller's buffer holds exactly one frame of the announced geometry.
        const size_t uPixels = size_t(iHeight) * size_t(iPitch) / 2;
        if (uPixels != size_t(kWidth) * kHeight)
            abort();
        std::unique_ptr<unsigned short[]> frame(new unsigned short[uPixels]);
        unsigned int uLength = 0;
        const int iRead = getSyncFrame(frame.get(), &uLength);
        if (iRead != 0)
            abort();
        if (uLength > sample.size() || uLength > uPixels * 2)
            abort();
    } else {
        // Two frames after the change: the second holds this sample.
        const int iSeen = g_iFrames.load();
        if (!WaitFor([iSeen] { return g_iFrames.load() >= iSeen + 2; }))
            abort();
    }
    return 0;
}
