// The USB3 board's frame callbacks on the capture thread, and the Z1641 two-tap de-interleave.
#include "board/usb3_callbacks.h"

#include "board/acquisition_state.h"
#include "board/links/usb3_link.h"
#include "pipeline/frame_sink.h"

#include "app/globals.h"

#include <algorithm>

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
    FrameSink* pSink = Usb3Link::activeSink();
    if (!pSink)
        return;
    const FrameGeometry geometry = pSink->geometry();
    const size_t frameBytes = size_t(std::max(geometry.Height, 0)) * size_t(std::max(geometry.Pitch, 0));
    const size_t lengthBytes = p_pLengthBytes ? size_t(*p_pLengthBytes) : 0;
    unsigned short* pBuffer = pSink->frameBuffer();
    // No acquisition buffers (before Init or after Deinit) or a frame shorter
    // than the geometry: the pipeline would read past its end.
    if (!p_pPixels || frameBytes == 0 || pBuffer == nullptr || lengthBytes < frameBytes) {
        pSink->lost(FrameLoss::Short);
        return;
    }
    unsigned short* pPixels = p_pPixels;
    if (std::strcmp(g_szProxyName, "Z1641") == 0) {
        if (!DeinterleaveTwoTap(p_pPixels, lengthBytes, pBuffer, geometry.pixelCount())) {
            pSink->lost(FrameLoss::Short);
            return;
        }
        pPixels = pBuffer;
    }
    pSink->offer(RawFrame{pPixels, geometry});
}

extern "C" void OnUsbCaptureEvent()
{
    if (FrameSink* pSink = Usb3Link::activeSink())
        pSink->lost(FrameLoss::Sample);
}
