// Free functions of the image pipeline that reach the one main window.
#pragma once

#include <opencv2/core.hpp>

// The per-frame FPN step; every frame path calls it just before UpdateDisplay.
void ComputeFPNReference();
// Deep-copies the image into the staged reference of the main window.
void SetMatNewFPNReference(cv::Mat p_Image);
// Header copies sharing the main window's acquisition-side images (for the
// acquisition threads; the view draws from its own GUI-side copies).
cv::Mat GetMatDisplay8b();
cv::Mat GetMatDisplayScaled();
cv::Mat GetMatFPNReference();
// The given 8-bit image through the loaded colour table.
cv::Mat ColorizeWithLUT(cv::Mat p_Image);
