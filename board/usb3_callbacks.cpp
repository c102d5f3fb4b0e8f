// The USB3 board's frame callbacks on the capture thread, and the Z1641 two-tap de-interleave.
#include "board/usb3_callbacks.h"

#include "pipeline/frame_series_saver.h"

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
    FrameSeriesFrame frame;
    frame.Bmp = p_pWindow->SaveAllFramesBmp;
    frame.Raw = p_pWindow->SaveAllFramesRaw;
    frame.Limit = p_pWindow->NumberFrames;
    frame.Folder = ApplicationDirPath() + "/../SavedImages/" + QString::fromUtf8(g_szProxyName);
    frame.Pixels = g_pRawImage16b;
    frame.Width = p_iPitch / 2;
    frame.Height = p_iHeight;
    if (SaveSeriesFrame(Usb3SeriesRule(), g_iSaveAllFramesFileIndex, g_iSaveAllFramesCount, frame)
        == FrameSeriesResult::Ended) {
        // Widgets and boxes belong to the GUI thread.
        QMetaObject::invokeMethod(p_pWindow, [p_pWindow] { p_pWindow->StopSaveAllFrames(); }, Qt::QueuedConnection);
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
    ++pWindow->FramesReceived;
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
        if (pWindow->SaveAllFramesBmp || pWindow->SaveAllFramesRaw)
            SaveUsbFrame(pWindow, pitch, height);
        if (pWindow->SaveAllFramesBmp)
            pWindow->UpdateDisplay(g_pRawImage16b);
        return;
    }
    pWindow->CheckMainWindowActiv();
    if (pWindow->StopAcquisition) {
        // While a bad-pixel map loads the capture only pauses.
        if (!pWindow->BadPixelUploadRunning)
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
        ++pWindow->FramesReceived;
}
