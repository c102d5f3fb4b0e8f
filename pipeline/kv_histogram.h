// The live histogram of the grey display image: its 256 bins, its CSV table, its drawn curve and the label that shows it.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QLabel>
#include <QString>

#include <opencv2/core.hpp>

#include <functional>

// 256 x 1 float bin counts of channel 0 of an 8-bit image; all zero for an
// empty image or one that is not 8-bit.
cv::Mat ComputeGreyHistogram(const cv::Mat& p_Image);
// The count of the fullest bin (the first one when several are equal).
int HistogramMaxBin(const cv::Mat& p_Counts);
// The histogram table: "Pixel Value,Number Pixel", then one line "i,count"
// per bin, the count as a float with 6 significant digits ("1.5e+06").
QByteArray HistogramCsvText(const cv::Mat& p_Counts);
// Normalises p_Counts in place to [1, canvas height] and draws the curve of
// bins 1..255 on the cleared canvas (8-bit, 4 channels).
void DrawHistogramCurve(cv::Mat& p_Counts, cv::Mat& p_Canvas, const cv::Scalar& p_Background,
                        const cv::Scalar& p_Curve);

class KV_Histogram : public QLabel
{
    Q_OBJECT

public:
    // Asks the operator for a file to save to; empty when cancelled.
    using FileChooser = std::function<QString(QWidget* p_pParent, const QString& p_sCaption, const QString& p_sFilter)>;

    explicit KV_Histogram(QWidget* parent = nullptr);

    void computeMaxBin();
    void setBackgroundStyle();
    int getWidgetWidth() const { return widgetWidth; }
    int getWidgetHeight() const { return widgetHeight; }

    // Replaces the save-file dialog (tests); an empty chooser restores it.
    void setFileChooser(FileChooser p_Chooser);
    int maxBinCount() const { return nbPixelMaxHisto; }
    bool isHistogramValid() const { return histogramValid; }
    bool isCsvArmed() const { return saveCsvArmed; }
    bool isBmpArmed() const { return saveBmpArmed; }
    const cv::Mat& canvasImage() const { return canvas; }

signals:
    void updateNbPixelMaxHisto(int);
    void errorHappend(QString, QString);
    void warningHappend(QString, QString);
    void informationHappend(QString, QString);

public slots:
    void setSaveHistogramCSV();
    void setSaveHistogramBMP();
    void calculateHistogram(cv::Mat p_cvMatImage);
    void displayHistogram();
    void resetHistogram();
    void saveHistogramCSV(cv::Mat p_cvMatHisto);
    void saveHistogramBMP(cv::Mat p_cvMatHisto);

private:
    // p_sSuffix goes on a name typed without one.
    QString chooseFile(const QString& p_sFilter, const QString& p_sSuffix);
    void armRequest(bool& p_bFlag);

    bool saveCsvArmed = false;
    bool saveBmpArmed = false;
    bool histogramValid = false;
    int nbPixelMaxHisto = 0;
    int widgetWidth = 224;
    int widgetHeight = 161;
    cv::Mat gridImage;
    cv::Mat histogramCounts;
    cv::Mat canvas;
    QImage displayedImage;
    QImage blankImage;
    int canvasHeight = 400;
    int canvasWidth = 256;
    cv::Scalar gridColour{120, 120, 120, 0};
    cv::Scalar curveColour{39, 86, 178, 255};
    FileChooser m_Chooser;
    // A save dialog is open: timer ticks meanwhile compute nothing, so the
    // still-armed request cannot open a second dialog.
    bool m_bSaving = false;
};
