// The live histogram label and the free functions behind it.
#include "pipeline/kv_histogram.h"

#include "app/app_paths.h"
#include "app/file_dialog.h"
#include "app/header_constants.h"

#include <QFile>
#include <QFileInfo>
#include <QPixmap>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

using BinTable = std::array<uint32_t, 256>;

// Counts channel 0 of rows [p_iFrom, p_iTo) into p_Bins (four partial tables
// keep successive equal pixels from waiting on one counter).
void CountRows(const cv::Mat& p_Image, int p_iFrom, int p_iTo, BinTable& p_Bins)
{
    std::array<BinTable, 4> bins{};
    const int channels = p_Image.channels();
    for (int r = p_iFrom; r < p_iTo; ++r) {
        const uint8_t* p = p_Image.ptr<uint8_t>(r);
        const int n = p_Image.cols;
        int c = 0;
        if (channels == 1) {
            for (; c + 4 <= n; c += 4) {
                ++bins[0][p[c]];
                ++bins[1][p[c + 1]];
                ++bins[2][p[c + 2]];
                ++bins[3][p[c + 3]];
            }
        }
        for (; c < n; ++c)
            ++bins[0][p[size_t(c) * size_t(channels)]];
    }
    for (int i = 0; i < 256; ++i)
        p_Bins[size_t(i)] = bins[0][size_t(i)] + bins[1][size_t(i)] + bins[2][size_t(i)] + bins[3][size_t(i)];
}

// Runs p_Body over [0, p_iCount) on OpenCV's thread pool. Under ThreadSanitizer
// the pool (TBB, not built with it) hands work over in code the sanitizer
// cannot see, so every hand-over would be reported: the same body then runs
// over the whole range on this thread, with the same results.
template <typename Body>
void ForEachPart(int p_iCount, const Body& p_Body)
{
#if defined(__SANITIZE_THREAD__)
    p_Body(cv::Range(0, p_iCount));
#else
    cv::parallel_for_(cv::Range(0, p_iCount), p_Body);
#endif
}

// Bands of rows counted in parallel; integer counts, so the sum is the same
// whatever the split.
constexpr int kCountBands = 8;

// How far the pixels of one curve segment (thickness 2, anti-aliased) reach
// beyond its end points' columns.
constexpr int kSegmentReach = 2;
constexpr int kMaxCurveStrips = 8;

void DrawSegments(cv::Mat& p_Target, const float* p_pNormalised, int p_iBinWidth, int p_iHeight,
                  const cv::Scalar& p_Curve, int p_iOffsetX, int p_iFromX, int p_iToX)
{
    for (int i = 2; i < 256; ++i) {
        const int x0 = p_iBinWidth * (i - 1);
        const int x1 = p_iBinWidth * i;
        if (x1 + kSegmentReach < p_iFromX || x0 - kSegmentReach >= p_iToX)
            continue;
        cv::line(p_Target, cv::Point(x0 - p_iOffsetX, cvRound(float(p_iHeight) - p_pNormalised[i - 1])),
                 cv::Point(x1 - p_iOffsetX, cvRound(float(p_iHeight) - p_pNormalised[i])), p_Curve, 2, cv::LINE_AA, 0);
    }
}

} // namespace

cv::Mat ComputeGreyHistogram(const cv::Mat& p_Image)
{
    cv::Mat counts(256, 1, CV_32FC1, cv::Scalar(0));
    if (p_Image.empty() || p_Image.depth() != CV_8U)
        return counts;
    std::array<BinTable, kCountBands> bands{};
    const int rows = p_Image.rows;
    ForEachPart(kCountBands, [&](const cv::Range& p_Range) {
        for (int b = p_Range.start; b < p_Range.end; ++b)
            CountRows(p_Image, rows * b / kCountBands, rows * (b + 1) / kCountBands, bands[size_t(b)]);
    });
    float* out = counts.ptr<float>(0);
    for (int i = 0; i < 256; ++i) {
        uint32_t n = 0;
        for (const BinTable& band : bands)
            n += band[size_t(i)];
        out[i] = float(n);
    }
    return counts;
}

int HistogramMaxBin(const cv::Mat& p_Counts)
{
    int m = 0;
    if (p_Counts.type() != CV_32FC1 || p_Counts.total() < 256)
        return 0;
    const float* p = p_Counts.ptr<float>(0);
    for (int i = 0; i < 256; ++i)
        if (p[i] > float(m))
            m = int(p[i]);
    return m;
}

QByteArray HistogramCsvText(const cv::Mat& p_Counts)
{
    QByteArray text("Pixel Value,Number Pixel\n");
    if (p_Counts.type() != CV_32FC1 || p_Counts.total() < 256)
        return text;
    const float* p = p_Counts.ptr<float>(0);
    char line[64];
    for (int i = 0; i < 256; ++i) {
        const int n = std::snprintf(line, sizeof line, "%d,%g\n", i, double(p[i]));
        text.append(line, n);
    }
    return text;
}

void DrawHistogramCurve(cv::Mat& p_Counts, cv::Mat& p_Canvas, const cv::Scalar& p_Background,
                        const cv::Scalar& p_Curve)
{
    const int height = p_Canvas.rows;
    cv::normalize(p_Counts, p_Counts, 1.0, double(height), cv::NORM_MINMAX, CV_32F);
    p_Canvas.setTo(p_Background);
    const int binWidth = cvRound(double(p_Canvas.cols / 256));
    const float* n = p_Counts.ptr<float>(0);
    const int cols = p_Canvas.cols;
    // One strip per thread: every strip also draws the segments of its margins.
    const int strips = std::min(cv::getNumThreads(), kMaxCurveStrips);
    if (strips <= 1 || binWidth < 1 || cols < strips * 16) {
        DrawSegments(p_Canvas, n, binWidth, height, p_Curve, 0, 0, cols);
        return;
    }
    // Vertical strips drawn in parallel, each on a scratch canvas wide
    // enough that every segment touching the strip is drawn whole (never cut
    // at a scratch edge that the canvas does not have), in the same order,
    // so every pixel gets the same blends as on one canvas.
    const int margin = 2 * kSegmentReach + binWidth;
    ForEachPart(strips, [&](const cv::Range& p_Range) {
        for (int k = p_Range.start; k < p_Range.end; ++k) {
            const int from = cols * k / strips;
            const int to = cols * (k + 1) / strips;
            const int scratchFrom = std::max(0, from - margin);
            const int scratchTo = std::min(cols, to + margin);
            cv::Mat scratch(height, scratchTo - scratchFrom, p_Canvas.type(), p_Background);
            DrawSegments(scratch, n, binWidth, height, p_Curve, scratchFrom, from, to);
            scratch(cv::Rect(from - scratchFrom, 0, to - from, height))
                .copyTo(p_Canvas(cv::Rect(from, 0, to - from, height)));
        }
    });
}

KV_Histogram::KV_Histogram(QWidget* parent)
    : QLabel(parent)
{
    canvas = cv::Mat(canvasHeight, canvasWidth, CV_8UC4, cv::Scalar(240, 240, 240, 255));
    gridImage = cv::Mat(widgetHeight, widgetWidth, CV_8UC3, cv::Scalar(240, 240, 240));
    setPixmap(QPixmap::fromImage(blankImage));
    setBackgroundStyle();
    setScaledContents(true);
}

void KV_Histogram::setBackgroundStyle()
{
    const QString sGrid =
        ApplicationDirPath() + HeaderConstants::BackgroundsFolder + HeaderConstants::HistogramBackground;
    if (!QFileInfo::exists(sGrid)) {
        for (int x = widgetWidth / 8; x < widgetWidth; x += widgetWidth / 8)
            cv::line(gridImage, cv::Point(x, 0), cv::Point(x, widgetHeight), gridColour, 1, cv::LINE_8);
        for (int y = widgetHeight / 10; y < widgetHeight; y += widgetHeight / 10)
            cv::line(gridImage, cv::Point(0, y), cv::Point(widgetWidth, y), gridColour, 1, cv::LINE_8);
        displayedImage = QImage(gridImage.data, gridImage.cols, gridImage.rows, int(gridImage.step),
                                QImage::Format_RGB888);
        try {
            cv::imwrite(sGrid.toUtf8().constData(), gridImage);
        } catch (const cv::Exception&) {
            // No grid file: the label shows no grid, nothing else changes.
        }
    }
    setStyleSheet("QLabel { background-image: url(" + sGrid + "); }");
    setAutoFillBackground(true);
}

void KV_Histogram::setFileChooser(FileChooser p_Chooser)
{
    m_Chooser = std::move(p_Chooser);
}

QString KV_Histogram::chooseFile(const QString& p_sFilter, const QString& p_sSuffix)
{
    const QString caption = QStringLiteral("Histogram file");
    if (m_Chooser)
        return m_Chooser(this, caption, p_sFilter);
    FileDialogRequest request;
    request.Parent = this;
    request.Caption = caption;
    request.Filter = p_sFilter;
    request.DefaultSuffix = p_sSuffix;
    request.Save = true;
    return ChooseFile(request);
}

void KV_Histogram::computeMaxBin()
{
    nbPixelMaxHisto = HistogramMaxBin(histogramCounts);
}

void KV_Histogram::calculateHistogram(cv::Mat p_cvMatImage)
{
    // Nothing to count before the first frame (the timer may tick first).
    if (m_bSaving || p_cvMatImage.empty() || p_cvMatImage.depth() != CV_8U)
        return;
    histogramValid = true;
    histogramCounts = ComputeGreyHistogram(p_cvMatImage);
    computeMaxBin();
    if (saveCsvArmed)
        saveHistogramCSV(histogramCounts.clone());
    DrawHistogramCurve(histogramCounts, canvas, cv::Scalar(240, 240, 240, 0), curveColour);
    if (saveBmpArmed)
        saveHistogramBMP(canvas.clone());
    displayedImage = QImage(canvas.data, canvasWidth, canvasHeight, int(canvas.step), QImage::Format_RGBA8888);
    setPixmap(QPixmap::fromImage(displayedImage));
    emit updateNbPixelMaxHisto(nbPixelMaxHisto);
}

void KV_Histogram::displayHistogram()
{
    setPixmap(QPixmap::fromImage(displayedImage));
}

void KV_Histogram::resetHistogram()
{
    histogramValid = false;
    nbPixelMaxHisto = 0;
    setPixmap(QPixmap::fromImage(blankImage));
    emit updateNbPixelMaxHisto(0);
}

void KV_Histogram::armRequest(bool& p_bFlag)
{
    if (!histogramValid) {
        emit informationHappend(QStringLiteral("Can't save histogram"),
                                QStringLiteral("The Histogram can't be saved, the stream has not been started."));
        return;
    }
    p_bFlag = true;
}

void KV_Histogram::setSaveHistogramCSV()
{
    armRequest(saveCsvArmed);
}

void KV_Histogram::setSaveHistogramBMP()
{
    armRequest(saveBmpArmed);
}

namespace {
const char* const kFileError = "The histogram file gives can't be used. Please try again with an other file.";
}

void KV_Histogram::saveHistogramCSV(cv::Mat p_cvMatHisto)
{
    m_bSaving = true;
    const QString sName = chooseFile(QStringLiteral("CSV file (*.csv)"), QStringLiteral("csv"));
    m_bSaving = false;
    saveCsvArmed = false;
    if (sName.isEmpty())
        return;
    QFile file(sName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate)) {
        emit errorHappend(QStringLiteral("Histogram file"), QString::fromLatin1(kFileError));
        return;
    }
    file.write(HistogramCsvText(p_cvMatHisto));
    file.close();
}

void KV_Histogram::saveHistogramBMP(cv::Mat p_cvMatHisto)
{
    m_bSaving = true;
    const QString sName = chooseFile(QStringLiteral("BMP file (*.bmp)"), QStringLiteral("bmp"));
    m_bSaving = false;
    saveBmpArmed = false;
    if (sName.isEmpty())
        return;
    QFile file(sName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        emit errorHappend(QStringLiteral("Histogram file"), QString::fromLatin1(kFileError));
        return;
    }
    file.close();
    try {
        cv::imwrite(sName.toUtf8().constData(), p_cvMatHisto);
    } catch (const cv::Exception&) {
        // An extension no image writer knows: the (empty) file stays, as a failed write does.
    }
}
