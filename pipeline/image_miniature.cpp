// The miniature beside the main view: the whole frame with a cross at the zoom window.
#include "pipeline/image_miniature.h"

#include "app/app_paths.h"

#include <QColor>
#include <QMouseEvent>

ImageMiniature::ImageMiniature(QWidget* p_pParent) : QLabel(p_pParent)
{
    setMiniLogo();
}

void ImageMiniature::setMiniLogo()
{
    // The whole logo, fitted to the miniature's size (the picture may be drawn larger).
    const QPixmap logo(ApplicationDirPath() + "/Images/Logos/" + "Logo_mini.png");
    if (logo.isNull()) {
        setPixmap(logo);
        return;
    }
    setPixmap(logo.scaled(int(miniWidth), int(miniHeight), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void ImageMiniature::mousePressEvent(QMouseEvent* p_pEvent)
{
    if (p_pEvent->button() != Qt::LeftButton)
        return;
    selectionX = uint32_t(std::max(p_pEvent->x(), 0));
    selectionY = uint32_t(std::max(p_pEvent->y(), 0));
    pressed = true;
}

void ImageMiniature::mouseReleaseEvent(QMouseEvent*)
{
    pressed = false;
    released = true;
}

void ImageMiniature::mouseMoveEvent(QMouseEvent* p_pEvent)
{
    if (p_pEvent->type() != QEvent::MouseMove || !pressed)
        return;
    selectionX = uint32_t(std::max(p_pEvent->x(), 0));
    selectionY = uint32_t(std::max(p_pEvent->y(), 0));
}

QImage PrintCrossMini(const QImage& p_Picture, const MiniatureCrossGeometry& g)
{
    QImage out = p_Picture.copy();
    if (out.isNull() || g.MiniWidth == 0 || g.MiniHeight == 0)
        return out;
    const int X = int(g.DisplayScale * g.SelectionX * g.ViewWidth / g.MiniWidth);
    const double Yd = g.DisplayScale * g.SelectionY * g.ViewHeight / g.MiniHeight;
    const int Y = int(Yd);
    const QColor black(0, 0, 0, 255);
    const QColor white(255, 255, 255, 255);
    auto put = [&out](int x, int y, const QColor& c) {
        if (x >= 0 && y >= 0 && x < out.width() && y < out.height())
            out.setPixelColor(x, y, c);
    };
    for (int i = -30; i <= 30; ++i) {
        const QColor& c = (i >= -10 && i <= 9) ? black : white;
        if (X + i >= 0 && X + i < g.FrameWidth && Yd > 1 && Yd < g.FrameHeight - 1)
            for (int dy = -1; dy <= 1; ++dy)
                put(X + i, Y + dy, c);
    }
    for (int i = -30; i <= 30; ++i) {
        const QColor& c = (i >= -10 && i <= 9) ? black : white;
        if (Y + i >= 0 && Y + i < g.FrameHeight && X > 1 && X < g.FrameWidth - 1)
            for (int dx = -1; dx <= 1; ++dx)
                put(X + dx, Y + i, c);
    }
    return out;
}

QPixmap MiniaturePixmap(const cv::Mat& p_ScaledCopy, const MiniatureCrossGeometry& p_Geometry)
{
    if (p_ScaledCopy.empty() || p_ScaledCopy.type() != CV_8UC1)
        return QPixmap();
    const QImage picture(p_ScaledCopy.data, p_ScaledCopy.cols, p_ScaledCopy.rows, int(p_ScaledCopy.step),
                         QImage::Format_Grayscale8);
    const QImage crossed = PrintCrossMini(picture, p_Geometry);
    return QPixmap::fromImage(crossed).scaledToHeight(int(p_Geometry.MiniHeight), Qt::FastTransformation);
}
