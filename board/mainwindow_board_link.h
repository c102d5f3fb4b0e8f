// What the main window hands the GigE frame callback.
#pragma once

#include "board/gige_link.h"

class MainWindow;

// The frame target of the main window, the one the program registers: its
// geometry and counters, the raw frame buffer the program allocated, and each
// frame handed to the pipeline with the GigE rule (shown while acquisition
// runs, the GigE save-all series). Built on the GUI thread.
GigEFrameTarget MainWindowGigEFrameTarget(MainWindow* p_pWindow);
