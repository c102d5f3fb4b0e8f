// The zoomable main image view: off, cosmetic zoom (fit) and technical zoom (magnified window).
#pragma once

#include "pipeline/log_sink.h"

#include <QLabel>
#include <opencv2/core.hpp>

#include <atomic>
#include <functional>

class KV_Log;

// What the view draws from. The main window fills these with its GUI-side
// images, so that a redraw from a mouse event never reads an image that the
// acquisition thread is writing.
struct AffichageImageSource
{
    std::function<int()> FrameCounter;              // -1: nothing shown since the display reset
    std::function<cv::Mat()> DisplayScaled;          // the scaled 8-bit display image
    std::function<cv::Mat()> Display8b;              // the full-size 8-bit display image
    std::function<bool()> LutActive;
    std::function<cv::Mat(const cv::Mat&)> Colorize; // 8-bit grey to RGB through the colour table
};

class Affichage : public QLabel
{
    Q_OBJECT

public:
    explicit Affichage(QWidget* p_pParent = nullptr);
    ~Affichage() override;

    // The view writes its zoom lines to this log (the main window's, once it is open).
    void setLog(KV_Log* p_pLog);
    void setLogSink(PipelineLogSink p_Sink);
    void setImageSource(AffichageImageSource p_Source);

    void initOverlay(int p_iPitchBytes, int p_iHeight);
    void clearOverlay();
    void enableCosmeticZoom();
    void disableZoom();
    void zoomMinus();
    void zoomPlus();
    void updateZoomOrigin();
    void centerZoomWindowScaled(double p_dScale);
    void displayImageScaled();

    // Acquisition start: the view takes the scroll area's size, zooming is
    // allowed, and frames narrower than 1024 pixels start in cosmetic zoom.
    void startAcquisition(int p_iViewWidth, int p_iViewHeight, int p_iFrameWidth);
    // Disconnection: every zoom off, zooming not allowed, the overlay cleared.
    void stopAcquisition();

    // Acquisition-thread side: the frame size and the display scale of each frame.
    void setFrameSize(int p_iWidth, int p_iHeight);
    void shiftDisplayScale(double p_dScale);
    bool isCosmeticZoom() const { return cosmeticZoom.load(); }

    bool isOff() const { return !zoomActive; }
    bool isCosmetic() const { return zoomActive && cosmeticZoom.load() && !technicalZoom; }
    bool isTechnical() const { return zoomActive && cosmeticZoom.load() && technicalZoom; }

    const cv::Mat& overlay() const { return zoomImage; }

    // State, named as the display slot and the miniature exchange it.
    int zoomCentreX = -1;
    int zoomCentreY = -1;
    int zoomSize = 201;
    std::atomic<int> imageWidth{80};
    std::atomic<int> imageHeight{80};
    int zoomMax = 80;
    int zoomOriginX = 0;
    int zoomOriginY = 0;
    int mouseImageX = 0;
    int mouseImageY = 0;
    double zoomOffsetY = 0.0;
    std::atomic<double> previousDisplayScale{1.0};
    std::atomic<double> displayScale{1.0};
    int viewWidth = 1;
    int viewHeight = 1;
    bool zoomAllowed = false;
    bool zoomStarting = false;
    bool viewReleased = false;
    bool zoomActive = false;
    bool miniatureResetRequested = false;
    std::atomic<bool> cosmeticZoom{false};
    bool technicalZoom = false;
    bool technicalZoomPlaced = false;

signals:
    void DisableInterpolation();
    void EnableInterpolation();
    void ButtonZoomP_Enabled(bool);
    void ButtonZoomM_Enabled(bool);

protected:
    void mousePressEvent(QMouseEvent* p_pEvent) override;
    void mouseReleaseEvent(QMouseEvent* p_pEvent) override;
    void mouseMoveEvent(QMouseEvent* p_pEvent) override;
    void wheelEvent(QWheelEvent* p_pEvent) override;

private:
    void writeLog(const QString& p_sLine);
    void logCentreAndOrigin();
    void sizeClamp();
    void applyVerticalOffset();
    void imagePixelAt(int p_iX, int p_iY, int& p_iImageX, int& p_iImageY) const;

    PipelineLogSink m_Log;
    AffichageImageSource m_Source;
    cv::Mat zoomImage;
};
