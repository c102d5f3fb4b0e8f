// The acquisition paths' calls into the board links: Camera Link serial, register encoders, GigE stream and frame sink.
#include "board/acquisition_links.h"

#include "board/acquisition_state.h"
#include "board/cameralink_commands.h"
#include "board/cameralink_serial.h"
#include "board/corvane_writer.h"
#include "board/gige_link.h"
#include "board/mainwindow_board_link.h"

#include "app/app_paths.h"
#include "app/kv_log.h"
#include "mainwindow/MainWindow.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/mainwindow_pipeline.h"

#include <list>

namespace {

// The pipeline allocates its own buffers; this list stays for the tear-down's
// "free the buffer list" step and is normally empty.
std::list<PvBuffer*> g_GigEBufferList;

} // namespace

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

int GigEWidth(PvDevice* p_pDevice)
{
    return p_pDevice ? GetGigEWidth(p_pDevice) : 0;
}

int GigEHeight(PvDevice* p_pDevice)
{
    return p_pDevice ? GetGigEHeight(p_pDevice) : 0;
}

int SetGigESize(PvDevice* p_pDevice, int p_iWidth, int p_iHeight)
{
    if (!p_pDevice)
        return 1;
    const int width = SetGigEWidth(p_iWidth, p_pDevice);
    return width | SetGigEHeight(p_iHeight, p_pDevice);
}

int SetGigEMono16(PvDevice* p_pDevice)
{
    return p_pDevice ? SetGigEPixelFormat(p_pDevice, "Mono16") : 1;
}

PvStream* OpenGigEStreamForAcquisition(const PvDeviceInfo* p_pInfo)
{
    return p_pInfo ? OpenGigEStream(p_pInfo) : nullptr;
}

void SetupGigEDestination(PvDevice* p_pDevice, PvStream* p_pStream)
{
    SetupGigEStreamDestination(p_pDevice, p_pStream);
}

PvPipeline* CreateGigEPipelineForAcquisition(PvDevice* p_pDevice, PvStream* p_pStream)
{
    return CreateGigEPipeline(p_pDevice, p_pStream);
}

PvPipelineEventSink* CreateGigEFrameSinkForAcquisition(MainWindow* p_pWindow)
{
    return new GigEFrameSink(MainWindowGigEFrameTarget(p_pWindow));
}

void FreeGigEBuffersForAcquisition(MainWindow* p_pWindow)
{
    (void)p_pWindow;
    FreeGigEBufferList(g_GigEBufferList);
}

void CloseGigESerialForAcquisition(PvDeviceSerialPort* p_pPort)
{
    CloseGigESerial(p_pPort);
    // The port was made by OpenGigESerial at connection; the caller drops its pointer.
    delete p_pPort;
}
