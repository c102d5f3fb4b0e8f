// The advanced histogram window: grey or colour 256-bin histogram of the display image, moving average, tracking line, PNG and CSV exports.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <opencv2/core.hpp>

#include <functional>

class QCloseEvent;
class QMouseEvent;

namespace Ui {
class Window_Histogram;
}

class Window_Histogram : public QWidget
{
    Q_OBJECT

public:
    // Asks the operator for a file to save to; empty when cancelled.
    using FileChooser = std::function<QString(QWidget* p_pParent, const QString& p_sCaption, const QString& p_sFilter)>;

    explicit Window_Histogram(QWidget* parent = nullptr);
    ~Window_Histogram() override;

    Ui::Window_Histogram* ui = nullptr;

    bool isCalculating() const { return Calculating; }
    // Replaces the save-file dialog (tests); an empty chooser restores it.
    void setFileChooser(FileChooser p_Chooser) { m_Chooser = std::move(p_Chooser); }
    // Deletes the window once no calculation is under way (a save dialog can
    // be open inside one); at once otherwise, deferred to the event loop.
    void disposeWhenIdle();

    // State the calculation and the controls share (read by tests).
    bool FilterEnabled = false;
    bool Calculating = false;
    bool RgbMode = false;
    bool MousePressed = false;
    bool TrackingLineEnabled = true;
    bool SavePngRequested = false;
    bool SaveCsvRequested = false;
    int BackgroundWidth = 1024;
    int BackgroundHeight = 768;
    int BinCount = 256;
    int PlotHeight = 768;
    int PlotWidth = 1024;
    int BinWidth = 4;
    int TrackingX = 0;
    int FilterStep = 1;
    cv::Mat BackgroundImage;
    cv::Mat GreyHistogram;
    cv::Mat GreyHistogramScaled;
    cv::Mat RedHistogramScaled;
    cv::Mat GreenHistogramScaled;
    cv::Mat BlueHistogramScaled;
    cv::Mat RedHistogram;
    cv::Mat GreenHistogram;
    cv::Mat BlueHistogram;
    cv::Mat GreyPlot;
    cv::Mat RgbPlot;
    cv::Mat GreyPlotShown;
    cv::Mat RgbPlotShown;
    QImage PlotImage;

signals:
    void CloseWindow();

public slots:
    void calculateHistogram(cv::Mat p_cvMatImage, cv::Mat p_cvMatImageRGB);
    void Enable_RGBHistogram_Option(bool p_bEnable);
    void CheckBox_DisableTrackingLine();
    void CheckBox_RGBHistogram();
    void CheckBox_FilterEnabled();
    void SpinBox_FilterStep_ValueChanged(int p_iValue);
    void PushButton_SaveHistogramPNG();
    void PushButton_SaveHistogramCSV();

protected:
    void mousePressEvent(QMouseEvent* p_pEvent) override;
    void mouseReleaseEvent(QMouseEvent* p_pEvent) override;
    void mouseMoveEvent(QMouseEvent* p_pEvent) override;
    void closeEvent(QCloseEvent* p_pEvent) override;

private:
    QImage drawGreyHistogram(cv::Mat p_Image, QImage p_Plot);
    QImage drawRgbHistogram(cv::Mat p_Image, QImage p_Plot);
    cv::Mat drawChannelCurve(cv::Mat p_Plot, cv::Mat p_Scaled, int p_iStep, int p_iChannel);
    void saveHistogramPng();
    void saveHistogramCsvGrey(cv::Mat p_Histogram);
    void saveHistogramCsvRgb(cv::Mat p_Red, cv::Mat p_Green, cv::Mat p_Blue);
    void setPlotBackground();
    void setTrackingLinePosition();
    void updateTrackingReadout();
    void trackMouse(QMouseEvent* p_pEvent);
    void showPlot(const cv::Mat& p_Plot);
    // The save dialog of an export; empty when the operator cancelled.
    // p_sSuffix goes on a name typed without one.
    QString chooseFile(QWidget* p_pParent, const QString& p_sFilter, const QString& p_sSuffix);
    void reportUnusableFile();
    bool writeCsv(const QByteArray& p_Text);

    FileChooser m_Chooser;
    bool m_bDisposeWhenIdle = false;
};
