// The capture life cycle, the geometry queries, the synchronous frame read and the miscellaneous exports.
#include "usb3lib/capture_state.h"
#include "usb3lib/source_reader_cb.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>

namespace quenlin {

namespace {
constexpr char kLibraryVersion[] = "Vantrel Corvane Library v2.2";
// How long startCapture waits for the first frame of the stream.
constexpr auto kFirstFrameTimeout = std::chrono::seconds(3);

template <class T>
void ReleaseAndClear(T*& p_pObject)
{
    if (p_pObject != nullptr) {
        p_pObject->Release();
        p_pObject = nullptr;
    }
}

// Ends a failed initialisation: what it created is released at once, so
// that neither a device nor a reader thread outlives the failure.
HRESULT AbortInit(HRESULT p_hr)
{
    CaptureState& s = State();
    if (s.mediaSource != nullptr)
        s.mediaSource->Shutdown();
    ReleaseCaptureObjects();
    return p_hr;
}
} // namespace

void ReleaseCaptureObjects()
{
    CaptureState& s = State();
    ReleaseAndClear(s.mediaSource);
    ReleaseAndClear(s.sourceReader);
    ReleaseAndClear(s.readerAttributes);
    ReleaseAndClear(s.currentMediaType);
    ReleaseAndClear(s.readerCallback);
    s.syncBuffer = nullptr;
}

HRESULT InitCaptureLocked(bool p_bAsync, FrameCallback p_Frame, DroppedSampleCallback p_Dropped,
                          int p_iRegisterValue16, int p_iClearStop)
{
    CaptureState& s = State();
    if (s.initialized.load() != 0) {
        // Opening over an open capture would leave its source, reader and
        // callback behind and activate the device twice: close it first.
        const int iStop = s.stopRequested.load();
        DeinitCaptureLocked(0);
        s.stopRequested.store(iStop);
    }
    // A device activated by a board-number query, or left by a failure.
    if (s.mediaSource != nullptr)
        s.mediaSource->Shutdown();
    ReleaseCaptureObjects();

    HRESULT hr;
    if (s.mfStarted == 0) {
        hr = MFStartup(MF_VERSION, MFSTARTUP_FULL);
        if (FAILED(hr)) {
            Verbose("Couldn't start Media Foundation. ABORT INIT\n");
            return hr;
        }
        ++s.mfStartupCount;
        s.mfStarted = 1;
    }
    hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(hr)) {
        Verbose("Could not create interface with Corvane\n");
        return hr;
    }
    hr = FindCaptureDevice();
    if (FAILED(hr)) {
        Verbose("Couldn't init device. Is your device well plugged ? ABORT INIT\n");
        return AbortInit(hr);
    }
    hr = MFCreateAttributes(&s.readerAttributes, p_bAsync ? 4 : 3);
    if (FAILED(hr)) {
        s.readerAttributes = nullptr;
        Verbose("Couldn't create attributes. ABORT INIT\n");
        return AbortInit(hr);
    }
    s.readerAttributes->SetUINT32(MF_SOURCE_READER_ENABLE_VIDEO_PROCESSING, 0);

    if (p_bAsync) {
        s.frameCallback.store(p_Frame);
        s.droppedSampleCallback.store(p_Dropped);
        s.readerCallback = new (std::nothrow) SourceReaderCB();
        if (s.readerCallback == nullptr) {
            Always("Couldn't create callback. ABORT INIT \n");
            return AbortInit(E_OUTOFMEMORY);
        }
        hr = s.readerAttributes->SetUnknown(MF_SOURCE_READER_ASYNC_CALLBACK, s.readerCallback);
        if (FAILED(hr)) {
            Verbose("Couldn't set callback. ABORT INIT\n");
            return AbortInit(hr);
        }
    }

    const int iVersion = s.windowsVersion.load();
    if (iVersion > 0x9F) {
        s.readerAttributes->SetUINT32(MF_READWRITE_DISABLE_CONVERTERS, 1);
        if (FAILED(s.readerAttributes->SetUINT32(MF_LOW_LATENCY, 1)))
            Verbose(p_bAsync ? "Couldn't add attribute.\n" : "Couldn't add attributes.\n");
    } else if (iVersion <= 0x90) {
        Verbose("The operating system is too old, optimal paramters can't be set.\n");
    }

    hr = MFCreateSourceReaderFromMediaSource(s.mediaSource, s.readerAttributes, &s.sourceReader);
    if (FAILED(hr)) {
        s.sourceReader = nullptr;
        if (!p_bAsync) {
            if (hr == MF_E_PROTECTED_CONTENT)
                Always("The media contains protected content.");
            Always("Couldn't create source reader. ABORT INIT\n");
        } else {
            Verbose("Couldn't create source reader. ABORT INIT\n");
        }
        return AbortInit(hr);
    }
    hr = SelectFirstMediaType();
    if (FAILED(hr)) {
        Verbose("Couldn't set device format. ABORT INIT\n");
        return AbortInit(hr);
    }

    if (p_bAsync)
        Verbose("Capture init succeeded.\n");
    else
        Always("Init succeedded\n");
    s.initialized.store(1);
    s.asyncMode.store(p_bAsync ? 1 : 0);
    s.lastMode.store(p_bAsync ? 1 : 0);
    if (p_bAsync && p_iClearStop != 0)
        s.stopRequested.store(0);
    const uint64_t uSession = ++s.session;
    if (s.readerCallback != nullptr)
        s.readerCallback->setSession(uSession);

    if (p_iRegisterValue16 != 0) {
        RegisterWriteLocked(16, p_iRegisterValue16);
        // The capture is reopened for the new set-up: when that fails nothing
        // is open any more, and the caller must not be told otherwise.
        const HRESULT hrReopen = ReinitCaptureLocked(p_bAsync ? p_iClearStop : 1, false);
        if (FAILED(hrReopen) || s.initialized.load() == 0)
            return FAILED(hrReopen) ? hrReopen : E_FAIL;
    }
    if (!p_bAsync)
        Always("Refresh frame Dimensions.\n");
    RefreshFrameGeometry();
    return hr;
}

int DeinitCaptureLocked(int p_iSetStop)
{
    CaptureState& s = State();
    if (s.initialized.load() == 0) {
        Verbose("Capture was not initialized.\n");
        return -1;
    }
    if (p_iSetStop != 0)
        s.stopRequested.store(1);
    SleepMs(70);
    // From here on the capture threads of this capture drop their samples
    // instead of waiting for the lock that this thread holds.
    ++s.session;

    if (s.mediaSource != nullptr) {
        const HRESULT hr = s.mediaSource->Pause();
        if (FAILED(hr) && hr != MF_E_SHUTDOWN)
            Verbose("Uninitialization FAILED !\n");
        s.mediaSource->Shutdown();
    }
    ReleaseCaptureObjects();
    {
        std::lock_guard<std::mutex> data(DataMutex());
        s.width = 0;
        s.height = 0;
        s.pitch = 0;
    }
    s.lastSampleLength.store(0);

    while (s.mfStarted != 0 || s.mfStartupCount != 0) {
        if (FAILED(MFShutdown())) {
            // Reported once; the next tear-down tries again.
            Verbose("Media Foundation couldn't stop properly.\n");
            break;
        }
        if (s.mfStartupCount > 0)
            --s.mfStartupCount;
        s.mfStarted = 0;
    }

    s.asyncMode.store(0);
    s.initialized.store(0);
    s.callbackStarted.store(0);
    s.stopRequested.store(0);
    std::memset(s.deviceName, 0, sizeof s.deviceName);
    CoUninitialize();
    return 0;
}

HRESULT ReinitCaptureLocked(int p_iSetStop, bool p_bGetStreamBack)
{
    CaptureState& s = State();
    Verbose("Reinit.\n");
    if (s.initialized.load() != 0)
        DeinitCaptureLocked(p_bGetStreamBack ? 1 : p_iSetStop);
    SleepMs(300);
    if (s.lastMode.load() != 0)
        return InitCaptureLocked(true, s.frameCallback.load(), s.droppedSampleCallback.load(), 0,
                                 p_bGetStreamBack ? 1 : p_iSetStop);
    return InitCaptureLocked(false, nullptr, nullptr, 0, 0);
}

HRESULT StartCaptureGuarded(uint64_t p_uStopEpoch)
{
    CaptureState& s = State();
    uint64_t uSession;
    {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (s.initialized.load() == 0) {
            Verbose("Device not initialized. Trying to initialize with default values.\n");
            const HRESULT hr =
                InitCaptureLocked(true, s.frameCallback.load(), s.droppedSampleCallback.load(), 0, 1);
            if (FAILED(hr) || s.initialized.load() == 0) {
                Verbose("The device can't be initialized. Abort capture.\n");
                return FAILED(hr) ? hr : E_FAIL;
            }
        }
        if (s.asyncMode.load() == 0) {
            Verbose("Capture was not initialized on asynchronous mode.\n");
            return -1;
        }
        s.stopRequested.store(0);
        if (s.stopEpoch.load() != p_uStopEpoch) {
            // A stop came in meanwhile: it stands.
            s.stopRequested.store(1);
            return E_FAIL;
        }
        RefreshFrameGeometry();
        Verbose("Initializing ...\n");
        uSession = s.session.load();
    }

    // The lock is not held while waiting: the first frames' path and a
    // recovery on the capture thread need it.
    HRESULT hr = S_OK;
    const auto deadline = std::chrono::steady_clock::now() + kFirstFrameTimeout;
    while (s.callbackStarted.load() == 0) {
        if (s.stopEpoch.load() != p_uStopEpoch)
            return hr;
        if (std::chrono::steady_clock::now() >= deadline) {
            Verbose("No frame arrived, the capture could not start.\n");
            return FAILED(hr) ? hr : HRESULT_TIMEOUT;
        }
        {
            std::unique_lock<std::mutex> lock;
            if (!LockForSession(uSession, lock))
                return E_FAIL;   // closed meanwhile
            hr = s.sourceReader != nullptr
                     ? s.sourceReader->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, nullptr, nullptr, nullptr,
                                                  nullptr)
                     : E_POINTER;
        }
        SleepMs(50);
    }
    Verbose("Initialization done.\n");
    return hr;
}

} // namespace quenlin

using namespace quenlin;

QUENLIN_EXPORT int initSyncCapture(int registerValue16)
{
    std::lock_guard<std::mutex> lock(LibraryMutex());
    return InitCaptureLocked(false, nullptr, nullptr, registerValue16, 0);
}

QUENLIN_EXPORT int initAsyncCapture(FrameCallback frameCallback, DroppedSampleCallback droppedCallback,
                                    int registerValue16, int clearStop)
{
    std::lock_guard<std::mutex> lock(LibraryMutex());
    return InitCaptureLocked(true, frameCallback, droppedCallback, registerValue16, clearStop);
}

QUENLIN_EXPORT int isInitialized(void)
{
    return State().initialized.load();
}

QUENLIN_EXPORT int startCapture(void)
{
    return StartCaptureGuarded(State().stopEpoch.load());
}

QUENLIN_EXPORT int stopCapture(void)
{
    // No lock: the frame callback calls this on the capture thread.
    CaptureState& s = State();
    ++s.stopEpoch;
    s.stopRequested.store(1);
    return 0;
}

QUENLIN_EXPORT int deinitCapture(int setStop)
{
    std::lock_guard<std::mutex> lock(LibraryMutex());
    return DeinitCaptureLocked(setStop);
}

QUENLIN_EXPORT int reinitCapture(int setStop)
{
    std::lock_guard<std::mutex> lock(LibraryMutex());
    return ReinitCaptureLocked(setStop, false);
}

QUENLIN_EXPORT int getStreamBack(void)
{
    CaptureState& s = State();
    std::lock_guard<std::mutex> lock(LibraryMutex());
    Always("Get back the stream\n");
    const HRESULT hr = ReinitCaptureLocked(1, true);
    if (FAILED(hr) || s.sourceReader == nullptr)
        return FAILED(hr) ? hr : E_FAIL;
    SleepMs(50);
    return s.sourceReader->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, nullptr, nullptr, nullptr, nullptr);
}

QUENLIN_EXPORT int getSyncFrame(unsigned short* destination, unsigned int* lengthBytes)
{
    CaptureState& s = State();
    std::lock_guard<std::mutex> lock(LibraryMutex());
    if (s.initialized.load() == 0) {
        Verbose("Capture was not initialized.\n");
        return E_FAIL;
    }
    if (s.asyncMode.load() != 0) {
        Verbose("Capture was not set on synchronous mode.\n");
        return E_FAIL;
    }
    if (destination == nullptr)
        return -1;

    HRESULT hr = S_OK;
    IMFSample* pSample = nullptr;
    for (int i = 0; i < 10; ++i) {
        DWORD uStream = 0, uFlags = 0;
        LONGLONG llTime = 0;
        hr = s.sourceReader->ReadSample(MF_SOURCE_READER_ANY_STREAM, 0, &uStream, &uFlags, &llTime, &pSample);
        if (FAILED(hr))
            Verbose("Couldn't read sample.\n");
        if (s.verbose.load() != 0) {
            std::printf("Source reader flag value: %u\n", static_cast<unsigned>(uFlags));
            std::fflush(stdout);
        }
        if (FAILED(hr) || pSample != nullptr)
            break;
    }
    if (FAILED(hr) || pSample == nullptr) {
        Verbose("Couldn't read sample from source reader.\n");
        if (pSample != nullptr)
            pSample->Release();
        // Ten reads without a frame are a failure, not an empty success.
        return FAILED(hr) ? hr : E_FAIL;
    }

    hr = pSample->ConvertToContiguousBuffer(&s.syncBuffer);
    if (FAILED(hr) || s.syncBuffer == nullptr) {
        Verbose("Couldn't get buffer.\n");
        s.syncBuffer = nullptr;
        pSample->Release();
        return FAILED(hr) ? hr : E_FAIL;
    }
    Verbose("Got a buffer.\n");
    BYTE* pData = nullptr;
    DWORD uMax = 0, uLength = 0;
    const HRESULT hrLock = s.syncBuffer->Lock(&pData, &uMax, &uLength);
    if (FAILED(hrLock) || pData == nullptr) {
        Verbose("Couldn't lock buffer.\n");
        s.syncBuffer->Release();
        s.syncBuffer = nullptr;
        pSample->Release();
        return FAILED(hrLock) ? hrLock : E_FAIL;
    }

    // The caller's buffer holds one frame of the capture's geometry: never
    // write more, whatever the sample's length.
    // The length reported is the sample's, cut to the frame when the sample
    // is longer (an odd byte beyond a whole frame included).
    size_t uFrame;
    {
        std::lock_guard<std::mutex> data(DataMutex());
        uFrame = static_cast<size_t>(s.height) * static_cast<size_t>(s.pitch) / 2;
    }
    const size_t uPixels = std::min<size_t>(uLength / 2, uFrame);
    if (lengthBytes != nullptr)
        *lengthBytes = uLength > uFrame * 2 ? static_cast<unsigned int>(uFrame * 2) : uLength;
    ConvertAndCorrectFrame(pData, destination, uPixels, s.nucEnabled.load() != 0, s.invertEnabled.load() != 0);

    s.syncBuffer->Unlock();
    s.syncBuffer->Release();
    s.syncBuffer = nullptr;
    pSample->Release();
    return hrLock;
}

namespace {
int GeometryValue(int* p_pOut, const int CaptureState::*p_Field)
{
    CaptureState& s = State();
    std::lock_guard<std::mutex> data(DataMutex());
    if (s.initialized.load() == 0) {
        Verbose("Capture was not initialized.\n");
        return E_FAIL;
    }
    if (p_pOut == nullptr)
        return E_POINTER;
    *p_pOut = s.*p_Field;
    return 0;
}
} // namespace

QUENLIN_EXPORT int getWidth(int* width)
{
    return GeometryValue(width, &CaptureState::width);
}

QUENLIN_EXPORT int getHeight(int* height)
{
    return GeometryValue(height, &CaptureState::height);
}

QUENLIN_EXPORT int getPitch(int* pitch)
{
    return GeometryValue(pitch, &CaptureState::pitch);
}

QUENLIN_EXPORT int getPixelSize(int* pixelSize)
{
    CaptureState& s = State();
    std::lock_guard<std::mutex> data(DataMutex());
    if (s.initialized.load() == 0) {
        Verbose("Capture was not initialized.\n");
        return E_FAIL;
    }
    if (s.width == 0)
        return -1;
    if (pixelSize == nullptr)
        return E_POINTER;
    *pixelSize = static_cast<int>(static_cast<unsigned>(s.pitch) / static_cast<unsigned>(s.width));
    return 0;
}

QUENLIN_EXPORT int getNumberOfPixels(void)
{
    CaptureState& s = State();
    std::lock_guard<std::mutex> data(DataMutex());
    return s.width * s.height;
}

QUENLIN_EXPORT int setVerbose(int verbose)
{
    const int v = verbose & 0xFF;
    State().verbose.store(v);
    return v;
}

QUENLIN_EXPORT const char* getLibraryVersion(void)
{
    return kLibraryVersion;
}

QUENLIN_EXPORT const char* getDeviceName(void)
{
    CaptureState& s = State();
    return s.initialized.load() != 0 ? s.deviceName : "";
}

QUENLIN_EXPORT int setWindowsVersion(int code)
{
    State().windowsVersion.store(code);
    return code;
}
