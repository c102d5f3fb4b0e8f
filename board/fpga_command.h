// FPGA register writes of the interface board: the PERSO_ADDR / PERSO_VALUE pair.
#pragma once

#include "app/digiboard_kind.h"

#include <QString>

class PvDeviceSerialPort;

// Sends address then value through the board family's encoder: Camera Link for
// Arvex (1) and Belmor+ (3), the UART bridge for Dunstel (4). Returns an empty
// text on success, else the failure text ("Couldn't set PERSO_ADDR to %d.\n"
// or "Couldn't set PERSO_VALUE to %d.\n"); a failing address write stops
// before the value. Other kinds send nothing and report nothing.
QString SendFpgaRegister(BoardKind p_Kind, PvDeviceSerialPort* p_pGigEPort, int p_iAddress, unsigned char p_ucValue);
