// Colour look-up tables: the LUT file reader and the colouring of 8-bit images.
#pragma once

#include "pipeline/log_sink.h"

#include <QString>
#include <opencv2/core.hpp>

#include <array>
#include <cstdint>

// Entry i is the colour of grey level i; channel 0 is shown as red.
struct ColourLutPlanes
{
    std::array<uint8_t, 256> R{};
    std::array<uint8_t, 256> G{};
    std::array<uint8_t, 256> B{};

    void clear();
    // The three planes merged into a 1 x 256 three-channel image (R, G, B order).
    cv::Mat merged() const;
};

enum class LutReadStatus : int {
    Loaded,
    CannotOpen,    // the file could not be opened
    NoColourTable, // data lines, but not one of them holds three integers: not a LUT file
};

// Reads a LUT file: a header line, then up to 256 lines "red;green;blue"
// (fields after the third ignored). Each value keeps its low byte; a field
// that is not an integer, or missing, gives 0. Entries past the last data
// line keep their values. A file that cannot be opened leaves the planes
// untouched and logs "Can't open correctily LUT File"; a file whose data
// lines hold no line of three integers leaves them untouched too.
LutReadStatus ReadLutFileStatus(const QString& p_sPath, ColourLutPlanes& p_Planes, const PipelineLogSink& p_Log = {});
// True when the table was loaded.
bool ReadLutFile(const QString& p_sPath, ColourLutPlanes& p_Planes, const PipelineLogSink& p_Log = {});

// Three-channel image of the same size: (R, G, B) of the table at each grey level.
cv::Mat ApplyColourLut(const cv::Mat& p_Grey, const ColourLutPlanes& p_Planes);
