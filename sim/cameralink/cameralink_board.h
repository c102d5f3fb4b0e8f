// The simulated Camera Link interface boards (Arvex, Belmor, Belmor+): their serial command protocol.
#pragma once

#include "sim/core/board_kind.h"
#include "sim/core/sensor_model.h"

#include <QByteArray>

#include <map>
#include <memory>
#include <mutex>

namespace sim {

// One Camera Link interface board as its serial channel sees it. Each call of
// receive() is one message exactly as the grabber's serial port delivered it
// (the boards' commands have no terminator, so a message is one write).
//
// Dialects: Belmor and Belmor+ take "!" + letter + digits of any length; the
// Arvex board takes the "!" register texts and its own "*" texts zero-filled
// to 8 bytes. All three answer the probe "v", "!p"/"!f" (Arvex "*p"/"*f")
// with the stored proxy and frame-rate numbers in decimal, take their board-side
// FPN reference on "!s"/"*s" and take FPGA writes as "#A002#R<reg>#D<value>"
// (or the PERSO_ADDR / PERSO_VALUE pair). The board puts out its own
// FPN-corrected image once a reference is taken, unless bit 0 of FPGA
// register 6 (correction off) is set.
// The register values go into the board's SensorModel (board_registry.h).
class CameraLinkBoard
{
public:
    explicit CameraLinkBoard(BoardKind p_Kind);

    BoardKind kind() const { return m_Kind; }

    // Handles one message; returns the reply bytes (empty when the board says nothing).
    QByteArray receive(const QByteArray& p_Message);

    // The text the board answers to the probe "v".
    QByteArray identification() const;

    // The proxy number the board answers to its "p" query for a proxy index,
    // and the proxy index that a written proxy number (register 27) means.
    // Belmor and Belmor+ count like the index; the Arvex board answers one less.
    int proxyNumberOnWire(int p_iProxyIndex) const;
    int proxyIndexFromWire(int p_iNumber) const;

    // The Arvex bad-pixel memory: slot -> (column, row), filled by "*w", "*x", "*y".
    struct BadPixelEntry
    {
        int column = -1;
        int row = -1;
    };
    std::map<int, BadPixelEntry> badPixelMemory() const;
    int badPixelCorrectionMode() const;   // "*L"; -1 until written

    // Forgets what the board learnt since power-on (bad-pixel memory, pending index).
    void powerCycle();

private:
    bool handleRegisterText(const QByteArray& p_Text);
    bool handleStarText(const QByteArray& p_Text);
    bool handleFpgaText(const QByteArray& p_Text);
    void writeRegister(int p_iId, int p_iValue);
    void updateCorrectedOutput();

    const BoardKind m_Kind;
    mutable std::mutex m_Mutex;
    std::map<int, BadPixelEntry> m_BadPixels;
    int m_iBadPixelSlot = 0;
    int m_iBadPixelMode = -1;
    bool m_bFpnReference = false;   // "!s"/"*s" taken since power-on
};

// The one board object of each Camera Link kind (Arvex, Belmor, BelmorPlus).
CameraLinkBoard& CameraLinkBoardFor(BoardKind p_Kind);
bool IsCameraLinkKind(BoardKind p_Kind);

// Parses an optionally signed decimal number that fills p_Text entirely.
bool ParseDecimal(const QByteArray& p_Text, int* p_pValue);

} // namespace sim
