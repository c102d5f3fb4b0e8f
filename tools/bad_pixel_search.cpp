// The bad-pixel search's GSK steps, waits and frames, and how each of its ends puts the GSK back.
#include "tools/bad_pixel_search.h"

void BadPixelSearch::sendGsk(const BadPixelSearchSettings& p_Settings, const Io& p_Io, uint32_t p_uValue)
{
    const int iValue = static_cast<int>(p_uValue);
    switch (p_Settings.Channel) {
    case GskDac::A: p_Io.Writer.set(ParameterBox::DAC_A, iValue); break;
    case GskDac::B: p_Io.Writer.set(ParameterBox::DAC_B, iValue); break;
    case GskDac::C: p_Io.Writer.set(ParameterBox::DAC_C, iValue); break;
    case GskDac::D: p_Io.Writer.set(ParameterBox::DAC_D, iValue); break;
    case GskDac::None: break;
    }
    // The label follows the value sent, so that a long search shows where it is.
    if (p_Settings.Channel != GskDac::None && p_Io.GskShown)
        p_Io.GskShown(p_uValue);
    p_Io.Writer.send();
    m_uFramesSinceStep = 0;
}

bool BadPixelSearch::takeFrame(const Io& p_Io, cv::Mat& p_rFrame) const
{
    const cv::Mat& latest = p_Io.LatestFrame();
    if (m_uFramesSinceStep == 0 || latest.empty())
        return false;
    latest.copyTo(p_rFrame);
    return true;
}

BadPixelSearch::Result BadPixelSearch::run(const BadPixelSearchSettings& p_Settings, const Io& p_Io)
{
    Result r;
    const uint32_t uRestore = p_Settings.StartGsk;
    auto end = [&](Outcome p_End) {
        p_Io.SetForwarding(false);
        sendGsk(p_Settings, p_Io, uRestore);
        r.End = p_End;
        return r;
    };
    // True when the run ends in the wait; when the window is gone, nothing
    // of it, nor of this object, is touched any more.
    auto interrupted = [&](int p_iMs) {
        switch (p_Io.Wait(p_iMs)) {
        case Course::GoOn:
            return false;
        case Course::WindowGone:
            r.End = Outcome::Gone;
            return true;
        case Course::CloseAsked:
            end(Outcome::Closed);
            return true;
        }
        return false;
    };

    p_Io.ShowNotice();
    if (interrupted(NoticeMs))
        return r;
    p_Io.CloseNotice();

    if (p_Settings.SearchMode == BadPixelSearchSettings::Mode::ImageLevel) {
        uint32_t uGsk = uRestore;
        if (!takeFrame(p_Io, r.Low))
            return end(Outcome::NoFrame);
        int32_t iMean = RoundedMean(r.Low);
        auto step = [&](bool p_bUp) {
            p_Io.SetForwarding(true);
            uGsk = p_bUp ? uGsk + GskStep : uGsk - GskStep;
            sendGsk(p_Settings, p_Io, uGsk);
            if (interrupted(LevelStepMs))
                return false;
            p_Io.SetForwarding(false);
            return !interrupted(SettleMs);
        };
        auto outOfRange = [&]() {
            p_Io.Error(OutOfRangeTitle(), OutOfRangeText());
            // The stepped value is not left on the DAC.
            return end(Outcome::OutOfRange);
        };
        while (AboveLevel(iMean, p_Settings.MinLevel)) {
            if (uGsk < GskLowestBeforeStepDown)
                return outOfRange();
            if (!step(false))
                return r;
            if (!takeFrame(p_Io, r.Low))
                return end(Outcome::NoFrame);
            iMean = RoundedMean(r.Low);
        }
        while (BelowLevel(iMean, p_Settings.MaxLevel)) {
            if (uGsk > GskHighestBeforeStepUp)
                return outOfRange();
            if (!step(true))
                return r;
            if (!takeFrame(p_Io, r.High))
                return end(Outcome::NoFrame);
            iMean = RoundedMean(r.High);
        }
    } else {
        // False when the run ended there (r.End says how).
        auto takeAt = [&](int p_iGsk, cv::Mat& p_rFrame) {
            p_Io.SetForwarding(true);
            sendGsk(p_Settings, p_Io, static_cast<uint32_t>(p_iGsk));
            if (interrupted(AdjustmentStepMs))
                return false;
            p_Io.SetForwarding(false);
            if (interrupted(SettleMs))
                return false;
            if (!takeFrame(p_Io, p_rFrame)) {
                end(Outcome::NoFrame);
                return false;
            }
            return true;
        };
        if (!takeAt(p_Settings.GskMin, r.Low) || !takeAt(p_Settings.GskMax, r.High))
            return r;
    }
    return end(Outcome::Done);
}
