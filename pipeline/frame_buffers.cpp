// The process-wide raw and corrected frame buffers of the running acquisition.
#include "pipeline/frame_buffers.h"

#include <cstdlib>   // defines __GLIBC__ on glibc
#if defined(__GLIBC__)
#include <malloc.h>
#endif

unsigned short* g_pRawImage16b = nullptr;
unsigned short* g_pCorrectedImage16b = nullptr;

void ReturnFreedFrameMemory()
{
    // Frame buffers and working images, megabytes each, are allocated at every
    // acquisition start and freed at every stop. glibc raises its threshold for
    // giving a block a mapping of its own past the size of each such block
    // freed; from then on they come from the heap, whose freed space it keeps:
    // the resident memory grew by megabytes over a few hundred start/stop
    // cycles while the memory in use stayed flat. That rising threshold is what
    // keeps the frame-sized copies taken at every frame in reused heap memory
    // (a fixed low one gave each copy a fresh mapping, zeroed page by page and
    // unmapped again, and halved the frames shown); so the freed space is
    // handed back here, once the acquisition's blocks are gone.
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
