// The one way a board link hands a frame on: the link fills or points at the pixels, the sink takes them down the frame path.
#pragma once

#include "pipeline/correction_chain.h"

#include <functional>

struct FrameSeries;

// One whole frame as a link delivers it: the pixels (in the sink's buffer or
// the link's own, read in place) and the geometry the link took it with.
struct RawFrame
{
    unsigned short* Pixels = nullptr;
    FrameGeometry Geometry;
};

// A frame a link received but could not offer.
enum class FrameLoss {
    Short,     // shorter than the geometry, or no buffer to take it: counted as received and as short
    Sample,    // the transport dropped a sample: counted as received only
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
    // Set by a link whose capture runs on by itself after the operator's stop
    // (USB3). Outside a series the window checks its activity at each frame,
    // and a frame that comes after the stop is not shown and calls this, on
    // the frame thread, unless a bad-pixel map loads (the capture then only
    // pauses). While a series runs only its BMP frames are shown and the
    // capture goes on. The frame counter then counts the frames handed over,
    // restarting at 1 from a non-positive value outside a series.
    std::function<void()> StopCaptureAfterStop;
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
    // A frame received but not offered, on the calling thread.
    virtual void lost(FrameLoss p_Loss) { (void)p_Loss; }
    // Whether a frame offered now would be dropped before anything reads its
    // pixels (a busy display, and no series taking the frames). A copying link
    // may then leave the frame uncopied and call offerUnread() instead of offer().
    virtual bool dropsUnread() const { return false; }
    // A whole frame of geometry() left uncopied because dropsUnread() held:
    // counted and refused as offer() counts and refuses it while the display is busy.
    virtual FrameAccept offerUnread() { return FrameAccept::Dropped; }
};
