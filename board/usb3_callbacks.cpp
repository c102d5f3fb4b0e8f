// The USB3 board's frame callbacks on the capture thread, and the Z1641 two-tap de-interleave.
#include "board/usb3_callbacks.h"

#include "pipeline/frame_handoff.h"

#include "board/acquisition_state.h"

#include "app/app_paths.h"
#include "app/globals.h"
#include "mainwindow/MainWindow.h"
#include "pipeline/frame_buffers.h"
#include "usb3lib/Quenlin.h"

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

extern "C" void OnUsbFrameReady(unsigned short* p_pPixels, unsigned int* p_pLengthBytes)
{
    MainWindow* pWindow = g_pMainWindow;
    if (!pWindow)
        return;
    const FrameGeometry geometry = WindowFrameGeometry(*pWindow);
    ++pWindow->FramesReceived;
    const size_t frameBytes = size_t(std::max(geometry.Height, 0)) * size_t(std::max(geometry.Pitch, 0));
    const size_t lengthBytes = p_pLengthBytes ? size_t(*p_pLengthBytes) : 0;
    // No acquisition buffers (before Init or after Deinit) or a frame shorter
    // than the geometry: the pipeline would read past its end.
    if (!p_pPixels || frameBytes == 0 || AllocatedRawFrameElements() == 0 || lengthBytes < frameBytes) {
        ++pWindow->ShortFramesDropped;
        return;
    }
    unsigned short* pPixels = p_pPixels;
    if (std::strcmp(g_szProxyName, "Z1641") == 0) {
        if (!DeinterleaveTwoTap(p_pPixels, lengthBytes, AllocatedRawFrameBuffer(), AllocatedRawFrameElements())) {
            ++pWindow->ShortFramesDropped;
            return;
        }
        pPixels = AllocatedRawFrameBuffer();
    }
    static const FrameSeries series{Usb3SeriesRule(), &g_iSaveAllFramesFileIndex, &g_iSaveAllFramesCount};
    FrameHandOffRule rule;
    rule.DropWhileDisplayBusy = true;
    const bool bSeries = pWindow->SaveAllFramesRunning;
    if (bSeries) {
        // While a series runs only its BMP frames are shown, and the capture goes on.
        rule.Show = [pWindow] { return bool(pWindow->SaveAllFramesBmp); };
        rule.Series = &series;
    } else {
        rule.Show = [pWindow] {
            pWindow->CheckMainWindowActiv();
            if (!pWindow->StopAcquisition)
                return true;
            // While a bad-pixel map loads the capture only pauses.
            if (!pWindow->BadPixelUploadRunning)
                stopCapture();
            return false;
        };
    }
    if (HandOffFrame(*pWindow, pPixels, geometry, rule) == FrameHandOffResult::DroppedWhileBusy)
        return;
    if (bSeries) {
        ++pWindow->FrameCounter;
        return;
    }
    const int counter = pWindow->FrameCounter;
    pWindow->FrameCounter = counter <= 0 ? 1 : counter + 1;
}

extern "C" void OnUsbCaptureEvent()
{
    if (MainWindow* pWindow = g_pMainWindow)
        ++pWindow->FramesReceived;
}
