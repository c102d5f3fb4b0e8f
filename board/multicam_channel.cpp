// The Camera Link frame-grabber channel: set-up in the driver's order and the frame callback.
#include "board/multicam_channel.h"

#include "board/acquisition_state.h"
#include "board/cameralink_serial.h"
#include "board/links/cameralink_link.h"

#include "app/app_paths.h"

#include <cstdio>
#include <cstring>
#include <iostream>


namespace {

void SetMessage(char* p_szMessage, const char* p_szText)
{
    if (!p_szMessage)
        return;
    std::snprintf(p_szMessage, MultiCamMessageBufferSize, "%s", p_szText);
}

} // namespace

QString CameraFilePath(const QString& p_sApplicationDir, const QString& p_sProxyName, bool p_bWindowingDisabled,
                       bool p_bTwoTap)
{
    QString sPath = p_sApplicationDir;
    if (p_bWindowingDisabled)
        sPath += "/../Camfiles/CamFile_" + p_sProxyName;
    else
        sPath += "/../Camfiles/Windowing/CamFile_Windowing_" + p_sProxyName;
    sPath += p_bTwoTap ? "_2.cam" : ".cam";
    // The grabber library of this platform opens the path as given: its
    // separators stay "/" (a "\" would be part of a file name here).
    return sPath;
}

int InitializeMultiCam(QString p_sProxyName, bool* p_pWindowingDisabled, char* p_szMessage, bool p_bTwoTap,
                       CameraLinkLink* p_pLink, FrameGeometry* p_pGeometry)
{
    MCSTATUS status = MC_OK;
    MCHANDLE channel = 0;
    auto fail = [&](const char* p_szText) {
        SetMessage(p_szMessage, p_szText);
        std::cout << "InitChannel Error: " << status << std::endl;
        if (channel != 0) {
            McDelete(channel);
            channel = 0;
        }
        g_hMultiCamChannel = 0;
        return -1;
    };
    auto step = [](const char* p_szLabel) { std::cout << p_szLabel << std::endl; };

    status = McOpenDriver(nullptr);
    step("01. Open Driver ");
    if (status != MC_OK)
        return fail("McOpenDriver fail");
    status = McSetParamStr(MC_CONFIGURATION, MC_ErrorLog, "error.log");
    step("02. Set parameters ");
    if (status != MC_OK)
        return fail("McSetParamStr fail");
    status = McCreate(MC_CHANNEL, &channel);
    step("03. Create Channel ");
    if (status != MC_OK)
        return fail("McCreate fail");
    g_hMultiCamChannel = channel;
    status = McSetParamInt(channel, MC_DriverIndex, g_iCameraLinkPortIndex);
    step("04. Link Channel ");
    if (status != MC_OK)
        return fail("McSetParamInt MC_DriverIndex fail");
    status = McSetParamStr(channel, MC_Connector, "M");
    step("05. Set Connector ");
    if (status != MC_OK)
        return fail("McSetParamStr MC_Connector fail");
    status = McSetParamInt(channel, MC_AcquisitionMode, MC_AcquisitionMode_VIDEO);
    step("06. Acquisition Mode ");
    if (status != MC_OK)
        return fail("McSetParamStr MC_AcquisitionMode fail");

    const bool bWindowingDisabled = p_pWindowingDisabled ? *p_pWindowingDisabled : true;
    const QString sPath = CameraFilePath(ApplicationDirPath(), p_sProxyName, bWindowingDisabled, p_bTwoTap);
    std::snprintf(g_szCamFilePath, CamFilePathBufferSize, "%s", sPath.toLocal8Bit().constData());
    status = McSetParamStr(channel, MC_CamFile, g_szCamFilePath);
    std::cout << "07. Load file " << std::endl << (bWindowingDisabled ? "NoWindowingMode" : "WindowingMode") << std::endl;
    if (status != MC_OK) {
        std::cout << "Camfilename: " << g_szCamFilePath << std::endl;
        return fail("McSetParamStr MC_CamFile fail");
    }
    std::cout << "camname: " << p_sProxyName.toStdString() << std::endl;
    std::cout << "Camfilename: " << g_szCamFilePath << std::endl;
    std::cout << "camefilewindowingnameCAM: "
              << CameraFilePath(ApplicationDirPath(), p_sProxyName, false, p_bTwoTap).toStdString() << std::endl;

    struct Setting
    {
        MCPARAMID id;
        int32_t value;
        const char* failure;
    };
    for (const Setting& s : {Setting{MC_TrigMode, MC_TrigMode_COMBINED, "McSetParamInt MC_TrigMode fail"},
                             Setting{MC_NextTrigMode, MC_NextTrigMode_REPEAT, "McSetParamInt MC_NextTrigMode fail"},
                             Setting{MC_TrigLine, MC_TrigLine_NOM, "McSetParamInt MC_TrigLine fail"},
                             Setting{MC_TrigEdge, MC_TrigEdge_GOHIGH, "McSetParamInt MC_TrigEdge fail"},
                             Setting{MC_TrigFilter, MC_TrigFilter_MEDIUM, "McSetParamInt MC_TrigFilter fail"},
                             Setting{MC_TrigCtl, MC_TrigCtl_ITTL, "McSetParamInt MC_TrigCtl fail"}}) {
        status = McSetParamInt(channel, s.id, s.value);
        if (status != MC_OK)
            return fail(s.failure);
    }
    int32_t sizeX = 0, sizeY = 0, pitch = 0;
    if ((status = McGetParamInt(channel, MC_ImageSizeX, &sizeX)) != MC_OK)
        return fail("McSetParamInt MC_ImageSizeX fail");
    if ((status = McGetParamInt(channel, MC_ImageSizeY, &sizeY)) != MC_OK)
        return fail("McSetParamInt MC_ImageSizeY fail");
    if ((status = McGetParamInt(channel, MC_BufferPitch, &pitch)) != MC_OK)
        return fail("McSetParamInt MC_BufferPitch fail");
    std::cout << "Acq Dimensions: " << sizeX << "," << sizeY << "," << pitch << std::endl;
    // The frame buffers are sized from this geometry: refuse what they cannot serve.
    if (!FrameSizeInBounds(sizeX, sizeY, CameraLinkMaxFrameSide) || pitch < 2 * sizeX
        || pitch > 2 * CameraLinkMaxFrameSide)
        return fail("Bad frame size in the camera file");
    if (p_pGeometry)
        *p_pGeometry = FrameGeometry{sizeX, sizeY, pitch};
    if ((status = McSetParamInt(channel, MC_SeqLength_Fr, MC_SeqLength_Fr_INDETERMINATE)) != MC_OK)
        return fail("McSetParamInt MC_SeqLength_Fr fail");
    status = McRegisterCallback(channel, MultiCamCallback, p_pLink);
    std::cout << "Assign MCcallback: " << status << std::endl;
    if (status != MC_OK)
        return fail("McSetParamInt McRegisterCallback fail");
    if ((status = McSetParamInt(channel, MC_SignalEnable + MC_SIG_SURFACE_PROCESSING, MC_SignalEnable_ON)) != MC_OK)
        return fail("McSetParamInt MC_SignalEnable MC_SIG_SURFACE_PROCESSING fail");
    if ((status = McSetParamInt(channel, MC_SignalEnable + MC_SIG_ACQUISITION_FAILURE, MC_SignalEnable_ON)) != MC_OK)
        return fail("McSetParamInt MC_SignalEnable MC_SIG_ACQUISITION_FAILURE fail");
    if ((status = McSetParamInt(channel, MC_ChannelState, MC_ChannelState_ACTIVE)) != MC_OK)
        return fail("McSetParamInt MC_SignalEnable MC_ChannelState_ACTIVE fail");
    int32_t timeout = 0;
    if ((status = McGetParamInt(channel, MC_AcqTimeout_ms, &timeout)) != MC_OK)
        return fail("McSetParamInt MC_SignalEnable MC_ChannelState_ACTIVE fail");
    std::cout << "Timeout : " << timeout << std::endl;
    return 0;
}

void CloseMultiCamChannel()
{
    const MCHANDLE channel = g_hMultiCamChannel.exchange(0);
    if (channel != 0) {
        McSetParamInt(channel, MC_ChannelState, MC_ChannelState_IDLE);
        McDelete(channel);
    }
    McCloseDriver();
}

void MultiCamCallback(PMCSIGNALINFO p_pSignalInfo)
{
    if (!p_pSignalInfo || !p_pSignalInfo->Context)
        return;
    static_cast<CameraLinkLink*>(p_pSignalInfo->Context)->handleSignal(p_pSignalInfo);
}
