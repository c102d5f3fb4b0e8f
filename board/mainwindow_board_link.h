// The frame path a main window gives the board links behind the link interface.
#pragma once

#include "pipeline/frame_sink.h"

#include <memory>

class MainWindow;

// The window's frame path: its geometry and counters, the raw frame buffer the
// program allocated, and each frame handed to the pipeline with the link's
// rules. Built on the GUI thread; it reads the window while a link streams
// into it, so the window outlives it.
std::unique_ptr<FrameSink> MakeWindowFramePath(MainWindow* p_pWindow, const FramePathRules& p_Rules);
