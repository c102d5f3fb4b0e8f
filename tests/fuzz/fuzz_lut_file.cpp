// libFuzzer target: any bytes as a colour look-up-table file.
#include "fuzz_support.h"
#include "pipeline/colour_lut.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    ColourLutPlanes planes;
    planes.clear();
    planes.R[7] = 7;
    planes.G[200] = 200;
    const ColourLutPlanes before = planes;
    const QString sPath = fuzz::WriteInput(p_pData, p_uSize, "lut.csv");
    const LutReadStatus status = ReadLutFileStatus(sPath, planes, [](const QString&) {});
    // A file refused as no table leaves the table in use as it was.
    if (status != LutReadStatus::Loaded && (planes.R != before.R || planes.G != before.G || planes.B != before.B))
        abort();
    // The merged table is always 1 x 256, whatever the file held.
    const cv::Mat merged = planes.merged();
    if (merged.rows != 1 || merged.cols != 256 || merged.channels() != 3)
        abort();
    return 0;
}
