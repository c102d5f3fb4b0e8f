// The frame path behind a FrameSink: the acquisition counters, then the hand-off to the FPN step, the display and the series.
#include "pipeline/frame_path.h"

namespace {

int Load(const std::atomic<int>* p_pValue)
{
    return p_pValue != nullptr ? p_pValue->load() : 0;
}

} // namespace

FrameGeometry FramePath::geometry() const
{
    return FrameGeometry{Load(m_Wiring.FrameWidth), Load(m_Wiring.FrameHeight), Load(m_Wiring.FramePitch)};
}

unsigned short* FramePath::frameBuffer()
{
    return m_Wiring.Buffer ? m_Wiring.Buffer() : nullptr;
}

void FramePath::count()
{
    if (m_Wiring.FrameCounter != nullptr && !m_Wiring.HandOffCounts)
        ++*m_Wiring.FrameCounter;
    if (m_Wiring.FramesReceived != nullptr)
        ++*m_Wiring.FramesReceived;
}

FrameAccept FramePath::offer(const RawFrame& p_Frame)
{
    count();
    return m_Wiring.HandOff ? m_Wiring.HandOff(p_Frame) : FrameAccept::Taken;
}

bool FramePath::dropsUnread() const
{
    return m_Wiring.DropsUnread && m_Wiring.DropsUnread();
}

FrameAccept FramePath::offerUnread()
{
    count();
    return m_Wiring.HandOffUnread ? m_Wiring.HandOffUnread() : FrameAccept::Dropped;
}

void FramePath::lost(FrameLoss p_Loss)
{
    if (m_Wiring.FramesReceived != nullptr)
        ++*m_Wiring.FramesReceived;
    if (p_Loss == FrameLoss::Short && m_Wiring.ShortFramesDropped != nullptr)
        ++*m_Wiring.ShortFramesDropped;
}
