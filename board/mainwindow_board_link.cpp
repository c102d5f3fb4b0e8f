// The main window's glue to the board command links: Camera Link port selection, FPGA registers, gain and offset refresh.
#include "mainwindow/MainWindow.h"

#include "board/cameralink_serial.h"

int MainWindow::ActivateTerminal_Belmor(char* p_szMessage)
{
    return SelectCameraLinkPort(Log, p_szMessage, CameraLinkMessageBufferSize);
}

int MainWindow::ActivateTerminal_Arvex(char* p_szMessage)
{
    return SelectCameraLinkPort(Log, p_szMessage, CameraLinkMessageBufferSize);
}
