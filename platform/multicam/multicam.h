// Our frame-grabber library: driver, channel, parameters, surfaces and the signal callback.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

typedef int32_t MCSTATUS;
typedef uint32_t MCHANDLE;
typedef uint32_t MCPARAMID;

// Status codes: 0 is success, the others are ours.
enum : MCSTATUS {
    MC_OK = 0,
    MC_NO_BOARD_FOUND = -1,
    MC_INVALID_HANDLE = -2,
    MC_INVALID_PARAM = -3,
    MC_INVALID_VALUE = -4,
    MC_FILE_NOT_FOUND = -5,
    MC_BAD_CAMFILE = -6,
    MC_DRIVER_NOT_OPEN = -7,
    MC_IN_USE = -8,
    MC_BAD_PARAM_TYPE = -9,
};

// Objects.
constexpr MCHANDLE MC_CONFIGURATION = 0x20000000;   // the driver's configuration object
constexpr MCHANDLE MC_CHANNEL = 0x8000FFFF;          // the default channel template of McCreate

// Parameters of the configuration object.
constexpr MCPARAMID MC_ErrorLog = 0x144000;          // the driver's error log file name

// Channel parameters.
constexpr MCPARAMID MC_DriverIndex = 0x0;
constexpr MCPARAMID MC_Connector = 0xAA8000;
constexpr MCPARAMID MC_AcquisitionMode = 0x3510000;
constexpr MCPARAMID MC_CamFile = 0x2C000;
constexpr MCPARAMID MC_TrigMode = 0x800000;
constexpr MCPARAMID MC_NextTrigMode = 0xA5C000;
constexpr MCPARAMID MC_TrigLine = 0xA68000;
constexpr MCPARAMID MC_TrigEdge = 0xA60000;
constexpr MCPARAMID MC_TrigFilter = 0xA64000;
constexpr MCPARAMID MC_TrigCtl = 0x804000;
constexpr MCPARAMID MC_ImageSizeX = 0x82C000;
constexpr MCPARAMID MC_ImageSizeY = 0x830000;
constexpr MCPARAMID MC_BufferPitch = 0x3420000;
constexpr MCPARAMID MC_SeqLength_Fr = 0x353C000;
constexpr MCPARAMID MC_ChannelState = 0x3C000;
constexpr MCPARAMID MC_AcqTimeout_ms = 0xE0000;
// Signal enables: MC_SignalEnable + the signal number.
constexpr MCPARAMID MC_SignalEnable = 0x60000;

// Surface parameters.
constexpr MCPARAMID MC_SurfaceAddr = 0x70000;

// Signals. A frame (MC_SIG_SURFACE_PROCESSING) carries the filled surface in
// SignalInfo; MC_SIG_ACQUISITION_FAILURE comes at the frame rate while no
// video arrives (no board on the connector, or the board's link is lost).
enum : int32_t {
    MC_SIG_SURFACE_PROCESSING = 1,
    MC_SIG_ACQUISITION_FAILURE = 7,
};

// Values the frame-grabber set-up uses.
enum : int32_t {
    MC_AcquisitionMode_VIDEO = 2,
    MC_TrigMode_COMBINED = 6,
    MC_NextTrigMode_REPEAT = 5,
    MC_TrigLine_NOM = 1,
    MC_TrigEdge_GOHIGH = 1,
    MC_TrigFilter_MEDIUM = 2,
    MC_TrigCtl_ITTL = 17,
    MC_SeqLength_Fr_INDETERMINATE = -1,
    MC_SignalEnable_OFF = 1,
    MC_SignalEnable_ON = 5,
    MC_ChannelState_IDLE = 1,
    MC_ChannelState_ACTIVE = 2,
};

// What the callback receives for every enabled signal of a channel.
struct MCSIGNALINFO
{
    void* Context;        // the context given to McRegisterCallback
    MCHANDLE Instance;    // the channel
    int32_t Signal;       // MC_SIG_...
    MCHANDLE SignalInfo;  // for a frame: the filled surface
    uint32_t SignalContext;
};
typedef MCSIGNALINFO* PMCSIGNALINFO;
typedef void (*PMCCALLBACK)(PMCSIGNALINFO p_pSignalInfo);

// The driver. McOpenDriver fails with MC_NO_BOARD_FOUND when there is no grabber
// (simulation off or no Camera Link board present). The name may be null.
MCSTATUS McOpenDriver(const char* p_sInstanceName);
MCSTATUS McCloseDriver();

MCSTATUS McCreate(MCHANDLE p_Template, MCHANDLE* p_pInstance);
// Deleting an active channel stops its acquisition thread and joins it before
// returning (unless called from that thread's own callback, which cannot wait
// for itself: the thread then ends as soon as the callback returns).
MCSTATUS McDelete(MCHANDLE p_Instance);

// MC_CamFile reads the camera file at the path as given ("/" separators; a
// "\" is part of a file name, as for the library on this platform): its
// "Hactive_Px = N;" and "Vactive_Ln = N;" lines give the image size. A file
// that is missing, unreadable or without both lines fails the call.
// MC_ChannelState := MC_ChannelState_ACTIVE starts the acquisition thread,
// MC_ChannelState_IDLE stops and joins it.
MCSTATUS McSetParamInt(MCHANDLE p_Instance, MCPARAMID p_Param, int32_t p_iValue);
MCSTATUS McSetParamStr(MCHANDLE p_Instance, MCPARAMID p_Param, const char* p_sValue);
MCSTATUS McGetParamInt(MCHANDLE p_Instance, MCPARAMID p_Param, int32_t* p_pValue);
// Pointer-sized getter: the surface address (MC_SurfaceAddr) does not fit the
// int getter on 64-bit, which refuses it with MC_BAD_PARAM_TYPE there.
MCSTATUS McGetParamPtr(MCHANDLE p_Instance, MCPARAMID p_Param, void** p_pValue);

// Registers the callback of a channel. It is called on the channel's own
// thread, one signal at a time, for the signals enabled with MC_SignalEnable.
MCSTATUS McRegisterCallback(MCHANDLE p_Instance, PMCCALLBACK p_Callback, void* p_pContext);

// Test access to the library.
namespace multicam_test {
// The McSetParamInt, McSetParamStr and McGetParamInt calls, in call order
// (the latest few thousand).
struct ParamCall
{
    char kind;            // 'I' set int, 'S' set string, 'G' get int
    MCHANDLE instance;
    MCPARAMID param;
    int32_t intValue;     // the value set or read
    std::string text;     // the string set
    MCSTATUS status;
};
std::vector<ParamCall> ParamCalls();
void ClearParamCalls();
int ChannelCount();       // channels that exist now
bool DriverOpen();
int ActiveThreadCount();  // acquisition threads running now
} // namespace multicam_test
