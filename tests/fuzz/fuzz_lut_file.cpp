// libFuzzer target: any bytes as a colour look-up-table file.
#include "fuzz_support.h"
#include "pipeline/colour_lut.h"

#include <cstdlib>

namespace {

void Fill(ColourLutPlanes& p_Planes, uint8_t p_uValue)
{
    p_Planes.R.fill(p_uValue);
    p_Planes.G.fill(p_uValue);
    p_Planes.B.fill(p_uValue);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    const QString sPath = fuzz::WriteInput(p_pData, p_uSize, "lut.csv");
    // Read twice over two different fillings: the entries the file gives
    // agree, and every entry past its last data line keeps what was there.
    ColourLutPlanes first, second;
    Fill(first, 0x5A);
    Fill(second, 0xA5);
    const LutReadStatus status = ReadLutFileStatus(sPath, first, [](const QString&) {});
    if (ReadLutFileStatus(sPath, second, [](const QString&) {}) != status)
        abort();
    if (status != LutReadStatus::Loaded) {
        // A file refused leaves the table in use as it was.
        for (size_t i = 0; i < 256; ++i)
            if (first.R[i] != 0x5A || first.G[i] != 0x5A || first.B[i] != 0x5A || second.R[i] != 0xA5
                || second.G[i] != 0xA5 || second.B[i] != 0xA5)
                abort();
        return 0;
    }
    size_t uRead = 0;
    while (uRead < 256 && first.R[uRead] == second.R[uRead] && first.G[uRead] == second.G[uRead]
           && first.B[uRead] == second.B[uRead])
        ++uRead;
    for (size_t i = uRead; i < 256; ++i)
        if (first.R[i] != 0x5A || first.G[i] != 0x5A || first.B[i] != 0x5A || second.R[i] != 0xA5
            || second.G[i] != 0xA5 || second.B[i] != 0xA5)
            abort();
    // The merged table and the colouring of a grey ramp show the planes entry by entry.
    const cv::Mat merged = first.merged();
    cv::Mat ramp(1, 256, CV_8UC1);
    for (int i = 0; i < 256; ++i)
        ramp.at<uint8_t>(0, i) = uint8_t(i);
    const cv::Mat coloured = ApplyColourLut(ramp, first);
    if (merged.rows != 1 || merged.cols != 256 || merged.type() != CV_8UC3 || coloured.size() != ramp.size()
        || coloured.type() != CV_8UC3)
        abort();
    for (int i = 0; i < 256; ++i) {
        const cv::Vec3b m = merged.at<cv::Vec3b>(0, i);
        const cv::Vec3b c = coloured.at<cv::Vec3b>(0, i);
        if (m[0] != first.R[size_t(i)] || m[1] != first.G[size_t(i)] || m[2] != first.B[size_t(i)] || c != m)
            abort();
    }
    return 0;
}
