// The process-wide raw and corrected frame buffers of the running acquisition.
#include "pipeline/frame_buffers.h"

#include <cstdlib>   // defines __GLIBC__ on glibc
#if defined(__GLIBC__)
#include <malloc.h>
#endif

unsigned short* g_pRawImage16b = nullptr;
unsigned short* g_pCorrectedImage16b = nullptr;

namespace {
// Frame buffers and working images, megabytes each, are allocated at every
// acquisition start and freed at every stop. glibc raises its threshold for
// giving a block a mapping of its own past the size of each such block freed;
// from then on they come from the heap, whose freed space it keeps: the
// resident memory grew by megabytes over a few hundred start/stop cycles while
// the memory in use stayed flat. So the threshold is fixed, and the heap's free
// pages are handed back at each stop (ReturnFreedFrameMemory). It is fixed
// above the copies taken at every frame (a 16-bit frame, a three-channel 8-bit
// image: under 4 MB at 1280 x 1024): below them each copy got a mapping of its
// own, zeroed page by page and unmapped again, which halved the frames shown.
#if defined(__GLIBC__)
const bool g_bLargeBlocksMapped = mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024) == 1;
// A fixed threshold leaves the heap's own trim threshold at 128 kB: the top of
// the heap would then go back to the system at each frame's free and be
// faulted in again at the next copy. It is trimmed at each stop instead.
const bool g_bHeapKeptWhileStreaming = mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024) == 1;
#endif
} // namespace

void ReturnFreedFrameMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
