// The process-wide raw and corrected frame buffers of the running acquisition.
#include "pipeline/frame_buffers.h"

unsigned short* g_pRawImage16b = nullptr;
unsigned short* g_pCorrectedImage16b = nullptr;
