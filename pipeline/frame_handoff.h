// What a frame path hands its frames to the pipeline with: the save-all series and the rule of the path.
#pragma once

#include "pipeline/correction_chain.h"
#include "pipeline/frame_series_saver.h"

#include <atomic>
#include <functional>

// The save-all series a frame path writes: its file rule and its own pair of
// process-wide counters (file index, frames of the current counted series).
struct FrameSeries
{
    FrameSeriesRule Rule;
    std::atomic<int>* FileIndex = nullptr;
    std::atomic<int>* SavedFrames = nullptr;
};

// What differs from one frame path to another. The display-busy flag is
// released by the display slot alone, on every path: a path that released it
// would let the next frame be drawn into images still being shown or saved.
struct FrameHandOffRule
{
    // A busy display drops the frame before the FPN step and the series
    // (Camera Link, USB3: the grabber's and the capture's own buffers are read
    // in place). Otherwise the frame goes on; the display refuses it by
    // itself and counts it, and the series still takes it (GigE, serial-port board).
    bool DropWhileDisplayBusy = false;
    // The display takes a Camera Link frame only when the callback flags it ready.
    bool FlagCameraLinkReady = false;
    // Asked after the FPN step: whether this frame goes to the display. Empty: it does.
    std::function<bool()> Show;
    // The series written from the frames while save-all runs; null: none on this path.
    const FrameSeries* Series = nullptr;
};

enum class FrameHandOffResult {
    DroppedWhileBusy,   // DropWhileDisplayBusy and the display was busy: nothing done
    HandedOver,         // FPN step run, shown when Show allowed it, offered to the series
};

// The folder of the current proxy's save-all files: application folder + "/../SavedImages/" + proxy name.
QString SeriesFolder();
