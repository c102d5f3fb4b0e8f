// Commands to the serial-port board: "!" + register letter + at least four digits.
#pragma once

#include <QString>

class QIODevice;

// The command's text status: what FormatEskraCommand could build.
enum EskraCommandStatus : int {
    EskraCommandOk = 0,
    EskraCommandRefused = -1,   // the value does not fit the 9-character command
};

// The register letter of the serial-port board for a BoardRegisterId, or 0
// when the board has no such register.
char EskraRegisterLetter(int p_iId);

// "!%c%04d" for ids 0-12, "NONE" for an id without a letter. A value whose
// text would pass 9 characters (below -999999 or above 9999999) is refused:
// the result is empty, *p_pStatus is EskraCommandRefused and the log says why,
// rather than sending a cut value the board would take for another one.
// Switches the log's console echo on for the rest of the run and logs
// "Send " + text.
QString FormatEskraCommand(int p_iId, int p_iValue, int* p_pStatus = nullptr);

// Formats and writes one command to the board's port (the caller waits
// afterwards). -1 when the value is refused or the write fails, else the
// number of bytes written.
qint64 WriteEskraCommand(QIODevice* p_pPort, int p_iId, int p_iValue);
