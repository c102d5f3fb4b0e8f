// The acquisition paths' calls into the board links; absent links answer "not available".
#include "board/acquisition_links.h"

#include "mainwindow/MainWindow.h"
#include "platform/ebus/ebus.h"

#include <cstdio>

#if __has_include("board/cameralink_serial.h") && __has_include("board/cameralink_commands.h")
#include "board/cameralink_commands.h"
#include "board/cameralink_serial.h"
#define KESTIVO_HAVE_CAMERALINK_LINK 1
#else
#define KESTIVO_HAVE_CAMERALINK_LINK 0
int g_iCameraLinkPortIndex = 0;
#endif

#if __has_include("board/gige_link.h")
#include "board/gige_link.h"
#define KESTIVO_HAVE_GIGE_LINK 1
#else
#define KESTIVO_HAVE_GIGE_LINK 0
#endif

#if __has_include("board/fpga_command.h") && __has_include("board/board_message_box.h")
#include "app/kv_log.h"
#include "board/board_message_box.h"
#include "board/fpga_command.h"
#define KESTIVO_HAVE_FPGA_COMMAND 1
#else
#define KESTIVO_HAVE_FPGA_COMMAND 0
#endif

#if __has_include("board/corvane_writer.h")
#include "board/corvane_writer.h"
#define KESTIVO_HAVE_CORVANE_WRITER 1
#else
#include "usb3lib/Quenlin.h"
#define KESTIVO_HAVE_CORVANE_WRITER 0
#endif

bool AcquisitionLinksAvailable()
{
    return KESTIVO_HAVE_CAMERALINK_LINK && KESTIVO_HAVE_GIGE_LINK && KESTIVO_HAVE_CORVANE_WRITER;
}

int OpenCameraLinkSerialForAcquisition(MainWindow* p_pWindow, char* p_szMessage, size_t p_uSize)
{
#if KESTIVO_HAVE_CAMERALINK_LINK
    return SelectCameraLinkPort(p_pWindow->Log, p_szMessage, p_uSize);
#else
    (void)p_pWindow;
    std::snprintf(p_szMessage, p_uSize, "%s", "no Camera Link serial link in this build");
    return 1;
#endif
}

void CloseCameraLinkSerialForAcquisition()
{
#if KESTIVO_HAVE_CAMERALINK_LINK
    CloseCameraLinkSerial();
#endif
}

int SendCameraLinkTextForAcquisition(const char* p_szText)
{
#if KESTIVO_HAVE_CAMERALINK_LINK
    return SendCameraLinkText(p_szText);
#else
    (void)p_szText;
    return -1;
#endif
}

int WriteBoardRegister(MainWindow* p_pWindow, int p_iKind, int p_iId, int p_iValue)
{
    switch (p_iKind) {
#if KESTIVO_HAVE_CAMERALINK_LINK
    case 1:
        return SendCameraLinkCommandStar(p_iId, p_iValue, false);
    case 2:
    case 3:
        return SendCameraLinkCommand(p_iId, p_iValue, false);
#endif
    case 4:
#if KESTIVO_HAVE_GIGE_LINK
        // Each result counts as an unsigned byte.
        return int(uint8_t(SendGigECommand(p_pWindow->GigESerialPort, p_iId, p_iValue)));
#else
        (void)p_pWindow;
        return 0;
#endif
    case 6:
#if KESTIVO_HAVE_CORVANE_WRITER
        return SetCorvaneParameter(p_iId, p_iValue, false);
#else
        return setParameter(p_iId, p_iValue) < 0 ? 1 : 0;
#endif
    default:
        return 0;
    }
}

void SendFpgaRegisterForAcquisition(MainWindow* p_pWindow, int p_iAddress, int p_iValue)
{
#if KESTIVO_HAVE_FPGA_COMMAND
    const QString sFailure = SendFpgaRegister(p_pWindow->DigiBoardKind, p_pWindow->GigESerialPort, p_iAddress,
                                              uchar(p_iValue));
    if (sFailure.isEmpty())
        return;
    ShowBoardCriticalBox(p_pWindow, QStringLiteral("Critical"), sFailure);
    p_pWindow->Log->writeLine(sFailure);
#else
    (void)p_pWindow;
    (void)p_iAddress;
    (void)p_iValue;
#endif
}

int GigEWidth(PvDevice* p_pDevice)
{
    int64_t iValue = 0;
    if (p_pDevice && p_pDevice->GetParameters())
        p_pDevice->GetParameters()->GetIntegerValue("Width", iValue);
    return int(iValue);
}

int GigEHeight(PvDevice* p_pDevice)
{
    int64_t iValue = 0;
    if (p_pDevice && p_pDevice->GetParameters())
        p_pDevice->GetParameters()->GetIntegerValue("Height", iValue);
    return int(iValue);
}

int SetGigESize(PvDevice* p_pDevice, int p_iWidth, int p_iHeight)
{
#if KESTIVO_HAVE_GIGE_LINK
    return SetGigEWidth(p_iWidth, p_pDevice) | SetGigEHeight(p_iHeight, p_pDevice);
#else
    if (!p_pDevice || !p_pDevice->GetParameters())
        return 1;
    const bool bOk = p_pDevice->GetParameters()->SetIntegerValue("Width", p_iWidth).IsOK()
                     && p_pDevice->GetParameters()->SetIntegerValue("Height", p_iHeight).IsOK();
    return bOk ? 0 : 1;
#endif
}

int SetGigEMono16(PvDevice* p_pDevice)
{
#if KESTIVO_HAVE_GIGE_LINK
    return SetGigEPixelFormat(p_pDevice, "Mono16");
#else
    if (!p_pDevice || !p_pDevice->GetParameters())
        return 1;
    return p_pDevice->GetParameters()->SetEnumValue("PixelFormat", "Mono16").IsOK() ? 0 : 1;
#endif
}

PvStream* OpenGigEStreamForAcquisition(const PvDeviceInfo* p_pInfo)
{
#if KESTIVO_HAVE_GIGE_LINK
    return OpenGigEStream(p_pInfo);
#else
    (void)p_pInfo;
    return nullptr;
#endif
}

void SetupGigEDestination(PvDevice* p_pDevice, PvStream* p_pStream)
{
#if KESTIVO_HAVE_GIGE_LINK
    SetupGigEStreamDestination(p_pDevice, p_pStream);
#else
    (void)p_pDevice;
    (void)p_pStream;
#endif
}

PvPipeline* CreateGigEPipelineForAcquisition(PvDevice* p_pDevice, PvStream* p_pStream)
{
#if KESTIVO_HAVE_GIGE_LINK
    return CreateGigEPipeline(p_pDevice, p_pStream);
#else
    (void)p_pDevice;
    (void)p_pStream;
    return nullptr;
#endif
}

PvPipelineEventSink* CreateGigEFrameSinkForAcquisition(MainWindow* p_pWindow)
{
    (void)p_pWindow;
    return nullptr;
}

void FreeGigEBuffersForAcquisition(MainWindow* p_pWindow)
{
    (void)p_pWindow;
}

void CloseGigESerialForAcquisition(PvDeviceSerialPort* p_pPort)
{
#if KESTIVO_HAVE_GIGE_LINK
    CloseGigESerial(p_pPort);
#else
    if (p_pPort)
        p_pPort->Close();
#endif
}
