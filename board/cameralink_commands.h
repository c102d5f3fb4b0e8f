// Register commands of the Camera Link boards: "!" texts for Belmor and Belmor+, "*"/"!" 8-byte texts for Arvex.
#pragma once

#include <QByteArray>

// Results besides the write status of clSerialWrite (0 = sent).
enum CameraLinkCommandStatus : int {
    CameraLinkCommandNoLetter = -1,   // the board has no such register: nothing sent
    CameraLinkCommandRefused = -2,    // the value does not fit the board's command: nothing sent
};

// The register letter of a BoardRegisterId, or 0 when the board has none.
char BelmorRegisterLetter(int p_iId);
char ArvexRegisterLetter(int p_iId);

// The command text without sending it; empty when the id has no letter.
// Belmor/Belmor+: "!%c%04d", id 21 "!%c%05d" of the low 16 bits, ids 22-25 "!%c%03d".
QByteArray FormatBelmorCommand(int p_iId, int p_iValue);
// Arvex: "!%c%04d" for ids 0-12, "*%c%04d" / "*O%05d" of the low 16 bits for
// the others. The text may be longer than the 8 bytes the board takes.
QByteArray FormatArvexCommand(int p_iId, int p_iValue);

// The bytes the Arvex board receives per command.
constexpr int ArvexCommandBytes = 8;

// Belmor and Belmor+. Flushes the port, writes the text and waits 50 ms after
// PERSO_ADDR / PERSO_VALUE, 150 ms after the others. Returns the write status,
// or CameraLinkCommandNoLetter after the flush alone. p_bShowError is unused:
// callers report failures themselves.
int SendCameraLinkCommand(int p_iId, int p_iValue, bool p_bShowError);

// Arvex. Flushes the port, writes exactly 8 bytes (the text, zero-filled) and
// waits 100 ms. A text that does not fit 8 bytes is refused with a log line
// (CameraLinkCommandRefused) instead of sending a cut value the board would
// take for another one.
int SendCameraLinkCommandStar(int p_iId, int p_iValue, bool p_bShowError);
