// Display conversions: 16-bit frame to 8-bit, Bayer demosaicing, pixel read-out.
#pragma once

#include <opencv2/core.hpp>

#include <cstdint>

// OpenCV colour-conversion code of a BayerMode (1 RG, 2 BG, 3 GB, 4 GR to RGB); -1 for none.
int BayerConversionCode(int p_iBayerCode);

// 8-bit image of rows x cols whose pixel i is the high byte of buffer[i];
// demosaiced into three channels for Bayer codes 1 to 4.
cv::Mat ConvertTo8bit(const uint16_t* p_pBuffer, int p_iRows, int p_iCols, int p_iBayerCode);

// Code 0 (or unknown) returns the input; 1 to 4 a new 3-channel demosaiced image.
cv::Mat DebayerImage(const cv::Mat& p_Image8b, int p_iBayerCode);

// The pixel read-out: position and byte under the pointer, or nothing when
// the pointer is outside the image.
struct PixelReadout
{
    bool Valid = false;
    int X = 0;
    int Y = 0;
    int Value = 0;
};

// Over the scaled image; the position is given back in frame pixels.
PixelReadout ReadoutScaled(const cv::Mat& p_Scaled, int p_iX, int p_iY, double p_dLastDisplayScale);
// Over the full-size image (technical zoom: the position is already in frame pixels).
PixelReadout ReadoutFull(const cv::Mat& p_Full, int p_iX, int p_iY);
