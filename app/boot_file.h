// The boot file: last DigiBoard, auto start and auto NUC, kept from one run to the next.
#pragma once

#include <QString>

// Size of the caller's board-name buffer of ReadBootFile, terminator included.
constexpr int BootBoardNameBufferSize = 50;

// Reads p_sFileName in the application folder, or creates it with its default
// lines ("DigiBoard :Digi board ...", "Auto Start :0", "Auto NUC :0") when it
// cannot be read. p_szBoardName is a caller buffer of BootBoardNameBufferSize
// bytes, zero-filled by the caller; it receives the UTF-8 board name, cut to
// fit and always terminated. *p_pbAutoStart is false unless the file says
// otherwise; *p_pbAutoNUC keeps its value unless the file has a third line.
void ReadBootFile(char* p_szBoardName, QString p_sFileName, bool* p_pbAutoStart, bool* p_pbAutoNUC);

// Rewrites p_sFileName in the application folder with the given board name and options.
void UpdateBootFile(QString p_sBoardName, QString p_sFileName, const bool* p_pbAutoStart,
                    const bool* p_pbAutoNUC);
