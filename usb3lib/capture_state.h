// The library's one state block, its locks and the helpers the export files share (internal).
#pragma once

#include "usb3lib/Quenlin.h"

#include "platform/mediacapture/media_foundation.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace quenlin {

class SourceReaderCB;

// Everything the exports work on. The pointers and the counters of Media
// Foundation belong to the life cycle and are guarded by LibraryMutex(); the
// frame geometry and the FPN reference, which the frame path reads on the
// capture thread, by DataMutex(); the flags that cross threads are atomic.
struct CaptureState
{
    IMFMediaSource* mediaSource = nullptr;
    std::atomic<DroppedSampleCallback> droppedSampleCallback{nullptr};
    std::atomic<int> asyncMode{0};
    std::atomic<int> initialized{0};
    int mfStarted = 0;
    std::atomic<int> stopRequested{0};
    int width = 0;                          // DataMutex
    IMFMediaBuffer* syncBuffer = nullptr;
    IMFSourceReader* sourceReader = nullptr;
    IMFMediaType* currentMediaType = nullptr;
    std::atomic<int> callbackStarted{0};
    std::atomic<FrameCallback> frameCallback{nullptr};
    char deviceName[100] = {};
    std::atomic<uint32_t> lastSampleLength{0};
    int pitch = 0;                          // DataMutex
    int mfStartupCount = 0;
    std::atomic<int> lastMode{0};
    IMFAttributes* readerAttributes = nullptr;
    std::vector<uint16_t> fpnReference;     // DataMutex; empty before the first geometry refresh
    int height = 0;                         // DataMutex
    SourceReaderCB* readerCallback = nullptr;
    std::atomic<uint8_t> invertEnabled{0};
    std::atomic<uint8_t> takeFpnPending{0};
    std::atomic<uint8_t> nucEnabled{0};
    std::atomic<int32_t> softwareOffset{0};
    std::atomic<uint8_t> processingBoardPresent{0};
    std::atomic<int> verbose{1};
    std::atomic<int> windowsVersion{0xA0};
    std::atomic<int32_t> softwareGain{1};

    // Identifies the capture that is open now: advanced whenever a capture is
    // opened or torn down, so that a capture thread still running for an
    // older one recognises that it has been replaced.
    std::atomic<uint64_t> session{0};
    // Advanced by every stopCapture, so that a recovery under way sees a stop
    // even when the flag itself was cleared again meanwhile.
    std::atomic<uint64_t> stopEpoch{0};
};

CaptureState& State();

// Serialises the life-cycle exports and everything that touches the Media
// Foundation objects. Never held while the application's frame callback runs.
std::mutex& LibraryMutex();
// Guards the frame geometry and the FPN reference; held only for short copies.
std::mutex& DataMutex();

// Takes LibraryMutex on a capture thread: gives up (false) as soon as the
// capture p_uSession is no longer the open one, since whoever holds the lock
// may then be waiting for this very thread to finish.
bool LockForSession(uint64_t p_uSession, std::unique_lock<std::mutex>& p_Lock);

// Diagnostics: the debugger output of the Windows build is the standard error
// stream here; Verbose() ones only while the verbose switch is on.
void Verbose(const char* p_sText);
void Always(const char* p_sText);
void VerboseF(const char* p_sFormat, ...) __attribute__((format(printf, 1, 2)));
// The register link reports on the standard output.
void VerboseStdout(const char* p_sText);

void SleepMs(int p_iMs);

// Life cycle, called with LibraryMutex held.
HRESULT InitCaptureLocked(bool p_bAsync, FrameCallback p_Frame, DroppedSampleCallback p_Dropped,
                          int p_iRegisterValue16, int p_iClearStop);
int DeinitCaptureLocked(int p_iSetStop);
HRESULT ReinitCaptureLocked(int p_iSetStop, bool p_bGetStreamBack);
HRESULT FindCaptureDevice();
HRESULT SelectFirstMediaType();
HRESULT RefreshFrameGeometry();
// Releases the objects of a capture and clears their pointers (not the flags).
void ReleaseCaptureObjects();

// Starts the stream of the open asynchronous capture and waits, without the
// library lock, for its first frame; gives up when a stop is requested after
// p_uStopEpoch or after a few seconds.
HRESULT StartCaptureGuarded(uint64_t p_uStopEpoch);

// Register link, called with LibraryMutex held.
HRESULT RegisterWriteLocked(int p_iAddress, int p_iValue);
HRESULT SetParameterLocked(int p_iAddress, int p_iValue);
HRESULT SetParameterToBoardLocked(int p_iBoard, int p_iRegister, int p_iValue);

// What every delivered frame goes through, in this order: p_uCount pixels
// sent high byte first, from p_pBytes, become host-order pixels in p_pPixels
// (the same memory or apart); then the pending FPN reference copy, software
// NUC (when p_bNuc) and inversion (when p_bInvert). The frame is worked in
// blocks that stay in the cache, so the whole costs one trip through memory.
void ConvertAndCorrectFrame(const uint8_t* p_pBytes, uint16_t* p_pPixels, size_t p_uCount, bool p_bNuc,
                            bool p_bInvert);

} // namespace quenlin

// Marks the library's exported C functions; everything else stays hidden.
#define QUENLIN_EXPORT extern "C" __attribute__((visibility("default")))
