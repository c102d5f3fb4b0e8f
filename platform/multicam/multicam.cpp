// The frame-grabber library over the simulated Camera Link boards.
#include "platform/multicam/multicam.h"

#include "platform/multicam/camera_file.h"
#include "sim/cameralink/cameralink_cabling.h"
#include "sim/core/board_registry.h"
#include "sim/core/fault_injector.h"
#include "sim/core/frame_pacer.h"

#include <QFileInfo>
#include <QString>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr int kSurfaceCount = 4;
constexpr MCHANDLE kFirstChannelHandle = 0x00010001;
constexpr MCHANDLE kFirstSurfaceHandle = 0x40000001;
constexpr int32_t kDefaultAcqTimeoutMs = 1000;
constexpr size_t kMaxLoggedCalls = 4096;

struct Surface
{
    MCHANDLE handle = 0;
    std::vector<uint16_t> pixels;
};

struct Channel
{
    MCHANDLE handle = 0;
    // Set-up, written on the caller's thread under g_Mutex.
    int32_t driverIndex = 0;
    std::string connector;
    std::string camFile;
    int32_t width = 0;
    int32_t height = 0;
    int32_t state = MC_ChannelState_IDLE;
    std::map<MCPARAMID, int32_t> ints;
    std::map<MCPARAMID, std::string> strings;
    PMCCALLBACK callback = nullptr;
    void* context = nullptr;
    bool signalEnabled[8] = {};
    // The acquisition thread and what it fills.
    std::vector<std::shared_ptr<Surface>> surfaces;
    std::thread thread;
    std::thread::id threadId;
    // Each acquisition thread has its own stop flag: a thread left to end by
    // itself (stopped from its own callback) must not be revived when the
    // channel is activated again before it has ended.
    std::shared_ptr<std::atomic<bool>> stop = std::make_shared<std::atomic<bool>>(false);
};

std::mutex g_Mutex;
bool g_bDriverOpen = false;
MCHANDLE g_NextChannel = kFirstChannelHandle;
MCHANDLE g_NextSurface = kFirstSurfaceHandle;
std::map<MCHANDLE, std::shared_ptr<Channel>> g_Channels;
// Surfaces by handle. The surfaces of a deleted channel stay until the next
// channel becomes active: the program may still be showing the last frame,
// which lies in the surface itself.
std::map<MCHANDLE, std::shared_ptr<Surface>> g_Surfaces;
std::vector<MCHANDLE> g_RetiredSurfaces;
std::atomic<int> g_iActiveThreads{0};

std::mutex g_LogMutex;
std::vector<multicam_test::ParamCall> g_ParamCalls;

MCSTATUS Log(char p_cKind, MCHANDLE p_Instance, MCPARAMID p_Param, int32_t p_iValue,
             const char* p_sText, MCSTATUS p_Status)
{
    std::lock_guard<std::mutex> lock(g_LogMutex);
    multicam_test::ParamCall call;
    call.kind = p_cKind;
    call.instance = p_Instance;
    call.param = p_Param;
    call.intValue = p_iValue;
    call.text = p_sText != nullptr ? p_sText : "";
    call.status = p_Status;
    // Bounded: a program that reads a parameter per frame must not grow it for ever.
    if (g_ParamCalls.size() >= kMaxLoggedCalls)
        g_ParamCalls.erase(g_ParamCalls.begin(), g_ParamCalls.begin() + kMaxLoggedCalls / 2);
    g_ParamCalls.push_back(std::move(call));
    return p_Status;
}

std::shared_ptr<Channel> FindChannelLocked(MCHANDLE p_Handle)
{
    auto it = g_Channels.find(p_Handle);
    return it != g_Channels.end() ? it->second : nullptr;
}

void Deliver(Channel& p_Channel, int32_t p_iSignal, MCHANDLE p_SignalInfo)
{
    PMCCALLBACK cb = nullptr;
    void* ctx = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_Mutex);
        if (p_iSignal < 0 || p_iSignal >= 8 || !p_Channel.signalEnabled[p_iSignal])
            return;
        cb = p_Channel.callback;
        ctx = p_Channel.context;
    }
    if (cb == nullptr)
        return;
    MCSIGNALINFO info{};
    info.Context = ctx;
    info.Instance = p_Channel.handle;
    info.Signal = p_iSignal;
    info.SignalInfo = p_SignalInfo;
    info.SignalContext = 0;
    cb(&info);
}

// Fast mode has no frame period; a loop with nothing to deliver must still not spin.
void IdleInFastMode()
{
    if (sim::FastMode())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// The channel's acquisition: one frame of the board on the channel's
// connector per frame period, into the surfaces in turn.
void AcquisitionLoop(std::shared_ptr<Channel> p_pChannel, std::shared_ptr<std::atomic<bool>> p_pStop)
{
    Channel& ch = *p_pChannel;
    int32_t iPort = 0;
    int iWidth = 0;
    int iHeight = 0;
    std::vector<std::shared_ptr<Surface>> surfaces;
    {
        std::lock_guard<std::mutex> lock(g_Mutex);
        iPort = ch.driverIndex;
        iWidth = ch.width;
        iHeight = ch.height;
        surfaces = ch.surfaces;
    }
    bool bNothing = true;
    sim::BoardKind kind = sim::CameraLinkPortBoard(iPort, &bNothing);
    double dRate = bNothing ? 30.0 : sim::SensorFor(kind)->framesPerSecond();
    sim::FramePacer pacer(dRate);
    size_t uNext = 0;
    while (pacer.waitNext(p_pStop.get())) {
        kind = sim::CameraLinkPortBoard(iPort, &bNothing);
        if (bNothing || sim::FaultPending(kind, sim::Fault::DeviceLostMidStream)) {
            Deliver(ch, MC_SIG_ACQUISITION_FAILURE, 0);
            IdleInFastMode();
            continue;
        }
        if (sim::FaultPending(kind, sim::Fault::FramesStop)) {
            IdleInFastMode();
            continue;
        }
        std::shared_ptr<sim::SensorModel> pSensor = sim::SensorFor(kind);
        const double dNow = pSensor->framesPerSecond();
        if (dNow != dRate) {
            dRate = dNow;
            pacer.setRate(dRate);
        }
        Surface& s = *surfaces[uNext];
        uNext = (uNext + 1) % surfaces.size();
        pSensor->renderNextFrame(s.pixels.data(), iWidth, iHeight, iWidth);
        Deliver(ch, MC_SIG_SURFACE_PROCESSING, s.handle);
    }
    g_iActiveThreads.fetch_sub(1);
}

// Stops the acquisition thread. Joins it unless the caller is that thread
// (a callback that idles or deletes its own channel): it then ends by itself
// once the callback returns.
void StopThread(Channel& p_Channel)
{
    std::shared_ptr<std::atomic<bool>> pStop;
    {
        std::lock_guard<std::mutex> lock(g_Mutex);
        pStop = p_Channel.stop;
    }
    pStop->store(true);
    if (!p_Channel.thread.joinable())
        return;
    if (std::this_thread::get_id() == p_Channel.threadId)
        p_Channel.thread.detach();
    else
        p_Channel.thread.join();
}

MCSTATUS Activate(const std::shared_ptr<Channel>& p_pChannel)
{
    Channel& ch = *p_pChannel;
    if (ch.thread.joinable())
        return MC_OK;   // already active
    if (ch.width <= 0 || ch.height <= 0)
        return MC_INVALID_VALUE;   // no camera file yet
    for (MCHANDLE h : g_RetiredSurfaces)
        g_Surfaces.erase(h);
    g_RetiredSurfaces.clear();
    if (ch.surfaces.empty()) {
        for (int i = 0; i < kSurfaceCount; ++i) {
            auto s = std::make_shared<Surface>();
            s->handle = g_NextSurface++;
            s->pixels.assign(static_cast<size_t>(ch.width) * ch.height, 0);
            ch.surfaces.push_back(s);
            g_Surfaces[s->handle] = s;
        }
    }
    // The board's model comes into being here, on the caller's thread, so
    // that the acquisition thread never reads the settings file.
    bool bNothing = true;
    const sim::BoardKind kind = sim::CameraLinkPortBoard(ch.driverIndex, &bNothing);
    if (!bNothing)
        sim::SensorFor(kind);
    ch.stop = std::make_shared<std::atomic<bool>>(false);
    g_iActiveThreads.fetch_add(1);
    ch.thread = std::thread(AcquisitionLoop, p_pChannel, ch.stop);
    ch.threadId = ch.thread.get_id();
    ch.state = MC_ChannelState_ACTIVE;
    return MC_OK;
}

} // namespace

MCSTATUS McOpenDriver(const char* /*p_sInstanceName*/)
{
    // Without a grabber (simulation off, no Camera Link board) there is no driver to open.
    if (sim::CameraLinkPortCount() == 0)
        return MC_NO_BOARD_FOUND;
    std::lock_guard<std::mutex> lock(g_Mutex);
    g_bDriverOpen = true;
    return MC_OK;
}

MCSTATUS McCloseDriver()
{
    std::vector<std::shared_ptr<Channel>> channels;
    {
        std::lock_guard<std::mutex> lock(g_Mutex);
        if (!g_bDriverOpen)
            return MC_DRIVER_NOT_OPEN;
        for (auto& kv : g_Channels)
            channels.push_back(kv.second);
        g_Channels.clear();
        g_bDriverOpen = false;
    }
    // Channels left behind are deleted with the driver.
    for (auto& ch : channels)
        StopThread(*ch);
    std::lock_guard<std::mutex> lock(g_Mutex);
    for (auto& ch : channels)
        for (auto& s : ch->surfaces)
            g_RetiredSurfaces.push_back(s->handle);
    return MC_OK;
}

MCSTATUS McCreate(MCHANDLE p_Template, MCHANDLE* p_pInstance)
{
    if (p_pInstance == nullptr)
        return MC_INVALID_VALUE;
    *p_pInstance = 0;
    std::lock_guard<std::mutex> lock(g_Mutex);
    if (!g_bDriverOpen)
        return MC_DRIVER_NOT_OPEN;
    if (p_Template != MC_CHANNEL)
        return MC_INVALID_HANDLE;
    auto ch = std::make_shared<Channel>();
    ch->handle = g_NextChannel++;
    g_Channels[ch->handle] = ch;
    *p_pInstance = ch->handle;
    return MC_OK;
}

MCSTATUS McDelete(MCHANDLE p_Instance)
{
    std::shared_ptr<Channel> ch;
    {
        std::lock_guard<std::mutex> lock(g_Mutex);
        ch = FindChannelLocked(p_Instance);
        if (!ch)
            return MC_INVALID_HANDLE;
        g_Channels.erase(p_Instance);
    }
    StopThread(*ch);
    std::lock_guard<std::mutex> lock(g_Mutex);
    for (auto& s : ch->surfaces)
        g_RetiredSurfaces.push_back(s->handle);
    return MC_OK;
}

MCSTATUS McSetParamInt(MCHANDLE p_Instance, MCPARAMID p_Param, int32_t p_iValue)
{
    std::shared_ptr<Channel> ch;
    {
        std::lock_guard<std::mutex> lock(g_Mutex);
        if (!g_bDriverOpen)
            return Log('I', p_Instance, p_Param, p_iValue, nullptr, MC_DRIVER_NOT_OPEN);
        ch = FindChannelLocked(p_Instance);
        if (!ch)
            return Log('I', p_Instance, p_Param, p_iValue, nullptr, MC_INVALID_HANDLE);
        if (p_Param != MC_ChannelState) {
            MCSTATUS status = MC_OK;
            if (p_Param == MC_DriverIndex) {
                if (p_iValue < 0 || p_iValue >= sim::CameraLinkPortCount())
                    status = MC_INVALID_VALUE;
                else
                    ch->driverIndex = p_iValue;
            } else if (p_Param > MC_SignalEnable && p_Param < MC_SignalEnable + 8) {
                if (p_iValue != MC_SignalEnable_ON && p_iValue != MC_SignalEnable_OFF)
                    status = MC_INVALID_VALUE;
                else
                    ch->signalEnabled[p_Param - MC_SignalEnable] = p_iValue == MC_SignalEnable_ON;
            } else if (p_Param == MC_ImageSizeX || p_Param == MC_ImageSizeY || p_Param == MC_BufferPitch) {
                status = MC_INVALID_PARAM;   // given by the camera file
            } else {
                ch->ints[p_Param] = p_iValue;
            }
            return Log('I', p_Instance, p_Param, p_iValue, nullptr, status);
        }
    }
    MCSTATUS status = MC_OK;
    if (p_iValue == MC_ChannelState_ACTIVE) {
        std::lock_guard<std::mutex> lock(g_Mutex);
        status = Activate(ch);
    } else if (p_iValue == MC_ChannelState_IDLE) {
        StopThread(*ch);
        std::lock_guard<std::mutex> lock(g_Mutex);
        ch->thread = std::thread();
        ch->state = MC_ChannelState_IDLE;
    } else {
        status = MC_INVALID_VALUE;
    }
    return Log('I', p_Instance, p_Param, p_iValue, nullptr, status);
}

MCSTATUS McSetParamStr(MCHANDLE p_Instance, MCPARAMID p_Param, const char* p_sValue)
{
    if (p_sValue == nullptr)
        return Log('S', p_Instance, p_Param, 0, nullptr, MC_INVALID_VALUE);
    std::lock_guard<std::mutex> lock(g_Mutex);
    if (!g_bDriverOpen)
        return Log('S', p_Instance, p_Param, 0, p_sValue, MC_DRIVER_NOT_OPEN);
    if (p_Instance == MC_CONFIGURATION)
        return Log('S', p_Instance, p_Param, 0, p_sValue, p_Param == MC_ErrorLog ? MC_OK : MC_INVALID_PARAM);
    std::shared_ptr<Channel> ch = FindChannelLocked(p_Instance);
    if (!ch)
        return Log('S', p_Instance, p_Param, 0, p_sValue, MC_INVALID_HANDLE);
    MCSTATUS status = MC_OK;
    if (p_Param == MC_CamFile) {
        if (ch->thread.joinable()) {
            status = MC_IN_USE;
        } else {
            CameraFileGeometry g;
            QString sError;
            if (!ReadCameraFile(QString::fromLocal8Bit(p_sValue), &g, &sError)) {
                const QString sPath = QString::fromLocal8Bit(p_sValue);
                status = QFileInfo::exists(sPath) ? MC_BAD_CAMFILE : MC_FILE_NOT_FOUND;
            } else {
                ch->camFile = p_sValue;
                ch->width = g.activePixels;
                ch->height = g.activeLines;
                for (auto& surface : ch->surfaces)
                    g_RetiredSurfaces.push_back(surface->handle);
                ch->surfaces.clear();
            }
        }
    } else if (p_Param == MC_Connector) {
        const std::string s(p_sValue);
        if (s != "A" && s != "B" && s != "M")
            status = MC_INVALID_VALUE;
        else
            ch->connector = s;
    } else {
        ch->strings[p_Param] = p_sValue;
    }
    return Log('S', p_Instance, p_Param, 0, p_sValue, status);
}

MCSTATUS McGetParamInt(MCHANDLE p_Instance, MCPARAMID p_Param, int32_t* p_pValue)
{
    if (p_pValue == nullptr)
        return Log('G', p_Instance, p_Param, 0, nullptr, MC_INVALID_VALUE);
    std::lock_guard<std::mutex> lock(g_Mutex);
    if (!g_bDriverOpen)
        return Log('G', p_Instance, p_Param, 0, nullptr, MC_DRIVER_NOT_OPEN);
    if (g_Surfaces.count(p_Instance) != 0) {
        if (p_Param != MC_SurfaceAddr)
            return Log('G', p_Instance, p_Param, 0, nullptr, MC_INVALID_PARAM);
        // An address only fits the int getter on a 32-bit build.
        if (sizeof(void*) > sizeof(int32_t))
            return Log('G', p_Instance, p_Param, 0, nullptr, MC_BAD_PARAM_TYPE);
        *p_pValue = static_cast<int32_t>(reinterpret_cast<intptr_t>(g_Surfaces[p_Instance]->pixels.data()));
        return Log('G', p_Instance, p_Param, *p_pValue, nullptr, MC_OK);
    }
    std::shared_ptr<Channel> ch = FindChannelLocked(p_Instance);
    if (!ch)
        return Log('G', p_Instance, p_Param, 0, nullptr, MC_INVALID_HANDLE);
    int32_t iValue = 0;
    switch (p_Param) {
    case MC_ImageSizeX: iValue = ch->width; break;
    case MC_ImageSizeY: iValue = ch->height; break;
    case MC_BufferPitch: iValue = ch->width * 2; break;
    case MC_DriverIndex: iValue = ch->driverIndex; break;
    case MC_ChannelState: iValue = ch->state; break;
    case MC_AcqTimeout_ms: {
        auto it = ch->ints.find(p_Param);
        iValue = it != ch->ints.end() ? it->second : kDefaultAcqTimeoutMs;
        break;
    }
    default:
        if (p_Param > MC_SignalEnable && p_Param < MC_SignalEnable + 8) {
            iValue = ch->signalEnabled[p_Param - MC_SignalEnable] ? MC_SignalEnable_ON : MC_SignalEnable_OFF;
            break;
        }
        auto it = ch->ints.find(p_Param);
        if (it == ch->ints.end())
            return Log('G', p_Instance, p_Param, 0, nullptr, MC_INVALID_PARAM);
        iValue = it->second;
        break;
    }
    *p_pValue = iValue;
    return Log('G', p_Instance, p_Param, iValue, nullptr, MC_OK);
}

MCSTATUS McGetParamPtr(MCHANDLE p_Instance, MCPARAMID p_Param, void** p_pValue)
{
    if (p_pValue == nullptr)
        return MC_INVALID_VALUE;
    std::lock_guard<std::mutex> lock(g_Mutex);
    if (!g_bDriverOpen)
        return MC_DRIVER_NOT_OPEN;
    auto it = g_Surfaces.find(p_Instance);
    if (it == g_Surfaces.end())
        return MC_INVALID_HANDLE;
    if (p_Param != MC_SurfaceAddr)
        return MC_INVALID_PARAM;
    *p_pValue = it->second->pixels.data();
    return MC_OK;
}

MCSTATUS McRegisterCallback(MCHANDLE p_Instance, PMCCALLBACK p_Callback, void* p_pContext)
{
    std::lock_guard<std::mutex> lock(g_Mutex);
    if (!g_bDriverOpen)
        return MC_DRIVER_NOT_OPEN;
    std::shared_ptr<Channel> ch = FindChannelLocked(p_Instance);
    if (!ch)
        return MC_INVALID_HANDLE;
    ch->callback = p_Callback;
    ch->context = p_pContext;
    return MC_OK;
}

namespace multicam_test {

std::vector<ParamCall> ParamCalls()
{
    std::lock_guard<std::mutex> lock(g_LogMutex);
    return g_ParamCalls;
}

void ClearParamCalls()
{
    std::lock_guard<std::mutex> lock(g_LogMutex);
    g_ParamCalls.clear();
}

int ChannelCount()
{
    std::lock_guard<std::mutex> lock(g_Mutex);
    return static_cast<int>(g_Channels.size());
}

bool DriverOpen()
{
    std::lock_guard<std::mutex> lock(g_Mutex);
    return g_bDriverOpen;
}

int ActiveThreadCount() { return g_iActiveThreads.load(); }

} // namespace multicam_test
