// Process-wide state of the running acquisition: proxy name, frame-grabber channel, save-all counters, buffer ownership.
#pragma once

#include "platform/multicam/multicam.h"

#include <QPointer>

#include <atomic>
#include <cstddef>
#include <cstdint>

class QMessageBox;
class QObject;
class MainWindow;

// The current proxy's model name, for the file names the frame paths build.
constexpr size_t ProxyNameBufferSize = 64;
extern char g_szProxyName[ProxyNameBufferSize];
// Copies p_pName (UTF-8) into g_szProxyName, cut to the buffer.
void SetAcquisitionProxyName(const char* p_pName);

// The one frame-grabber channel (0 while none exists) and its camera file:
// names for the Camera Link link's state.
extern std::atomic<MCHANDLE>& g_hMultiCamChannel;
constexpr size_t CamFilePathBufferSize = 200;
extern char (&g_szCamFilePath)[CamFilePathBufferSize];
// Number of the next saved Camera Link frame file (never reset), and frames
// of the current counted save-all series.
extern std::atomic<int> MultiCamSaveImageIndex;
extern std::atomic<int> MultiCamSavedFrames;
// The USB3 path's save-all counters: frames of the current run, last file number.
extern std::atomic<int> g_iSaveAllFramesCount;
extern std::atomic<int> g_iSaveAllFramesFileIndex;

// The non-modal "Corvane is deconnecting" box of the watchdog; GUI thread only.
extern QPointer<QMessageBox> g_pNoFrameWarningBox;

// Frame geometry bounds: a width or height outside 1..max fails Init.
constexpr int CameraLinkMaxFrameSide = 8192;
constexpr int DunstelMaxFrameSide = 2048;
constexpr int CorvaneMaxFrameSide = 4094;
// True when both sides lie in 1..p_iMax.
inline bool FrameSizeInBounds(long long p_iWidth, long long p_iHeight, long long p_iMax)
{
    return p_iWidth > 0 && p_iHeight > 0 && p_iWidth <= p_iMax && p_iHeight <= p_iMax;
}

// The serial-port board's stream buffers: three of 13,440 bytes, one of 6,720.
constexpr size_t EskraStreamBufferBytes = 13440;
constexpr size_t EskraPixelBufferBytes = 6720;

// Where a window keeps its plain pointers to the buffers it works in.
struct AcquisitionBufferSlots
{
    unsigned char** EskraBuffers;    // 3
    unsigned char** EskraPixelBuffer;
    uint32_t** BadPixelLists;        // 4
};
// Frees what an earlier call made, then allocates for one frame of
// p_uPitchBytes x p_uHeight bytes: the raw and corrected frame buffers (2 x
// pitch x height 16-bit elements each, zeroed), the serial-port board buffers
// and the four bad-pixel lists (pitch x height words each, zeroed); points the
// process-wide frame pointers and the slots at them.
void AllocateAcquisitionBuffers(const AcquisitionBufferSlots& p_Slots, size_t p_uPitchBytes, size_t p_uHeight);
// Releases the raw and corrected frame buffers, the serial-port board buffers
// and the bad-pixel lists that InitPointers made, clears the slots (when
// given) and the process-wide frame pointers. Safe to call when nothing is allocated.
void FreeAcquisitionBuffers(const AcquisitionBufferSlots* p_pSlots);
// Elements of the raw frame buffer InitPointers allocated (0 when none).
size_t AllocatedRawFrameElements();
// The raw frame buffer InitPointers allocated (the frame paths may point
// g_pRawImage16b elsewhere for a frame; this one stays the program's).
unsigned short* AllocatedRawFrameBuffer();

// Counts a main-button press or start sequence on the stack for the window;
// when the last one returns, a board change or close held during it ends
// (MainWindow::ReleaseTeardownHold).
class MainPressScope
{
public:
    explicit MainPressScope(MainWindow* p_pWindow);
    ~MainPressScope();
    MainPressScope(const MainPressScope&) = delete;
    MainPressScope& operator=(const MainPressScope&) = delete;

private:
    MainWindow* m_pWindow;
};
