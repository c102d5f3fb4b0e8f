// Windowing camera files: their names, the splice between two words and the geometry-line rewrite.
#pragma once

#include <QByteArray>
#include <QString>

// ---- The splice of the set-window button ------------------------------------------

// p_Content with everything from the first p_Word1 up to the first p_Word2
// after it replaced by p_TextA then p_TextB; p_Word2 and the rest stay. The
// texts' "\n" line ends become "\r\n" when the content's first line end is
// "\r\n", so a file keeps one line-end style. False (p_pResult untouched)
// when either word is missing.
bool SpliceBetweenWords(const QByteArray& p_Content, const QByteArray& p_Word1, const QByteArray& p_Word2,
                        const QByteArray& p_TextA, const QByteArray& p_TextB, QByteArray* p_pResult);

// The file form: reads p_szFileName, splices, and replaces the file only when
// both words were found (written to a temporary file first, so a failed write
// leaves the old file). The texts are p_iLengthA / p_iLengthB bytes. Prints
// "No word1 occurence found." / "No word2 occurence found." when a word is missing.
bool EditCamFileBetweenWords(const char* p_szFileName, const QString& p_sWord1, const QString& p_sWord2,
                             const char* p_szTextA, const char* p_szTextB, int p_iLengthA, int p_iLengthB);

// The two geometry lines the set-window button writes in place of the old
// Hactive_Px / Vactive_Ln lines.
QByteArray SetWindowHactiveLine(uint32_t p_uHactive);
QByteArray SetWindowVactiveLine(uint32_t p_uVactive);

// Application folder + "/../Camfiles/Windowing/CamFile_Windowing_" + proxy
// name, with "_2" for the second camera file; no extension.
QString WindowingCamFileBase(const QString& p_sApplicationDir, const QString& p_sProxyName, bool p_bSecondCamFile);
// Application folder + "/../Camfiles/CamFile_" + proxy name [+ "_2"] + ".cam".
QString SourceCamFilePath(const QString& p_sApplicationDir, const QString& p_sProxyName, bool p_bSecondCamFile);

// ---- The windowing window's rewrite -----------------------------------------------

// Every line that contains "Hactive_Px =" (any letter case) becomes
// "    Hactive_Px =           " + p_uHactive + ";       <=" and, otherwise,
// every line that contains "Vactive_Ln =" becomes
// "    Vactive_Ln =          " + p_uVactive + ";       <=", each ended by
// "\r\n" (or "\n" when the line it replaces ended so); other lines stay byte
// for byte. The ";" ends the statement, as the frame grabber requires.
QByteArray RewriteGeometryLines(const QByteArray& p_Content, uint32_t p_uHactive, uint32_t p_uVactive);
