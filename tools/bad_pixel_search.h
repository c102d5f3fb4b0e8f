// The automatic bad-pixel detection's search: the GSK stepped until the frames reach the levels asked, or set to the two values given, counting the frames that arrive after each step.
#pragma once

#include "pipeline/bad_pixel_detection.h"
#include "tools/parameter_writer.h"

#include <QString>

#include <opencv2/core.hpp>

#include <cstdint>
#include <functional>

struct BadPixelSearchSettings
{
    enum class Mode {
        // The GSK stepped down until the mean is at most MinLevel % of full
        // scale (the low frame), then up until it is at least MaxLevel % (the high frame).
        ImageLevel,
        // The low frame at GskMin, the high frame at GskMax.
        GskAdjustment,
    };
    Mode SearchMode = Mode::GskAdjustment;
    int MinLevel = 0;
    int MaxLevel = 0;
    int GskMin = 0;
    int GskMax = 0;
    // The value the search starts from and puts back at its end.
    uint32_t StartGsk = 0;
    GskDac Channel = GskDac::None;
};

class BadPixelSearch
{
public:
    // How a wait ended.
    enum class Course {
        GoOn,
        // The operator asked for the window to close: the search ends, GSK put back.
        CloseAsked,
        // The window is gone: nothing of it may be touched again.
        WindowGone,
    };
    enum class Outcome {
        // Both frames taken; the GSK is back at its start value.
        Done,
        // No frame arrived after a GSK step; the GSK is back. The window says
        // so (NoFrameTitle, NoFrameText) once its controls are back.
        NoFrame,
        // The GSK reached the end of its range first: the error was shown, then the GSK put back.
        OutOfRange,
        // Closed during a wait; the GSK is back.
        Closed,
        // The window went during a wait; nothing was done after it.
        Gone,
    };

    // What the search reaches, all set by the window.
    struct Io
    {
        // The GSK goes out as its DAC's box, then the send.
        ParameterWriter Writer;
        // After a GSK value went into its box (only with a GSK channel).
        std::function<void(uint32_t)> GskShown;
        // Frames forwarded to the search or not (the main window's detection status).
        std::function<void(bool)> SetForwarding;
        // Waits that long, then says how the wait ended.
        std::function<Course(int)> Wait;
        // The latest frame the window received (empty when none).
        std::function<const cv::Mat&()> LatestFrame;
        // The "Please cover" notice, shown for the first wait.
        std::function<void()> ShowNotice;
        std::function<void()> CloseNotice;
        // A box the operator has to answer (title, text).
        std::function<void(const QString&, const QString&)> Error;
    };

    struct Result
    {
        Outcome End = Outcome::Gone;
        cv::Mat Low;
        cv::Mat High;
    };

    // A frame reached the window.
    void frameArrived() { ++m_uFramesSinceStep; }
    // The frames before now do not count for the next search.
    void restartFrameCount() { m_uFramesSinceStep = 0; }
    uint64_t framesSinceStep() const { return m_uFramesSinceStep; }

    // Runs the search from the notice to the GSK put back. The object may go
    // with the window during a wait: the search then returns at once (Gone).
    Result run(const BadPixelSearchSettings& p_Settings, const Io& p_Io);

    // The waits of the search, in ms.
    static constexpr int NoticeMs = 2000;
    static constexpr int LevelStepMs = 3000;
    static constexpr int AdjustmentStepMs = 4000;
    static constexpr int SettleMs = 1000;

    static QString NoFrameTitle() { return QStringLiteral("No image"); }
    static QString NoFrameText()
    {
        return QStringLiteral("No image has been received since the GSK was changed. Please check that the "
                              "acquisition is running, without FPN subtraction and two-point NUC.");
    }
    static QString OutOfRangeTitle() { return QStringLiteral("ERROR"); }
    static QString OutOfRangeText() { return QStringLiteral("The sensor is not well configured, please check"); }

private:
    void sendGsk(const BadPixelSearchSettings& p_Settings, const Io& p_Io, uint32_t p_uValue);
    // A deep copy of the latest frame, refused (false) when no frame arrived
    // since the last GSK step.
    bool takeFrame(const Io& p_Io, cv::Mat& p_rFrame) const;

    uint64_t m_uFramesSinceStep = 0;
};
