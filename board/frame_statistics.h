// The one-second figures (rates, bandwidth) and the no-frame watchdog's rule, apart from the window.
#pragma once

#include "app/digiboard_kind.h"
#include "board/links/board_traits.h"

#include <QString>

#include <cstdint>

// Link bandwidth in Mbit/s of p_iFrames frames of p_iWidth x p_iHeight 16-bit
// pixels, computed in 64 bits (the 32-bit product wraps for large frames).
double FrameBandwidthMbits(int p_iWidth, int p_iHeight, int p_iFrames);
// The label text: 'g' with 6 significant digits + " Mbits/s".
QString BandwidthText(double p_dMbits);

// What one tick of the watchdog does.
enum class WatchdogAction {
    None,             // nothing to show
    Counted,          // a silent second counted
    CountedAndPrint,  // Corvane: counted, "No frame since Nseconds" printed
    FrameSeen,        // a frame came: count reset (Corvane: warning box closed)
    ShowWarning,      // Corvane: warning box shown, line printed
    Disconnect,       // give up: disconnect and tell the operator
};

// One tick by the rule p_Rule: p_iFrameCounter frames this second (-1: no
// acquisition), p_rSeconds the silent seconds so far (updated), p_bDebugRunning
// the debug window analysing.
WatchdogAction WatchdogTick(NoFrameWatchdog p_Rule, int p_iFrameCounter, int& p_rSeconds, bool p_bDebugRunning);
// The same by the kind's rule (BoardTraits::Watchdog): Camera Link and kind 0 are never watched.
WatchdogAction WatchdogTick(BoardKind p_Kind, int p_iFrameCounter, int& p_rSeconds, bool p_bDebugRunning);
