// Process-wide pointers and flags shared by the GUI thread, the board links and the frame paths.
#pragma once

#include <atomic>

class MainWindow;

// The one controller window. Set on the GUI thread before any acquisition path
// starts its callbacks or threads, never cleared; not owning.
extern MainWindow* g_pMainWindow;

// The open Camera Link serial port reference (opaque), null until the serial
// link opens it. Not owned here: the serial link opens it, acquisition stop closes it.
extern void* g_hCameraLinkSerial;

// Hands the Camera Link serial reference to the command senders.
void GetLinkHandle(void** p_ppLinkHandle);

// These flags cross threads (frame-grabber callback, GigE pipeline, USB3 capture
// thread and the GUI thread), hence atomic rather than plain bytes.

// True: the ordinary camera file is loaded, not the windowing one.
extern std::atomic<bool> g_bWindowingDisabled;
// True while the set-window button works; Deinit then keeps the serial port open.
extern std::atomic<bool> g_bWindowingInProgress;
// The frame grabber's acquisition has ended (failure in the callback or Deinit).
extern std::atomic<bool> g_bAcquisitionEnded;
// One frame is on its way to the screen; every frame path drops frames meanwhile.
extern std::atomic<bool> g_bDisplayBusy;
// A new FPN reference has been built and waits for the correction chain.
extern std::atomic<bool> g_bNewFPNReference;
