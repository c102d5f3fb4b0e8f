// The zoomable main image view: off, cosmetic zoom (fit) and technical zoom (magnified window).
#include "pipeline/affichage.h"

#include "app/app_paths.h"
#include "app/kv_log.h"
#include "app/thread_call.h"

#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

bool IsUsableZoom(qreal p_dZoom) { return std::isfinite(p_dZoom) && p_dZoom > 0.0; }

} // namespace

Affichage::Affichage(QWidget* p_pParent) : QLabel(p_pParent)
{
    setPixmap(QPixmap(ApplicationDirPath() + "/Images/Logos/" + "Logo.png"));
}

Affichage::~Affichage() = default;

void Affichage::setLogSink(PipelineLogSink p_Sink) { m_Log = std::move(p_Sink); }

void Affichage::setLog(KV_Log* p_pLog)
{
    if (!p_pLog) {
        m_Log = nullptr;
        return;
    }
    m_Log = [p_pLog](const QString& p_sLine) { p_pLog->writeLine(p_sLine); };
}
void Affichage::setImageSource(AffichageImageSource p_Source) { m_Source = std::move(p_Source); }

void Affichage::writeLog(const QString& p_sLine)
{
    if (m_Log)
        m_Log(p_sLine);
}

void Affichage::initOverlay(int p_iPitchBytes, int p_iHeight)
{
    const int cols = std::max(p_iPitchBytes / 2, 0);
    const int rows = std::max(p_iHeight, 0);
    if (zoomImage.rows != rows || zoomImage.cols != cols || zoomImage.type() != CV_8UC1)
        zoomImage = cv::Mat(rows, cols, CV_8UC1);
    zoomImage.setTo(0);
}

void Affichage::clearOverlay()
{
    if (!zoomImage.empty())
        zoomImage.setTo(0);
}

void Affichage::setFrameSize(int p_iWidth, int p_iHeight)
{
    imageWidth.store(p_iWidth);
    imageHeight.store(p_iHeight);
}

void Affichage::shiftDisplayScale(double p_dScale)
{
    const double last = displayScale.load();
    previousDisplayScale.store(last);
    displayScale.store(p_dScale);
    if (p_dScale == last)
        return;
    // The zoom state belongs to the GUI thread: from a frame thread the check goes there.
    CallOnThreadOf(this, [this] { notifyZoom(); });
}

qreal Affichage::zoom() const
{
    if (isTechnical())
        return qreal(std::max(viewWidth, 1)) / qreal(std::max(zoomSize, 1));
    return displayScale.load();
}

void Affichage::notifyZoom()
{
    const qreal current = zoom();
    if (current == m_dLastZoom)
        return;
    m_dLastZoom = current;
    emit zoomChanged(current);
}

// The window sides the size clamp lets through, as a zoom.
qreal Affichage::minimumZoom() const
{
    const int largest = zoomMax - 1 < 11 ? std::max(zoomMax, 1) : zoomMax - 1;
    return qreal(std::max(viewWidth, 1)) / qreal(largest);
}

qreal Affichage::maximumZoom() const
{
    const int smallest = zoomMax - 1 < 11 ? std::max(zoomMax, 1) : 11;
    return qreal(std::max(viewWidth, 1)) / qreal(smallest);
}

int Affichage::windowSizeFor(qreal p_dZoom) const
{
    return int(std::lround(qreal(std::max(viewWidth, 1)) / p_dZoom));
}

void Affichage::setZoom(qreal p_dZoom)
{
    if (!isTechnical() || !IsUsableZoom(p_dZoom))
        return;
    resizeZoomWindow(windowSizeFor(p_dZoom));
}

void Affichage::setZoom(qreal p_dZoom, const QPointF& p_WidgetPoint)
{
    if (!isTechnical() || !IsUsableZoom(p_dZoom))
        return;
    const QPoint point(int(p_WidgetPoint.x()), int(p_WidgetPoint.y()));
    const QPoint held = mapToImage(point);
    zoomSize = windowSizeFor(p_dZoom);
    sizeClamp();
    // The origin that maps the point back onto the held pixel, for a window
    // clear of the frame's edges (the offset of a centred window).
    const int vw = std::max(viewWidth, 1);
    const int originX = held.x() - point.x() * zoomSize / vw;
    const double rows = double(float(point.y()) * float(zoomSize) / float(vw));
    const float visible = float(viewHeight) * float(zoomSize) / float(vw);
    const double offset = double((float(zoomSize) - visible) * 0.5f);
    // Both terms come from single precision, so their sums with a row number are exact in double.
    const int originY = held.y() - int(std::floor(rows + offset));
    const int half = zoomSize / 2;
    zoomCentreX = originX + half;
    zoomCentreY = originY + half;
    updateZoomOrigin();
    // At an edge the window stops: the centre follows the window that is shown.
    zoomCentreX = zoomOriginX + half;
    zoomCentreY = zoomOriginY + half;
    displayImageScaled();
    notifyZoom();
}

void Affichage::setZoomToFit(bool p_bFit)
{
    if (p_bFit)
        enableCosmeticZoom();
    else if (isCosmetic())
        disableZoom();
}

QPoint Affichage::mapToImage(const QPoint& p_WidgetPoint) const
{
    if (!isTechnical())
        return p_WidgetPoint;
    return imagePixelAt(p_WidgetPoint, verticalOffset());
}

void Affichage::centreOn(const QPoint& p_Centre)
{
    zoomCentreX = p_Centre.x();
    zoomCentreY = p_Centre.y();
    updateZoomOrigin();
    displayImageScaled();
}

bool Affichage::takeMiniatureReset()
{
    const bool requested = miniatureResetRequested;
    miniatureResetRequested = false;
    return requested;
}

void Affichage::enableCosmeticZoom()
{
    writeLog("Cosmetic zoom enabled");
    zoomStarting = true;
    zoomMax = std::min(imageWidth.load(), imageHeight.load());
    zoomActive = true;
    cosmeticZoom.store(true);
    technicalZoom = false;
    // Entered afresh: the next click places a new technical window where it lands.
    technicalZoomPlaced = false;
    zoomSize = zoomMax / 4 + 1;
    emit EnableInterpolation();
    notifyZoom();
}

void Affichage::disableZoom()
{
    writeLog("All zoom display disabled");
    zoomCentreX = 40;
    zoomCentreY = 40;
    zoomSize = 11;
    zoomActive = false;
    // The technical flag goes first: the acquisition side never sees it without the cosmetic one.
    technicalZoom = false;
    cosmeticZoom.store(false);
    miniatureResetRequested = true;
    emit DisableInterpolation();
    emit ButtonZoomM_Enabled(false);
    emit ButtonZoomP_Enabled(false);
    notifyZoom();
}

void Affichage::sizeClamp()
{
    if (!isTechnical())
        return;
    if (zoomMax - 1 < 11) {
        // A frame under 12 pixels leaves no size between the limits: show all of it.
        zoomSize = std::max(zoomMax, 1);
        emit ButtonZoomM_Enabled(false);
        emit ButtonZoomP_Enabled(false);
    } else if (zoomSize <= 11) {
        zoomSize = 11;
        emit ButtonZoomM_Enabled(true);
        emit ButtonZoomP_Enabled(false);
    } else if (zoomSize >= zoomMax) {
        zoomSize = zoomMax - 1;
        emit ButtonZoomM_Enabled(false);
        emit ButtonZoomP_Enabled(true);
    } else {
        emit ButtonZoomM_Enabled(true);
        emit ButtonZoomP_Enabled(true);
    }
}

void Affichage::resizeZoomWindow(int p_iSize)
{
    zoomSize = p_iSize;
    sizeClamp();
    updateZoomOrigin();
    displayImageScaled();
    notifyZoom();
}

void Affichage::zoomMinus() { resizeZoomWindow(zoomSize + 10); }

void Affichage::zoomPlus() { resizeZoomWindow(zoomSize - 10); }

void Affichage::updateZoomOrigin()
{
    const int half = zoomSize / 2;
    const int w = imageWidth.load();
    const int h = imageHeight.load();
    zoomOriginX = std::max(zoomCentreX - half, 0);
    zoomOriginY = std::max(zoomCentreY - half, 0);
    if (zoomCentreX + half >= w)
        zoomOriginX = w - zoomSize;
    if (zoomCentreY + half >= h)
        zoomOriginY = h - zoomSize;
}

void Affichage::centerZoomWindowScaled(double p_dScale)
{
    if (!(p_dScale > 0.0))
        p_dScale = 1.0;
    const double cx = zoomCentreX / p_dScale;
    const double cy = zoomCentreY / p_dScale;
    const int half = zoomSize / 2;
    zoomOriginX = (cx - half < 0) ? 0 : int(cx - half);
    zoomOriginY = (cy - half < 0) ? 0 : int(cy - half);
    if (cx + half >= imageWidth.load())
        zoomOriginX = imageWidth.load() - zoomSize;
    if (cy + half >= imageHeight.load())
        zoomOriginY = imageHeight.load() - zoomSize;
    zoomCentreX = zoomOriginX + half;
    zoomCentreY = zoomOriginY + half;
}

double Affichage::verticalOffset() const
{
    const float visible = float(viewHeight) * float(zoomSize) / float(std::max(viewWidth, 1));
    if (zoomOriginY + zoomSize >= imageHeight.load())
        return double(float(zoomSize) - visible);
    if (zoomOriginY == 0)
        return 0.0;
    return double((float(zoomSize) - visible) * 0.5f);
}

void Affichage::applyVerticalOffset() { zoomOffsetY = verticalOffset(); }

QPoint Affichage::imagePixelAt(const QPoint& p_Widget, double p_dOffsetY) const
{
    const int vw = std::max(viewWidth, 1);
    const float rows = float(p_Widget.y()) * float(zoomSize) / float(vw);
    return QPoint(p_Widget.x() * zoomSize / vw + zoomOriginX, int(double(rows) + zoomOriginY + p_dOffsetY));
}

void Affichage::logCentreAndOrigin()
{
    writeLog("xCenter = " + QString::number(zoomCentreX) + " - yCenter = " + QString::number(zoomCentreY));
    writeLog("xOrigin = " + QString::number(zoomOriginX) + " - yOrigin = " + QString::number(zoomOriginY));
}

void Affichage::mousePressEvent(QMouseEvent* p_pEvent)
{
    if (p_pEvent->button() == Qt::LeftButton && !zoomActive && zoomAllowed) {
        zoomStarting = true;
        zoomMax = std::min(imageWidth.load(), imageHeight.load());
        zoomSize = zoomMax / 4 + 1;
        zoomCentreX = p_pEvent->x();
        zoomCentreY = p_pEvent->y();
        displayImageScaled();
        zoomActive = true;
    } else if (p_pEvent->buttons() == Qt::RightButton && zoomActive && zoomAllowed) {
        disableZoom();
    }
}

void Affichage::mouseReleaseEvent(QMouseEvent* p_pEvent)
{
    if (p_pEvent->button() != Qt::LeftButton || !zoomActive)
        return;
    if (cosmeticZoom.load()) {
        technicalZoom = true;
        emit DisableInterpolation();
    } else {
        writeLog("Cosmetic zoom enabled");
        technicalZoomPlaced = false;
        technicalZoom = false;
        emit EnableInterpolation();
    }
    const int ex = std::max(p_pEvent->x(), 0);
    const int ey = std::max(p_pEvent->y(), 0);
    if (technicalZoom) {
        if (!technicalZoomPlaced) {
            writeLog("Technical zoom enabled");
            zoomOriginX = 0;
            zoomOriginY = 0;
            zoomCentreX = ex;
            zoomCentreY = ey;
            centerZoomWindowScaled(previousDisplayScale.load());
            technicalZoomPlaced = true;
        } else {
            writeLog("Technical zoom refreshed");
            updateZoomOrigin();
            applyVerticalOffset();
            const QPoint pixel = imagePixelAt(p_pEvent->pos(), zoomOffsetY);
            zoomCentreX = std::max(pixel.x(), 0);
            zoomCentreY = std::max(pixel.y(), 0);
            updateZoomOrigin();
        }
        logCentreAndOrigin();
        writeLog("Zoom Rectangle in pixel: " + QString::number(zoomSize));
    } else {
        zoomCentreX = ex;
        zoomCentreY = ey;
        logCentreAndOrigin();
        technicalZoomPlaced = false;
    }
    displayImageScaled();
    cosmeticZoom.store(true);
    sizeClamp();
    zoomStarting = false;
    viewReleased = true;
    notifyZoom();
}

void Affichage::mouseMoveEvent(QMouseEvent* p_pEvent)
{
    if (p_pEvent->type() != QEvent::MouseMove)
        return;
    if (!zoomActive || !technicalZoom) {
        mouseImageX = p_pEvent->x();
        mouseImageY = p_pEvent->y();
    } else {
        applyVerticalOffset();
        const QPoint pixel = imagePixelAt(p_pEvent->pos(), zoomOffsetY);
        mouseImageX = pixel.x();
        mouseImageY = pixel.y();
    }
}

void Affichage::wheelEvent(QWheelEvent* p_pEvent)
{
    if (!zoomActive || !technicalZoom)
        return;
    const int d = p_pEvent->angleDelta().y();
    const int step = (2 * (d / 8)) / 3;
    const int size = zoomSize - step;
    // The size is logged before the clamp.
    if (d < 0)
        writeLog("Wheel un-zoom: " + QString::number(size));
    else if (d > 0)
        writeLog("Wheel zoom: " + QString::number(size));
    resizeZoomWindow(size);
    applyVerticalOffset();
    const QPointF pos = p_pEvent->position();
    const QPoint pixel = imagePixelAt(QPoint(int(pos.x()), int(pos.y())), zoomOffsetY);
    mouseImageX = pixel.x();
    mouseImageY = pixel.y();
}

void Affichage::displayImageScaled()
{
    if (!m_Source.FrameCounter || m_Source.FrameCounter() == -1)
        return;
    if (isCosmetic()) {
        if (!m_Source.DisplayScaled)
            return;
        zoomImage = m_Source.DisplayScaled().clone();
        if (zoomImage.empty() || zoomImage.type() != CV_8UC1)
            return;
        const QImage picture(zoomImage.data, zoomImage.cols, zoomImage.rows, int(zoomImage.step),
                             QImage::Format_Grayscale8);
        setPixmap(QPixmap::fromImage(picture));
        setScaledContents(true);
        return;
    }
    if (!isTechnical() || !m_Source.Display8b)
        return;
    zoomImage = m_Source.Display8b().clone();
    if (zoomImage.empty() || zoomImage.type() != CV_8UC1)
        return;
    // The window is cut inside the frame whatever the origin says, so a size
    // or centre that overshoots never reads outside the image.
    const cv::Rect window = cv::Rect(zoomOriginX, zoomOriginY, zoomSize, zoomSize)
                            & cv::Rect(0, 0, zoomImage.cols, zoomImage.rows);
    if (window.area() <= 0)
        return;
    QPixmap pixmap;
    if (m_Source.LutActive && m_Source.LutActive() && m_Source.Colorize) {
        const cv::Mat colour = m_Source.Colorize(zoomImage);
        if (colour.empty() || colour.type() != CV_8UC3)
            return;
        const cv::Mat cut = colour(window).clone();
        const QImage picture(cut.data, cut.cols, cut.rows, int(cut.step), QImage::Format_RGB888);
        pixmap = QPixmap::fromImage(picture);
    } else {
        zoomImage = zoomImage(window).clone();
        const QImage picture(zoomImage.data, zoomImage.cols, zoomImage.rows, int(zoomImage.step),
                             QImage::Format_Grayscale8);
        pixmap = QPixmap::fromImage(picture);
    }
    setPixmap(pixmap.scaled(viewWidth, viewHeight, Qt::KeepAspectRatioByExpanding, Qt::FastTransformation));
    if (zoomOriginY == 0) {
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
    } else if (zoomOriginY + zoomSize >= imageHeight.load()) {
        setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    } else {
        setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        setScaledContents(false);
    }
}

void Affichage::startAcquisition(int p_iViewWidth, int p_iViewHeight, int p_iFrameWidth)
{
    viewWidth = std::max(p_iViewWidth, 1);
    viewHeight = std::max(p_iViewHeight, 1);
    zoomAllowed = true;
    if (p_iFrameWidth < 1024)
        enableCosmeticZoom();
    notifyZoom();
}

void Affichage::stopAcquisition()
{
    writeLog("Disabling all zoom on the image");
    zoomActive = false;
    technicalZoom = false;
    cosmeticZoom.store(false);
    // A window placed in this acquisition means nothing to the next one.
    technicalZoomPlaced = false;
    miniatureResetRequested = true;
    emit ButtonZoomM_Enabled(false);
    emit ButtonZoomP_Enabled(false);
    clearOverlay();
    zoomAllowed = false;
    notifyZoom();
}

void Affichage::clearZoomFlags()
{
    zoomActive = false;
    zoomAllowed = false;
    technicalZoom = false;
    cosmeticZoom.store(false);
    technicalZoomPlaced = false;
    notifyZoom();
}
