// Paces a simulated board's frames at its frame rate (no pacing in fast mode).
#pragma once

#include "sim/core/board_kind.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace sim {

// Keeps an absolute schedule, so a late frame does not push back the ones
// after it; after a long stall it restarts from now instead of bursting.
class FramePacer
{
public:
    explicit FramePacer(double p_dFramesPerSecond) { setRate(p_dFramesPerSecond); }

    void setRate(double p_dFramesPerSecond)
    {
        m_Period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(1.0 / std::max(0.1, p_dFramesPerSecond)));
        m_Next = std::chrono::steady_clock::now();
    }

    // Waits for the next frame's time in slices of at most 10 ms; returns
    // false as soon as *p_pStop becomes true.
    bool waitNext(const std::atomic<bool>* p_pStop = nullptr)
    {
        if (FastMode()) {
            m_Next = std::chrono::steady_clock::now();
            return p_pStop == nullptr || !p_pStop->load();
        }
        m_Next += m_Period;
        auto now = std::chrono::steady_clock::now();
        if (now - m_Next > 4 * m_Period)
            m_Next = now;
        while (now < m_Next) {
            if (p_pStop != nullptr && p_pStop->load())
                return false;
            std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
                m_Next - now, std::chrono::milliseconds(10)));
            now = std::chrono::steady_clock::now();
        }
        return p_pStop == nullptr || !p_pStop->load();
    }

private:
    std::chrono::steady_clock::duration m_Period{};
    std::chrono::steady_clock::time_point m_Next;
};

} // namespace sim
