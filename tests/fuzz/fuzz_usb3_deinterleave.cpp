// libFuzzer target: USB3 samples of any length through the two-tap de-interleave.
#include "board/usb3_callbacks.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    // The first two bytes choose how short the output buffer is, the rest is
    // the sample, repeated up to the layout's length when it is long enough to
    // stand for a frame.
    if (p_uSize < 2)
        return 0;
    const size_t uShortBy = size_t(p_pData[0]) | size_t(p_pData[1]) << 8;
    const size_t uOut = size_t(TwoTapSourceLines) * TwoTapSourceWidth;
    static std::vector<uint16_t> source(TwoTapSourceBytes / 2);
    const size_t uGiven = p_uSize - 2;
    size_t uBytes = uGiven;
    if (uGiven > 0 && uGiven % 2 == 0 && (p_pData[2] & 1)) {
        // Fill a full frame from the sample.
        auto* pBytes = reinterpret_cast<unsigned char*>(source.data());
        size_t uFilled = uGiven < TwoTapSourceBytes ? uGiven : TwoTapSourceBytes;
        memcpy(pBytes, p_pData + 2, uFilled);
        while (uFilled < TwoTapSourceBytes) {
            const size_t uChunk = uFilled < TwoTapSourceBytes - uFilled ? uFilled : TwoTapSourceBytes - uFilled;
            memcpy(pBytes + uFilled, pBytes, uChunk);
            uFilled += uChunk;
        }
        uBytes = TwoTapSourceBytes;
    } else {
        memcpy(source.data(), p_pData + 2, uGiven < TwoTapSourceBytes ? uGiven : TwoTapSourceBytes);
    }
    const size_t uOutElements = uShortBy >= uOut ? 0 : uOut - uShortBy;
    static std::vector<uint16_t> out;
    out.assign(uOutElements + 1, 0xBEEF);
    const bool bDone = DeinterleaveTwoTap(source.data(), uBytes, out.data(), uOutElements);
    if (bDone != (uBytes >= TwoTapSourceBytes && uOutElements >= uOut))
        abort();
    if (out[uOutElements] != 0xBEEF)
        abort();
    return 0;
}
