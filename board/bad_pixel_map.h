// Bad-pixel map files: the CSV reader and the four orientation index lists built from it.
#pragma once

#include <QByteArray>
#include <QVector>

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The whole of an open map file from its start (reading stops past 256 MB: no map is that big).
QByteArray ReadBadPixelFileContent(FILE* p_pFile);

// One (row, column) pair as the file gives it; values beyond 32 bits are
// clamped, so they stay out of any frame.
struct BadPixelPair
{
    int64_t Row = 0;
    int64_t Column = 0;
};

struct BadPixelMap
{
    // ',' or ';' after "Ligne"; 0 when the header is not "Ligne" + one of them + "Colonne".
    char Separator = 0;
    QVector<BadPixelPair> Pairs;
    // The reading stopped before the end of the file at something that is
    // not a pair; BadLine is its 1-based line number.
    bool StoppedEarly = false;
    int BadLine = 0;
};

// Reads "Ligne" + separator + "Colonne", then pairs "row<sep>column", each
// number a C "%i" integer (sign, decimal, 0-octal, 0x-hex) with white space
// and line breaks skipped before it, the separator right after the row. Every
// pair that scans counts, the last one too when no line break ends the file.
// The reading ends at the end of the file or at the first text that does not
// scan as a pair. A UTF-8 byte-order mark before the header is skipped.
BadPixelMap ReadBadPixelCsv(const QByteArray& p_Content);

// Something was read as a map: its header, and the pairs up to the end of the
// file or at least one before the first text that is not a pair. A file of
// anything else is no map and must not replace the one in use.
bool IsReadableBadPixelMap(const BadPixelMap& p_Map);

// The running acquisition's frame: width and height in pixels, pitch in bytes.
struct BadPixelFrame
{
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t PitchBytes = 0;
};

struct BadPixelFillResult
{
    uint32_t Stored = 0;      // the count now in word 0 of every list
    bool OutOfRange = false;  // a pair outside the frame ended the filling
    int OutOfRangeIndex = -1; // 0-based number of that pair
    bool Capped = false;      // more pairs than a list holds: the rest left out
};

// Fills list k (k = UpRow + 2 x UpCol) with the pixel indices of the pairs:
// 0 as read, 1 rows flipped, 2 columns flipped, 3 both, the flips taken
// from the frame's own height and width. Each list holds p_uCapacityWords
// words: the count, then the indices. The first pair outside the frame stops
// the filling (the pairs before it stay). Any list pointer may be null only
// when all are; then nothing is written.
BadPixelFillResult FillBadPixelLists(const QVector<BadPixelPair>& p_Pairs, const BadPixelFrame& p_Frame,
                                     uint32_t* const p_pLists[4], size_t p_uCapacityWords);

// Word 0 of every list := 0.
void ClearBadPixelCounts(uint32_t* const p_pLists[4]);
