// Decoding what an interface board reports of its set-up: reply numbers, proxy list positions, frame-rate texts.
#include "board/board_configuration.h"

#include "params/proxy_lookup.h"

#include <cstring>
#include <limits>

bool ReadLeadingDecimal(const QByteArray& p_Reply, int* p_pValue)
{
    int i = 0;
    while (i < p_Reply.size() && (p_Reply.at(i) == ' ' || p_Reply.at(i) == '\r' || p_Reply.at(i) == '\n'))
        ++i;
    long long llValue = 0;
    int iDigits = 0;
    for (; i < p_Reply.size() && p_Reply.at(i) >= '0' && p_Reply.at(i) <= '9'; ++i, ++iDigits) {
        llValue = llValue * 10 + (p_Reply.at(i) - '0');
        if (llValue > std::numeric_limits<int>::max())
            return false;
    }
    if (iDigits == 0)
        return false;
    *p_pValue = static_cast<int>(llValue);
    return true;
}

namespace {

BoardIdentification FromReplies(const QByteArray& p_ProxyReply, const QByteArray& p_RateReply, int p_iOffset,
                                int (*p_Table)(unsigned))
{
    BoardIdentification id;
    int iNumber = 0;
    if (ReadLeadingDecimal(p_ProxyReply, &iNumber)) {
        id.ProxyRead = true;
        id.ProxyListPosition = p_Table(static_cast<unsigned>(iNumber + p_iOffset));
    }
    int iRate = 0;
    if (ReadLeadingDecimal(p_RateReply, &iRate)) {
        id.RateRead = true;
        id.FrameRate = iRate;
    }
    return id;
}

} // namespace

BoardIdentification IdentifyBelmorPlus(const QByteArray& p_ProxyReply, const QByteArray& p_RateReply)
{
    return FromReplies(p_ProxyReply, p_RateReply, -1, ProxyIndexFromBoardNumber_A);
}

BoardIdentification IdentifyArvex(const QByteArray& p_ProxyReply, const QByteArray& p_RateReply)
{
    return FromReplies(p_ProxyReply, p_RateReply, 0, ProxyIndexFromBoardNumber_B);
}

BoardIdentification IdentifyDunstel(const QByteArray& p_ProxyReply, const QByteArray& p_RateReply)
{
    return FromReplies(p_ProxyReply, p_RateReply, 1, ProxyIndexFromBoardNumber_A);
}

BoardIdentification IdentifyCorvane(int p_iProxyStatus, int p_iProxyNumber, int p_iRateStatus, int p_iRateNumber)
{
    BoardIdentification id;
    if (p_iRateStatus == 0 && p_iRateNumber != -255) {
        id.RateRead = true;
        id.FrameRate = p_iRateNumber;
    }
    // A failed rate read makes the proxy number as doubtful as the rate.
    if (id.RateRead && p_iProxyStatus == 0 && p_iProxyNumber != -255 && p_iProxyNumber != -1) {
        id.ProxyRead = true;
        id.ProxyListPosition = ProxyIndexFromBoardNumber_C(static_cast<unsigned>(p_iProxyNumber));
    }
    return id;
}

QString ProxyListText(int p_iPosition)
{
    if (p_iPosition < 0 || p_iPosition >= kProxyListSize)
        p_iPosition = 0;
    return QString::fromLatin1(kProxyListNames[p_iPosition]);
}

int ProxyIndexFromListPosition(int p_iPosition)
{
    return GetProxyIndexFromName(ProxyListText(p_iPosition).toStdString()) + 1;
}

QString FrameRateEntryText(int p_iFrameRate)
{
    switch (p_iFrameRate) {
    case 25:
    case 30:
    case 50:
    case 60:
    case 100:
    case 120:
    case 200:
        return QString::number(p_iFrameRate) + QStringLiteral(" FPS");
    case DefaultFrameRateCode:
        return QStringLiteral("Default frequency");
    default:
        return QStringLiteral("Custom frequency");
    }
}

bool CopyUtf8Bounded(const QString& p_sText, char* p_szBuffer, size_t p_uSize)
{
    if (p_szBuffer == nullptr || p_uSize == 0)
        return false;
    const QByteArray utf8 = p_sText.toUtf8();
    size_t uLength = static_cast<size_t>(utf8.size());
    const bool bFits = uLength < p_uSize;
    if (!bFits) {
        uLength = p_uSize - 1;
        // Never leave half a character behind.
        while (uLength > 0 && (static_cast<unsigned char>(utf8.at(static_cast<int>(uLength))) & 0xC0) == 0x80)
            --uLength;
    }
    std::memcpy(p_szBuffer, utf8.constData(), uLength);
    p_szBuffer[uLength] = '\0';
    return bFits;
}
