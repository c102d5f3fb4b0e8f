// The Camera Link acquisition path's calls into its serial link and the interface board.
#include "board/acquisition_links.h"

#include "board/acquisition_state.h"
#include "board/cameralink_commands.h"
#include "board/cameralink_serial.h"
#include "board/corvane_writer.h"

#include "app/app_paths.h"
#include "app/kv_log.h"
#include "mainwindow/MainWindow.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/mainwindow_pipeline.h"

int OpenCameraLinkSerialForAcquisition(MainWindow* p_pWindow, char* p_szMessage, size_t p_uSize)
{
    (void)p_uSize;
    return p_pWindow->DigiBoardKind == BoardKind::Arvex ? p_pWindow->ActivateTerminal_Arvex(p_szMessage)
                                         : p_pWindow->ActivateTerminal_Belmor(p_szMessage);
}

void CloseCameraLinkSerialForAcquisition()
{
    CloseCameraLinkSerial();
}

int SendCameraLinkTextForAcquisition(const char* p_szText)
{
    return SendCameraLinkText(p_szText);
}

void SendFpgaRegisterForAcquisition(MainWindow* p_pWindow, int p_iAddress, int p_iValue)
{
    p_pWindow->Send_Command_To_FPGA(p_iAddress, uchar(p_iValue));
}
