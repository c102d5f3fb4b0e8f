// The advanced histogram's arithmetic: bin counts, moving average, labels, plot scaling and curves, grid and CSV text.
#pragma once

#include <QByteArray>
#include <QString>

#include <opencv2/core.hpp>

#include <vector>

namespace AdvancedHistogram {

constexpr int BinCount = 256;
constexpr int PlotWidth = 1024;
constexpr int PlotHeight = 768;
constexpr int BinWidth = 4;

// Colours of the plot, (R, G, B, opacity): the plot is shown as RGBA8888.
const cv::Scalar PlotBackgroundColour(240, 240, 240, 0);
const cv::Scalar GreyCurveColour(39, 86, 178, 255);
const cv::Scalar GreyFillColour(39, 86, 178, 120);
const cv::Scalar RedCurveColour(255, 0, 0, 255);
const cv::Scalar RedFillColour(255, 0, 0, 120);
const cv::Scalar GreenCurveColour(0, 255, 0, 255);
const cv::Scalar GreenFillColour(0, 255, 0, 120);
const cv::Scalar BlueCurveColour(0, 0, 255, 255);
const cv::Scalar BlueFillColour(0, 0, 255, 120);
const cv::Scalar TrackingLineColour(0, 0, 0, 255);
const cv::Scalar GridColour(120, 120, 120, 0);

// Half window of the moving average of step s: (s - 1) / 2.
inline int HalfWindow(int p_iStep) { return (p_iStep - 1) / 2; }

// 256 x 1 float counts of an 8-bit single-plane image; all zero for an empty
// image or any other type.
cv::Mat PlaneCounts(const cv::Mat& p_Plane);

// The counts with bins 0 and 255 set to 0 (the saturated pixels are shown
// only in the saturation labels). A new column.
cv::Mat WithoutSaturatedBins(const cv::Mat& p_Counts);

// Moving average of step s: off, the column itself; on, bins h + 1 to 254 - h
// are the float sum of bins i - h .. i + h divided by s, all others 0.
cv::Mat MovingAverage(const cv::Mat& p_Counts, int p_iStep, bool p_bEnabled);

// "n are black saturated" / "n are white saturated", n truncated.
QString BlackSaturatedText(float p_fCount);
QString WhiteSaturatedText(float p_fCount);

// The peak label: grey "12.3457%\n1234 pixels" (four decimals), colour with
// four significant digits. Without pixels (N = 0) the percentage is left out:
// "%\n0 pixels".
QString GreyPeakText(double p_dPeak, double p_dPixels);
QString RgbPeakText(double p_dPeak, double p_dPixels);

// Largest bin of a column (0 for an empty one).
double PeakOf(const cv::Mat& p_Counts);

// Linear rescale of the column so its smallest bin maps to min(1, beta) and its
// largest to max(1, beta); a flat column maps to min(1, beta) throughout.
cv::Mat ScaleToPlot(const cv::Mat& p_Counts, double p_dBeta);
// The beta of one colour channel: PlotHeight x its peak / the highest peak;
// without any peak (p = 0) every channel lies at 1.
double ChannelBeta(double p_dChannelPeak, double p_dHighestPeak);

// Point k of a scaled column: (BinWidth x k, PlotHeight - v[k]), truncated.
cv::Point CurvePoint(const cv::Mat& p_Scaled, int p_iBin);
// The 255 vertices of the fill polygon for the step s.
std::vector<cv::Point> FillPolygon(const cv::Mat& p_Scaled, int p_iStep);
// The curve of bins h .. 254 - h, 4 pixels wide, then the translucent fill
// over it; p_bClosingSegment adds the grey curve's segment down to (1020, 768).
void DrawCurve(cv::Mat& p_Plot, const cv::Mat& p_Scaled, int p_iStep, const cv::Scalar& p_Curve,
               const cv::Scalar& p_Fill, bool p_bClosingSegment);
// The vertical tracking line at x, over the whole plot height.
void DrawTrackingLine(cv::Mat& p_Plot, int p_iX, int p_iThickness);

// Grid of the plot background: columns every width / 8 from 0 while <= width,
// rows every height / 10.0 (summed in double) from 0 while < height.
std::vector<int> GridColumns(int p_iWidth);
std::vector<int> GridRows(int p_iHeight);
void DrawGrid(cv::Mat& p_Background);

// Drawing order of the channels for the "Set ... front" index: 0 red front
// (blue, green, red), 1 green front (blue, red, green), 2 blue front (red,
// green, blue). Channel numbers: 0 red, 1 green, 2 blue.
std::vector<int> ChannelDrawingOrder(int p_iFrontIndex);

// The readout of the tracking line at bin x / 4: the counts, truncated;
// empty when the mode's histogram has not been computed yet.
QString GreyReadout(const cv::Mat& p_Grey, int p_iBin);
QString RgbReadout(const cv::Mat& p_Red, const cv::Mat& p_Green, const cv::Mat& p_Blue, int p_iBin);

// One calculation's numbers, grey: the plotted histogram (saturated bins 0,
// filtered when on), its plot scaling and the three label texts. A grey image
// that is not one 8-bit plane counts as one without pixels.
struct GreyPass
{
    cv::Mat Histogram;
    cv::Mat Scaled;
    QString PeakText;
    QString BlackText;
    QString WhiteText;
};
GreyPass ComputeGreyPass(const cv::Mat& p_Image, int p_iStep, bool p_bFilterEnabled);

// The same for the three planes of a colour image (plane 0 red, 1 green,
// 2 blue); an image that is not three 8-bit planes counts as one without pixels.
struct RgbPass
{
    cv::Mat Red, Green, Blue;
    cv::Mat RedScaled, GreenScaled, BlueScaled;
    QString PeakText;
    QString BlackText;
    QString WhiteText;
};
RgbPass ComputeRgbPass(const cv::Mat& p_Colour, int p_iStep, bool p_bFilterEnabled);

// The CSV files, UTF-8, "\n" line ends, numbers in French form (decimal comma,
// U+00A0 between thousands, six significant digits), "," between fields.
QByteArray GreyCsvText(const cv::Mat& p_Grey);
QByteArray RgbCsvText(const cv::Mat& p_Red, const cv::Mat& p_Green, const cv::Mat& p_Blue);

} // namespace AdvancedHistogram
