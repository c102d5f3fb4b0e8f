// The miniature beside the main view: the whole frame with a cross at the zoom window.
#pragma once

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <opencv2/core.hpp>

#include <cstdint>

class ImageMiniature : public QLabel
{
    Q_OBJECT

public:
    explicit ImageMiniature(QWidget* p_pParent = nullptr);

    bool isPressed() const { return pressed; }
    bool isReleased() const { return released; }
    uint32_t pointX() const { return selectionX; }
    uint32_t pointY() const { return selectionY; }
    void setPointX(uint32_t p_uX) { selectionX = p_uX; }
    void setPointY(uint32_t p_uY) { selectionY = p_uY; }
    void setMiniLogo();

    uint32_t miniWidth = 180;
    uint32_t miniHeight = 135;
    uint32_t selectionX = 50;
    uint32_t selectionY = 50;
    bool pressed = false;
    bool released = false;

protected:
    void mousePressEvent(QMouseEvent* p_pEvent) override;
    void mouseReleaseEvent(QMouseEvent* p_pEvent) override;
    void mouseMoveEvent(QMouseEvent* p_pEvent) override;
};

// Geometry the cross is drawn from.
struct MiniatureCrossGeometry
{
    double DisplayScale = 1.0;
    uint32_t SelectionX = 0;
    uint32_t SelectionY = 0;
    int ViewWidth = 1;   // current size of the main view widget
    int ViewHeight = 1;
    int FrameWidth = 0;  // running acquisition
    int FrameHeight = 0;
    uint32_t MiniWidth = 180;
    uint32_t MiniHeight = 135;
};

// A copy of the picture with the cross: two arms of 61 pixels, three thick,
// black in the middle (-10..9) and white at the ends.
QImage PrintCrossMini(const QImage& p_Picture, const MiniatureCrossGeometry& p_Geometry);

// The miniature's pixmap from the scaled display copy: cross drawn in, scaled
// to the miniature's height.
QPixmap MiniaturePixmap(const cv::Mat& p_ScaledCopy, const MiniatureCrossGeometry& p_Geometry);
