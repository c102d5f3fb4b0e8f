// The frame path behind a FrameSink: the acquisition counters, then the hand-off to the FPN step, the display and the series.
#pragma once

#include "pipeline/frame_sink.h"

#include <atomic>
#include <functional>

// What the frame path reads and counts. The fields are set on the GUI thread
// before a link is given the path and stay valid while it has it.
struct FramePathWiring
{
    const std::atomic<int>* FrameWidth = nullptr;
    const std::atomic<int>* FrameHeight = nullptr;
    const std::atomic<int>* FramePitch = nullptr;   // bytes per line
    std::atomic<int>* FrameCounter = nullptr;
    std::atomic<int>* FramesReceived = nullptr;
    std::atomic<unsigned>* ShortFramesDropped = nullptr;
    // The hand-off counts the frame counter itself (after the display step).
    bool HandOffCounts = false;
    // The raw frame buffer, FrameHeight x FramePitch / 2 pixels (null: not allocated).
    std::function<unsigned short*()> Buffer;
    // Everything after the counters; it alone points the pipeline at the frame.
    std::function<FrameAccept(const RawFrame&)> HandOff;
    // Whether a frame handed off now would be read by nothing; empty: never.
    std::function<bool()> DropsUnread;
    // What the hand-off does with such a frame, its pixels not taken; after the counters.
    std::function<FrameAccept()> HandOffUnread;
};

class FramePath final : public FrameSink
{
public:
    explicit FramePath(FramePathWiring p_Wiring) : m_Wiring(std::move(p_Wiring)) {}

    FrameGeometry geometry() const override;
    unsigned short* frameBuffer() override;
    // Counts the frame (frame counter, unless the hand-off does, then frames received), then hands it off.
    FrameAccept offer(const RawFrame& p_Frame) override;
    // Counts the frame as received, and a short one as dropped.
    void lost(FrameLoss p_Loss) override;
    bool dropsUnread() const override;
    // Counts the frame as offer() does, then hands it off unread.
    FrameAccept offerUnread() override;

private:
    void count();

    FramePathWiring m_Wiring;
};
