// libFuzzer target: any bytes as the bad-pixel offset file, read, extended and rewritten for one proxy.
#include "fuzz_support.h"
#include "app/bp_offset_file.h"

#include <QFile>

#include <cstdlib>

namespace {

QByteArray ReadBack(const QString& p_sPath)
{
    QFile file(p_sPath);
    if (!file.open(QIODevice::ReadOnly))
        abort();
    return file.readAll();
}

// The text without the white space it starts with: what a rewrite keeps
// after the values (blank lines just after them are dropped).
QByteArray WithoutLeadingSpace(const QByteArray& p_Text)
{
    int i = 0;
    while (i < p_Text.size() && (p_Text.at(i) == ' ' || (p_Text.at(i) >= '\t' && p_Text.at(i) <= '\r')))
        ++i;
    return p_Text.mid(i);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    const QByteArray header = BPOffsetHeaderLine(QStringLiteral("Z668"));
    const QByteArray text(reinterpret_cast<const char*>(p_pData), static_cast<int>(p_uSize));

    // The split keeps every byte: what is around the values is a prefix and a suffix.
    const BPOffsetSplit split = SplitBPOffsetText(text, header);
    if (!text.startsWith(split.Before) || !text.endsWith(split.After)
        || split.Before.size() + split.After.size() > text.size())
        abort();
    if (!split.Found && (split.Before != text || !split.After.isEmpty()))
        abort();

    // Rewritten and read back: the new values, the text around them kept.
    const QString sPath = fuzz::WriteInput(p_pData, p_uSize, BPOffsetFile::FileName);
    if (SaveBPOffsetSection(sPath, header, -100, 100) != BPOffsetFileStatus::Ok)
        abort();
    const QByteArray saved = ReadBack(sPath);
    if (!saved.startsWith(split.Before) || !saved.endsWith(split.After))
        abort();
    const BPOffsetSplit again = SplitBPOffsetText(saved, header);
    if (!again.Found || !again.XRead || !again.YRead || again.X != -100 || again.Y != 100
        || again.After != WithoutLeadingSpace(split.After))
        abort();

    // Another proxy met: the file only grows, and its section is then found.
    const QByteArray other = BPOffsetHeaderLine(QStringLiteral("A123"));
    const BPOffsetEnsureResult ensure = EnsureBPOffsetSection(sPath, other);
    if (ensure.Status != BPOffsetFileStatus::Ok)
        abort();
    const QByteArray extended = ReadBack(sPath);
    if (!extended.startsWith(saved) || !HasBPOffsetSection(extended, other))
        abort();
    const BPOffsetReadResult read = ReadBPOffsetSection(sPath, header, true);
    if (read.Status != BPOffsetFileStatus::Ok || read.Appended || !read.Split.Found || read.Split.X != -100)
        abort();
    return 0;
}
