// The Camera Link acquisition path's call into the interface board.
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

void SendFpgaRegisterForAcquisition(MainWindow* p_pWindow, int p_iAddress, int p_iValue)
{
    p_pWindow->Send_Command_To_FPGA(p_iAddress, uchar(p_iValue));
}
