// The save-all-frames series of every frame path: one file per frame, BMP or little-endian RAW.
#pragma once

#include <QString>

#include <opencv2/core.hpp>

#include <atomic>
#include <cstddef>

// What differs by frame path, on purpose: the file names' stem, whether a BMP
// takes the file index before or after it is incremented, and what a BMP shows.
// Each path keeps its own counters besides (see SaveSeriesFrame).
struct FrameSeriesRule
{
    QString Stem;                    // "Image" (Camera Link, Belmor loop, GigE) or "ImageAcquired" (USB3)
    bool BmpIndexAfterIncrement;     // GigE and USB3; Camera Link and the Belmor loop number BMP files like RAW files
    bool BmpFromRaw;                 // the high byte of each raw pixel; else the display's 8-bit image
};

// The rules of the paths: the Arvex and Belmor+ frame callback, the Belmor
// acquisition loop (from the display slot's copies), GigE and USB3.
FrameSeriesRule CameraLinkSeriesRule();
FrameSeriesRule BelmorSeriesRule();
FrameSeriesRule GigESeriesRule();
FrameSeriesRule Usb3SeriesRule();

// One frame offered to the series.
struct FrameSeriesFrame
{
    bool Bmp = false;               // SaveAllFramesBmp (takes precedence)
    bool Raw = false;               // SaveAllFramesRaw
    int Limit = 0;                  // NumberFrames; 0: until the operator stops
    QString Folder;                 // application folder + "/../SavedImages/" + proxy name
    const unsigned short* Pixels = nullptr;
    int Width = 0;                  // pixels per line (FramePitch / 2)
    int Height = 0;
    cv::Mat Display8b;              // for a rule that saves the display's image
};

enum class FrameSeriesResult {
    Nothing,   // no format chosen, or nothing to write
    Saved,     // a file was written (or its folder could not take it: skipped without a message)
    Ended,     // the frame after the last of the series: nothing saved, the series must stop
};

// Offers one frame to a series whose file index and saved-frame count are
// p_rFileIndex and p_rSavedFrames (each path keeps its own pair). With a limit
// of N, frames 1..N are saved and frame N + 1 ends the series and resets the
// count. RAW files take the index before it is incremented.
FrameSeriesResult SaveSeriesFrame(const FrameSeriesRule& p_Rule, std::atomic<int>& p_rFileIndex,
                                  std::atomic<int>& p_rSavedFrames, const FrameSeriesFrame& p_Frame);

// The pixels as 16-bit little-endian words, no header, whatever the host's byte order.
bool WriteRawLittleEndian(const QString& p_sPath, const unsigned short* p_pPixels, size_t p_uPixels);
