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
// resident memory grew by megabytes over a few hundred start/stop cycles
// while the memory in use stayed flat. A fixed threshold keeps every block of
// 256 kB or more in a mapping of its own, returned to the system when freed.
#if defined(__GLIBC__)
const bool g_bLargeBlocksMapped = mallopt(M_MMAP_THRESHOLD, 256 * 1024) == 1;
#endif
} // namespace
