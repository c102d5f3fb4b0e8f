// libFuzzer target: arbitrary bytes as a bad-pixel map, read and turned into the four orientation lists.
#include "board/bad_pixel_map.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    const QByteArray content(reinterpret_cast<const char*>(p_pData), int(p_uSize));
    const BadPixelMap map = ReadBadPixelCsv(content);
    if (map.Separator == 0 && !map.Pairs.isEmpty())
        abort();
    // A map taken as readable has its header and, when the reading stopped early, pairs before that.
    if (IsReadableBadPixelMap(map) && (map.Separator == 0 || (map.StoppedEarly && map.Pairs.isEmpty())))
        abort();
    if (!IsReadableBadPixelMap(map) && map.Separator != 0 && !map.StoppedEarly)
        abort();

    // A small frame, so that most pairs fall outside it and the cap is reached.
    const BadPixelFrame frame{40, 30, 96};
    const size_t capacity = 30 * 96 / 2;
    std::vector<std::vector<uint32_t>> words(4, std::vector<uint32_t>(capacity, 0));
    uint32_t* lists[4] = {words[0].data(), words[1].data(), words[2].data(), words[3].data()};
    const BadPixelFillResult r = FillBadPixelLists(map.Pairs, frame, lists, capacity);
    if (r.Stored >= capacity || int(r.Stored) > map.Pairs.size())
        abort();
    for (int k = 0; k < 4; ++k) {
        if (words[k][0] != r.Stored)
            abort();
        for (uint32_t i = 1; i <= r.Stored; ++i)
            if (words[k][i] >= capacity)
                abort();
    }
    return 0;
}
