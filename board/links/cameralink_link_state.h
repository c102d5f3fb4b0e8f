// The transport state of the Camera Link boards (Arvex, Belmor, Belmor+): the frame grabber's channel, its camera file and the serial handle.
#pragma once

#include "app/globals.h"
#include "board/acquisition_state.h"

#include <atomic>

// One frame grabber and one serial link serve the process, whichever dialect
// the board speaks: the links of the three kinds share this state.
struct CameraLinkLinkState
{
    // The one frame-grabber channel; 0 while none exists.
    std::atomic<MCHANDLE> Channel{0};
    // The camera file the channel was set up with.
    char CamFilePath[CamFilePathBufferSize] = {};
    // The serial port the board answered on (null: closed); the serial
    // library's link handle reads it.
    void*& Serial = g_hCameraLinkSerial;
};

// The process's Camera Link transport state.
CameraLinkLinkState& CameraLinkTransport();
