// Free functions that give the one main window's images to code that has no pointer to it.
#pragma once

#include <opencv2/core.hpp>

// Header copies sharing the main window's acquisition-side images (for the
// acquisition threads; the view draws from its own GUI-side copies).
cv::Mat GetMatDisplay8b();
cv::Mat GetMatDisplayScaled();
cv::Mat GetMatFPNReference();
// The given 8-bit image through the loaded colour table.
cv::Mat ColorizeWithLUT(cv::Mat p_Image);
