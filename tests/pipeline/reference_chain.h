// A plain per-pixel reference of the correction chain, one loop per step, for the tests and the benchmark.
#pragma once

#include "pipeline/correction_chain.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace ref {

// Signed 32-bit arithmetic, wrapping as the hardware does.
inline int32_t Wrap(int64_t p_iValue)
{
    return int32_t(uint32_t(uint64_t(p_iValue)));
}

struct Frame
{
    std::vector<int32_t> Working32s;
    std::vector<float> Working32f;
    std::vector<uint16_t> Acquired;
    std::vector<uint16_t> Corrected;
    std::vector<uint8_t> Display8;
    std::vector<uint16_t> Display16;

    explicit Frame(size_t n)
        : Working32s(n, 0), Working32f(n, 0.f), Acquired(n, 0), Corrected(n, 0), Display8(n, 0), Display16(n, 0)
    {
    }
};

inline void SubtractFPN(Frame& f, const uint16_t* raw, const uint16_t* reference, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        f.Acquired[i] = raw[i];
        f.Working32s[i] = int32_t(f.Acquired[i]) - int32_t(reference[i]);
        f.Working32f[i] = float(f.Working32s[i]);
    }
}

inline void ApplyNUC2Pt(Frame& f, const uint16_t* raw, const uint16_t* reference, const double* gain, size_t n)
{
    double sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += reference[i];
    const double m = sum / double(n);
    for (size_t i = 0; i < n; ++i) {
        f.Acquired[i] = raw[i];
        const double v = double(int32_t(f.Acquired[i]) - int32_t(reference[i])) * gain[i] + m;
        f.Working32s[i] = int32_t(std::trunc(v));
        f.Working32f[i] = float(f.Working32s[i]);
    }
}

inline void ApplyOffsetGainNoFPN(Frame& f, const uint16_t* raw, size_t n, int32_t offset, int32_t gain, int32_t centre)
{
    for (size_t i = 0; i < n; ++i) {
        f.Acquired[i] = raw[i];
        f.Working32s[i] = Wrap((int64_t(offset) + f.Acquired[i]) * gain + int64_t(centre) * 256);
        f.Working32f[i] = float(raw[i]);
    }
}

inline void ApplyOffsetGain(Frame& f, size_t n, int32_t offset, int32_t gain, int32_t centre)
{
    for (size_t i = 0; i < n; ++i)
        f.Working32s[i] = Wrap((int64_t(offset) + f.Working32s[i]) * gain + int64_t(centre) * 256);
}

inline void ClampTo16bit(Frame& f, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        f.Working32s[i] = f.Working32s[i] < 0 ? 0 : (f.Working32s[i] > 65535 ? 65535 : f.Working32s[i]);
}

inline void InvertImage(Frame& f, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        f.Working32s[i] = Wrap(int64_t(65535) - f.Working32s[i]);
}

inline void CopyResultTo16bit(Frame& f, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        f.Corrected[i] = uint16_t(uint32_t(f.Working32s[i]) & 0xFFFF);
}

// Bad-pixel replacement; neighbours outside the frame give the fill value.
inline void BadPixels(Frame& f, const FrameGeometry& g, int mode, int list, const std::vector<uint32_t>& words,
                      int offX, int offY, uint16_t fill)
{
    if (list < 0 || list > 3 || words.empty())
        return;
    const int64_t W = g.Width, H = g.Height, stride = g.Pitch / 2;
    const int64_t total = W * H;
    const int64_t YP = (int64_t(offY) * g.Pitch) / 2;
    const int64_t X = offX;
    const uint32_t count = words[0];
    for (uint32_t n = 0; n < count && 1 + size_t(n) < words.size(); ++n) {
        const int64_t e = words[1 + n];
        int64_t idx = 0;
        switch (list) {
        case 0: idx = e - YP - X; break;
        case 1: idx = e + YP - X; break;
        case 2: idx = e - YP + X; break;
        default: idx = e + YP + X; break;
        }
        if (idx < 0 || idx >= total)
            continue;
        uint16_t& px = f.Corrected[size_t(idx)];
        if (mode == 1) {
            const int64_t j = (list == 0 || list == 1) ? idx + 1 : idx - 1;
            px = (j >= 0 && j < total) ? f.Corrected[size_t(j)] : fill;
        } else if (mode == 5) {
            if (idx > stride && idx < (H - 1) * stride)
                px = uint16_t((f.Corrected[size_t(idx - stride)] + f.Corrected[size_t(idx + stride)]) / 2);
            else
                px = fill;
        } else if (mode == 6) {
            if (idx - 1 >= 0 && idx + 1 < total)
                px = uint16_t((f.Corrected[size_t(idx - 1)] + f.Corrected[size_t(idx + 1)]) / 2);
            else
                px = fill;
        } else {
            px = fill;
        }
    }
}

inline void ApplyGamma(uint16_t* image, size_t n, double gamma)
{
    for (size_t i = 0; i < n; ++i) {
        const double x = image[i] * 1.52587890625e-05;
        const double y = std::pow(x, 1.0 / gamma);
        image[i] = uint16_t((uint32_t(std::trunc(y * 256.0)) << 8) & 0xFFFF);
    }
}

inline void DisplayImages(Frame& f, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        f.Display8[i] = uint8_t(f.Corrected[i] >> 8);
        f.Display16[i] = f.Corrected[i];
    }
}

// The whole chain of one frame, step by step. The fill state is that of the
// production chain's BadPixelFillState, kept by the caller.
inline void RunChain(Frame& f, const uint16_t* raw, const uint16_t* reference, const double* gain,
                     const FrameGeometry& g, const CorrectionSettings& s, const std::vector<uint32_t>& badPixels,
                     uint16_t& fillValue, bool& fillReset)
{
    const size_t n = g.pixelCount();
    if (s.Path == CorrectionPath::Software) {
        if (s.Input == SoftwareInput::FPN) {
            SubtractFPN(f, raw, reference, n);
            ApplyOffsetGain(f, n, s.Offset, s.Gain, s.Centre);
        } else if (s.Input == SoftwareInput::NUC2Pt) {
            ApplyNUC2Pt(f, raw, reference, gain, n);
            ApplyOffsetGain(f, n, s.Offset, s.Gain, s.Centre);
        } else {
            ApplyOffsetGainNoFPN(f, raw, n, s.Offset, s.Gain, s.Centre);
        }
        if (s.Clamp)
            ClampTo16bit(f, n);
        if (s.Invert)
            InvertImage(f, n);
        CopyResultTo16bit(f, n);
    } else if (s.Path == CorrectionPath::Board) {
        for (size_t i = 0; i < n; ++i) {
            if (!s.Invert) {
                f.Corrected[i] = raw[i];
                f.Working32f[i] = float(raw[i]);
            } else {
                f.Corrected[i] = uint16_t(65535 - raw[i]);
            }
        }
    }
    if (s.BadPixelMode != 0 && s.BadPixelOn) {
        if (fillReset) {
            fillReset = false;
            fillValue = s.BadPixelMode == 3 ? 65535 : 0;
        }
        const uint16_t fill = fillValue;
        BadPixels(f, g, s.BadPixelMode, s.BadPixelList, badPixels, s.BadPixelOffsetX, s.BadPixelOffsetY, fill);
        if (s.BadPixelMode == 4)
            fillValue = uint16_t(fill + 256);
    }
    if (s.GammaOn)
        ApplyGamma(f.Corrected.data(), n, s.Gamma);
    DisplayImages(f, n);
}

} // namespace ref
