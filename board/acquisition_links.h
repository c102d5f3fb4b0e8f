// The Camera Link acquisition path's calls into its serial link and the interface board, gathered in one place.
#pragma once

#include <cstddef>

class MainWindow;

// Opens the Camera Link serial port the board answers on; 0 on success, else
// a reason in p_szMessage (p_uSize bytes).
int OpenCameraLinkSerialForAcquisition(MainWindow* p_pWindow, char* p_szMessage, size_t p_uSize);
// Closes the Camera Link serial port when one is open.
void CloseCameraLinkSerialForAcquisition();
// Sends a raw text over the Camera Link serial link; 0 = sent.
int SendCameraLinkTextForAcquisition(const char* p_szText);

// An FPGA register of the interface board (failures are shown and logged).
void SendFpgaRegisterForAcquisition(MainWindow* p_pWindow, int p_iAddress, int p_iValue);
