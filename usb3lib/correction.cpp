// The Processing Board commands and the software correction of delivered frames.
#include "usb3lib/capture_state.h"

#include <algorithm>
#include <cstring>

namespace quenlin {

namespace {
constexpr int kProcessingBoard = 2;
constexpr int kFpnBoard = 15;
constexpr int kNucRegister = 6;
constexpr int kContrastRegister = 7;
constexpr int kLuminanceRegister = 8;
constexpr int kBadPixelIndexRegister = 10;
constexpr int kBadPixelColumnRegister = 11;
constexpr int kBadPixelLineRegister = 12;
constexpr int32_t kOffsetMin = -131072;
constexpr int32_t kOffsetMax = 131071;
constexpr int32_t kGainMax = 256;

bool BoardPresent()
{
    return State().processingBoardPresent.load() != 0;
}

HRESULT BoardCommand(int p_iBoard, int p_iRegister, int p_iValue, const char* p_sFailure)
{
    std::lock_guard<std::mutex> lock(LibraryMutex());
    const HRESULT hr = SetParameterToBoardLocked(p_iBoard, p_iRegister, p_iValue);
    if (FAILED(hr))
        Verbose(p_sFailure);
    return hr;
}

// The per-pixel loops, each one the compiler vectorises; a second copy for
// processors with AVX2, chosen when the library is loaded (not under the
// sanitizers, whose start-up runs before the loader's choice).
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_THREAD__) \
    && !defined(__SANITIZE_ADDRESS__)
#define QUENLIN_PIXEL_LOOP __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define QUENLIN_PIXEL_LOOP
#endif

constexpr size_t kBlockPixels = 4096;

inline uint16_t FromBigEndian(uint16_t p_uWord)
{
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    return __builtin_bswap16(p_uWord);
#else
    return p_uWord;
#endif
}

// In place and apart are two loops: a loop that may overlap its own output
// is not vectorised.
QUENLIN_PIXEL_LOOP
void ConvertInPlace(uint16_t* __restrict p_pWords, size_t p_uCount)
{
    for (size_t i = 0; i < p_uCount; ++i)
        p_pWords[i] = FromBigEndian(p_pWords[i]);
}

QUENLIN_PIXEL_LOOP
void ConvertApart(const uint8_t* __restrict p_pBytes, uint16_t* __restrict p_pPixels, size_t p_uCount)
{
    for (size_t i = 0; i < p_uCount; ++i) {
        uint16_t w;
        std::memcpy(&w, p_pBytes + 2 * i, sizeof w);
        p_pPixels[i] = FromBigEndian(w);
    }
}

// (pixel - reference + offset) x gain, clamped to 16 bits. Within the clamped
// ranges of offset and gain the product stays far inside 32 bits.
QUENLIN_PIXEL_LOOP
void NucBlock(uint16_t* __restrict p_pPixels, const uint16_t* __restrict p_pReference, size_t p_uCount,
              int32_t p_iOffset, int32_t p_iGain)
{
    for (size_t i = 0; i < p_uCount; ++i) {
        const int32_t v = (static_cast<int32_t>(p_pPixels[i]) - static_cast<int32_t>(p_pReference[i]) + p_iOffset)
                          * p_iGain;
        p_pPixels[i] = static_cast<uint16_t>(v > 65535 ? 65535 : (v < 0 ? 0 : v));
    }
}

QUENLIN_PIXEL_LOOP
void InvertBlock(uint16_t* __restrict p_pPixels, size_t p_uCount)
{
    for (size_t i = 0; i < p_uCount; ++i)
        p_pPixels[i] = static_cast<uint16_t>(65535 - p_pPixels[i]);
}

// Copies at most the reference's size; DataMutex held. Returns the pixels copied.
size_t CopyReferenceLocked(const uint16_t* p_pSource, size_t p_uCount)
{
    CaptureState& s = State();
    const size_t n = p_pSource != nullptr ? std::min(p_uCount, s.fpnReference.size()) : 0;
    if (n > 0)
        std::memcpy(s.fpnReference.data(), p_pSource, n * sizeof(uint16_t));
    s.takeFpnPending.store(0);
    Verbose("Update FPN\n");
    return n;
}

// Software NUC over the pixels the reference covers; DataMutex held.
void NucLocked(uint16_t* p_pPixels, size_t p_uCount)
{
    CaptureState& s = State();
    if (BoardPresent() || p_pPixels == nullptr || s.fpnReference.empty())
        return;
    NucBlock(p_pPixels, s.fpnReference.data(), std::min(p_uCount, s.fpnReference.size()), s.softwareOffset.load(),
             s.softwareGain.load());
}
} // namespace

void ConvertAndCorrectFrame(const uint8_t* p_pBytes, uint16_t* p_pPixels, size_t p_uCount, bool p_bNuc,
                            bool p_bInvert)
{
    if (p_pBytes == nullptr || p_pPixels == nullptr)
        return;
    CaptureState& s = State();
    const bool bInPlace = static_cast<const void*>(p_pBytes) == static_cast<const void*>(p_pPixels);
    std::lock_guard<std::mutex> data(DataMutex());
    const bool bTake = s.takeFpnPending.load() != 0;
    uint16_t* pReference = s.fpnReference.data();
    const size_t uReference = s.fpnReference.size();
    const bool bNuc = p_bNuc && !BoardPresent() && uReference > 0;
    const size_t uNuc = std::min(p_uCount, uReference);
    const int32_t iOffset = s.softwareOffset.load();
    const int32_t iGain = s.softwareGain.load();
    // Each step is pixel by pixel, so running them block by block gives what
    // whole-frame passes in the same order give.
    for (size_t b = 0; b < p_uCount; b += kBlockPixels) {
        const size_t e = std::min(p_uCount, b + kBlockPixels);
        if (bInPlace)
            ConvertInPlace(p_pPixels + b, e - b);
        else
            ConvertApart(p_pBytes + 2 * b, p_pPixels + b, e - b);
        if (bTake && b < uReference)
            std::memcpy(pReference + b, p_pPixels + b, (std::min(e, uReference) - b) * sizeof(uint16_t));
        if (bNuc && b < uNuc)
            NucBlock(p_pPixels + b, pReference + b, std::min(e, uNuc) - b, iOffset, iGain);
        if (p_bInvert)
            InvertBlock(p_pPixels + b, e - b);
    }
    if (bTake) {
        s.takeFpnPending.store(0);
        Verbose("Update FPN\n");
    }
}

} // namespace quenlin

using namespace quenlin;

QUENLIN_EXPORT int setProcessingBoardAvailable(int available)
{
    State().processingBoardPresent.store(static_cast<uint8_t>(available & 0xFF));
    return available;
}

QUENLIN_EXPORT unsigned char isProcessingBoardAvailable(void)
{
    return State().processingBoardPresent.load();
}

QUENLIN_EXPORT int setLuminance(int luminance)
{
    if (BoardPresent())
        return BoardCommand(kProcessingBoard, kLuminanceRegister, luminance, "Set Luminance failed.\n");
    State().softwareOffset.store(std::clamp(luminance, kOffsetMin, kOffsetMax));
    return 0;
}

QUENLIN_EXPORT int setContrast(int contrast)
{
    if (BoardPresent())
        return BoardCommand(kProcessingBoard, kContrastRegister, contrast, "Set Contrast failed.\n");
    State().softwareGain.store(std::clamp(contrast, 0, kGainMax));
    return 0;
}

QUENLIN_EXPORT int getLuminance(void)
{
    if (BoardPresent()) {
        Verbose("Can't read value from the Processing Board.\n");
        return 0;
    }
    return State().softwareOffset.load();
}

QUENLIN_EXPORT int getContrast(void)
{
    if (BoardPresent()) {
        Verbose("Can't read value from the Processing Board.\n");
        return 0;
    }
    return State().softwareGain.load();
}

QUENLIN_EXPORT int takeFPNReference(void)
{
    Verbose("Take FPN\n");
    HRESULT hr = S_OK;
    if (BoardPresent())
        hr = BoardCommand(kFpnBoard, 1, 0, "Take FPN on Board failed.\n");
    State().takeFpnPending.store(1);
    return hr;
}

QUENLIN_EXPORT int setEnabledNUC(void)
{
    Verbose("Enabled NUC\n");
    if (BoardPresent())
        return BoardCommand(kProcessingBoard, kNucRegister, 0, "Enabling NUC on Board failed.\n");
    State().nucEnabled.store(1);
    return 0;
}

QUENLIN_EXPORT int setDisabledNUC(void)
{
    Verbose("Disabled NUC\n");
    if (BoardPresent())
        return BoardCommand(kProcessingBoard, kNucRegister, 1, "Disabling NUC on Board failed.\n");
    State().nucEnabled.store(0);
    return 0;
}

QUENLIN_EXPORT unsigned char getNUCStatus(void)
{
    if (BoardPresent()) {
        Verbose("Can't read value from the Processing Board.\n");
        return 0;
    }
    return State().nucEnabled.load();
}

QUENLIN_EXPORT unsigned char getInvBWStatus(void)
{
    if (BoardPresent()) {
        Verbose("Can't read value from the Processing Board.\n");
        return 0;
    }
    return State().invertEnabled.load();
}

QUENLIN_EXPORT int getFPNReferenceImage(void)
{
    return 0;
}

QUENLIN_EXPORT unsigned int processInvBW(unsigned short* pixels, unsigned int count)
{
    if (pixels == nullptr)
        return 0;
    InvertBlock(pixels, count);
    return count;
}

QUENLIN_EXPORT int setInvBWCorrection(int enabled)
{
    Verbose("Invert BW\n");
    State().invertEnabled.store(static_cast<uint8_t>(enabled & 0xFF));
    return enabled;
}

QUENLIN_EXPORT unsigned short* setFPNReferenceImage(const unsigned short* source, int count)
{
    CaptureState& s = State();
    std::lock_guard<std::mutex> data(DataMutex());
    const size_t n = CopyReferenceLocked(source, count > 0 ? static_cast<size_t>(count) : 0);
    return n > 0 ? s.fpnReference.data() + n : nullptr;
}

QUENLIN_EXPORT int processNUC(unsigned short* pixels, int count)
{
    if (BoardPresent() || count <= 0)
        return 0;
    std::lock_guard<std::mutex> data(DataMutex());
    NucLocked(pixels, static_cast<size_t>(count));
    return 0;
}

QUENLIN_EXPORT int resetFPNReferenceImage(void)
{
    if (BoardPresent()) {
        Always("Can't reset FPN Reference image on the Processing Board.\n");
        return 0;
    }
    CaptureState& s = State();
    if (s.initialized.load() == 0) {
        Verbose("Capture was not initialized.\n");
        return E_FAIL;
    }
    {
        std::lock_guard<std::mutex> data(DataMutex());
        const size_t n = std::min(static_cast<size_t>(s.width) * static_cast<size_t>(s.height), s.fpnReference.size());
        std::fill_n(s.fpnReference.begin(), n, uint16_t(0));
    }
    Verbose("FPN Reference image is reset\n");
    return 0;
}

QUENLIN_EXPORT int setBadPixel(unsigned short index, unsigned short column, unsigned short line)
{
    if (!BoardPresent()) {
        Always("Can't send a BadPixel to the Processing Board.\n");
        return QUENLIN_BADPIXEL_NO_BOARD;
    }
    CaptureState& s = State();
    std::lock_guard<std::mutex> lock(LibraryMutex());
    if (s.initialized.load() == 0) {
        Verbose("Capture was not initialized.\n");
        return E_FAIL;
    }
    int iWidth, iHeight;
    {
        std::lock_guard<std::mutex> data(DataMutex());
        iWidth = s.width;
        iHeight = s.height;
    }
    if (column >= iWidth || line >= iHeight) {
        Verbose("Incorrect coordinates for the image size configured, ABORT\n");
        return QUENLIN_BADPIXEL_BAD_COORDINATES;
    }
    if (index > 4095) {
        Verbose("Incorrect index set, ABORT\n");
        return QUENLIN_BADPIXEL_BAD_INDEX;
    }
    // The line write stores the entry, so only its status tells.
    SetParameterToBoardLocked(kProcessingBoard, kBadPixelIndexRegister, index);
    SetParameterToBoardLocked(kProcessingBoard, kBadPixelColumnRegister, column);
    if (FAILED(SetParameterToBoardLocked(kProcessingBoard, kBadPixelLineRegister, line))) {
        Verbose("Failed to set a BadPixel.\n");
        return QUENLIN_BADPIXEL_SEND_FAILED;
    }
    Verbose("BadPixel correctly set\n");
    return QUENLIN_BADPIXEL_OK;
}
