// Automatic bad-pixel detection: GSK channel lookup, level thresholds, the frame difference and the 0.75-1.25 rule, and the map file it writes.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <opencv2/core.hpp>

#include <cstdint>

// The DAC that carries a proxy's GSK voltage (default half of the GSK channel cell).
enum class GskDac { None, A, B, C, D };

// 2 -> A, 3 -> B, 12 -> C, 13 -> D; any other code (65535 among them) -> None.
GskDac GskDacFromChannelCode(uint32_t p_uCode);
// The record cell that holds the DAC's value (170, 175, 180, 185); -1 for None.
int GskDacValueCell(GskDac p_Dac);
// The GSK value a run starts from and restores: the current half of that
// cell of the record, 0 without a channel.
uint32_t StartingGskValue(int p_iProxyIndex);
GskDac GskDacOfProxy(int p_iProxyIndex);

// Mean of every pixel of a one-channel image, rounded to the nearest integer,
// ties to even. 0 for an empty image.
int32_t RoundedMean(const cv::Mat& p_Frame);
// The descent goes on while the rounded mean is strictly above p_iPercent of
// full scale; the ascent while it is strictly below.
bool AboveLevel(int32_t p_iMean, int p_iPercent);
bool BelowLevel(int32_t p_iMean, int p_iPercent);

// GSK stepping limits: a step down needs at least 5, a step up at most 4090,
// so the value never leaves 0..4095.
constexpr uint32_t GskStep = 5;
constexpr uint32_t GskLowestBeforeStepDown = 5;
constexpr uint32_t GskHighestBeforeStepUp = 4090;

// Bits 0-3: columns left out at the left edge; bits 4-7: at the right edge.
struct BlindColumns
{
    int Left = 0;
    int Right = 0;
};
BlindColumns BlindColumnsFromCell(uint32_t p_uCell);

struct DetectedPixel
{
    int Row = 0;
    int Column = 0;
    bool operator==(const DetectedPixel& o) const { return Row == o.Row && Column == o.Column; }
};

struct BadPixelDetection
{
    // False when the two frames are empty or differ in size or type: nothing was computed.
    bool Valid = false;
    double MeanDifference = 0.0;
    // Row-major, columns ascending within a row, counted from the frame's left edge.
    QVector<DetectedPixel> Pixels;
};

// Difference := high - low, saturated at 0 (in the frames' own type); its
// mean is taken over every pixel, blind columns included. A pixel of the
// scanned columns [left, width - right) is bad when its difference is
// strictly below 0.75 x mean or strictly above 1.25 x mean.
BadPixelDetection DetectBadPixels(const cv::Mat& p_Low, const cv::Mat& p_High, uint32_t p_uBlindColumnsCell,
                                  cv::Mat* p_pDifference = nullptr);

// "Ligne,Colonne\n", then "row,column\n" per pixel in the given order.
QByteArray BadPixelCsvText(const QVector<DetectedPixel>& p_Pixels);

// The folder of the map files: application folder + "/../BadPixelsFiles/".
QString BadPixelFolder(const QString& p_sApplicationDir);
// A serial number that may go into a file name: no '/', no '\\', no "..",
// no control character. (Empty is allowed: "BP_.csv".)
bool IsUsableSerialNumber(const QString& p_sSerial);
// Folder + "BP_" + serial + ".csv".
QString BadPixelFilePath(const QString& p_sFolder, const QString& p_sSerial);
