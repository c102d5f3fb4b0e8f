// The bad-pixel offset file "BP_Offset.txt": one X/Y offset section per proxy model.
#pragma once

#include <QByteArray>
#include <QString>

// The file, in the application folder, starts with a first line that has no
// line end of its own, then one section per proxy model in the order the
// models were met:
//     <proxy name> :
//     X : <x>
//     Y : <y>
// A section is found by its whole header line; its two values are read as
// "X : %d" and "Y : %d", each followed by any white space (blank lines too).
namespace BPOffsetFile {
extern const char* const FileName;  // "BP_Offset.txt"
extern const char* const FirstLine; // "/***** Kestivo BP Offset File *****/"
} // namespace BPOffsetFile

// The section header line of a proxy: its UTF-8 name + " :\n".
QByteArray BPOffsetHeaderLine(const QString& p_sProxyName);

// The file's text around one proxy's section.
struct BPOffsetSplit
{
    bool Found = false; // the header line is in the text
    bool XRead = false; // the X value line could be read
    bool YRead = false;
    int X = 0; // clamped to the int range; 0 when not read
    int Y = 0;
    // Up to and including the header line; the whole text when the section is absent.
    QByteArray Before;
    // What follows the values and the white space after them; empty when the section is absent.
    QByteArray After;
};

// True when one whole line of p_Text is p_Header ("\r\n" ends a line as "\n" does).
bool HasBPOffsetSection(const QByteArray& p_Text, const QByteArray& p_Header);
BPOffsetSplit SplitBPOffsetText(const QByteArray& p_Text, const QByteArray& p_Header);
// The text with p_Header's section holding p_iX and p_iY: the section is
// rewritten in place (the text after it copied from just past its values), or
// added at the end, on a line of its own, when the text has none.
QByteArray SavedBPOffsetText(const BPOffsetSplit& p_Split, const QByteArray& p_Header, int p_iX, int p_iY);

enum class BPOffsetFileStatus {
    Ok,
    CannotOpen,  // the file could neither be opened for update nor created
    CannotWrite, // the file could not be read back or rewritten: left as it was
};

struct BPOffsetEnsureResult
{
    BPOffsetFileStatus Status = BPOffsetFileStatus::Ok;
    bool Created = false; // the file was missing and has been created
    bool Present = false; // the proxy's section was already there
};

// Makes sure the file exists (created with its first line) and holds a
// section for p_Header: a missing one is added as "\n" + header + "X : 0\n" + "Y : 0".
BPOffsetEnsureResult EnsureBPOffsetSection(const QString& p_sPath, const QByteArray& p_Header);

struct BPOffsetReadResult
{
    BPOffsetFileStatus Status = BPOffsetFileStatus::Ok;
    BPOffsetSplit Split;
    bool Appended = false; // the missing section was added with zero offsets
};

// Reads the file around p_Header's section. With p_bAddMissing, a missing
// section is added at the end with zero offsets (a file that does not exist
// is created empty first); otherwise the file is only read.
BPOffsetReadResult ReadBPOffsetSection(const QString& p_sPath, const QByteArray& p_Header, bool p_bAddMissing);

// Rewrites the file with p_Header's section holding p_iX and p_iY, every
// other byte kept. Nothing is written unless the file's current text could be
// read whole first, and the new text replaces the old at once.
BPOffsetFileStatus SaveBPOffsetSection(const QString& p_sPath, const QByteArray& p_Header, int p_iX, int p_iY,
                                       BPOffsetSplit* p_pSplit = nullptr);
