// Windowing camera files: their names, the splice between two words and the geometry-line rewrite.
#include "board/windowing_camfile.h"

#include <QFile>
#include <QSaveFile>

#include <iostream>

namespace {

// A camera file is a few kilobytes; anything far larger is not one.
constexpr qint64 kMaxCamFileBytes = 4 << 20;

bool FirstLineEndIsCrLf(const QByteArray& p_Content)
{
    const int iAt = p_Content.indexOf('\n');
    return iAt > 0 && p_Content.at(iAt - 1) == '\r';
}

// Bare "\n" become "\r\n"; "\r\n" already there stay as they are.
QByteArray ToCrLf(const QByteArray& p_Text)
{
    QByteArray out;
    out.reserve(p_Text.size() + 8);
    for (int i = 0; i < p_Text.size(); ++i) {
        const char c = p_Text.at(i);
        if (c == '\n' && (i == 0 || p_Text.at(i - 1) != '\r'))
            out.append('\r');
        out.append(c);
    }
    return out;
}

QByteArray NumberText(uint32_t p_uValue)
{
    return QByteArray::number(qulonglong(p_uValue));
}

} // namespace

bool SpliceBetweenWords(const QByteArray& p_Content, const QByteArray& p_Word1, const QByteArray& p_Word2,
                        const QByteArray& p_TextA, const QByteArray& p_TextB, QByteArray* p_pResult)
{
    if (p_Word1.isEmpty() || p_Word2.isEmpty())
        return false;
    const int iFirst = p_Content.indexOf(p_Word1);
    if (iFirst < 0)
        return false;
    const int iSecond = p_Content.indexOf(p_Word2, iFirst + p_Word1.size());
    if (iSecond < 0)
        return false;
    const bool bCrLf = FirstLineEndIsCrLf(p_Content);
    QByteArray out;
    out.reserve(p_Content.size() + p_TextA.size() + p_TextB.size());
    out.append(p_Content.constData(), iFirst);
    out.append(bCrLf ? ToCrLf(p_TextA) : p_TextA);
    out.append(bCrLf ? ToCrLf(p_TextB) : p_TextB);
    out.append(p_Content.constData() + iSecond, p_Content.size() - iSecond);
    if (p_pResult)
        *p_pResult = out;
    return true;
}

bool EditCamFileBetweenWords(const char* p_szFileName, const QString& p_sWord1, const QString& p_sWord2,
                             const char* p_szTextA, const char* p_szTextB, int p_iLengthA, int p_iLengthB)
{
    if (p_szFileName == nullptr)
        return false;
    const QString sPath = QString::fromUtf8(p_szFileName);
    QFile file(sPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxCamFileBytes) {
        std::cout << "Camera file not readable: " << sPath.toStdString() << std::endl;
        return false;
    }
    const QByteArray content = file.readAll();
    file.close();

    const QByteArray word1 = p_sWord1.toUtf8();
    const QByteArray word2 = p_sWord2.toUtf8();
    const int iFirst = word1.isEmpty() ? -1 : content.indexOf(word1);
    if (iFirst < 0) {
        std::cout << "No word1 occurence found." << std::endl;
        return false;
    }
    if (word2.isEmpty() || content.indexOf(word2, iFirst + word1.size()) < 0) {
        std::cout << "No word2 occurence found." << std::endl;
        return false;
    }
    const QByteArray textA = (p_szTextA && p_iLengthA > 0) ? QByteArray(p_szTextA, p_iLengthA) : QByteArray();
    const QByteArray textB = (p_szTextB && p_iLengthB > 0) ? QByteArray(p_szTextB, p_iLengthB) : QByteArray();
    QByteArray result;
    if (!SpliceBetweenWords(content, word1, word2, textA, textB, &result))
        return false;

    QSaveFile out(sPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(result) != result.size() || !out.commit()) {
        std::cout << "Camera file not written: " << sPath.toStdString() << std::endl;
        return false;
    }
    return true;
}

QByteArray SetWindowHactiveLine(uint32_t p_uHactive)
{
    return "Hactive_Px =        " + NumberText(p_uHactive) + ";               <==\n";
}

QByteArray SetWindowVactiveLine(uint32_t p_uVactive)
{
    return "    Vactive_Ln =        " + NumberText(p_uVactive) + ";               <==\n    ";
}

QString WindowingCamFileBase(const QString& p_sApplicationDir, const QString& p_sProxyName, bool p_bSecondCamFile)
{
    QString s = p_sApplicationDir + QStringLiteral("/../Camfiles/Windowing/CamFile_Windowing_") + p_sProxyName;
    if (p_bSecondCamFile)
        s += QStringLiteral("_2");
    return s;
}

QString SourceCamFilePath(const QString& p_sApplicationDir, const QString& p_sProxyName, bool p_bSecondCamFile)
{
    QString s = p_sApplicationDir + QStringLiteral("/../Camfiles/CamFile_") + p_sProxyName;
    if (p_bSecondCamFile)
        s += QStringLiteral("_2");
    return s + QStringLiteral(".cam");
}

QByteArray RewriteGeometryLines(const QByteArray& p_Content, uint32_t p_uHactive, uint32_t p_uVactive)
{
    QByteArray out;
    out.reserve(p_Content.size() + 64);
    int iStart = 0;
    while (iStart < p_Content.size()) {
        const int iNewLine = p_Content.indexOf('\n', iStart);
        const int iEnd = iNewLine < 0 ? p_Content.size() : iNewLine + 1;
        const QByteArray line = p_Content.mid(iStart, iEnd - iStart);
        const QByteArray lower = line.toLower();
        const bool bBareLf = line.endsWith('\n') && !line.endsWith("\r\n");
        const char* szEnd = bBareLf ? "\n" : "\r\n";
        if (lower.contains("hactive_px ="))
            out += "    Hactive_Px =           " + NumberText(p_uHactive) + ";       <=" + szEnd;
        else if (lower.contains("vactive_ln ="))
            out += "    Vactive_Ln =          " + NumberText(p_uVactive) + ";       <=" + szEnd;
        else
            out += line;
        iStart = iEnd;
    }
    return out;
}
