// The per-frame correction chain over plain frame buffers: FPN / two-point NUC,
// offset and gain, clamp, inversion, bad-pixel replacement, gamma, display bytes.
#pragma once

#include "pipeline/correction_path.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

// Geometry of the running acquisition. Every per-pixel loop covers
// Height x Pitch/2 pixels; bad-pixel indices are checked against Width x Height.
struct FrameGeometry
{
    int Width = 0;
    int Height = 0;
    int Pitch = 0; // bytes per line

    int stride() const { return Pitch / 2; }
    size_t pixelCount() const
    {
        return (Height > 0 && Pitch > 1) ? size_t(Height) * size_t(Pitch / 2) : 0;
    }
    size_t framePixels() const
    {
        return (Height > 0 && Width > 0) ? size_t(Height) * size_t(Width) : 0;
    }
};

enum class SoftwareInput {
    FPN,    // raw minus reference, then offset and gain
    NUC2Pt, // (raw minus reference) x per-pixel gain + reference mean, then offset and gain
    NoFPN,  // offset and gain on the raw value
};

enum BadPixelCorrectionMode : int {
    BadPixelNoCorrection = 0,
    BadPixelPrevious = 1,
    BadPixelBlack = 2,
    BadPixelWhite = 3,
    BadPixelBlink = 4,
    BadPixelLine = 5,
    BadPixelMean = 6,
};

// Everything the chain needs of the parameter cells and the window's flags,
// read once at the start of a frame so that a GUI-side change never lands in
// the middle of one.
struct CorrectionSettings
{
    CorrectionPath Path = CorrectionPath::Software;
    SoftwareInput Input = SoftwareInput::NoFPN;
    int32_t Offset = 0;
    int32_t Gain = 1;
    int32_t Centre = 0;
    bool Clamp = true;   // HDR word zero
    bool Invert = false; // invert word non-zero

    int BadPixelMode = BadPixelNoCorrection; // cell value
    bool BadPixelOn = false;                 // software replacement enabled
    int BadPixelList = 0;                    // row flip + 2 x column flip
    int BadPixelOffsetX = 0;
    int BadPixelOffsetY = 0;

    bool GammaOn = false; // box checked and the value neither 1.0 nor 0.0
    double Gamma = 1.0;

    int Interpolation = 1; // cell value

    bool badPixelStageRuns() const { return BadPixelMode != 0 && BadPixelOn; }
};

// Which path a frame takes: the software chain with software NUC, else the
// board's own path (p_BoardPath: None without a board, Software or Board).
CorrectionPath CorrectionPathFor(CorrectionPath p_BoardPath, bool p_bSoftwareNUC);

// Fills the settings from the current halves of the cells of one proxy record.
struct WindowCorrectionState
{
    CorrectionPath BoardPath = CorrectionPath::None;  // the board's path without software NUC
    bool SoftwareNUC = false;
    bool NUC2ptChecked = false;
    bool BadPixelCorrectionOn = false;
    int BadPixelOffsetX = 0;
    int BadPixelOffsetY = 0;
    bool GammaChecked = false;
    double Gamma = 1.0;
};
CorrectionSettings ReadCorrectionSettings(int p_iProxyIndex, const WindowCorrectionState& p_State);

bool GammaIsActive(bool p_bChecked, double p_dGamma);

// The gamma of one pixel, exactly as the per-pixel formula gives it.
uint16_t GammaOfPixel(uint16_t p_uValue, double p_dGamma);

// The same table by blocks of 256 values (one per high byte). An entry is
// always a byte shifted to the high half; within most blocks that byte climbs
// by at most two steps, so that the block is fully given by its last byte and
// the low bytes where the steps fall:
//   entry(h, l) = (High[h] - (l < Step1[h]) - (l < Step2[h])) << 8
// (a step at 0 is no step). Blocks where that does not give every entry
// exactly (steeper curves, a negative gamma) are marked Slow and read from
// the table itself.
struct GammaBlocks
{
    uint8_t High[256];
    uint8_t Step1[256];
    uint8_t Step2[256];
    uint8_t Slow[256];   // 0xFF: read the table
};

// The gamma of every 16-bit value, rebuilt only when the gamma changes; the
// entries come from GammaOfPixel, so the result is the same as computing the
// power per pixel.
class GammaTable
{
public:
    GammaTable();
    void update(double p_dGamma);
    double gamma() const { return m_dGamma; }
    const uint16_t* data() const { return m_Table.data(); }
    uint16_t operator[](uint16_t p_uValue) const { return m_Table[p_uValue]; }
    const GammaBlocks& blocks() const { return m_Blocks; }

private:
    void buildBlocks();

    std::vector<uint16_t> m_Table;
    GammaBlocks m_Blocks{};
    double m_dGamma;
    bool m_bBuilt = false;
};

// The replacement value of the fill modes, kept across frames.
struct BadPixelFillState
{
    uint16_t Value = 0;
    bool ResetPending = false;

    // Start of a frame's bad-pixel stage: applies a pending reset, returns the fill value.
    uint16_t beginFrame(int p_iMode);
    // End of the stage: "Display Blink pixel" steps by 256 per frame.
    void endFrame(int p_iMode, uint16_t p_uFillUsed);
};

// One of the four bad-pixel lists: a count followed by that many indices,
// in a block of CapacityWords words (count included).
struct BadPixelListView
{
    const uint32_t* Words = nullptr;
    size_t CapacityWords = 0;
};

// Replaces the listed pixels of the corrected frame in list order, reading
// neighbours from the frame as it stands (a replaced pixel feeds later ones).
// The optional display planes are patched for every pixel written, so a
// display pass done earlier stays exact.
void ApplyBadPixelReplacement(uint16_t* p_pCorrected, const FrameGeometry& p_Geometry,
                              const CorrectionSettings& p_Settings, BadPixelListView p_List,
                              uint16_t p_uFill, uint8_t* p_pDisplay8 = nullptr,
                              uint16_t* p_pDisplay16 = nullptr);

// Where the chain writes. Any pointer but Corrected may be null to skip that output.
struct FrameOutputs
{
    uint16_t* Acquired = nullptr;  // copy of the raw frame (every path)
    float* Working32f = nullptr;   // value before offset and gain (AGC input)
    uint16_t* Corrected = nullptr; // the corrected frame
    uint8_t* Display8 = nullptr;   // high byte of each corrected pixel
    uint16_t* Display16 = nullptr; // copy of the corrected frame
};

struct FrameInputs
{
    const uint16_t* Raw = nullptr;
    const uint16_t* Reference = nullptr; // FPN and two-point paths
    const double* NUC2ptGain = nullptr;  // two-point path
};

// Mean of the reference, as the two-point path adds it back.
double ImageMean(const uint16_t* p_pImage, size_t p_uCount);

// Steps 5 to 8 of a frame: correction, bad pixels, gamma and the display
// planes, in as few passes as the arithmetic allows (one pass without gamma).
void RunCorrectionChain(const FrameInputs& p_In, const FrameGeometry& p_Geometry,
                        const CorrectionSettings& p_Settings, BadPixelListView p_BadPixels,
                        BadPixelFillState& p_Fill, GammaTable& p_Gamma, const FrameOutputs& p_Out);

// Display scale of a frame and the interpolation for the resize.
struct DisplayScaleChoice
{
    double Scale = 1.0;
    bool Resize = false;
    int CvInterpolation = cv::INTER_LINEAR;
};
int CvInterpolationFor(int p_iCellValue);
DisplayScaleChoice ChooseDisplayScale(bool p_bDemoMode, int p_iDemoWidth, int p_iDemoHeight,
                                      bool p_bCosmeticZoom, int p_iAreaWidth, int p_iAreaHeight,
                                      int p_iProxyIndex, int p_iInterpolationCell, int p_iCols,
                                      int p_iRows);
// Scaled display image from the full-size one; dst keeps its memory when the size does not change.
void ScaleDisplayImage(const cv::Mat& p_Full, cv::Mat& p_Scaled, const DisplayScaleChoice& p_Choice);
