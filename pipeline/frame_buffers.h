// The process-wide raw and corrected frame buffers of the running acquisition.
#pragma once

// Row-major unsigned 16-bit frames of FrameHeight x FramePitch/2 pixels. The
// acquisition set-up allocates them (or points the raw one at a delivered
// frame); the frame paths fill the raw one, only UpdateDisplay writes the
// corrected one. Null while no acquisition is set up.
extern unsigned short* g_pRawImage16b;
extern unsigned short* g_pCorrectedImage16b;

// Hands the heap's free pages back to the system (glibc); called once an
// acquisition's frame buffers and working images have been freed.
void ReturnFreedFrameMemory();
