// The advanced histogram's arithmetic, drawing and CSV text.
#include "pipeline/advanced_histogram.h"

#include "pipeline/debug_report.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace AdvancedHistogram {

namespace {

float BinOf(const cv::Mat& p_Counts, int p_iBin)
{
    if (p_Counts.empty() || p_iBin < 0 || p_iBin >= p_Counts.rows || p_Counts.type() != CV_32FC1)
        return 0.0f;
    return p_Counts.at<float>(p_iBin, 0);
}

QString Truncated(float p_fValue)
{
    return QString::number(static_cast<int>(p_fValue), 10);
}

} // namespace

cv::Mat PlaneCounts(const cv::Mat& p_Plane)
{
    if (p_Plane.empty() || p_Plane.type() != CV_8UC1)
        return cv::Mat::zeros(BinCount, 1, CV_32FC1);
    const int channels[] = {0};
    const int histSize[] = {BinCount};
    const float range[] = {0.0f, 256.0f};
    const float* ranges[] = {range};
    cv::Mat counts;
    cv::calcHist(&p_Plane, 1, channels, cv::Mat(), counts, 1, histSize, ranges, true, false);
    return counts;
}

cv::Mat WithoutSaturatedBins(const cv::Mat& p_Counts)
{
    cv::Mat column = cv::Mat::zeros(BinCount, 1, CV_32FC1);
    for (int i = 1; i < BinCount - 1; ++i)
        column.at<float>(i, 0) = BinOf(p_Counts, i);
    return column;
}

cv::Mat MovingAverage(const cv::Mat& p_Counts, int p_iStep, bool p_bEnabled)
{
    if (!p_bEnabled)
        return p_Counts;
    cv::Mat out = cv::Mat::zeros(BinCount, 1, CV_32FC1);
    if (p_iStep < 1)
        return out;
    const int h = HalfWindow(p_iStep);
    for (int i = h + 1; i <= BinCount - 2 - h; ++i) {
        float sum = 0.0f;
        for (int j = i - h; j <= i + h; ++j)
            sum += BinOf(p_Counts, j);
        out.at<float>(i, 0) = sum / static_cast<float>(p_iStep);
    }
    return out;
}

QString BlackSaturatedText(float p_fCount)
{
    return Truncated(p_fCount) + QStringLiteral(" are black saturated");
}

QString WhiteSaturatedText(float p_fCount)
{
    return Truncated(p_fCount) + QStringLiteral(" are white saturated");
}

QString GreyPeakText(double p_dPeak, double p_dPixels)
{
    const QString percent = p_dPixels > 0.0 ? QString::number(p_dPeak * 100.0 / p_dPixels, 'f', 4) : QString();
    return percent + QStringLiteral("%\n") + QString::number(p_dPeak, 'g', 6) + QStringLiteral(" pixels");
}

QString RgbPeakText(double p_dPeak, double p_dPixels)
{
    const QString percent = p_dPixels > 0.0 ? QString::number(p_dPeak * 100.0 / p_dPixels, 'g', 4) : QString();
    return percent + QStringLiteral("%\n") + QString::number(p_dPeak, 'g', 6) + QStringLiteral(" pixels");
}

double PeakOf(const cv::Mat& p_Counts)
{
    if (p_Counts.empty())
        return 0.0;
    double dMin = 0.0, dMax = 0.0;
    cv::minMaxLoc(p_Counts, &dMin, &dMax);
    return dMax;
}

cv::Mat ScaleToPlot(const cv::Mat& p_Counts, double p_dBeta)
{
    cv::Mat scaled;
    cv::normalize(p_Counts, scaled, 1.0, p_dBeta, cv::NORM_MINMAX, CV_32F);
    return scaled;
}

double ChannelBeta(double p_dChannelPeak, double p_dHighestPeak)
{
    // Every channel flat at 1 when no channel has a count: the 0 / 0 of the
    // proportional height is never computed.
    if (!(p_dHighestPeak > 0.0))
        return 1.0;
    return PlotHeight * p_dChannelPeak / p_dHighestPeak;
}

cv::Point CurvePoint(const cv::Mat& p_Scaled, int p_iBin)
{
    const float y = static_cast<float>(PlotHeight) - BinOf(p_Scaled, p_iBin);
    return cv::Point(BinWidth * p_iBin, static_cast<int>(y));
}

std::vector<cv::Point> FillPolygon(const cv::Mat& p_Scaled, int p_iStep)
{
    const int h = HalfWindow(p_iStep);
    std::vector<cv::Point> vertices;
    vertices.reserve(BinCount - 1);
    for (int k = 0; k < h; ++k)
        vertices.emplace_back(0, PlotHeight);
    for (int k = h; k <= BinCount - 3 - h; ++k)
        vertices.push_back(CurvePoint(p_Scaled, k));
    for (int k = BinCount - 2 - h; k <= BinCount - 2; ++k)
        vertices.emplace_back(PlotWidth, PlotHeight);
    return vertices;
}

void DrawCurve(cv::Mat& p_Plot, const cv::Mat& p_Scaled, int p_iStep, const cv::Scalar& p_Curve,
               const cv::Scalar& p_Fill, bool p_bClosingSegment)
{
    const int h = HalfWindow(p_iStep);
    for (int k = h; k <= BinCount - 3 - h; ++k)
        cv::line(p_Plot, CurvePoint(p_Scaled, k), CurvePoint(p_Scaled, k + 1), p_Curve, 4, cv::LINE_AA);
    if (p_bClosingSegment)
        cv::line(p_Plot, CurvePoint(p_Scaled, BinCount - 2 - h), cv::Point(BinWidth * (BinCount - 1), PlotHeight),
                 p_Curve, 4, cv::LINE_AA);
    const std::vector<std::vector<cv::Point>> polygon{FillPolygon(p_Scaled, p_iStep)};
    cv::fillPoly(p_Plot, polygon, p_Fill, cv::LINE_AA);
}

void DrawTrackingLine(cv::Mat& p_Plot, int p_iX, int p_iThickness)
{
    cv::line(p_Plot, cv::Point(p_iX, PlotHeight), cv::Point(p_iX, 0), TrackingLineColour, p_iThickness, cv::LINE_AA);
}

std::vector<int> GridColumns(int p_iWidth)
{
    std::vector<int> columns;
    const int step = p_iWidth / 8;
    if (step <= 0)
        return columns;
    for (int x = 0; x <= p_iWidth; x += step)
        columns.push_back(x);
    return columns;
}

std::vector<int> GridRows(int p_iHeight)
{
    std::vector<int> rows;
    const double step = static_cast<double>(p_iHeight) / 10.0;
    if (!(step > 0.0))
        return rows;
    for (double y = 0.0; y < static_cast<double>(p_iHeight); y += step)
        rows.push_back(static_cast<int>(y));
    return rows;
}

void DrawGrid(cv::Mat& p_Background)
{
    // One-pixel lines (OpenCV's line takes no thickness 0).
    for (int x : GridColumns(p_Background.cols))
        cv::line(p_Background, cv::Point(x, 0), cv::Point(x, p_Background.rows), GridColour, 1, cv::LINE_8);
    for (int y : GridRows(p_Background.rows))
        cv::line(p_Background, cv::Point(0, y), cv::Point(p_Background.cols, y), GridColour, 1, cv::LINE_8);
}

std::vector<int> ChannelDrawingOrder(int p_iFrontIndex)
{
    switch (p_iFrontIndex) {
    case 1: return {2, 0, 1};
    case 2: return {0, 1, 2};
    default: return {2, 1, 0};
    }
}

QString GreyReadout(const cv::Mat& p_Grey, int p_iBin)
{
    if (p_Grey.empty())
        return QString();
    return Truncated(BinOf(p_Grey, p_iBin)) + QStringLiteral(" pixels");
}

QString RgbReadout(const cv::Mat& p_Red, const cv::Mat& p_Green, const cv::Mat& p_Blue, int p_iBin)
{
    if (p_Red.empty() || p_Green.empty() || p_Blue.empty())
        return QString();
    return QStringLiteral("R: ") + Truncated(BinOf(p_Red, p_iBin)) + QStringLiteral("\nG: ") +
           Truncated(BinOf(p_Green, p_iBin)) + QStringLiteral("\nB: ") + Truncated(BinOf(p_Blue, p_iBin));
}

GreyPass ComputeGreyPass(const cv::Mat& p_Image, int p_iStep, bool p_bFilterEnabled)
{
    const bool usable = !p_Image.empty() && p_Image.type() == CV_8UC1;
    GreyPass pass;
    const cv::Mat raw = PlaneCounts(usable ? p_Image : cv::Mat());
    pass.BlackText = BlackSaturatedText(BinOf(raw, 0));
    pass.WhiteText = WhiteSaturatedText(BinOf(raw, BinCount - 1));
    pass.Histogram = MovingAverage(WithoutSaturatedBins(raw), p_iStep, p_bFilterEnabled);
    const double pixels = usable ? static_cast<double>(p_Image.rows) * p_Image.cols : 0.0;
    pass.PeakText = GreyPeakText(PeakOf(pass.Histogram), pixels);
    pass.Scaled = ScaleToPlot(pass.Histogram, PlotHeight);
    return pass;
}

RgbPass ComputeRgbPass(const cv::Mat& p_Colour, int p_iStep, bool p_bFilterEnabled)
{
    const bool usable = !p_Colour.empty() && p_Colour.type() == CV_8UC3;
    std::vector<cv::Mat> planes(3);
    if (usable)
        cv::split(p_Colour, planes);
    RgbPass pass;
    cv::Mat raw[3];
    for (int c = 0; c < 3; ++c)
        raw[c] = PlaneCounts(planes[c]);
    // Added as floats: a pixel saturated in two planes counts twice.
    pass.BlackText = BlackSaturatedText(BinOf(raw[0], 0) + BinOf(raw[1], 0) + BinOf(raw[2], 0));
    pass.WhiteText = WhiteSaturatedText(BinOf(raw[0], BinCount - 1) + BinOf(raw[1], BinCount - 1) +
                                        BinOf(raw[2], BinCount - 1));
    pass.Red = MovingAverage(WithoutSaturatedBins(raw[0]), p_iStep, p_bFilterEnabled);
    pass.Green = MovingAverage(WithoutSaturatedBins(raw[1]), p_iStep, p_bFilterEnabled);
    pass.Blue = MovingAverage(WithoutSaturatedBins(raw[2]), p_iStep, p_bFilterEnabled);
    const double peakR = PeakOf(pass.Red);
    const double peakG = PeakOf(pass.Green);
    const double peakB = PeakOf(pass.Blue);
    const double peak = std::max({peakR, peakG, peakB});
    const double pixels = usable ? static_cast<double>(p_Colour.rows) * p_Colour.cols : 0.0;
    pass.PeakText = RgbPeakText(peak, pixels);
    pass.RedScaled = ScaleToPlot(pass.Red, ChannelBeta(peakR, peak));
    pass.GreenScaled = ScaleToPlot(pass.Green, ChannelBeta(peakG, peak));
    pass.BlueScaled = ScaleToPlot(pass.Blue, ChannelBeta(peakB, peak));
    return pass;
}

QByteArray GreyCsvText(const cv::Mat& p_Grey)
{
    QString text = QStringLiteral("Pixel Value,Number Pixel\n");
    for (int i = 0; i < BinCount; ++i)
        text += FrenchNumber(qint64(i)) + QLatin1Char(',') + FrenchNumber(double(BinOf(p_Grey, i))) +
                QLatin1Char('\n');
    return text.toUtf8();
}

QByteArray RgbCsvText(const cv::Mat& p_Red, const cv::Mat& p_Green, const cv::Mat& p_Blue)
{
    QString text = QStringLiteral("Pixel Value,Red,Green,Blue\n");
    for (int i = 0; i < BinCount; ++i)
        text += FrenchNumber(qint64(i)) + QLatin1Char(',') + FrenchNumber(double(BinOf(p_Red, i))) +
                QLatin1Char(',') + FrenchNumber(double(BinOf(p_Green, i))) + QLatin1Char(',') +
                FrenchNumber(double(BinOf(p_Blue, i))) + QLatin1Char('\n');
    return text.toUtf8();
}

} // namespace AdvancedHistogram
