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

FrameAccept FramePath::offer(const RawFrame& p_Frame)
{
    if (m_Wiring.FrameCounter != nullptr && !m_Wiring.HandOffCounts)
        ++*m_Wiring.FrameCounter;
    if (m_Wiring.FramesReceived != nullptr)
        ++*m_Wiring.FramesReceived;
    return m_Wiring.HandOff ? m_Wiring.HandOff(p_Frame) : FrameAccept::Taken;
}

void FramePath::lost(FrameLoss p_Loss)
{
    if (m_Wiring.FramesReceived != nullptr)
        ++*m_Wiring.FramesReceived;
    if (p_Loss == FrameLoss::Short && m_Wiring.ShortFramesDropped != nullptr)
        ++*m_Wiring.ShortFramesDropped;
}
