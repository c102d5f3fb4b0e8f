// The USB3 board's frame callbacks and the two-tap de-interleave of the Z1641 proxy.
#pragma once

#include <cstddef>
#include <cstdint>

// Given to the capture library: called on its capture thread for each frame.
extern "C" void OnUsbFrameReady(unsigned short* p_pPixels, unsigned int* p_pLengthBytes);
// Given to the capture library as its dropped-sample callback: counts a frame.
extern "C" void OnUsbCaptureEvent();

// The Z1641 transfer layout: 512 lines of 2576 pixels carry 1024 sensor lines of 1288.
constexpr int TwoTapSourceLines = 512;
constexpr int TwoTapSourceWidth = 2576;
constexpr size_t TwoTapSourceBytes = size_t(TwoTapSourceLines) * TwoTapSourceWidth * 2;

// Source line j holds output lines 2j (its even pixels) and 2j+1 (its odd
// pixels). p_pOut takes 1024 x 1288 pixels. False, and nothing written, when
// the source is shorter than the layout (p_uSourceBytes) or p_uOutElements
// cannot hold the result.
bool DeinterleaveTwoTap(const uint16_t* p_pSource, size_t p_uSourceBytes, uint16_t* p_pOut, size_t p_uOutElements);
