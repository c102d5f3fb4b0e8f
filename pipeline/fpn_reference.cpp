// Building the software FPN reference from one frame or the average of N frames.
#include "pipeline/fpn_reference.h"

#include <cmath>
#include <cstring>
#include <new>
#include <ostream>

uint16_t ReferenceMean(const uint16_t* p_pImage, size_t p_uCount)
{
    if (p_uCount == 0)
        return 0;
    uint64_t sum = 0;
    for (size_t i = 0; i < p_uCount; ++i)
        sum += p_pImage[i];
    // nearbyint in the default rounding mode rounds halves to even.
    return uint16_t(std::nearbyint(double(sum) / double(p_uCount)));
}

void PrintReferenceMean(std::ostream& p_Out, uint16_t p_uMean)
{
    p_Out << "MeanReferenceImage = " << p_uMean << std::endl;
}

bool AveragedFpnRun::start(unsigned p_uFrames, size_t p_uPixels)
{
    discard();
    try {
        m_Sums.assign(p_uPixels, 0u);
    } catch (const std::bad_alloc&) {
        discard();
        return false;
    }
    m_uFrames = p_uFrames == 0 ? 1 : p_uFrames;
    m_uCount = 0;
    return true;
}

void AveragedFpnRun::add(const uint16_t* p_pRaw)
{
    if (!active() || m_uCount >= m_uFrames)
        return;
    uint32_t* s = m_Sums.data();
    const size_t n = m_Sums.size();
    for (size_t i = 0; i < n; ++i)
        s[i] += p_pRaw[i];
    ++m_uCount;
}

void AveragedFpnRun::finish(uint16_t* p_pReference)
{
    const uint32_t frames = m_uFrames;
    const size_t n = m_Sums.size();
    for (size_t i = 0; i < n; ++i)
        p_pReference[i] = uint16_t(m_Sums[i] / frames);
    discard();
}

void AveragedFpnRun::discard()
{
    std::vector<uint32_t>().swap(m_Sums);
    m_uFrames = 0;
    m_uCount = 0;
}

FpnFrameResult FpnReferenceBuilder::onFrame(const uint16_t* p_pRaw, uint16_t* p_pActiveReference,
                                            size_t p_uPixels, bool p_bAverage, unsigned p_uSpinBoxFrames,
                                            std::ostream& p_Out)
{
    FpnFrameResult r;
    if (!m_pRequest->load() || !p_pRaw || !p_pActiveReference || p_uPixels == 0)
        return r;
    r.Requested = true;

    if (!p_bAverage) {
        if (m_Run.active()) {
            // The operator left averaged mode midway: that run is given up.
            m_Run.discard();
            r.RunDiscarded = true;
            r.EnableButton = true;
        }
        std::memcpy(p_pActiveReference, p_pRaw, p_uPixels * sizeof(uint16_t));
        r.Mean = ReferenceMean(p_pActiveReference, p_uPixels);
        PrintReferenceMean(p_Out, r.Mean);
        m_pRequest->store(false);
        r.ReferenceBuilt = true;
        r.RaiseNewReference = true;
        return r;
    }

    r.DisableButton = true;
    if (m_Run.active() && m_Run.pixels() != p_uPixels) {
        m_Run.discard();
        r.RunDiscarded = true;
    }
    if (!m_Run.active() && !m_Run.start(p_uSpinBoxFrames, p_uPixels)) {
        m_pRequest->store(false);
        r.DisableButton = false;
        r.EnableButton = true;
        r.AllocationFailed = true;
        return r;
    }
    m_Run.add(p_pRaw);
    if (m_Run.complete()) {
        m_pRequest->store(false);
        m_Run.finish(p_pActiveReference);
        r.Mean = ReferenceMean(p_pActiveReference, p_uPixels);
        r.ReferenceBuilt = true;
        r.DisableButton = false;
        r.EnableButton = true;
    }
    r.RaiseNewReference = true;
    return r;
}

void FpnReferenceBuilder::reset()
{
    m_pRequest->store(false);
    m_Run.discard();
}
