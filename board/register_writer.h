// One sensor register to the connected board, through the encoder of the board's family.
#pragma once

#include "app/digiboard_kind.h"
#include "params/board_register_id.h"

#include <cstdint>

class BoardLink;
class MainWindow;

// What the operator sees when a write fails; the status is returned in every case.
enum class RegisterErrorPolicy {
    Silent,      // nothing beyond the link's own log lines
    Log,         // one log line naming the register, the value and the status
    MessageBox,  // the log line and a critical box
    BoxOnly,     // a critical box, no log line
};

// Reports the status p_iStatus of a write of p_iValue to p_Id made through
// p_Link by p_Policy; the status is returned.
int ReportRegisterWrite(const BoardLink& p_Link, BoardRegisterId p_Id, int p_iValue, int p_iStatus,
                        RegisterErrorPolicy p_Policy);

// Writes p_uValue to register p_Id through p_rLink, then reports a failure by
// p_Policy. A box is shown only for a register that names a parameter the
// operator set (BoardLink::namesOperatorParameter). Returns the link's status.
int WriteLinkRegister(BoardLink& p_rLink, BoardRegisterId p_Id, uint32_t p_uValue,
                      RegisterErrorPolicy p_Policy = RegisterErrorPolicy::Log);
// One link per kind for the writes made without a window (a link of the kind
// made once and kept).
BoardLink* StandaloneBoardLink(BoardKind p_Kind);

// One corner of the sensor window (ids 5 to 8) through p_rLink, reported as above.
int WriteLinkWindowCorner(BoardLink& p_rLink, BoardRegisterId p_Id, uint32_t p_uValue,
                          RegisterErrorPolicy p_Policy = RegisterErrorPolicy::Log);

// Writes p_uValue to register p_iRegisterId through p_pWindow's link of kind
// p_Kind: "*"/"!" texts for Arvex, "!" texts for Belmor and Belmor+, the UART
// bridge for Dunstel (the window's GigE serial port), the serial-port board's
// command for Eskra (the window's port, then 100 ms), a board parameter for
// Corvane, where GAIN_IMG and OFFSET_IMG go to the processing board's
// registers 7 and 8. Returns 0 on success, else the link's error code; no
// board (None) writes nothing and succeeds. Without a window the kind's
// stand-alone link writes (no GigE or serial port: those writes fail).
int WriteRegister(MainWindow* p_pWindow, BoardKind p_Kind, int p_iRegisterId, uint32_t p_uValue,
                  RegisterErrorPolicy p_Policy = RegisterErrorPolicy::Log);

// One corner of the windowing window's sensor window (ids 5 to 8). Every
// Camera Link board takes the corners as the Arvex board's 8-byte texts
// ("!7%04d" and so on, zero-filled); the other kinds as WriteRegister does.
int WriteWindowCorner(MainWindow* p_pWindow, BoardKind p_Kind, int p_iRegisterId, uint32_t p_uValue,
                      RegisterErrorPolicy p_Policy = RegisterErrorPolicy::Log);
