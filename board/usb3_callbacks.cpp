// The USB3 board's frame callbacks on the capture thread, and the Z1641 two-tap de-interleave.
#include "board/usb3_callbacks.h"

#include "board/acquisition_state.h"

#include "app/app_paths.h"
#include "app/globals.h"
#include "mainwindow/MainWindow.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/mainwindow_pipeline.h"
#include "usb3lib/Quenlin.h"

#include <opencv2/imgcodecs.hpp>

#include <cstdio>
#include <cstring>

bool DeinterleaveTwoTap(const uint16_t* p_pSource, size_t p_uSourceBytes, uint16_t* p_pOut, size_t p_uOutElements)
{
    constexpr size_t outWidth = TwoTapSourceWidth / 2;
    if (!p_pSource || !p_pOut || p_uSourceBytes < TwoTapSourceBytes
        || p_uOutElements < size_t(TwoTapSourceLines) * TwoTapSourceWidth)
        return false;
    for (int j = 0; j < TwoTapSourceLines; ++j) {
        const uint16_t* pIn = p_pSource + size_t(j) * TwoTapSourceWidth;
        uint16_t* pEven = p_pOut + size_t(2 * j) * outWidth;
        uint16_t* pOdd = pEven + outWidth;
        for (size_t m = 0; m < outWidth; ++m) {
            pEven[m] = pIn[2 * m];
            pOdd[m] = pIn[2 * m + 1];
        }
    }
    return true;
}

namespace {

// One frame of a save-all run (the frame has passed the FPN step).
void SaveUsbFrame(MainWindow* p_pWindow, int p_iPitch, int p_iHeight)
{
    const int count = p_pWindow->NumberFrames;
    auto endOfRun = [&]() {
        if (count != 0 && g_iSaveAllFramesCount == count) {
            g_iSaveAllFramesCount = 0;
            // Widgets and boxes belong to the GUI thread.
            if (!CallSlotIfPresent(p_pWindow, "StopSaveAllFrames", true))
                p_pWindow->SaveAllFramesRunning = false;
            return true;
        }
        return false;
    };
    char szName[500];
    const QByteArray dir = ApplicationDirPath().toUtf8();
    if (p_pWindow->SaveAllFramesAsBmp) {
        if (endOfRun())
            return;
        ++g_iSaveAllFramesCount;
        const int index = ++g_iSaveAllFramesFileIndex;
        // The BMP is this frame's: its 8-bit image, made here rather than
        // taken from whatever the display showed last.
        const size_t pixels = size_t(p_iPitch) * size_t(p_iHeight) / 2;
        cv::Mat image(p_iHeight, p_iPitch / 2, CV_8UC1);
        uint8_t* pOut = image.ptr<uint8_t>(0);
        for (size_t i = 0; i < pixels; ++i)
            pOut[i] = uint8_t(g_pRawImage16b[i] >> 8);
        std::snprintf(szName, sizeof szName, "%s/../SavedImages/%s/ImageAcquired%d.bmp", dir.constData(),
                      g_szProxyName, index);
        cv::imwrite(szName, image);
    } else if (p_pWindow->SaveAllFramesAsRaw) {
        if (endOfRun())
            return;
        std::snprintf(szName, sizeof szName, "%s/../SavedImages/%s/ImageAcquired%d.raw", dir.constData(),
                      g_szProxyName, g_iSaveAllFramesFileIndex.load());
        ++g_iSaveAllFramesFileIndex;
        ++g_iSaveAllFramesCount;
        if (FILE* pFile = std::fopen(szName, "wb")) {
            std::fwrite(g_pRawImage16b, 1, size_t(p_iPitch) * size_t(p_iHeight), pFile);
            std::fclose(pFile);
        }
    }
}

} // namespace

extern "C" void OnUsbFrameReady(unsigned short* p_pPixels, unsigned int* p_pLengthBytes)
{
    MainWindow* pWindow = g_pMainWindow;
    if (!pWindow)
        return;
    const int height = pWindow->FrameHeight;
    const int pitch = pWindow->FramePitch;
    ++pWindow->FramesAcquired;
    const size_t frameBytes = size_t(std::max(height, 0)) * size_t(std::max(pitch, 0));
    const size_t lengthBytes = p_pLengthBytes ? size_t(*p_pLengthBytes) : 0;
    // No acquisition buffers (before Init or after Deinit) or a frame shorter
    // than the geometry: the pipeline would read past its end.
    if (!p_pPixels || frameBytes == 0 || AllocatedRawFrameElements() == 0 || lengthBytes < frameBytes) {
        ++pWindow->ShortFramesDropped;
        return;
    }
    if (std::strcmp(g_szProxyName, "Z1641") == 0) {
        if (!DeinterleaveTwoTap(p_pPixels, lengthBytes, AllocatedRawFrameBuffer(), AllocatedRawFrameElements())) {
            ++pWindow->ShortFramesDropped;
            return;
        }
        g_pRawImage16b = AllocatedRawFrameBuffer();
    } else {
        g_pRawImage16b = p_pPixels;
    }
    if (g_bDisplayBusy)
        return;
    ComputeFPNReference();
    if (pWindow->SaveAllFramesRunning) {
        ++pWindow->FrameCounter;
        if (pWindow->SaveAllFramesAsBmp || pWindow->SaveAllFramesAsRaw)
            SaveUsbFrame(pWindow, pitch, height);
        if (pWindow->SaveAllFramesAsBmp)
            pWindow->UpdateDisplay(g_pRawImage16b);
        return;
    }
    pWindow->CheckMainWindowActiv();
    if (pWindow->StopAcquisition) {
        // While a bad-pixel map loads the capture only pauses.
        if (!pWindow->LoadingBadPixels)
            stopCapture();
    } else {
        pWindow->UpdateDisplay(g_pRawImage16b);
    }
    const int counter = pWindow->FrameCounter;
    pWindow->FrameCounter = counter <= 0 ? 1 : counter + 1;
}

extern "C" void OnUsbCaptureEvent()
{
    if (MainWindow* pWindow = g_pMainWindow)
        ++pWindow->FramesAcquired;
}
