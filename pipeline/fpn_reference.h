// Building the software FPN reference from one frame or the average of N frames.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <vector>

// Mean of a reference rounded to the nearest integer, ties to even.
uint16_t ReferenceMean(const uint16_t* p_pImage, size_t p_uCount);

// Writes "MeanReferenceImage = <mean>" and a line end.
void PrintReferenceMean(std::ostream& p_Out, uint16_t p_uMean);

// One averaged run. The per-pixel running sum in 32 bits gives the same
// truncated mean as storing the N frames and adding them afterwards, and is
// sized by the actual frame rather than by a fixed slot size.
class AveragedFpnRun
{
public:
    bool active() const { return m_uFrames != 0; }
    unsigned frames() const { return m_uFrames; }
    unsigned count() const { return m_uCount; }
    size_t pixels() const { return m_Sums.size(); }

    // Starts a run of N frames (N latched here); false when the sums cannot be allocated.
    bool start(unsigned p_uFrames, size_t p_uPixels);
    void add(const uint16_t* p_pRaw);
    bool complete() const { return active() && m_uCount >= m_uFrames; }
    // Writes sum / N (truncated) into the reference and ends the run.
    void finish(uint16_t* p_pReference);
    // Forgets an unfinished run and its memory.
    void discard();

private:
    std::vector<uint32_t> m_Sums;
    unsigned m_uFrames = 0;
    unsigned m_uCount = 0;
};

// What one delivered frame did to the reference; the caller acts on it
// (the staged copy, the button, the new-reference flag, the log).
struct FpnFrameResult
{
    bool Requested = false;         // a request was pending when the frame came
    bool ReferenceBuilt = false;    // the active reference was rewritten by this frame
    bool RaiseNewReference = false; // the chain must take the staged reference
    bool DisableButton = false;     // an averaged run is collecting
    bool EnableButton = false;      // an averaged run ended (built, or given up)
    bool AllocationFailed = false;
    bool RunDiscarded = false; // an unfinished run was dropped by a mode change or a new frame size
    uint16_t Mean = 0;
};

// The per-frame step. The request flag is raised on the GUI thread and read
// on the acquisition thread; the run is touched only by the thread that
// delivers frames (and by reset() once acquisition has stopped).
class FpnReferenceBuilder
{
public:
    // The request flag may live elsewhere (the main window's); by default the builder keeps its own.
    explicit FpnReferenceBuilder(std::atomic<bool>* p_pRequestFlag = nullptr)
        : m_pRequest(p_pRequestFlag ? p_pRequestFlag : &m_bOwnRequest)
    {
    }

    void request() { m_pRequest->store(true); }
    bool requested() const { return m_pRequest->load(); }
    void cancelRequest() { m_pRequest->store(false); }

    // p_uSpinBoxFrames is the live N; it is latched at the first frame of a run.
    FpnFrameResult onFrame(const uint16_t* p_pRaw, uint16_t* p_pActiveReference, size_t p_uPixels,
                           bool p_bAverage, unsigned p_uSpinBoxFrames, std::ostream& p_Out);

    // Disconnection: an unfinished run is discarded, the request dropped.
    void reset();

    const AveragedFpnRun& run() const { return m_Run; }

private:
    std::atomic<bool> m_bOwnRequest{false};
    std::atomic<bool>* m_pRequest;
    AveragedFpnRun m_Run;
};
