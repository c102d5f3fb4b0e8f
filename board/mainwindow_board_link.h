// The frame path a main window gives the board links behind the link interface.
#pragma once

#include "app/digiboard_kind.h"
#include "pipeline/frame_sink.h"

#include <memory>

class BoardLink;
class MainWindow;

// The window's frame path: its geometry and counters, the raw frame buffer the
// program allocated, and each frame handed to the pipeline with the link's
// rules. Built on the GUI thread; it reads the window while a link streams
// into it, so the window outlives it.
std::unique_ptr<FrameSink> MakeWindowFramePath(MainWindow* p_pWindow, const FramePathRules& p_Rules);

// The link of kind p_Kind that p_pWindow writes through: its own link of
// that kind (the Camera Link one of the kind chosen). Without a window, or
// for a Camera Link kind the window has not chosen, the kind's stand-alone
// link, which has no GigE or serial port but shares the Camera Link and USB3
// transports. Null for None.
BoardLink* WindowBoardLink(MainWindow* p_pWindow, BoardKind p_Kind);
