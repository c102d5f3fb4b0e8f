// FPGA register writes of the interface board: the PERSO_ADDR / PERSO_VALUE pair.
#pragma once

#include <QString>

class BoardLink;

// Sends address then value through the link's indirect pair: Camera Link for
// Arvex (1) and Belmor+ (3), the UART bridge for Dunstel (4). Returns an empty
// text on success, else the failure text ("Couldn't set PERSO_ADDR to %d.\n"
// or "Couldn't set PERSO_VALUE to %d.\n"); a failing address write stops
// before the value. A link that takes no FPGA commands (and no link) sends
// nothing and reports nothing.
QString SendFpgaRegister(BoardLink* p_pLink, int p_iAddress, unsigned char p_ucValue);
