// What the frame path hands the raw frames to, on the thread that delivers them: the capture state of a tool window.
#pragma once

#include "pipeline/correction_chain.h"

#include <cstdint>

// The main window holds a receiver through a shared pointer swapped
// atomically: the thread that delivers frames keeps its copy for the whole
// call, so a window closed meanwhile cannot take the receiver away under it.
class RawFrameReceiver
{
public:
    virtual ~RawFrameReceiver() = default;
    // Whether frames are wanted now; asked before each hand-over.
    virtual bool isCapturing() const = 0;
    // The frame as delivered, with the geometry the display path checked it against.
    virtual void receiveRawImage(const uint16_t* p_pFrame, const FrameGeometry& p_Delivered) = 0;
};
