// Parameter-table cells that the image pipeline reads and writes.
#pragma once

// Kept local to the pipeline: the named ProxyParameterId constants of params/
// carry the same numbers once they are all entered there.
namespace PipelineCell {
enum : int {
    BPCorrectionMode = 10,
    InterpolationMethod = 13,
    AGC = 19,
    ApplyNUCEnabled = 27,
    ApplyNUC = 28,
    HDR = 40,
    InvertBW = 43,
    SaveStream = 61,
    UpCol = 70,
    UpRow = 73,
    AGCCentre = 188,
    AGCGainClip = 191,
    ImageGain = 201,
    ImageOffset = 206,
    AGCMargin = 249,
    AGCThreshold = 250,
    NUC2ptEnabled = 389,
};
}
