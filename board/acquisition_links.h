// The Camera Link acquisition path's call into the interface board.
#pragma once

#include <cstddef>

class MainWindow;

// An FPGA register of the interface board (failures are shown and logged).
void SendFpgaRegisterForAcquisition(MainWindow* p_pWindow, int p_iAddress, int p_iValue);
