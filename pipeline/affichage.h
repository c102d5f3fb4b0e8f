// The zoomable main image view: off, cosmetic zoom (fit) and technical zoom (magnified window).
#pragma once

#include "pipeline/log_sink.h"

#include <QLabel>
#include <QPoint>
#include <QPointF>
#include <QSize>
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

// The view's zoom is the number of widget pixels per frame pixel. In the
// technical zoom it is the view width over the side of the zoom window, the
// one magnification the operator chooses (buttons, wheel, setZoom); in the fit
// (cosmetic) zoom and with zoom off it is the display scale the correction
// chain picked for the last frame. The window side is whole frame pixels, so
// a zoom asked for is rounded to the nearest side.
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
    void displayImageScaled();

    // Zoom.
    qreal zoom() const;
    // Technical zoom only (elsewhere the display scale rules): the window keeps
    // its centre, or, with a widget point, the frame pixel under that point
    // stays under it as long as the window does not meet the frame's edge.
    void setZoom(qreal p_dZoom);
    void setZoom(qreal p_dZoom, const QPointF& p_WidgetPoint);
    // The technical zoom's limits: the window spans 11 pixels up to one less than the frame's smaller side.
    qreal minimumZoom() const;
    qreal maximumZoom() const;
    // Fit on enters the cosmetic zoom; fit off leaves it for no zoom (and leaves other modes alone).
    void setZoomToFit(bool p_bFit);
    // The frame pixel under a widget point, as the technical zoom maps it.
    QPoint mapToImage(const QPoint& p_WidgetPoint) const;

    // The zoom window: centre (widget pixels of the click outside the technical
    // zoom, frame pixels inside it), top-left frame pixel, side, and frame rows
    // hidden above the visible part.
    QPoint zoomWindowCentre() const { return QPoint(zoomCentreX, zoomCentreY); }
    QPoint zoomWindowOrigin() const { return QPoint(zoomOriginX, zoomOriginY); }
    int zoomWindowSize() const { return zoomSize; }
    double zoomWindowOffsetY() const { return zoomOffsetY; }
    // Moves the window's centre (frame pixels) and redraws.
    void centreOn(const QPoint& p_Centre);

    // Acquisition start: the view takes the scroll area's size, zooming is
    // allowed, and frames narrower than 1024 pixels start in cosmetic zoom.
    void startAcquisition(int p_iViewWidth, int p_iViewHeight, int p_iFrameWidth);
    // Disconnection: every zoom off, zooming not allowed, the overlay cleared.
    void stopAcquisition();
    // The stop sequence's early step: every zoom flag off and zooming not
    // allowed, without a log line or a button signal (the sequence sets the buttons itself).
    void clearZoomFlags();

    // Mouse zooming allowed (off while a video is recorded and once disconnected).
    bool isZoomAllowed() const { return zoomAllowed; }
    void setZoomAllowed(bool p_bAllowed) { zoomAllowed = p_bAllowed; }

    // Acquisition-thread side: the frame size and the display scale of each frame.
    void setFrameSize(int p_iWidth, int p_iHeight);
    QSize frameSize() const { return QSize(imageWidth.load(), imageHeight.load()); }
    void shiftDisplayScale(double p_dScale);
    bool isCosmeticZoom() const { return cosmeticZoom.load(); }

    bool isOff() const { return !zoomActive; }
    bool isCosmetic() const { return zoomActive && cosmeticZoom.load() && !technicalZoom; }
    bool isTechnical() const { return zoomActive && cosmeticZoom.load() && technicalZoom; }
    // A zoom in force, or a left press in Off waiting for its release.
    bool isZoomActive() const { return zoomActive; }
    // A zoom was started and no left release has followed.
    bool isZoomStarting() const { return zoomStarting; }
    // A left release has happened in the view.
    bool hasBeenReleased() const { return viewReleased; }

    // The pointer for the read-out: widget pixels outside the technical zoom, frame pixels inside it.
    QPoint mouseImagePosition() const { return QPoint(mouseImageX, mouseImageY); }

    // The miniature must show its logo again; taking the request clears it.
    bool isMiniatureResetRequested() const { return miniatureResetRequested; }
    bool takeMiniatureReset();

    const cv::Mat& overlay() const { return zoomImage; }

public slots:
    void zoomMinus();
    void zoomPlus();

signals:
    void DisableInterpolation();
    void EnableInterpolation();
    void ButtonZoomP_Enabled(bool);
    void ButtonZoomM_Enabled(bool);
    // Once per change of zoom(), on the view's thread.
    void zoomChanged(qreal p_dZoom);

protected:
    void mousePressEvent(QMouseEvent* p_pEvent) override;
    void mouseReleaseEvent(QMouseEvent* p_pEvent) override;
    void mouseMoveEvent(QMouseEvent* p_pEvent) override;
    void wheelEvent(QWheelEvent* p_pEvent) override;

private:
    void writeLog(const QString& p_sLine);
    void logCentreAndOrigin();
    void sizeClamp();
    void resizeZoomWindow(int p_iSize);
    void updateZoomOrigin();
    void centerZoomWindowScaled(double p_dScale);
    double verticalOffset() const;
    void applyVerticalOffset();
    QPoint imagePixelAt(const QPoint& p_Widget, double p_dOffsetY) const;
    int windowSizeFor(qreal p_dZoom) const;
    void notifyZoom();

    PipelineLogSink m_Log;
    AffichageImageSource m_Source;
    cv::Mat zoomImage;
    qreal m_dLastZoom = 1.0;

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
};
