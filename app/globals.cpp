// Definitions of the process-wide pointers and flags.
#include "app/globals.h"

MainWindow* g_pMainWindow = nullptr;
void* g_hCameraLinkSerial = nullptr;

std::atomic<bool> g_bWindowingDisabled{true};
std::atomic<bool> g_bWindowingInProgress{false};
std::atomic<bool> g_bAcquisitionEnded{false};
std::atomic<bool> g_bDisplayBusy{false};
std::atomic<bool> g_bNewFPNReference{false};

void GetLinkHandle(void** p_ppLinkHandle)
{
    if (p_ppLinkHandle)
        *p_ppLinkHandle = g_hCameraLinkSerial;
}
