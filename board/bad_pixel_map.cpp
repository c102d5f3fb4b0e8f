// Bad-pixel map files: the CSV reader and the four orientation index lists built from it.
#include "board/bad_pixel_map.h"

#include <algorithm>

namespace {

// Far beyond any frame, far below overflow.
constexpr int64_t kValueLimit = int64_t(1) << 40;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

class Scanner
{
public:
    explicit Scanner(const QByteArray& p_Text) : m_Text(p_Text) {}

    int position() const { return m_iAt; }
    void setPosition(int p_iAt) { m_iAt = p_iAt; }
    bool atEnd() const { return m_iAt >= m_Text.size(); }
    char peek(int p_iAhead = 0) const
    {
        const int i = m_iAt + p_iAhead;
        return i < m_Text.size() ? m_Text.at(i) : '\0';
    }

    void skipSpace()
    {
        while (!atEnd() && IsSpace(peek()))
            ++m_iAt;
    }
    bool literal(const char* p_szText)
    {
        int i = 0;
        for (; p_szText[i] != '\0'; ++i)
            if (peek(i) != p_szText[i])
                return false;
        m_iAt += i;
        return true;
    }
    // A C "%i" conversion; white space before it is skipped.
    bool integer(int64_t* p_pValue)
    {
        skipSpace();
        int i = 0;
        bool bNegative = false;
        if (peek(i) == '+' || peek(i) == '-') {
            bNegative = peek(i) == '-';
            ++i;
        }
        int base = 10;
        if (peek(i) == '0' && (peek(i + 1) == 'x' || peek(i + 1) == 'X') && DigitValue(peek(i + 2)) < 16) {
            base = 16;
            i += 2;
        } else if (peek(i) == '0') {
            base = 8;
        }
        int64_t value = 0;
        int digits = 0;
        while (DigitValue(peek(i)) < base) {
            value = std::min(value * base + DigitValue(peek(i)), kValueLimit);
            ++digits;
            ++i;
        }
        if (digits == 0)
            return false;
        m_iAt += i;
        *p_pValue = bNegative ? -value : value;
        return true;
    }
    int lineAt(int p_iAt) const { return 1 + int(std::count(m_Text.constData(), m_Text.constData() + p_iAt, '\n')); }

private:
    const QByteArray& m_Text;
    int m_iAt = 0;
};

} // namespace

BadPixelMap ReadBadPixelCsv(const QByteArray& p_Content)
{
    BadPixelMap map;
    Scanner scan(p_Content);
    scan.literal("\xEF\xBB\xBF");
    if (!scan.literal("Ligne") || scan.atEnd())
        return map;
    const char separator = scan.peek();
    scan.setPosition(scan.position() + 1);
    if ((separator != ',' && separator != ';') || !scan.literal("Colonne"))
        return map;
    map.Separator = separator;

    for (;;) {
        scan.skipSpace();
        if (scan.atEnd())
            break;
        const int iStart = scan.position();
        BadPixelPair pair;
        if (!scan.integer(&pair.Row) || scan.peek() != separator) {
            map.StoppedEarly = true;
            map.BadLine = scan.lineAt(iStart);
            break;
        }
        scan.setPosition(scan.position() + 1);
        if (!scan.integer(&pair.Column)) {
            map.StoppedEarly = true;
            map.BadLine = scan.lineAt(iStart);
            break;
        }
        map.Pairs.append(pair);
    }
    return map;
}

QByteArray ReadBadPixelFileContent(FILE* p_pFile)
{
    // Far larger than any map: a file this size is not one.
    constexpr size_t kMaxMapBytes = size_t(256) << 20;
    QByteArray content;
    if (p_pFile == nullptr)
        return content;
    std::rewind(p_pFile);
    char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), p_pFile)) > 0) {
        content.append(buffer, int(n));
        if (size_t(content.size()) > kMaxMapBytes)
            break;
    }
    return content;
}

bool IsReadableBadPixelMap(const BadPixelMap& p_Map)
{
    return p_Map.Separator != 0 && !(p_Map.StoppedEarly && p_Map.Pairs.isEmpty());
}

BadPixelFillResult FillBadPixelLists(const QVector<BadPixelPair>& p_Pairs, const BadPixelFrame& p_Frame,
                                     uint32_t* const p_pLists[4], size_t p_uCapacityWords)
{
    BadPixelFillResult result;
    for (int k = 0; k < 4; ++k)
        if (p_pLists[k] == nullptr)
            return result;
    if (p_uCapacityWords == 0)
        return result;

    const int64_t lineElements = p_Frame.PitchBytes / 2;
    const int64_t width = std::min<int64_t>(p_Frame.Width, lineElements);
    const int64_t height = p_Frame.Height;
    const size_t maxPairs = p_uCapacityWords - 1;
    uint32_t stored = 0;
    for (int i = 0; i < p_Pairs.size(); ++i) {
        if (size_t(i) >= maxPairs) {
            result.Capped = true;
            break;
        }
        const int64_t r = p_Pairs[i].Row;
        const int64_t c = p_Pairs[i].Column;
        if (r < 0 || c < 0 || r >= height || c >= width) {
            result.OutOfRange = true;
            result.OutOfRangeIndex = i;
            break;
        }
        const int64_t rowFlipped = height - r - 1;
        const int64_t colFlipped = width - c - 1;
        p_pLists[0][1 + i] = uint32_t(lineElements * r + c);
        p_pLists[1][1 + i] = uint32_t(lineElements * rowFlipped + c);
        p_pLists[2][1 + i] = uint32_t(lineElements * r + colFlipped);
        p_pLists[3][1 + i] = uint32_t(lineElements * rowFlipped + colFlipped);
        ++stored;
    }
    for (int k = 0; k < 4; ++k)
        p_pLists[k][0] = stored;
    result.Stored = stored;
    return result;
}

void ClearBadPixelCounts(uint32_t* const p_pLists[4])
{
    for (int k = 0; k < 4; ++k)
        if (p_pLists[k] != nullptr)
            p_pLists[k][0] = 0;
}
