// libFuzzer target: GigE buffers of any size, geometry and pixel format through the frame copy of the GigE link.
#include "board/gige_link.h"
#include "sim/gige/dunstel_board.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr unsigned short kGuard = 0xBEEF;

uint16_t Word(const uint8_t* p_pData)
{
    return static_cast<uint16_t>(p_pData[0] | (p_pData[1] << 8));
}

// Copies the buffer into a raw frame of exactly the window's geometry, with a
// guard word behind it, and checks the copy takes only an exact frame.
void CopyAndCheck(const uint8_t* p_pData, uint32_t p_uAcquired, uint32_t p_uCapacity, int p_iHeight, int p_iPitch)
{
    const int64_t iPixels = p_iHeight > 0 && p_iPitch > 0 ? int64_t(p_iHeight) * p_iPitch / 2 : 0;
    std::unique_ptr<unsigned short[]> raw(new unsigned short[size_t(iPixels) + 1]);
    for (int64_t i = 0; i <= iPixels; ++i)
        raw[size_t(i)] = kGuard;
    const bool bTaken = CopyGigEFrame(p_pData, p_uAcquired, p_uCapacity, p_iHeight, p_iPitch, raw.get());
    const bool bExact = iPixels > 0 && p_uAcquired <= p_uCapacity && int64_t(p_uAcquired) == iPixels * 2;
    if (bTaken != bExact)
        abort();
    if (raw[size_t(iPixels)] != kGuard)
        abort();
    if (bTaken && std::memcmp(raw.get(), p_pData, size_t(iPixels) * 2) != 0)
        abort();
    if (!bTaken && iPixels > 0 && raw[0] != kGuard)
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    // Header: window height and pitch (bytes per line), board pixel format,
    // width and height, a capacity change (signed), a mode byte; then, in the
    // raw mode, the received bytes themselves.
    constexpr size_t kHeader = 10;
    if (p_uSize < kHeader)
        return 0;
    const int iWindowHeight = Word(p_pData) % 130;
    const int iWindowPitch = Word(p_pData + 2) % 600;
    const uint8_t uMode = p_pData[9];

    if (uMode & 1) {
        // Raw mode: whatever arrived, with any acquired size the buffer can claim.
        const uint8_t* pBytes = p_pData + kHeader;
        const uint32_t uCapacity = static_cast<uint32_t>(p_uSize - kHeader);
        const uint32_t uAcquired = (uMode & 2) ? uCapacity : Word(p_pData + 7);
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[uCapacity + 1]);
        if (uCapacity > 0)
            std::memcpy(buffer.get(), pBytes, uCapacity);
        CopyAndCheck(buffer.get(), uAcquired, uCapacity, iWindowHeight, iWindowPitch);
        return 0;
    }

    // Board mode: the simulated board renders a frame of its geometry and
    // format into a buffer of the pipeline's size, as the stream does.
    sim::DunstelBoard& board = sim::DunstelBoard::instance();
    static const QStringList s_Formats = [] {
        for (const sim::FeatureInfo& f : sim::DunstelBoard::instance().features())
            if (f.name == QLatin1String("PixelFormat"))
                return f.entries;
        return QStringList{QStringLiteral("Mono16")};
    }();
    const QString sFormat = s_Formats.at(p_pData[4] % s_Formats.size());
    const int iWidth = 16 + p_pData[5] % 64;
    const int iHeight = 1 + p_pData[6] % 48;
    if (board.setEnum(QStringLiteral("PixelFormat"), sFormat) != sim::FeatureStatus::Ok
        || board.setInteger(QStringLiteral("Width"), iWidth) != sim::FeatureStatus::Ok
        || board.setInteger(QStringLiteral("Height"), iHeight) != sim::FeatureStatus::Ok)
        abort();
    board.setEnum(QStringLiteral("TestPattern"), (uMode & 4) ? QStringLiteral("iPORTTestPattern") : QStringLiteral("Off"));
    const int64_t iPayload = board.payloadSize();
    const int64_t iCapacity = std::max<int64_t>(0, iPayload + static_cast<int16_t>(Word(p_pData + 7)) % 256);
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[size_t(iCapacity) + 1]);
    const int64_t iNeeded = board.renderFrame(buffer.get(), iCapacity);
    if (iNeeded != iPayload)
        abort();
    const bool bWhole = iNeeded <= iCapacity;
    const uint32_t uAcquired = bWhole ? static_cast<uint32_t>(iNeeded) : 0;
    // The window's geometry: its own, or the one the board streams in Mono16.
    const int iHeightSeen = (uMode & 8) ? iHeight : iWindowHeight;
    const int iPitchSeen = (uMode & 8) ? 2 * iWidth : iWindowPitch;
    CopyAndCheck(buffer.get(), uAcquired, static_cast<uint32_t>(iCapacity), iHeightSeen, iPitchSeen);
    return 0;
}
