// The frame-statistics report: French number format, header, measure lines and the report's file name.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <opencv2/core.hpp>

#include <cstdint>

// The thousands separator the report writes: U+00A0 NO-BREAK SPACE (Qt's
// French locale has the narrow U+202F, which the report does not use).
constexpr char16_t FrenchGroupSeparator = u'\u00A0';

// Numbers as the report writes them: French decimal comma, groups of
// thousands apart by U+00A0. Reals: six significant digits, trailing zeros
// dropped, fixed notation unless the decimal exponent is below -4 or at
// least 6 (then scientific, "1,23457e+06").
QString FrenchNumber(qint64 p_iValue);
QString FrenchNumber(double p_dValue);

// The values the main window hands over at START.
struct DebugReportHeader
{
    QDateTime Start;
    QString DigiName;
    QString ProxyName;
    int FrameRate = 0;
    int Tint = 0;
    int DacA = 0;
    int DacB = 0;
    int DacC = 0;
    int DacD = 0;
    int Ckdiv = 0;
    int Gain0 = 0;
    int Gain1 = 0;
    int Gain2 = 0;
    int UpCol = 0;
    int UpRow = 0;
    bool NucApplied = false;
    int ImageGain = 0;
    int ImageOffset = 0;
};

// "yyyy MM dd hh mm ss z" (z: milliseconds without leading zeros).
QString DebugReportTime(const QDateTime& p_Time);

// Header lines from "Starting Time: " to "#Measure;...", UTF-8.
QByteArray DebugReportHeaderText(const DebugReportHeader& p_Header);

struct FrameStatistics
{
    double Mean = 0.0;
    double StdDev = 0.0;
    double Min = 0.0;
    double Max = 0.0;
};
// Mean and standard deviation of the first channel, minimum and maximum of the whole image.
FrameStatistics ComputeFrameStatistics(const cv::Mat& p_Image);

struct DebugReportChoice
{
    bool Raw = false;
    bool Processed = false;
    bool Mean = false;
    bool StdDev = false;
    bool Min = false;
    bool Max = false;
};

// n, then mean;std;min;max; of each analysed image (raw first, processed
// second; four empty fields for a processed-only line's raw half), each field
// empty when its statistic was not chosen, ended by "\n". UTF-8.
QByteArray DebugReportMeasureLine(int p_iNumber, const DebugReportChoice& p_Choice, const FrameStatistics& p_Raw,
                                  const FrameStatistics& p_Processed);

// "\nEnding Time: " + time + "\n".
QByteArray DebugReportEndingText(const QDateTime& p_Time);

// The chosen name with ".csv" appended unless it already ends so (any case).
QString DebugReportFileName(const QString& p_sChosen);
