// One sensor register to the connected board, through the encoder of the board's family.
#pragma once

#include "app/digiboard_kind.h"

#include <cstdint>

class MainWindow;

// What the operator sees when a write fails; the status is returned in every case.
enum class RegisterErrorPolicy {
    Silent,      // nothing beyond the link's own log lines
    Log,         // one log line naming the register, the value and the status
    MessageBox,  // the log line and a critical box
};

// Register ids as the encoders number them; an id can mean another register on another board.
namespace RegisterId {
enum : int {
    TINT = 0,
    ADD02 = 1,
    ADD03 = 2,
    CKDIV = 3,
    GMS = 4,
    ADD0C = 11,
    ADD0D = 12,
    GAIN_IMG = 20,
    OFFSET_IMG = 21,
    PERSO_ADDR = 24,
    PERSO_VALUE = 25,
};
}

// Writes p_uValue to register p_iRegisterId of a board of kind p_Kind: "*"/"!"
// texts for Arvex, "!" texts for Belmor and Belmor+, the UART bridge for
// Dunstel (the window's GigE serial port), the serial-port board's command for
// Eskra (the window's port, then 100 ms), a board parameter for Corvane, where
// GAIN_IMG and OFFSET_IMG go to the processing board's registers 7 and 8.
// Returns 0 on success, else the link's error code; no board (None) writes
// nothing and succeeds. p_pWindow may be null for the Camera Link and Corvane
// boards, which need nothing of it.
int WriteRegister(MainWindow* p_pWindow, BoardKind p_Kind, int p_iRegisterId, uint32_t p_uValue,
                  RegisterErrorPolicy p_Policy = RegisterErrorPolicy::Log);

// One corner of the windowing window's sensor window (ids 5 to 8). Every
// Camera Link board takes the corners as the Arvex board's 8-byte texts
// ("!7%04d" and so on, zero-filled); the other kinds as WriteRegister does.
int WriteWindowCorner(MainWindow* p_pWindow, BoardKind p_Kind, int p_iRegisterId, uint32_t p_uValue,
                      RegisterErrorPolicy p_Policy = RegisterErrorPolicy::Log);
