// The one way a board link hands a frame on: the link fills or points at the pixels, the sink takes them down the frame path.
#pragma once

#include "pipeline/correction_chain.h"

struct FrameSeries;

// One whole frame as a link delivers it: the pixels (in the sink's buffer or
// the link's own, read in place) and the geometry the link took it with.
struct RawFrame
{
    unsigned short* Pixels = nullptr;
    FrameGeometry Geometry;
};

enum class FrameAccept {
    Taken,     // counted and handed on
    Dropped,   // counted, but the path could not take it now (a busy display on a path that reads in place)
};

// What differs between one link's frames and another's on the way to the
// display: the link states them, the frame path applies them.
struct FramePathRules
{
    // The frame is read in place: a busy display drops it before the FPN step.
    bool DropWhileDisplayBusy = false;
    // The display takes a frame only once it is flagged ready (Camera Link).
    bool FlagCameraLinkReady = false;
    // Frames go to the display only while acquisition runs; the series still takes them.
    bool ShowOnlyWhileAcquiring = false;
    // The save-all series the link's frames feed; null: none.
    const FrameSeries* Series = nullptr;
};

// A sink is called on the link's frame thread. A link knows nothing of what
// is behind it: the window, a test's counter or a recorder.
class FrameSink
{
public:
    virtual ~FrameSink() = default;
    // The geometry a frame must have now; a link that copies drops a frame of any other.
    virtual FrameGeometry geometry() const = 0;
    // Where a copying link writes a frame of geometry(); null while none is allocated (the frame is dropped).
    virtual unsigned short* frameBuffer() = 0;
    // One whole frame, on the calling thread.
    virtual FrameAccept offer(const RawFrame& p_Frame) = 0;
};
