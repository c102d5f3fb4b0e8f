// The live histogram label and the free functions behind it.
#include "pipeline/kv_histogram.h"

#include "app/app_paths.h"
#include "app/header_constants.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPixmap>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <array>
#include <cstdio>

cv::Mat ComputeGreyHistogram(const cv::Mat& p_Image)
{
    cv::Mat counts(256, 1, CV_32FC1, cv::Scalar(0));
    if (p_Image.empty() || p_Image.depth() != CV_8U)
        return counts;
    // Four partial tables keep successive equal pixels from waiting on one counter.
    std::array<std::array<uint32_t, 256>, 4> bins{};
    const int channels = p_Image.channels();
    for (int r = 0; r < p_Image.rows; ++r) {
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
    float* out = counts.ptr<float>(0);
    for (int i = 0; i < 256; ++i)
        out[i] = float(bins[0][i] + bins[1][i] + bins[2][i] + bins[3][i]);
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
    for (int i = 2; i < 256; ++i)
        cv::line(p_Canvas, cv::Point(binWidth * (i - 1), cvRound(float(height) - n[i - 1])),
                 cv::Point(binWidth * i, cvRound(float(height) - n[i])), p_Curve, 2, cv::LINE_AA, 0);
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

QString KV_Histogram::chooseFile(const QString& p_sFilter)
{
    const QString caption = QStringLiteral("Histogram file");
    if (m_Chooser)
        return m_Chooser(this, caption, p_sFilter);
    return QFileDialog::getSaveFileName(this, caption, QString(), p_sFilter);
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
    const QString sName = chooseFile(QStringLiteral("CSV file (*.csv)"));
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
    const QString sName = chooseFile(QStringLiteral("BMP file (*.bmp)"));
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
