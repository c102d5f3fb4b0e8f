// libFuzzer target: any bytes as the boards' identification replies (proxy and frame-rate answers).
#include "board/board_configuration.h"

#include <cstdlib>
#include <cstring>

namespace {

void Check(const BoardIdentification& p_Id)
{
    // Whatever a board answers, the position names an item of the proxy list
    // and the rate is a number the set-up window can show.
    const QString sItem = ProxyListText(p_Id.ProxyListPosition);
    if (sItem.isEmpty())
        abort();
    ProxyIndexFromListPosition(p_Id.ProxyListPosition);
    if (FrameRateEntryText(p_Id.FrameRate).isEmpty())
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    // The input is "<proxy reply>\0<rate reply>".
    const char* pBytes = reinterpret_cast<const char*>(p_pData);
    const void* pSplit = memchr(pBytes, 0, p_uSize);
    const size_t uFirst = pSplit ? static_cast<const char*>(pSplit) - pBytes : p_uSize;
    const QByteArray proxy(pBytes, static_cast<int>(uFirst));
    const QByteArray rate = uFirst < p_uSize ? QByteArray(pBytes + uFirst + 1, static_cast<int>(p_uSize - uFirst - 1))
                                             : QByteArray();
    int iValue = -7;
    if (!ReadLeadingDecimal(proxy, &iValue) && iValue != -7)
        abort();
    Check(IdentifyBelmorPlus(proxy, rate));
    Check(IdentifyArvex(proxy, rate));
    Check(IdentifyDunstel(proxy, rate));
    int iA = 0, iB = 0;
    ReadLeadingDecimal(proxy, &iA);
    ReadLeadingDecimal(rate, &iB);
    Check(IdentifyCorvane(iA & 1 ? -1 : 0, iA, iB & 1 ? -1 : 0, iB));
    char szBuffer[20];
    CopyUtf8Bounded(QString::fromUtf8(proxy), szBuffer, sizeof szBuffer);
    if (memchr(szBuffer, 0, sizeof szBuffer) == nullptr)
        abort();
    return 0;
}
