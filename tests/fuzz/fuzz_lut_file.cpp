// libFuzzer target: any bytes as a colour look-up-table file.
#include "fuzz_support.h"
#include "pipeline/colour_lut.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    ColourLutPlanes planes;
    planes.clear();
    const QString sPath = fuzz::WriteInput(p_pData, p_uSize, "lut.csv");
    ReadLutFile(sPath, planes, [](const QString&) {});
    // The merged table is always 1 x 256, whatever the file held.
    const cv::Mat merged = planes.merged();
    if (merged.rows != 1 || merged.cols != 256 || merged.channels() != 3)
        abort();
    return 0;
}
