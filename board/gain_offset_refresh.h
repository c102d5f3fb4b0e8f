// Image gain and offset: the sliders' values into the parameter table, and the once-a-second board write.
#pragma once

#include "app/digiboard_kind.h"

#include <QString>

#include <atomic>

// Parameter-table cells of the current proxy that the refresh reads and writes.
namespace GainOffsetCell {
enum : int {
    GainSlider = 145,
    OffsetSlider = 150,
    Gain = 201,     // used by the pipeline and sent as GAIN_IMG
    Offset = 206,   // used by the pipeline and sent as OFFSET_IMG
};
}

// What the slots and the tick read of the main window.
class BoardLink;

struct GainOffsetContext
{
    BoardKind Kind = BoardKind::None;
    int ProxyIndex = 0;
    bool SoftwareNUC = false;
    bool AGCOn = false;          // the values are stored without a log line
    bool TimerRunning = false;   // the gain/offset timer
    BoardLink* Link = nullptr;   // the board's link; none: a link of the kind made for the writes
};

// After the gain slider moved and its spin box took the value: applied in
// software (Belmor, Dunstel, software NUC) or marked for the next tick
// (Arvex, Belmor+, Corvane while the timer runs).
void StoreImageGain(const GainOffsetContext& p_Context, int p_iGainSpinValue, std::atomic<bool>& p_Changed);
// The same for the offset, halved where the board or the software NUC wants it.
void StoreImageOffset(const GainOffsetContext& p_Context, int p_iOffsetSpinValue, std::atomic<bool>& p_Changed);

// One tick: copies the spin boxes into the cells (the offset halved) and,
// when a change is pending, sends OFFSET_IMG then GAIN_IMG to the board.
// Returns false when a Camera Link write failed: *p_pFailure holds
// "Couldn't set OFFSET_IMG to %d.\n" or "Couldn't set GAIN_IMG to %d.\n",
// the gain is not sent after a failed offset, and the change stays pending.
bool GainOffsetTick(const GainOffsetContext& p_Context, int p_iGainSpinValue, int p_iOffsetSpinValue,
                    std::atomic<bool>& p_Changed, QString* p_pFailure);
