// Display conversions: 16-bit frame to 8-bit, Bayer demosaicing, pixel read-out.
#include "pipeline/display_preparation.h"

#include <opencv2/imgproc.hpp>

int BayerConversionCode(int p_iBayerCode)
{
    switch (p_iBayerCode) {
    case 1: return cv::COLOR_BayerRG2RGB;
    case 2: return cv::COLOR_BayerBG2RGB;
    case 3: return cv::COLOR_BayerGB2RGB;
    case 4: return cv::COLOR_BayerGR2RGB;
    default: return -1;
    }
}

cv::Mat ConvertTo8bit(const uint16_t* p_pBuffer, int p_iRows, int p_iCols, int p_iBayerCode)
{
    if (!p_pBuffer || p_iRows <= 0 || p_iCols <= 0)
        return cv::Mat();
    cv::Mat grey(p_iRows, p_iCols, CV_8UC1);
    uint8_t* d = grey.ptr<uint8_t>(0);
    const size_t n = size_t(p_iRows) * size_t(p_iCols);
    for (size_t i = 0; i < n; ++i)
        d[i] = uint8_t(p_pBuffer[i] >> 8);
    return DebayerImage(grey, p_iBayerCode);
}

cv::Mat DebayerImage(const cv::Mat& p_Image8b, int p_iBayerCode)
{
    const int code = BayerConversionCode(p_iBayerCode);
    if (code < 0 || p_Image8b.empty() || p_Image8b.type() != CV_8UC1)
        return p_Image8b;
    cv::Mat colour;
    cv::cvtColor(p_Image8b, colour, code);
    return colour;
}

PixelReadout ReadoutScaled(const cv::Mat& p_Scaled, int p_iX, int p_iY, double p_dLastDisplayScale)
{
    PixelReadout r;
    if (p_Scaled.empty() || p_Scaled.type() != CV_8UC1 || p_iX < 0 || p_iY < 0 || p_iX >= p_Scaled.cols
        || p_iY >= p_Scaled.rows || !(p_dLastDisplayScale > 0.0))
        return r;
    r.Valid = true;
    r.X = int(p_iX / p_dLastDisplayScale);
    r.Y = int(p_iY / p_dLastDisplayScale);
    r.Value = p_Scaled.at<uint8_t>(p_iY, p_iX);
    return r;
}

PixelReadout ReadoutFull(const cv::Mat& p_Full, int p_iX, int p_iY)
{
    PixelReadout r;
    if (p_Full.empty() || p_Full.type() != CV_8UC1 || p_iX < 0 || p_iY < 0 || p_iX >= p_Full.cols
        || p_iY >= p_Full.rows)
        return r;
    r.Valid = true;
    r.X = p_iX;
    r.Y = p_iY;
    r.Value = p_Full.at<uint8_t>(p_iY, p_iX);
    return r;
}
