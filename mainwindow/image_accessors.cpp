// The main window's images for code that reaches the window through the process-wide pointer.
#include "mainwindow/image_accessors.h"

#include "app/globals.h"
#include "mainwindow/MainWindow.h"

cv::Mat GetMatDisplay8b() { return g_pMainWindow ? g_pMainWindow->getMatDisplay8b() : cv::Mat(); }
cv::Mat GetMatDisplayScaled() { return g_pMainWindow ? g_pMainWindow->getMatDisplayScaled() : cv::Mat(); }
cv::Mat GetMatFPNReference() { return g_pMainWindow ? g_pMainWindow->getMatFPNReference() : cv::Mat(); }
cv::Mat ColorizeWithLUT(cv::Mat p_Image)
{
    return g_pMainWindow ? g_pMainWindow->ApplyColorLUT(p_Image) : cv::Mat();
}
