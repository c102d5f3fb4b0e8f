// libFuzzer target: any bytes as a two-point NUC gain file for a small frame.
#include "fuzz_support.h"
#include "pipeline/two_point_nuc_gain_file.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    // The first byte picks the frame: width 1..16, height 1..8, two padding columns.
    if (p_uSize == 0)
        return 0;
    const int iWidth = 1 + (p_pData[0] & 0x0F);
    const int iHeight = 1 + ((p_pData[0] >> 4) & 0x07);
    const QString sPath = fuzz::WriteInput(p_pData + 1, p_uSize - 1, "gain.csv");
    const TwoPointNUCGainRead r = ReadTwoPointNUCGainFile(sPath, iWidth, iHeight, iWidth + 2);
    const int64_t needed = int64_t(iWidth) * iHeight;
    if (r.ValuesRead > needed)
        abort();
    if (r.Status == TwoPointNUCGainStatus::Loaded) {
        if (r.ValuesRead != needed || r.Gains.rows != iHeight || r.Gains.cols != iWidth + 2
            || r.Gains.type() != CV_64FC1)
            abort();
        for (int y = 0; y < iHeight; ++y)
            for (int x = 0; x < iWidth + 2; ++x) {
                const double d = r.Gains.at<double>(y, x);
                if (!std::isfinite(d) || (x >= iWidth && d != 1.0))
                    abort();
            }
    } else if (!r.Gains.empty() || TwoPointNUCGainFailureText(r, iWidth, iHeight).isEmpty()) {
        abort();
    }
    return 0;
}
