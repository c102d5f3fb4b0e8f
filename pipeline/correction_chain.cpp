// The per-frame correction chain over plain frame buffers.
#include "pipeline/correction_chain.h"

#include "params/proxy_parameter_table.h"
#include "pipeline/correction_kernels.h"
#include "pipeline/cv_host_thread.h"
#include "pipeline/pipeline_cells.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

const CorrectionKernels& SelectedCorrectionKernels()
{
    static const CorrectionKernels kernels = [] {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512bw")
            && __builtin_cpu_supports("avx512vbmi"))
            return CorrectionKernels{kernels_avx2::CorrectionPass, kernels_vbmi::GammaPass};
        if (__builtin_cpu_supports("avx2"))
            return CorrectionKernels{kernels_avx2::CorrectionPass, kernels_avx2::GammaPass};
#endif
        return CorrectionKernels{kernels_base::CorrectionPass, kernels_base::GammaPass};
    }();
    return kernels;
}

CorrectionPath CorrectionPathFor(CorrectionPath p_BoardPath, bool p_bSoftwareNUC)
{
    return p_bSoftwareNUC ? CorrectionPath::Software : p_BoardPath;
}

bool GammaIsActive(bool p_bChecked, double p_dGamma)
{
    return p_bChecked && p_dGamma != 1.0 && p_dGamma != 0.0;
}

CorrectionSettings ReadCorrectionSettings(int p_iProxyIndex, const WindowCorrectionState& p_State)
{
    CorrectionSettings s;
    if (p_iProxyIndex < 0 || p_iProxyIndex >= kProxyRecordCount)
        p_iProxyIndex = 0;
    auto cell = [p_iProxyIndex](int id) { return GetCurrent(p_iProxyIndex, id); };

    s.Path = CorrectionPathFor(p_State.BoardPath, p_State.SoftwareNUC);
    if (cell(PipelineCell::ApplyNUC) != 0)
        s.Input = SoftwareInput::FPN;
    else if (p_State.NUC2ptChecked)
        s.Input = SoftwareInput::NUC2Pt;
    else
        s.Input = SoftwareInput::NoFPN;
    s.Offset = int32_t(cell(PipelineCell::ImageOffset));
    s.Gain = int32_t(cell(PipelineCell::ImageGain));
    s.Centre = int32_t(cell(PipelineCell::AGCCentre));
    s.Clamp = cell(PipelineCell::HDR) == 0;
    s.Invert = cell(PipelineCell::InvertBW) != 0;

    s.BadPixelMode = int(int32_t(cell(PipelineCell::BPCorrectionMode)));
    s.BadPixelOn = p_State.BadPixelCorrectionOn;
    const int64_t list = int64_t(cell(PipelineCell::UpRow)) + 2 * int64_t(cell(PipelineCell::UpCol));
    s.BadPixelList = (list >= 0 && list <= 3) ? int(list) : -1;
    s.BadPixelOffsetX = p_State.BadPixelOffsetX;
    s.BadPixelOffsetY = p_State.BadPixelOffsetY;

    s.GammaOn = GammaIsActive(p_State.GammaChecked, p_State.Gamma);
    s.Gamma = p_State.Gamma;
    s.Interpolation = int(int32_t(cell(PipelineCell::InterpolationMethod)));
    return s;
}

uint16_t GammaOfPixel(uint16_t p_uValue, double p_dGamma)
{
    const double x = double(p_uValue) * 1.52587890625e-05;
    const double y = std::pow(x, 1.0 / p_dGamma);
    const double t = std::trunc(y * 256.0);
    // Only the low byte of the truncated value survives the shift to 16 bits;
    // a non-finite power (negative gamma at 0) gives 0 rather than an
    // undefined conversion.
    if (!(t >= 0.0) || !(t < 4294967296.0))
        return 0;
    return uint16_t((uint32_t(t) << 8) & 0xFFFFu);
}

GammaTable::GammaTable() : m_Table(65536, 0), m_dGamma(1.0) {}

void GammaTable::update(double p_dGamma)
{
    if (m_bBuilt && p_dGamma == m_dGamma)
        return;
    for (uint32_t v = 0; v < 65536; ++v)
        m_Table[v] = GammaOfPixel(uint16_t(v), p_dGamma);
    m_dGamma = p_dGamma;
    m_bBuilt = true;
    buildBlocks();
}

void GammaTable::buildBlocks()
{
    for (int h = 0; h < 256; ++h) {
        const uint16_t* block = m_Table.data() + h * 256;
        const int first = block[0] >> 8;
        const int last = block[255] >> 8;
        int steps[2] = {0, 0};
        bool exact = last >= first && last - first <= 2;
        // The first low byte at which the block's byte reaches first + k.
        for (int k = 1; exact && k <= last - first; ++k) {
            int l = 0;
            while (l < 256 && (block[l] >> 8) < first + k)
                ++l;
            steps[k - 1] = l;
        }
        const uint8_t high = uint8_t(last);
        for (int l = 0; exact && l < 256; ++l) {
            const int byte = high - (l < steps[0]) - (l < steps[1]);
            exact = block[l] == uint16_t(byte << 8);
        }
        m_Blocks.High[h] = high;
        m_Blocks.Step1[h] = exact ? uint8_t(steps[0]) : 0;
        m_Blocks.Step2[h] = exact ? uint8_t(steps[1]) : 0;
        m_Blocks.Slow[h] = exact ? 0 : 0xFF;
    }
}

uint16_t BadPixelFillState::beginFrame(int p_iMode)
{
    if (ResetPending) {
        ResetPending = false;
        Value = (p_iMode == BadPixelWhite) ? 65535 : 0;
    }
    return Value;
}

void BadPixelFillState::endFrame(int p_iMode, uint16_t p_uFillUsed)
{
    if (p_iMode == BadPixelBlink)
        Value = uint16_t(p_uFillUsed + 256);
}

void ApplyBadPixelReplacement(uint16_t* p_pCorrected, const FrameGeometry& p_Geometry,
                              const CorrectionSettings& p_Settings, BadPixelListView p_List,
                              uint16_t p_uFill, uint8_t* p_pDisplay8, uint16_t* p_pDisplay16)
{
    const int k = p_Settings.BadPixelList;
    const int mode = p_Settings.BadPixelMode;
    if (mode == BadPixelNoCorrection || k < 0 || k > 3 || !p_List.Words || p_List.CapacityWords == 0)
        return;
    const int64_t frame = int64_t(p_Geometry.framePixels());
    const int64_t stride = p_Geometry.stride();
    const int64_t lines = p_Geometry.Height;
    if (frame == 0)
        return;
    // A count read from a map file never walks past the list's block.
    const size_t count = std::min<size_t>(p_List.Words[0], p_List.CapacityWords - 1);
    const int64_t yp = (int64_t(p_Settings.BadPixelOffsetY) * p_Geometry.Pitch) / 2;
    const int64_t x = p_Settings.BadPixelOffsetX;
    const int64_t shift = (k == 0) ? -yp - x : (k == 1) ? yp - x : (k == 2) ? -yp + x : yp + x;
    // "Previous pixel" looks right for the unflipped lists, left for the column-flipped ones.
    const int64_t previousStep = (k < 2) ? 1 : -1;
    uint16_t* c = p_pCorrected;

    for (size_t n = 0; n < count; ++n) {
        const int64_t idx = int64_t(p_List.Words[1 + n]) + shift;
        if (idx < 0 || idx >= frame)
            continue;
        uint16_t v;
        switch (mode) {
        case BadPixelPrevious: {
            const int64_t j = idx + previousStep;
            v = (j >= 0 && j < frame) ? c[j] : p_uFill;
            break;
        }
        case BadPixelLine:
            v = (idx > stride && idx < (lines - 1) * stride)
                    ? uint16_t((uint32_t(c[idx - stride]) + uint32_t(c[idx + stride])) / 2)
                    : p_uFill;
            break;
        case BadPixelMean:
            v = (idx > 0 && idx + 1 < frame) ? uint16_t((uint32_t(c[idx - 1]) + uint32_t(c[idx + 1])) / 2)
                                             : p_uFill;
            break;
        default:
            v = p_uFill;
            break;
        }
        c[idx] = v;
        if (p_pDisplay8)
            p_pDisplay8[idx] = uint8_t(v >> 8);
        if (p_pDisplay16)
            p_pDisplay16[idx] = v;
    }
}

double ImageMean(const uint16_t* p_pImage, size_t p_uCount)
{
    if (p_uCount == 0)
        return 0.0;
    uint64_t sum = 0;
    for (size_t i = 0; i < p_uCount; ++i)
        sum += p_pImage[i];
    return double(sum) / double(p_uCount);
}

void RunCorrectionChain(const FrameInputs& p_In, const FrameGeometry& p_Geometry,
                        const CorrectionSettings& p_Settings, BadPixelListView p_BadPixels,
                        BadPixelFillState& p_Fill, GammaTable& p_Gamma, const FrameOutputs& p_Out)
{
    const size_t n = p_Geometry.pixelCount();
    uint16_t* corr = p_Out.Corrected;
    if (n == 0 || !corr)
        return;
    const bool gamma = p_Settings.GammaOn;
    if (gamma)
        p_Gamma.update(p_Settings.Gamma);

    CorrectionPassArgs a;
    a.Raw = p_In.Raw;
    a.Ref = p_In.Reference;
    a.Gain2 = p_In.NUC2ptGain;
    a.Offset = p_Settings.Offset;
    a.Gain = p_Settings.Gain;
    a.Centre256 = uint32_t(p_Settings.Centre) * 256u;
    a.Corrected = corr;
    a.Acquired = p_Out.Acquired;
    a.Working32f = p_Out.Working32f;
    a.Display8 = p_Out.Display8;
    a.Display16 = p_Out.Display16;
    a.N = n;
    a.Path = p_Settings.Path;
    a.Input = p_Settings.Input;
    a.Clamp = p_Settings.Clamp;
    a.Invert = p_Settings.Invert;
    // Without gamma the display planes are written in the correction pass and
    // patched by the bad-pixel stage; with gamma they follow the gamma pass.
    a.FuseDisplay = !gamma;
    const bool software = a.Path == CorrectionPath::Software;
    if (software && a.Input != SoftwareInput::NoFPN && !a.Ref)
        a.Input = SoftwareInput::NoFPN; // no reference image: nothing to subtract
    if (software && a.Input == SoftwareInput::NUC2Pt && !a.Gain2)
        a.Input = SoftwareInput::FPN;
    if (software && a.Input == SoftwareInput::NUC2Pt)
        a.Mean = ImageMean(a.Ref, n);

    const CorrectionKernels& k = SelectedCorrectionKernels();
    k.Correction(a);
    // The software pass copies the raw frame as it reads it; the other paths
    // do not read it that way, but the acquired copy is the raw frame on every
    // path (the analysis windows take it).
    if (!software && p_Out.Acquired && p_In.Raw)
        std::memcpy(p_Out.Acquired, p_In.Raw, n * sizeof(uint16_t));

    if (p_Settings.badPixelStageRuns()) {
        const uint16_t fill = p_Fill.beginFrame(p_Settings.BadPixelMode);
        ApplyBadPixelReplacement(corr, p_Geometry, p_Settings, p_BadPixels, fill,
                                 a.FuseDisplay ? p_Out.Display8 : nullptr,
                                 a.FuseDisplay ? p_Out.Display16 : nullptr);
        p_Fill.endFrame(p_Settings.BadPixelMode, fill);
    }

    if (gamma)
        k.Gamma(corr, p_Gamma, p_Out.Display8, p_Out.Display16, n);
}

int CvInterpolationFor(int p_iCellValue)
{
    switch (p_iCellValue) {
    case 0: return cv::INTER_NEAREST;
    case 2: return cv::INTER_CUBIC;
    case 3: return cv::INTER_LANCZOS4;
    default: return cv::INTER_LINEAR;
    }
}

DisplayScaleChoice ChooseDisplayScale(bool p_bDemoMode, int p_iDemoWidth, int p_iDemoHeight,
                                      bool p_bCosmeticZoom, int p_iAreaWidth, int p_iAreaHeight,
                                      int p_iProxyIndex, int p_iInterpolationCell, int p_iCols,
                                      int p_iRows)
{
    DisplayScaleChoice c;
    if (p_iCols <= 0 || p_iRows <= 0)
        return c;
    if (p_bDemoMode) {
        c.Scale = double(std::min(float(p_iDemoWidth) / float(p_iCols), float(p_iDemoHeight) / float(p_iRows)));
        c.Resize = true;
        c.CvInterpolation = CvInterpolationFor(p_iInterpolationCell);
    } else if (p_bCosmeticZoom) {
        c.Scale = std::min(double(p_iAreaWidth) / p_iCols, double(p_iAreaHeight) / p_iRows);
        c.Resize = true;
        c.CvInterpolation = CvInterpolationFor(p_iInterpolationCell);
    } else if (p_iProxyIndex == 14) {
        c.Scale = 0.5;
        c.Resize = true;
        c.CvInterpolation = cv::INTER_LINEAR;
    }
    // A scale that would leave no pixel (an area not laid out yet) shows the frame unscaled.
    if (c.Resize && !(c.Scale * p_iCols >= 1.0 && c.Scale * p_iRows >= 1.0)) {
        c = DisplayScaleChoice();
    }
    return c;
}

void ScaleDisplayImage(const cv::Mat& p_Full, cv::Mat& p_Scaled, const DisplayScaleChoice& p_Choice)
{
    if (!p_Choice.Resize) {
        p_Full.copyTo(p_Scaled);
        return;
    }
    // cv::resize runs a parallel loop, and this is called on the frame threads, new with each acquisition.
    RunOnCvHostThread([&] {
        cv::resize(p_Full, p_Scaled, cv::Size(), p_Choice.Scale, p_Choice.Scale, p_Choice.CvInterpolation);
    });
}
