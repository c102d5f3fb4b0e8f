// A frame source for the main window's pipeline: fills the raw buffer and runs the frame path, on the GUI thread or a worker.
#pragma once

#include "mainwindow/MainWindow.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/mainwindow_pipeline.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

// Stands in for an acquisition path: the buffers and working images of one
// geometry, and each delivered frame handed over through the pipeline's one
// hand-off on the calling thread, as every frame path does.
class FrameSource
{
public:
    FrameSource(MainWindow& p_Window, int p_iWidth, int p_iHeight)
        : m_Window(p_Window), m_Raw(size_t(p_iWidth) * size_t(p_iHeight)), m_Corrected(m_Raw.size())
    {
        p_Window.FrameWidth = p_iWidth;
        p_Window.FrameHeight = p_iHeight;
        p_Window.FramePitch = 2 * p_iWidth;
        g_pRawImage16b = m_Raw.data();
        g_pCorrectedImage16b = m_Corrected.data();
        p_Window.InitPipelineImages();
    }
    ~FrameSource()
    {
        stop();
        g_pRawImage16b = nullptr;
        g_pCorrectedImage16b = nullptr;
    }

    std::vector<uint16_t>& raw() { return m_Raw; }
    const std::vector<uint16_t>& corrected() const { return m_Corrected; }

    void fill(uint16_t p_uValue) { std::fill(m_Raw.begin(), m_Raw.end(), p_uValue); }

    void deliver()
    {
        ++m_Window.FramesReceived;
        FrameHandOffRule rule;
        rule.FlagCameraLinkReady = IsCameraLinkBoard(m_Window.DigiBoardKind);
        HandOffFrame(m_Window, m_Raw.data(), WindowFrameGeometry(m_Window), rule);
    }

    // Delivers frames on a worker thread at the given rate until stop() (or p_iFrames, when not 0).
    void startWorker(double p_dFramesPerSecond, int p_iFrames = 0)
    {
        m_bStop = false;
        m_bWorkerDone = false;
        m_Worker = std::thread([this, p_dFramesPerSecond, p_iFrames] {
            using clock = std::chrono::steady_clock;
            const auto period = std::chrono::duration_cast<clock::duration>(
                std::chrono::duration<double>(1.0 / p_dFramesPerSecond));
            auto next = clock::now();
            for (int n = 0; !m_bStop && (p_iFrames == 0 || n < p_iFrames); ++n) {
                const uint16_t v = uint16_t(1000 + (n % 50) * 100);
                for (size_t i = 0; i < m_Raw.size(); ++i)
                    m_Raw[i] = uint16_t(v + (i & 255));
                deliver();
                next += period;
                std::this_thread::sleep_until(next);
            }
            m_bWorkerDone = true;
        });
    }
    bool workerDone() const { return m_bWorkerDone; }
    void stop()
    {
        m_bStop = true;
        if (m_Worker.joinable())
            m_Worker.join();
    }

private:
    MainWindow& m_Window;
    std::vector<uint16_t> m_Raw;
    std::vector<uint16_t> m_Corrected;
    std::thread m_Worker;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bWorkerDone{false};
};
