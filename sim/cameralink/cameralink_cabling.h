// The simulated frame grabber's Camera Link connectors and which board answers on each.
#pragma once

#include "sim/core/board_kind.h"

#include <QByteArray>

#include <vector>

namespace sim {

// What is plugged into one connector of the simulated grabber.
enum class CameraLinkPlug {
    AnyPresentBoard,   // the present Camera Link boards (see CameraLinkPortBoard)
    Arvex,
    Belmor,
    BelmorPlus,
    Nothing,           // an empty connector: writes go nowhere, nothing answers
};

// The grabber's connectors. By default one connector on which every present
// Camera Link board listens, so that whichever board the operator selects in
// the program answers; tests lay out others (an empty first port, a second
// board). Any thread.
void SetCameraLinkPortLayout(const std::vector<CameraLinkPlug>& p_Layout);
void ResetCameraLinkPortLayout();

// Ports the grabber offers: 0 when simulation is off or no Camera Link board
// is present (there is no grabber then), else the layout's size.
int CameraLinkPortCount();

// The board a message on port p_iPort reaches; Nothing for an empty
// connector. On the shared connector the message's dialect picks the board:
// "*" texts and 8-byte zero-filled commands are the Arvex board's, "!" texts
// go to Belmor+ (or Belmor when only that one is present), and a text that
// tells nothing ("v", "#A...", a terminal line) goes to the board that spoke last.
// A zero-filled "!" text (the windowing corners, sent so to every Camera Link
// board) goes to the Belmor or Belmor+ when that board spoke last.
BoardKind CameraLinkPortRoute(int p_iPort, const QByteArray& p_Message, bool* p_pNothing);

// The board whose video the grabber sees on the port (the one routed to
// last); *p_pNothing true when no board is there. Uses the board presence
// as the last port enumeration or write read it, so frame threads never
// read the settings file.
BoardKind CameraLinkPortBoard(int p_iPort, bool* p_pNothing);

// Result of one write on a port, faults applied (fault_injector.h): a write
// failure fails the write; a silent port or reply time-out swallows the reply.
struct CameraLinkWriteOutcome
{
    bool failed = false;
    QByteArray reply;
};
CameraLinkWriteOutcome CameraLinkPortWrite(int p_iPort, const QByteArray& p_Message);

// A pending Fault::NoPort on a connector's boards removes the connector.
bool CameraLinkPortBaudRateFails(int p_iPort);   // Fault::BaudRateFailure

// Bytes the board on port p_iPort sends on its own (test hook: stale input,
// line noise); they wait in the port until read or flushed.
void CameraLinkPortEmit(int p_iPort, const QByteArray& p_Bytes);
// Takes what was emitted on the port since the last call.
QByteArray CameraLinkPortTakeEmitted(int p_iPort);

// Power-cycles the Camera Link boards and restores the default layout.
void ResetCameraLinkSimulation();

} // namespace sim
