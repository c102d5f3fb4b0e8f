// The bad-pixel offset file: finding a proxy's section, reading its values and rewriting it in place.
#include "app/bp_offset_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <climits>

namespace BPOffsetFile {
const char* const FileName = "BP_Offset.txt";
const char* const FirstLine = "/***** Kestivo BP Offset File *****/";
} // namespace BPOffsetFile

namespace {

bool IsSpace(char p_c)
{
    return p_c == ' ' || p_c == '\t' || p_c == '\n' || p_c == '\v' || p_c == '\f' || p_c == '\r';
}

void SkipSpaces(const QByteArray& p_Text, int& p_iPos)
{
    while (p_iPos < p_Text.size() && IsSpace(p_Text.at(p_iPos)))
        ++p_iPos;
}

// The line without its line end ("\n", "\r\n" or none at the end of the text).
QByteArray LineBody(QByteArray p_Line)
{
    if (p_Line.endsWith('\n'))
        p_Line.chop(1);
    if (p_Line.endsWith('\r'))
        p_Line.chop(1);
    return p_Line;
}

// Reads "<letter> : <int>" and the white space after it from p_iPos, as the
// scanf pattern "X : %d\n" does. On success p_iPos moves past it; otherwise it stays.
bool ReadValue(const QByteArray& p_Text, char p_cLetter, int& p_iPos, int& p_iValue)
{
    int pos = p_iPos;
    const int size = p_Text.size();
    if (pos >= size || p_Text.at(pos) != p_cLetter)
        return false;
    ++pos;
    SkipSpaces(p_Text, pos);
    if (pos >= size || p_Text.at(pos) != ':')
        return false;
    ++pos;
    SkipSpaces(p_Text, pos);
    bool bNegative = false;
    if (pos < size && (p_Text.at(pos) == '+' || p_Text.at(pos) == '-')) {
        bNegative = p_Text.at(pos) == '-';
        ++pos;
    }
    const int firstDigit = pos;
    long long value = 0;
    while (pos < size && p_Text.at(pos) >= '0' && p_Text.at(pos) <= '9') {
        // Saturates: a value beyond the int range is read as the range's end.
        if (value <= static_cast<long long>(INT_MAX) + 1)
            value = value * 10 + (p_Text.at(pos) - '0');
        ++pos;
    }
    if (pos == firstDigit)
        return false;
    if (bNegative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    if (value < INT_MIN)
        value = INT_MIN;
    SkipSpaces(p_Text, pos);
    p_iPos = pos;
    p_iValue = static_cast<int>(value);
    return true;
}

QByteArray ValueLines(int p_iX, int p_iY)
{
    return "X : " + QByteArray::number(p_iX) + "\nY : " + QByteArray::number(p_iY) + "\n";
}

// Where a section added at the end of p_Text starts: a line of its own.
QByteArray LineBreakBeforeAppend(const QByteArray& p_Text)
{
    return (p_Text.isEmpty() || p_Text.endsWith('\n')) ? QByteArray() : QByteArray("\n");
}

// Reads a whole existing file; false when it cannot be opened for update.
bool ReadForUpdate(QFile& p_File, QByteArray& p_Text)
{
    if (!p_File.open(QIODevice::ReadWrite))
        return false;
    p_Text = p_File.readAll();
    return p_File.error() == QFileDevice::NoError;
}

bool ReadOnly(QFile& p_File, QByteArray& p_Text)
{
    if (!p_File.open(QIODevice::ReadOnly))
        return false;
    p_Text = p_File.readAll();
    return p_File.error() == QFileDevice::NoError;
}

bool WriteAll(QFile& p_File, const QByteArray& p_Data)
{
    return p_File.write(p_Data) == p_Data.size() && p_File.flush();
}

} // namespace

QByteArray BPOffsetHeaderLine(const QString& p_sProxyName)
{
    QByteArray name = p_sProxyName.toUtf8();
    // A line end inside the name would split the header over two lines.
    name.replace('\n', ' ');
    name.replace('\r', ' ');
    return name + " :\n";
}

bool HasBPOffsetSection(const QByteArray& p_Text, const QByteArray& p_Header)
{
    return SplitBPOffsetText(p_Text, p_Header).Found;
}

BPOffsetSplit SplitBPOffsetText(const QByteArray& p_Text, const QByteArray& p_Header)
{
    BPOffsetSplit split;
    const QByteArray wanted = LineBody(p_Header);
    int pos = 0;
    const int size = p_Text.size();
    while (pos < size) {
        const int end = p_Text.indexOf('\n', pos);
        const int next = end < 0 ? size : end + 1;
        if (LineBody(p_Text.mid(pos, next - pos)) == wanted) {
            split.Found = true;
            pos = next;
            break;
        }
        pos = next;
    }
    split.Before = p_Text.left(pos);
    if (!split.Found)
        return split;
    split.XRead = ReadValue(p_Text, 'X', pos, split.X);
    split.YRead = ReadValue(p_Text, 'Y', pos, split.Y);
    split.After = p_Text.mid(pos);
    return split;
}

QByteArray SavedBPOffsetText(const BPOffsetSplit& p_Split, const QByteArray& p_Header, int p_iX, int p_iY)
{
    QByteArray text = p_Split.Before;
    // A header found on the last line, without its line end, is ended first.
    text += LineBreakBeforeAppend(text);
    if (!p_Split.Found)
        text += p_Header;
    text += ValueLines(p_iX, p_iY);
    text += p_Split.After;
    return text;
}

BPOffsetEnsureResult EnsureBPOffsetSection(const QString& p_sPath, const QByteArray& p_Header)
{
    BPOffsetEnsureResult result;
    QFile file(p_sPath);
    QByteArray text;
    if (QFileInfo::exists(p_sPath)) {
        if (!ReadForUpdate(file, text)) {
            result.Status = BPOffsetFileStatus::CannotOpen;
            return result;
        }
    } else {
        if (!file.open(QIODevice::WriteOnly) || !WriteAll(file, BPOffsetFile::FirstLine)) {
            result.Status = BPOffsetFileStatus::CannotOpen;
            return result;
        }
        result.Created = true;
    }
    if (!result.Created && HasBPOffsetSection(text, p_Header)) {
        result.Present = true;
        return result;
    }
    // The leading line end ends the line before; after a line that already
    // ends, the new section follows a blank line.
    if (!file.seek(file.size()) || !WriteAll(file, "\n" + p_Header + "X : 0\nY : 0"))
        result.Status = BPOffsetFileStatus::CannotOpen;
    return result;
}

BPOffsetReadResult ReadBPOffsetSection(const QString& p_sPath, const QByteArray& p_Header, bool p_bAddMissing)
{
    BPOffsetReadResult result;
    QFile file(p_sPath);
    QByteArray text;
    if (QFileInfo::exists(p_sPath)) {
        const bool bOpened = p_bAddMissing ? ReadForUpdate(file, text) : ReadOnly(file, text);
        if (!bOpened) {
            result.Status = BPOffsetFileStatus::CannotOpen;
            return result;
        }
    } else if (p_bAddMissing) {
        if (!file.open(QIODevice::WriteOnly)) {
            result.Status = BPOffsetFileStatus::CannotOpen;
            return result;
        }
    }
    result.Split = SplitBPOffsetText(text, p_Header);
    if (result.Split.Found || !p_bAddMissing)
        return result;
    const QByteArray section = LineBreakBeforeAppend(text) + p_Header + "X : 0\nY : 0\n";
    if (!file.seek(file.size()) || !WriteAll(file, section)) {
        result.Status = BPOffsetFileStatus::CannotOpen;
        return result;
    }
    result.Appended = true;
    return result;
}

BPOffsetFileStatus SaveBPOffsetSection(const QString& p_sPath, const QByteArray& p_Header, int p_iX, int p_iY,
                                       BPOffsetSplit* p_pSplit)
{
    QByteArray text;
    if (QFileInfo::exists(p_sPath)) {
        // Opened for update, as the rewrite needs: a file that cannot be
        // written is left alone rather than replaced.
        QFile file(p_sPath);
        if (!ReadForUpdate(file, text))
            return BPOffsetFileStatus::CannotWrite;
    }
    const BPOffsetSplit split = SplitBPOffsetText(text, p_Header);
    if (p_pSplit)
        *p_pSplit = split;
    QSaveFile out(p_sPath);
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly))
        return BPOffsetFileStatus::CannotWrite;
    const QByteArray saved = SavedBPOffsetText(split, p_Header, p_iX, p_iY);
    if (out.write(saved) != saved.size() || !out.commit())
        return BPOffsetFileStatus::CannotWrite;
    return BPOffsetFileStatus::Ok;
}
