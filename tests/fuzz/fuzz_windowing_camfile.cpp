// libFuzzer target: arbitrary bytes as a camera file, through the set-window splice and the windowing window's rewrite.
#include "board/windowing_camfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    const QByteArray content(reinterpret_cast<const char*>(p_pData), int(p_uSize));
    const QByteArray a = SetWindowHactiveLine(330);
    const QByteArray b = SetWindowVactiveLine(241);
    QByteArray spliced;
    if (SpliceBetweenWords(content, "Hactive_Px =", "HSyncAft_Tk =", a, b, &spliced)) {
        // The head before the first word and the tail from the second word stay.
        const int iFirst = content.indexOf("Hactive_Px =");
        const int iSecond = content.indexOf("HSyncAft_Tk =", iFirst + 12);
        if (spliced.left(iFirst) != content.left(iFirst) || !spliced.endsWith(content.mid(iSecond)))
            abort();
    } else if (content.contains("Hactive_Px =") && content.indexOf("HSyncAft_Tk =", content.indexOf("Hactive_Px =") + 12) >= 0) {
        abort();
    }

    const QByteArray rewritten = RewriteGeometryLines(content, 328, 240);
    // Without a geometry line nothing changes.
    const QByteArray lower = content.toLower();
    if (!lower.contains("hactive_px =") && !lower.contains("vactive_ln =") && rewritten != content)
        abort();
    return 0;
}
