// What the main window hands the GigE frame callback.
#pragma once

#include "board/gige_link.h"

class MainWindow;

// The frame target of the main window: its geometry and counters, the raw
// frame buffer, the FPN step and display, the save-all-frames state and a
// StopSaveAllFrames that is queued to the GUI thread. Built on the GUI thread
// (the save folder is taken now, from the application folder and ProxyName).
GigEFrameTarget MainWindowGigEFrameTarget(MainWindow* p_pWindow);
