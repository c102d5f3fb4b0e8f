// Our GigE Vision SDK: the Pv... classes and calls the Dunstel board link uses.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// ---------------------------------------------------------------- PvString

class PvString
{
public:
    PvString() = default;
    PvString(const char* p_sText) : m_s(p_sText != nullptr ? p_sText : "") {}
    PvString(const std::string& p_s) : m_s(p_s) {}

    const char* GetAscii() const { return m_s.c_str(); }
    size_t GetLength() const { return m_s.size(); }
    bool operator==(const PvString& o) const { return m_s == o.m_s; }
    bool operator!=(const PvString& o) const { return m_s != o.m_s; }

private:
    std::string m_s;
};

// ---------------------------------------------------------------- PvResult

class PvResult
{
public:
    // The codes the program recognises keep the numbers its error table
    // uses; the others are ours.
    struct Code
    {
        enum : uint32_t {
            OK = 0,
            NETWORK_ERROR = 0x13,
            NOT_CONNECTED = 0x17,
            NOT_ENOUGH_MEMORY = 0x18,
            NOT_FOUND = 0x19,
            NOT_SUPPORTED = 0x1A,
            THREAD_ERROR = 0x1D,
            TIMEOUT = 0x1E,   // also the time-out of a serial read (30)
            INCOMPATIBLE_DRIVER = 0x201,
            GENICAM_ERROR = 0x904,
            UNEXPECTED = 0x4000,
            INVALID_CONFIGURATION = 0x4001,
            INVALID_PARAMETER = 0x4002,
            ACCESS_DENIED = 0x4003,
            ABORTED = 0x4004,
            STATE_ERROR = 0x4005,
            BUFFER_TOO_SMALL = 0x4006,
            WRONG_TYPE = 0x4007,
        };
    };

    PvResult() = default;
    PvResult(uint32_t p_uCode) : m_uCode(p_uCode) {}

    bool IsOK() const { return m_uCode == Code::OK; }
    bool IsFailure() const { return !IsOK(); }
    uint32_t GetCode() const { return m_uCode; }
    PvString GetCodeString() const;
    PvString GetDescription() const;
    bool operator==(uint32_t p_uCode) const { return m_uCode == p_uCode; }
    bool operator!=(uint32_t p_uCode) const { return m_uCode != p_uCode; }
    bool operator==(const PvResult& o) const { return m_uCode == o.m_uCode; }
    bool operator!=(const PvResult& o) const { return m_uCode != o.m_uCode; }

private:
    uint32_t m_uCode = Code::OK;
};

// ---------------------------------------------------------------- GenICam features

class PvGenParameterArray;

enum PvGenType { PvGenTypeInteger, PvGenTypeFloat, PvGenTypeEnum, PvGenTypeBoolean, PvGenTypeCommand };

// One feature of a parameter array. Look it up with PvGenParameterArray::Get
// and take it as its kind (dynamic_cast<PvGenInteger*> and so on).
class PvGenParameter
{
public:
    virtual ~PvGenParameter() = default;
    PvString GetName() const { return m_sName; }
    PvGenType GetType() const { return m_Type; }
    bool IsWritable() const;
    // The value as text, as a browser shows it.
    PvString ToString() const;

protected:
    PvGenParameter(PvGenParameterArray* p_pArray, const std::string& p_sName, PvGenType p_Type)
        : m_pArray(p_pArray), m_sName(p_sName), m_Type(p_Type)
    {
    }
    PvGenParameterArray* m_pArray;
    std::string m_sName;
    PvGenType m_Type;
    friend class PvGenParameterArray;
};

class PvGenInteger : public PvGenParameter
{
public:
    PvResult GetValue(int64_t& p_iValue) const;
    PvResult SetValue(int64_t p_iValue);
    PvResult GetMin(int64_t& p_iValue) const;
    PvResult GetMax(int64_t& p_iValue) const;

private:
    using PvGenParameter::PvGenParameter;
    friend class PvGenParameterArray;
};

class PvGenFloat : public PvGenParameter
{
public:
    PvResult GetValue(double& p_dValue) const;

private:
    using PvGenParameter::PvGenParameter;
    friend class PvGenParameterArray;
};

class PvGenEnum : public PvGenParameter
{
public:
    PvResult GetValue(PvString& p_sValue) const;
    PvResult SetValue(const PvString& p_sValue);
    PvResult GetEntriesCount(int64_t& p_iCount) const;
    PvResult GetEntryByIndex(int64_t p_iIndex, PvString& p_sName) const;

private:
    using PvGenParameter::PvGenParameter;
    friend class PvGenParameterArray;
};

class PvGenBoolean : public PvGenParameter
{
public:
    PvResult GetValue(bool& p_bValue) const;
    PvResult SetValue(bool p_bValue);

private:
    using PvGenParameter::PvGenParameter;
    friend class PvGenParameterArray;
};

class PvGenCommand : public PvGenParameter
{
public:
    PvResult Execute();

private:
    using PvGenParameter::PvGenParameter;
    friend class PvGenParameterArray;
};

// Where an array's features live: the device's board or a stream's counters.
class PvFeatureSource;

// The features of a device or a stream, owned by it.
class PvGenParameterArray
{
public:
    ~PvGenParameterArray();
    PvGenParameterArray(const PvGenParameterArray&) = delete;
    PvGenParameterArray& operator=(const PvGenParameterArray&) = delete;

    uint32_t GetCount() const { return static_cast<uint32_t>(m_Parameters.size()); }
    PvGenParameter* Get(uint32_t p_uIndex);
    // Null when the array has no feature of that name.
    PvGenParameter* Get(const PvString& p_sName);

    PvResult GetIntegerValue(const PvString& p_sName, int64_t& p_iValue);
    PvResult SetIntegerValue(const PvString& p_sName, int64_t p_iValue);
    PvResult GetFloatValue(const PvString& p_sName, double& p_dValue);
    PvResult GetEnumValue(const PvString& p_sName, PvString& p_sValue);
    PvResult SetEnumValue(const PvString& p_sName, const PvString& p_sValue);
    PvResult GetBooleanValue(const PvString& p_sName, bool& p_bValue);
    PvResult SetBooleanValue(const PvString& p_sName, bool p_bValue);
    PvResult ExecuteCommand(const PvString& p_sName);

private:
    explicit PvGenParameterArray(std::shared_ptr<PvFeatureSource> p_pSource);
    std::shared_ptr<PvFeatureSource> m_pSource;
    std::vector<std::unique_ptr<PvGenParameter>> m_Parameters;
    friend class PvDevice;
    friend class PvStream;
    friend class PvGenParameter;
    friend class PvGenInteger;
    friend class PvGenFloat;
    friend class PvGenEnum;
    friend class PvGenBoolean;
    friend class PvGenCommand;
};

// ---------------------------------------------------------------- discovery and devices

class PvDeviceInfo
{
public:
    PvString GetDisplayID() const { return m_sDisplayId; }
    PvString GetConnectionID() const { return m_sConnectionId; }
    PvString GetMACAddress() const { return m_sMac; }
    PvString GetModelName() const { return m_sModel; }

private:
    PvDeviceInfo() = default;
    std::string m_sDisplayId;
    std::string m_sConnectionId;
    std::string m_sMac;
    std::string m_sModel;
    friend class PvDeviceFinderWnd;
    friend const PvDeviceInfo* PvFindDeviceInfo(const PvString& p_sConnectionId);
};

// The devices discovery sees now (the simulated GigE board when present).
// The objects live as long as the process, so a kept pointer stays valid.
std::vector<const PvDeviceInfo*> PvDiscoverDevices();
const PvDeviceInfo* PvFindDeviceInfo(const PvString& p_sConnectionId);

class PvDevice
{
public:
    virtual ~PvDevice();

    // Connects to the device; null with *p_pResult saying why on failure.
    static PvDevice* CreateAndConnect(const PvDeviceInfo* p_pInfo, PvResult* p_pResult);
    static PvDevice* CreateAndConnect(const PvString& p_sConnectionId, PvResult* p_pResult);
    static void Free(PvDevice* p_pDevice);

    PvGenParameterArray* GetParameters() { return m_pParameters.get(); }
    uint32_t GetPayloadSize();
    PvResult StreamEnable(uint32_t p_uChannel = 0);
    PvResult StreamDisable(uint32_t p_uChannel = 0);
    bool IsConnected() const;
    PvResult Disconnect();

protected:
    PvDevice();
    std::atomic<bool> m_bConnected{false};
    std::unique_ptr<PvGenParameterArray> m_pParameters;
};

class PvDeviceGEV : public PvDevice
{
public:
    PvResult NegotiatePacketSize(uint32_t p_uChannel = 0, uint32_t p_uFallbackSize = 1476);
    PvResult SetStreamDestination(const PvString& p_sIpAddress, uint16_t p_uPort, uint32_t p_uChannel = 0);
    PvString GetStreamDestinationAddress() const { return m_sDestination; }
    uint16_t GetStreamDestinationPort() const { return m_uDestinationPort; }

private:
    PvDeviceGEV() = default;
    std::string m_sDestination;
    uint16_t m_uDestinationPort = 0;
    friend class PvDevice;
};

class PvDeviceAdapter
{
public:
    explicit PvDeviceAdapter(PvDevice* p_pDevice) : m_pDevice(p_pDevice) {}
    PvDevice* GetDevice() const { return m_pDevice; }

private:
    PvDevice* m_pDevice;
};

// ---------------------------------------------------------------- streaming

class PvBuffer
{
public:
    explicit PvBuffer(uint32_t p_uSize = 0) : m_Data(p_uSize) {}
    uint8_t* GetDataPointer() { return m_Data.data(); }
    const uint8_t* GetDataPointer() const { return m_Data.data(); }
    uint32_t GetSize() const { return static_cast<uint32_t>(m_Data.size()); }
    uint32_t GetAcquiredSize() const { return m_uAcquired; }
    uint64_t GetBlockID() const { return m_uBlockId; }
    PvResult Alloc(uint32_t p_uSize);

private:
    std::vector<uint8_t> m_Data;
    uint32_t m_uAcquired = 0;
    uint64_t m_uBlockId = 0;
    PvResult m_OperationResult;
    friend class PvPipeline;
};

class PvPipeline;

class PvStream
{
public:
    virtual ~PvStream();
    static PvStream* CreateAndOpen(const PvString& p_sConnectionId, PvResult* p_pResult);
    static void Free(PvStream* p_pStream);

    // "Bandwidth" (bits per second, float), "AcquisitionRate" (frames per
    // second, float), "BlockCount" and "BlocksDropped" (integers).
    PvGenParameterArray* GetParameters() { return m_pParameters.get(); }
    PvResult AbortQueuedBuffers();
    PvResult Close();
    bool IsOpen() const { return m_bOpen.load(); }

    struct Statistics;   // the stream's counters (inside the stand-in)

protected:
    PvStream();
    std::shared_ptr<Statistics> m_pStatistics;
    std::unique_ptr<PvGenParameterArray> m_pParameters;
    std::atomic<bool> m_bOpen{false};
    std::mutex m_PipelineMutex;
    PvPipeline* m_pPipeline = nullptr;
    friend class PvPipeline;
};

class PvStreamGEV : public PvStream
{
public:
    PvString GetLocalIPAddress() const { return PvString("192.168.10.1"); }
    uint16_t GetLocalPort() const { return m_uLocalPort; }

private:
    PvStreamGEV();
    uint16_t m_uLocalPort = 0;
    friend class PvStream;
};

// Receives the pipeline's events on the pipeline's own thread.
class PvPipelineEventSink
{
public:
    virtual ~PvPipelineEventSink() = default;
    // A buffer is ready: take it with RetrieveNextBuffer, give it back with ReleaseBuffer.
    virtual void OnBufferReady(PvPipeline* p_pPipeline) { (void)p_pPipeline; }
};

// Buffers of one stream and the thread that fills them: while the device's
// stream is enabled and its acquisition runs, one frame per frame period goes
// into a free buffer, which is queued, and every registered sink gets
// OnBufferReady on the pipeline's thread. A frame that finds no free buffer
// is dropped (counted in the stream's "BlocksDropped").
class PvPipeline
{
public:
    explicit PvPipeline(PvStream* p_pStream);
    ~PvPipeline();
    PvPipeline(const PvPipeline&) = delete;
    PvPipeline& operator=(const PvPipeline&) = delete;

    void SetBufferCount(uint32_t p_uCount);
    uint32_t GetBufferCount() const;
    void SetBufferSize(uint32_t p_uSize);
    uint32_t GetBufferSize() const;
    PvResult RegisterEventSink(PvPipelineEventSink* p_pSink);
    PvResult UnregisterEventSink(PvPipelineEventSink* p_pSink);
    PvResult Start();
    // Stops and joins the pipeline's thread (unless called on it from a sink,
    // which cannot wait for itself); queued buffers go back to the free list.
    PvResult Stop();
    bool IsStarted() const { return m_bStarted.load(); }

    // The next queued buffer, waiting up to p_uTimeoutMs. The call's result is
    // TIMEOUT when none came; p_pOperationResult says whether the frame in it
    // is whole (BUFFER_TOO_SMALL when the payload did not fit).
    PvResult RetrieveNextBuffer(PvBuffer** p_ppBuffer, uint32_t p_uTimeoutMs = 0xFFFFFFFF,
                                PvResult* p_pOperationResult = nullptr);
    PvResult ReleaseBuffer(PvBuffer* p_pBuffer);

private:
    void run();
    void abortQueued();

    PvStream* m_pStream;
    std::shared_ptr<PvStream::Statistics> m_pStatistics;
    mutable std::mutex m_Mutex;
    std::condition_variable m_Ready;
    uint32_t m_uBufferCount = 16;
    uint32_t m_uBufferSize = 0;
    std::vector<std::unique_ptr<PvBuffer>> m_Buffers;
    std::deque<PvBuffer*> m_Free;
    std::deque<PvBuffer*> m_Queued;
    std::vector<PvPipelineEventSink*> m_Sinks;
    std::thread m_Thread;
    std::thread::id m_ThreadId;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bStarted{false};
    uint64_t m_uBlockId = 0;
    friend class PvStream;
};

// ---------------------------------------------------------------- UART bridge

enum PvDeviceSerial {
    PvDeviceSerial0 = 0,
    PvDeviceSerial1 = 1,
    PvDeviceSerialBulk0 = 2,
    PvDeviceSerialBulk1 = 3,
};

// The serial port behind one of the device's bulk channels. Only bulk 0 of
// the simulated board carries its UART.
class PvDeviceSerialPort
{
public:
    PvDeviceSerialPort() = default;
    ~PvDeviceSerialPort();

    PvResult Open(PvDeviceAdapter* p_pAdapter, PvDeviceSerial p_Port);
    PvResult Close();
    bool IsOpened() const;
    PvResult SetRxBufferSize(uint32_t p_uSize);
    uint32_t GetRxBufferSize() const;
    PvResult FlushRxBuffer();
    PvResult GetRxBytesReady(uint32_t& p_uBytes) const;
    // Waits up to p_uTimeoutMs for the first byte, then returns what is
    // there (at most p_uSize). TIMEOUT (30) when nothing came.
    PvResult Read(uint8_t* p_pBuffer, uint32_t p_uSize, uint32_t& p_uBytesRead, uint32_t p_uTimeoutMs = 0);
    PvResult Write(const uint8_t* p_pBuffer, uint32_t p_uSize, uint32_t& p_uBytesWritten);

private:
    mutable std::mutex m_Mutex;
    std::condition_variable m_Arrived;
    PvDevice* m_pDevice = nullptr;
    bool m_bOpen = false;
    uint32_t m_uRxBufferSize = 4096;
    mutable std::deque<uint8_t> m_Rx;   // mutable: a const query pulls in what the board sent
};

// ---------------------------------------------------------------- windows

class PvWndPrivate;

// A window of the SDK, shown as a Qt dialog.
class PvWnd
{
public:
    virtual ~PvWnd();
    void SetTitle(const PvString& p_sTitle);
    PvString GetTitle() const;
    // Runs the window modally; OK when the operator confirmed, ABORTED otherwise.
    PvResult ShowModal();
    // Shows the window without blocking (no parent window).
    PvResult ShowModeless();
    PvResult Close();
    bool IsVisible() const;

protected:
    PvWnd();
    virtual void build(PvWndPrivate* p_pWindow) = 0;
    virtual void accepted() {}
    std::unique_ptr<PvWndPrivate> m_pWindow;
    std::string m_sTitle;
};

// The device finder: a modal dialog listing the devices discovery sees.
class PvDeviceFinderWnd : public PvWnd
{
public:
    PvDeviceFinderWnd();
    ~PvDeviceFinderWnd() override;

    void SetPleoraProtocolEnabled(bool p_bEnabled, bool p_bVisible = true);
    void SetGEVEnabled(bool p_bEnabled, bool p_bVisible = true);
    void SetU3VEnabled(bool p_bEnabled, bool p_bVisible = true);
    // The device chosen at the last confirmed ShowModal; null otherwise.
    const PvDeviceInfo* GetSelected() const { return m_pSelected; }

    // Test hook: the next dialogs choose row p_iRow of their list and confirm
    // by themselves (kCancel: they are cancelled; kAsk: a person decides).
    // The dialog is still shown and run modally.
    static constexpr int kAsk = -2;
    static constexpr int kCancel = -1;
    static void SetAutomaticChoice(int p_iRow);
    static int AutomaticChoice();

protected:
    void build(PvWndPrivate* p_pWindow) override;
    void accepted() override;

private:
    bool m_bGEV = true;
    bool m_bU3V = true;
    const PvDeviceInfo* m_pSelected = nullptr;
    std::vector<const PvDeviceInfo*> m_Listed;
};

// A browser of a parameter array's features and their values.
class PvGenBrowserWnd : public PvWnd
{
public:
    PvGenBrowserWnd();
    ~PvGenBrowserWnd() override;
    PvResult SetGenParameterArray(PvGenParameterArray* p_pArray);

protected:
    void build(PvWndPrivate* p_pWindow) override;

private:
    PvGenParameterArray* m_pArray = nullptr;
};
