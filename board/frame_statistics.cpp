// The main window's one-second figures: the bandwidth and the no-frame watchdog's step.
#include "board/frame_statistics.h"

#include <algorithm>
#include <cmath>

double FrameBandwidthMbits(int p_iWidth, int p_iHeight, int p_iFrames)
{
    const uint64_t bits = uint64_t(uint32_t(std::max(p_iWidth, 0))) * uint64_t(uint32_t(std::max(p_iHeight, 0)))
                          * uint64_t(uint32_t(std::max(p_iFrames, 0))) * 16u;
    return double(bits) / 1048576.0;
}

QString BandwidthText(double p_dMbits)
{
    return QString::number(p_dMbits, 'g', 6) + " Mbits/s";
}

WatchdogAction WatchdogTick(BoardKind p_Kind, int p_iFrameCounter, int& p_rSeconds, bool p_bDebugRunning)
{
    return WatchdogTick(BoardTraitsOf(p_Kind).Watchdog, p_iFrameCounter, p_rSeconds, p_bDebugRunning);
}

WatchdogAction WatchdogTick(NoFrameWatchdog p_Rule, int p_iFrameCounter, int& p_rSeconds, bool p_bDebugRunning)
{
    const int f = p_iFrameCounter;
    if (p_Rule == NoFrameWatchdog::Disconnects) {
        if (!p_bDebugRunning && f == 0 && p_rSeconds < 10) {
            ++p_rSeconds;
            return WatchdogAction::Counted;
        }
        if (f > 0) {
            p_rSeconds = 0;
            return WatchdogAction::FrameSeen;
        }
        if (!p_bDebugRunning && f == 0 && p_rSeconds >= 10)
            return WatchdogAction::Disconnect;
        return WatchdogAction::None;
    }
    if (p_Rule == NoFrameWatchdog::WarnsThenDisconnects) {
        if (f > 0) {
            p_rSeconds = 0;
            return WatchdogAction::FrameSeen;
        }
        if (p_bDebugRunning || f != 0)
            return WatchdogAction::None;
        if (p_rSeconds == 4) {
            p_rSeconds = 5;
            return WatchdogAction::ShowWarning;
        }
        if (p_rSeconds >= 10)
            return WatchdogAction::Disconnect;
        ++p_rSeconds;
        return WatchdogAction::CountedAndPrint;
    }
    return WatchdogAction::None;
}
