// The two-point NUC gain file: one gain per pixel, decimal numbers each followed by ";".
#pragma once

#include <QString>

#include <opencv2/core.hpp>

#include <cstdint>

// Longest path, in UTF-8 bytes, that the loader accepts.
constexpr int TwoPointNUCGainPathMaxBytes = 499;

enum class TwoPointNUCGainStatus
{
    Loaded,       // Gains holds the file's first width x height values
    NoFrameSize,  // width, height or columns not positive (no stream geometry)
    PathTooLong,  // more than TwoPointNUCGainPathMaxBytes bytes
    CannotOpen,   // the file cannot be opened for reading
    NotANumber,   // a token that is not a finite decimal number (FailedValue says which)
    TooFewValues, // the file ended before width x height values
};

struct TwoPointNUCGainRead
{
    TwoPointNUCGainStatus Status = TwoPointNUCGainStatus::CannotOpen;
    // Only when Loaded: p_iHeight x p_iColumns 64-bit floats, value i at row
    // i / width and column i % width, 1.0 in the columns past the width.
    cv::Mat Gains;
    int64_t ValuesRead = 0;  // values taken before the read ended
    int64_t FailedValue = -1; // 0-based index of the value that did not read (NotANumber)
    QString FailedText;       // its text, at most 40 characters
    bool DataLeft = false;    // Loaded: the file holds more after the last value taken
};

// Reads "%lf;"-style values: blanks and line ends before a value are skipped,
// one ";" may follow it directly. Stops at the first token that is not a
// number; "inf" and "nan" are not numbers.
TwoPointNUCGainRead ReadTwoPointNUCGainFile(const QString& p_sPath, int p_iWidth, int p_iHeight, int p_iColumns);

// The operator's text for a failed read (empty for Loaded).
QString TwoPointNUCGainFailureText(const TwoPointNUCGainRead& p_Read, int p_iWidth, int p_iHeight);
