// The capture stack over the simulated capture devices: attributes, device list, media source, reader, samples.
#include "platform/mediacapture/media_foundation.h"

#include "sim/core/frame_pacer.h"
#include "sim/usb3/capture_devices.h"
#include "sim/usb3/corvane_board.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <variant>
#include <vector>

namespace {
constexpr GUID MakeGuid(uint32_t p_uId)
{
    return GUID{p_uId, 0x4B45, 0x5354, {0x49, 0x56, 0x4F, 0x4D, 0x46, 0x00, 0x00, 0x01}};
}
} // namespace

const GUID MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE = MakeGuid(0x100);
const GUID MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE_VIDCAP_GUID = MakeGuid(0x101);
const GUID MF_DEVSOURCE_ATTRIBUTE_FRIENDLY_NAME = MakeGuid(0x102);
const GUID MF_MT_FRAME_SIZE = MakeGuid(0x110);
const GUID MF_MT_DEFAULT_STRIDE = MakeGuid(0x111);
const GUID MF_SOURCE_READER_ENABLE_VIDEO_PROCESSING = MakeGuid(0x120);
const GUID MF_SOURCE_READER_ASYNC_CALLBACK = MakeGuid(0x121);
const GUID MF_READWRITE_DISABLE_CONVERTERS = MakeGuid(0x122);
const GUID MF_LOW_LATENCY = MakeGuid(0x123);

const IID IID_IMFAttributes = MakeGuid(0x200);
const IID IID_IMFActivate = MakeGuid(0x201);
const IID IID_IMFMediaSource = MakeGuid(0x202);
const IID IID_IMFMediaType = MakeGuid(0x203);
const IID IID_IMFSourceReader = MakeGuid(0x204);
const IID IID_IMFSourceReaderCallback = MakeGuid(0x205);
const IID IID_IMFSample = MakeGuid(0x206);
const IID IID_IMFMediaBuffer = MakeGuid(0x207);
const IID IID_IAMVideoProcAmp = MakeGuid(0x208);

namespace {

std::atomic<int> g_iStartups{0};
std::atomic<int> g_iLiveSources{0};
std::atomic<int> g_iLiveReaders{0};

struct GuidLess
{
    bool operator()(const GUID& a, const GUID& b) const { return std::memcmp(&a, &b, sizeof(GUID)) < 0; }
};

// Reference counting shared by every object of the stack.
#define KESTIVO_REFCOUNTED                                                                         \
    ULONG AddRef() override { return m_Ref.addRef(); }                                            \
    ULONG Release() override                                                                       \
    {                                                                                              \
        const ULONG u = m_Ref.release();                                                           \
        if (u == 0)                                                                                \
            delete this;                                                                           \
        return u;                                                                                  \
    }                                                                                              \
    RefCount m_Ref;

template <class Base>
class AttributeStore : public Base
{
public:
    ~AttributeStore() override
    {
        for (auto& [key, value] : m_Values)
            if (auto* p = std::get_if<IUnknown*>(&value))
                (*p)->Release();
    }

    HRESULT GetUINT32(REFGUID p_Key, UINT32* p_pValue) override { return get(p_Key, p_pValue); }
    HRESULT SetUINT32(REFGUID p_Key, UINT32 p_uValue) override { return set(p_Key, p_uValue); }
    HRESULT GetUINT64(REFGUID p_Key, UINT64* p_pValue) override { return get(p_Key, p_pValue); }
    HRESULT SetUINT64(REFGUID p_Key, UINT64 p_uValue) override { return set(p_Key, p_uValue); }
    HRESULT GetGUID(REFGUID p_Key, GUID* p_pValue) override { return get(p_Key, p_pValue); }
    HRESULT SetGUID(REFGUID p_Key, REFGUID p_Value) override { return set(p_Key, GUID(p_Value)); }

    HRESULT GetAllocatedString(REFGUID p_Key, LPWSTR* p_ppwszValue, UINT32* p_pcchLength) override
    {
        if (p_ppwszValue == nullptr)
            return E_POINTER;
        *p_ppwszValue = nullptr;
        std::wstring s;
        const HRESULT hr = get(p_Key, &s);
        if (FAILED(hr))
            return hr;
        auto* p = static_cast<LPWSTR>(CoTaskMemAlloc((s.size() + 1) * sizeof(WCHAR)));
        if (p == nullptr)
            return E_OUTOFMEMORY;
        std::memcpy(p, s.c_str(), (s.size() + 1) * sizeof(WCHAR));
        *p_ppwszValue = p;
        if (p_pcchLength != nullptr)
            *p_pcchLength = static_cast<UINT32>(s.size());
        return S_OK;
    }
    HRESULT SetString(REFGUID p_Key, const WCHAR* p_wszValue) override
    {
        if (p_wszValue == nullptr)
            return E_POINTER;
        return set(p_Key, std::wstring(p_wszValue));
    }

    HRESULT SetUnknown(REFGUID p_Key, IUnknown* p_pUnknown) override
    {
        if (p_pUnknown == nullptr)
            return E_POINTER;
        p_pUnknown->AddRef();
        return set(p_Key, p_pUnknown);
    }
    HRESULT GetUnknown(REFGUID p_Key, REFIID p_Riid, void** p_ppv) override
    {
        if (p_ppv == nullptr)
            return E_POINTER;
        *p_ppv = nullptr;
        IUnknown* p = nullptr;
        const HRESULT hr = get(p_Key, &p);
        return FAILED(hr) ? hr : p->QueryInterface(p_Riid, p_ppv);
    }
    HRESULT GetCount(UINT32* p_pcItems) override
    {
        if (p_pcItems == nullptr)
            return E_POINTER;
        std::lock_guard<std::mutex> lock(m_Mutex);
        *p_pcItems = static_cast<UINT32>(m_Values.size());
        return S_OK;
    }

    KESTIVO_REFCOUNTED

protected:
    using Value = std::variant<UINT32, UINT64, GUID, std::wstring, IUnknown*>;

    template <class T>
    HRESULT get(REFGUID p_Key, T* p_pOut)
    {
        if (p_pOut == nullptr)
            return E_POINTER;
        std::lock_guard<std::mutex> lock(m_Mutex);
        const auto it = m_Values.find(p_Key);
        if (it == m_Values.end())
            return MF_E_ATTRIBUTENOTFOUND;
        const T* p = std::get_if<T>(&it->second);
        if (p == nullptr)
            return MF_E_INVALIDTYPE;
        *p_pOut = *p;
        return S_OK;
    }
    template <class T>
    HRESULT set(REFGUID p_Key, T p_Value)
    {
        IUnknown* pOld = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            auto it = m_Values.find(p_Key);
            if (it != m_Values.end()) {
                if (auto* p = std::get_if<IUnknown*>(&it->second))
                    pOld = *p;
                it->second = p_Value;
            } else {
                m_Values.emplace(p_Key, p_Value);
            }
        }
        if (pOld != nullptr)
            pOld->Release();
        return S_OK;
    }

    std::mutex m_Mutex;
    std::map<GUID, Value, GuidLess> m_Values;
};

class Attributes final : public AttributeStore<IMFAttributes>
{
public:
    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override
    {
        const QITAB table[] = {QITABENT(Attributes, IMFAttributes), {nullptr, 0}};
        return QISearch(this, table, p_Riid, p_ppv);
    }
};

class MediaType final : public AttributeStore<IMFMediaType>
{
public:
    explicit MediaType(const sim::FrameGeometry& p_Geometry, int p_iStride)
    {
        SetUINT64(MF_MT_FRAME_SIZE, (static_cast<UINT64>(p_Geometry.width) << 32)
                                        | static_cast<UINT32>(p_Geometry.height));
        SetUINT32(MF_MT_DEFAULT_STRIDE, static_cast<UINT32>(p_iStride));
    }
    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override
    {
        const QITAB table[] = {QITABENT(MediaType, IMFMediaType), QITABENT(MediaType, IMFAttributes),
                               {nullptr, 0}};
        return QISearch(this, table, p_Riid, p_ppv);
    }
};

// What a media source and everything made from it share.
struct SourceCore
{
    explicit SourceCore(std::shared_ptr<sim::CaptureStream> p_Stream) : stream(std::move(p_Stream)) {}
    const std::shared_ptr<sim::CaptureStream> stream;
    std::atomic<bool> shutdown{false};

    HRESULT state() const
    {
        if (shutdown.load())
            return MF_E_SHUTDOWN;
        if (stream->lost())
            return MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED;
        return S_OK;
    }
    IMFMediaType* newMediaType() const
    {
        return new MediaType(stream->geometry(), stream->strideBytes());
    }
};

HRESULT FromDeviceStatus(sim::DeviceStatus p_Status)
{
    switch (p_Status) {
    case sim::DeviceStatus::Ok: return S_OK;
    case sim::DeviceStatus::Unsupported: return E_PROP_ID_UNSUPPORTED;
    case sim::DeviceStatus::Failed: return E_FAIL;
    case sim::DeviceStatus::TimedOut: return HRESULT_TIMEOUT;
    case sim::DeviceStatus::Lost: return MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED;
    }
    return E_FAIL;
}

class ProcAmp final : public IAMVideoProcAmp
{
public:
    explicit ProcAmp(std::shared_ptr<SourceCore> p_Core) : m_Core(std::move(p_Core)) {}

    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override
    {
        const QITAB table[] = {QITABENT(ProcAmp, IAMVideoProcAmp), {nullptr, 0}};
        return QISearch(this, table, p_Riid, p_ppv);
    }
    HRESULT GetRange(LONG p_Property, LONG* p_pMin, LONG* p_pMax, LONG* p_pStep, LONG* p_pDefault,
                     LONG* p_pCaps) override
    {
        const HRESULT hr = m_Core->state();
        if (FAILED(hr))
            return hr;
        sim::PropertyRange r;
        const sim::DeviceStatus s = m_Core->stream->propertyPort()->getPropertyRange(p_Property, &r);
        if (s != sim::DeviceStatus::Ok)
            return FromDeviceStatus(s);
        if (p_pMin) *p_pMin = r.minimum;
        if (p_pMax) *p_pMax = r.maximum;
        if (p_pStep) *p_pStep = r.step;
        if (p_pDefault) *p_pDefault = r.defaultValue;
        if (p_pCaps) *p_pCaps = r.capsFlags;
        return S_OK;
    }
    HRESULT Set(LONG p_Property, LONG p_lValue, LONG p_Flags) override
    {
        const HRESULT hr = m_Core->state();
        if (FAILED(hr))
            return hr;
        return FromDeviceStatus(m_Core->stream->propertyPort()->setProperty(p_Property, p_lValue, p_Flags));
    }
    HRESULT Get(LONG p_Property, LONG* p_lValue, LONG* p_Flags) override
    {
        const HRESULT hr = m_Core->state();
        if (FAILED(hr))
            return hr;
        int32_t v = 0, f = 0;
        const sim::DeviceStatus s = m_Core->stream->propertyPort()->getProperty(p_Property, &v, &f);
        if (s != sim::DeviceStatus::Ok)
            return FromDeviceStatus(s);
        if (p_lValue) *p_lValue = v;
        if (p_Flags) *p_Flags = f;
        return S_OK;
    }

    KESTIVO_REFCOUNTED

private:
    const std::shared_ptr<SourceCore> m_Core;
};

class MediaTypeHandler final : public IMFMediaTypeHandler
{
public:
    explicit MediaTypeHandler(std::shared_ptr<SourceCore> p_Core) : m_Core(std::move(p_Core)) {}
    ~MediaTypeHandler() override
    {
        if (m_pCurrent)
            m_pCurrent->Release();
    }
    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override
    {
        const QITAB table[] = {{&IID_IUnknown, 0}, {nullptr, 0}};
        return QISearch(static_cast<IUnknown*>(this), table, p_Riid, p_ppv);
    }
    HRESULT GetMediaTypeCount(DWORD* p_pdwTypeCount) override
    {
        if (p_pdwTypeCount == nullptr)
            return E_POINTER;
        *p_pdwTypeCount = 1;
        return S_OK;
    }
    HRESULT GetMediaTypeByIndex(DWORD p_dwIndex, IMFMediaType** p_ppType) override
    {
        if (p_ppType == nullptr)
            return E_POINTER;
        *p_ppType = nullptr;
        const HRESULT hr = m_Core->state();
        if (FAILED(hr))
            return hr;
        if (p_dwIndex != 0)
            return MF_E_NO_MORE_TYPES;
        *p_ppType = m_Core->newMediaType();
        return S_OK;
    }
    HRESULT SetCurrentMediaType(IMFMediaType* p_pMediaType) override
    {
        if (p_pMediaType == nullptr)
            return E_POINTER;
        const HRESULT hr = m_Core->state();
        if (FAILED(hr))
            return hr;
        p_pMediaType->AddRef();
        if (m_pCurrent)
            m_pCurrent->Release();
        m_pCurrent = p_pMediaType;
        return S_OK;
    }
    HRESULT GetCurrentMediaType(IMFMediaType** p_ppMediaType) override
    {
        if (p_ppMediaType == nullptr)
            return E_POINTER;
        *p_ppMediaType = m_Core->newMediaType();
        return S_OK;
    }

    KESTIVO_REFCOUNTED

private:
    const std::shared_ptr<SourceCore> m_Core;
    IMFMediaType* m_pCurrent = nullptr;
};

class StreamDescriptor final : public IMFStreamDescriptor
{
public:
    explicit StreamDescriptor(std::shared_ptr<SourceCore> p_Core) : m_Core(std::move(p_Core)) {}
    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override
    {
        const QITAB table[] = {{&IID_IUnknown, 0}, {nullptr, 0}};
        return QISearch(static_cast<IUnknown*>(this), table, p_Riid, p_ppv);
    }
    HRESULT GetMediaTypeHandler(IMFMediaTypeHandler** p_ppHandler) override
    {
        if (p_ppHandler == nullptr)
            return E_POINTER;
        *p_ppHandler = new MediaTypeHandler(m_Core);
        return S_OK;
    }

    KESTIVO_REFCOUNTED

private:
    const std::shared_ptr<SourceCore> m_Core;
};

class PresentationDescriptor final : public IMFPresentationDescriptor
{
public:
    explicit PresentationDescriptor(std::shared_ptr<SourceCore> p_Core) : m_Core(std::move(p_Core)) {}
    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override
    {
        const QITAB table[] = {{&IID_IUnknown, 0}, {nullptr, 0}};
        return QISearch(static_cast<IUnknown*>(this), table, p_Riid, p_ppv);
    }
    HRESULT GetStreamDescriptorCount(DWORD* p_pdwCount) override
    {
        if (p_pdwCount == nullptr)
            return E_POINTER;
        *p_pdwCount = 1;
        return S_OK;
    }
    HRESULT GetStreamDescriptorByIndex(DWORD p_dwIndex, BOOL* p_pfSelected,
                                       IMFStreamDescriptor** p_ppDescriptor) override
    {
        if (p_ppDescriptor == nullptr)
            return E_POINTER;
        *p_ppDescriptor = nullptr;
        if (p_dwIndex != 0)
            return E_INVALIDARG;
        if (p_pfSelected != nullptr)
            *p_pfSelected = 1;
        *p_ppDescriptor = new StreamDescriptor(m_Core);
        return S_OK;
    }

    KESTIVO_REFCOUNTED

private:
    const std::shared_ptr<SourceCore> m_Core;
};

class MediaSource final : public IMFMediaSource
{
public:
    explicit MediaSource(std::shared_ptr<sim::CaptureStream> p_Stream)
        : m_Core(std::make_shared<SourceCore>(std::move(p_Stream)))
    {
        ++g_iLiveSources;
    }
    ~MediaSource() override { --g_iLiveSources; }

    const std::shared_ptr<SourceCore>& core() const { return m_Core; }

    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override
    {
        if (p_ppv != nullptr && p_Riid == IID_IAMVideoProcAmp) {
            *p_ppv = nullptr;
            if (m_Core->stream->propertyPort() == nullptr)
                return E_NOINTERFACE;
            *p_ppv = static_cast<IAMVideoProcAmp*>(new ProcAmp(m_Core));
            return S_OK;
        }
        const QITAB table[] = {QITABENT(MediaSource, IMFMediaSource), {nullptr, 0}};
        return QISearch(this, table, p_Riid, p_ppv);
    }
    HRESULT CreatePresentationDescriptor(IMFPresentationDescriptor** p_ppDescriptor) override
    {
        if (p_ppDescriptor == nullptr)
            return E_POINTER;
        *p_ppDescriptor = nullptr;
        const HRESULT hr = m_Core->state();
        if (FAILED(hr))
            return hr;
        *p_ppDescriptor = new PresentationDescriptor(m_Core);
        return S_OK;
    }
    HRESULT Pause() override { return m_Core->state(); }
    HRESULT Shutdown() override
    {
        return m_Core->shutdown.exchange(true) ? MF_E_SHUTDOWN : S_OK;
    }

    KESTIVO_REFCOUNTED

private:
    const std::shared_ptr<SourceCore> m_Core;
};

class Activate final : public AttributeStore<IMFActivate>
{
public:
    explicit Activate(const sim::CaptureDeviceInfo& p_Device) : m_iDeviceId(p_Device.id)
    {
        SetString(MF_DEVSOURCE_ATTRIBUTE_FRIENDLY_NAME, p_Device.friendlyName.toStdWString().c_str());
        SetGUID(MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE, MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE_VIDCAP_GUID);
    }
    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override
    {
        const QITAB table[] = {QITABENT(Activate, IMFActivate), QITABENT(Activate, IMFAttributes),
                               {nullptr, 0}};
        return QISearch(this, table, p_Riid, p_ppv);
    }
    HRESULT ActivateObject(REFIID p_Riid, void** p_ppv) override
    {
        if (p_ppv == nullptr)
            return E_POINTER;
        *p_ppv = nullptr;
        if (p_Riid != IID_IMFMediaSource && p_Riid != IID_IUnknown)
            return E_NOINTERFACE;
        bool bListed = false;
        for (const sim::CaptureDeviceInfo& d : sim::ListCaptureDevices())
            bListed = bListed || d.id == m_iDeviceId;
        if (!bListed)
            return MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED;
        std::shared_ptr<sim::CaptureStream> stream = sim::ActivateCaptureDevice(m_iDeviceId);
        if (!stream)
            return E_FAIL;
        *p_ppv = static_cast<IMFMediaSource*>(new MediaSource(std::move(stream)));
        return S_OK;
    }
    HRESULT ShutdownObject() override { return S_OK; }
    HRESULT DetachObject() override { return S_OK; }

private:
    const int m_iDeviceId;
};

// The memory of the samples a reader has handed out comes back here when a
// sample goes, so that a stream neither allocates nor zeroes a frame's worth
// of memory for each sample it delivers.
class SampleMemory
{
public:
    std::vector<uint8_t> take()
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_Free.empty())
            return {};
        std::vector<uint8_t> bytes = std::move(m_Free.back());
        m_Free.pop_back();
        return bytes;
    }
    void give(std::vector<uint8_t>&& p_Bytes)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_Free.size() < kKept)
            m_Free.push_back(std::move(p_Bytes));
    }

private:
    static constexpr size_t kKept = 3;   // one sample in flight, one being filled, one spare
    std::mutex m_Mutex;
    std::vector<std::vector<uint8_t>> m_Free;
};

class MediaBuffer final : public IMFMediaBuffer
{
public:
    MediaBuffer(std::vector<uint8_t>&& p_Bytes, std::shared_ptr<SampleMemory> p_Memory)
        : m_Bytes(std::move(p_Bytes)), m_Memory(std::move(p_Memory))
    {
    }
    ~MediaBuffer() override
    {
        if (m_Memory)
            m_Memory->give(std::move(m_Bytes));
    }
    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override
    {
        const QITAB table[] = {QITABENT(MediaBuffer, IMFMediaBuffer), {nullptr, 0}};
        return QISearch(this, table, p_Riid, p_ppv);
    }
    HRESULT Lock(BYTE** p_ppbBuffer, DWORD* p_pcbMaxLength, DWORD* p_pcbCurrentLength) override
    {
        if (p_ppbBuffer == nullptr)
            return E_POINTER;
        *p_ppbBuffer = m_Bytes.data();
        if (p_pcbMaxLength) *p_pcbMaxLength = static_cast<DWORD>(m_Bytes.size());
        if (p_pcbCurrentLength) *p_pcbCurrentLength = static_cast<DWORD>(m_Bytes.size());
        ++m_iLocks;
        return S_OK;
    }
    HRESULT Unlock() override
    {
        if (m_iLocks.load() <= 0)
            return MF_E_INVALIDREQUEST;
        --m_iLocks;
        return S_OK;
    }
    HRESULT GetCurrentLength(DWORD* p_pcb) override
    {
        if (p_pcb == nullptr)
            return E_POINTER;
        *p_pcb = static_cast<DWORD>(m_Bytes.size());
        return S_OK;
    }
    HRESULT GetMaxLength(DWORD* p_pcb) override { return GetCurrentLength(p_pcb); }

    KESTIVO_REFCOUNTED

private:
    std::vector<uint8_t> m_Bytes;
    const std::shared_ptr<SampleMemory> m_Memory;
    std::atomic<int> m_iLocks{0};
};

class Sample final : public IMFSample
{
public:
    Sample(std::vector<uint8_t>&& p_Bytes, LONGLONG p_llTime, std::shared_ptr<SampleMemory> p_Memory)
        : m_pBuffer(new MediaBuffer(std::move(p_Bytes), std::move(p_Memory))), m_llTime(p_llTime)
    {
    }
    ~Sample() override { m_pBuffer->Release(); }
    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override
    {
        const QITAB table[] = {QITABENT(Sample, IMFSample), {nullptr, 0}};
        return QISearch(this, table, p_Riid, p_ppv);
    }
    HRESULT GetBufferCount(DWORD* p_pdw) override
    {
        if (p_pdw == nullptr)
            return E_POINTER;
        *p_pdw = 1;
        return S_OK;
    }
    HRESULT ConvertToContiguousBuffer(IMFMediaBuffer** p_ppBuffer) override
    {
        if (p_ppBuffer == nullptr)
            return E_POINTER;
        m_pBuffer->AddRef();
        *p_ppBuffer = m_pBuffer;
        return S_OK;
    }
    HRESULT GetSampleTime(LONGLONG* p_phns) override
    {
        if (p_phns == nullptr)
            return E_POINTER;
        *p_phns = m_llTime;
        return S_OK;
    }

    KESTIVO_REFCOUNTED

private:
    MediaBuffer* const m_pBuffer;
    const LONGLONG m_llTime;
};

// The part of a reader its thread keeps alive: a reader released from inside
// its own callback must not pull the state from under the running call.
struct ReaderCore
{
    ReaderCore(std::shared_ptr<SourceCore> p_Source, IMFSourceReaderCallback* p_pCallback)
        : source(std::move(p_Source)), callback(p_pCallback), pacer(source->stream->framesPerSecond()),
          fps(source->stream->framesPerSecond())
    {
    }
    ~ReaderCore()
    {
        if (callback)
            callback->Release();
    }

    const std::shared_ptr<SourceCore> source;
    IMFSourceReaderCallback* const callback;   // null for a synchronous reader
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();

    std::mutex mutex;
    std::condition_variable wake;
    int pending = 0;
    bool lost = false;
    std::atomic<bool> stop{false};

    // Used only by the thread that produces samples (the worker, or the
    // caller of a synchronous read under syncMutex).
    std::mutex syncMutex;
    sim::FramePacer pacer;
    double fps;
    const std::shared_ptr<SampleMemory> memory = std::make_shared<SampleMemory>();

    LONGLONG now100ns() const
    {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start)
                   .count() / 100;
    }

    // Waits for the next frame time and produces it.
    sim::CaptureStream::SampleResult produce(std::vector<uint8_t>& p_Bytes)
    {
        const double f = source->stream->framesPerSecond();
        if (f != fps) {
            fps = f;
            pacer.setRate(f);
        }
        if (!pacer.waitNext(&stop))
            return sim::CaptureStream::SampleResult::NoSample;
        return source->stream->nextSample(p_Bytes);
    }

    static void Run(std::shared_ptr<ReaderCore> p_Core, std::promise<void> p_Done)
    {
        ReaderCore& c = *p_Core;
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(c.mutex);
                c.wake.wait(lock, [&] { return c.stop.load() || c.pending > 0; });
                if (c.stop.load())
                    break;
            }
            std::vector<uint8_t> bytes = c.memory->take();
            const sim::CaptureStream::SampleResult r = c.produce(bytes);
            if (c.stop.load())
                break;
            if (c.source->shutdown.load()) {
                std::lock_guard<std::mutex> lock(c.mutex);
                c.pending = 0;
                continue;
            }
            if (r == sim::CaptureStream::SampleResult::NoSample) {
                // Frames stopped: the request stays queued. Without pacing
                // (fast mode) this would spin, so give the processor back.
                if (sim::FastMode())
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            HRESULT hr = S_OK;
            DWORD flags = 0;
            IMFSample* pSample = nullptr;
            {
                std::lock_guard<std::mutex> lock(c.mutex);
                --c.pending;
                if (r == sim::CaptureStream::SampleResult::Lost) {
                    c.lost = true;
                    c.pending = 0;
                }
            }
            if (r == sim::CaptureStream::SampleResult::Lost) {
                hr = MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED;
                flags = MF_SOURCE_READERF_ERROR;
            } else {
                pSample = new Sample(std::move(bytes), c.now100ns(), c.memory);
            }
            LONGLONG llTime = 0;
            if (pSample)
                pSample->GetSampleTime(&llTime);
            c.callback->AddRef();
            c.callback->OnReadSample(hr, 0, flags, llTime, pSample);
            c.callback->Release();
            if (pSample)
                pSample->Release();
        }
        p_Done.set_value();
    }
};

class SourceReader final : public IMFSourceReader
{
public:
    SourceReader(std::shared_ptr<SourceCore> p_Source, IMFSourceReaderCallback* p_pCallback)
        : m_Core(std::make_shared<ReaderCore>(std::move(p_Source), p_pCallback))
    {
        ++g_iLiveReaders;
        if (p_pCallback != nullptr) {
            std::promise<void> done;
            m_Done = done.get_future();
            m_Thread = std::thread(&ReaderCore::Run, m_Core, std::move(done));
        }
    }
    ~SourceReader() override
    {
        m_Core->stop.store(true);
        {
            std::lock_guard<std::mutex> lock(m_Core->mutex);
        }
        m_Core->wake.notify_all();
        if (m_Thread.joinable()) {
            // Released from inside its own callback, or while the callback is
            // busy for long: the thread finishes on its own and keeps the
            // state it needs alive.
            if (m_Thread.get_id() == std::this_thread::get_id()
                || m_Done.wait_for(std::chrono::seconds(2)) != std::future_status::ready)
                m_Thread.detach();
            else
                m_Thread.join();
        }
        --g_iLiveReaders;
    }

    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override
    {
        const QITAB table[] = {QITABENT(SourceReader, IMFSourceReader), {nullptr, 0}};
        return QISearch(this, table, p_Riid, p_ppv);
    }

    HRESULT GetCurrentMediaType(DWORD p_dwStreamIndex, IMFMediaType** p_ppMediaType) override
    {
        if (p_ppMediaType == nullptr)
            return E_POINTER;
        *p_ppMediaType = nullptr;
        if (!validStream(p_dwStreamIndex))
            return MF_E_INVALIDSTREAMNUMBER;
        const HRESULT hr = m_Core->source->state();
        if (FAILED(hr))
            return hr;
        *p_ppMediaType = m_Core->source->newMediaType();
        return S_OK;
    }
    HRESULT GetNativeMediaType(DWORD p_dwStreamIndex, DWORD p_dwMediaTypeIndex, IMFMediaType** p_ppMediaType) override
    {
        if (p_ppMediaType != nullptr && p_dwMediaTypeIndex != 0) {
            *p_ppMediaType = nullptr;
            return MF_E_NO_MORE_TYPES;
        }
        return GetCurrentMediaType(p_dwStreamIndex, p_ppMediaType);
    }

    HRESULT ReadSample(DWORD p_dwStreamIndex, DWORD p_dwControlFlags, DWORD* p_pdwActualStreamIndex,
                       DWORD* p_pdwStreamFlags, LONGLONG* p_pllTimestamp, IMFSample** p_ppSample) override
    {
        (void)p_dwControlFlags;
        if (!validStream(p_dwStreamIndex))
            return MF_E_INVALIDSTREAMNUMBER;
        ReaderCore& c = *m_Core;
        if (c.callback != nullptr) {
            if (p_pdwActualStreamIndex || p_pdwStreamFlags || p_pllTimestamp || p_ppSample)
                return E_INVALIDARG;
            const HRESULT hr = c.source->state();
            std::lock_guard<std::mutex> lock(c.mutex);
            if (c.lost)
                return MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED;
            if (FAILED(hr))
                return hr;
            ++c.pending;
            c.wake.notify_all();
            return S_OK;
        }

        if (p_ppSample == nullptr)
            return E_POINTER;
        *p_ppSample = nullptr;
        if (p_pdwActualStreamIndex) *p_pdwActualStreamIndex = 0;
        if (p_pdwStreamFlags) *p_pdwStreamFlags = 0;
        if (p_pllTimestamp) *p_pllTimestamp = 0;
        HRESULT hr = c.source->state();
        if (FAILED(hr))
            return hr;
        std::lock_guard<std::mutex> lock(c.syncMutex);
        std::vector<uint8_t> bytes = c.memory->take();
        switch (c.produce(bytes)) {
        case sim::CaptureStream::SampleResult::Sample: {
            auto* pSample = new Sample(std::move(bytes), c.now100ns(), c.memory);
            if (p_pllTimestamp)
                pSample->GetSampleTime(p_pllTimestamp);
            *p_ppSample = pSample;
            return S_OK;
        }
        case sim::CaptureStream::SampleResult::NoSample:
            if (p_pdwStreamFlags) *p_pdwStreamFlags = MF_SOURCE_READERF_STREAMTICK;
            return S_OK;
        case sim::CaptureStream::SampleResult::Lost:
            if (p_pdwStreamFlags) *p_pdwStreamFlags = MF_SOURCE_READERF_ERROR;
            return MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED;
        }
        return E_FAIL;
    }

    KESTIVO_REFCOUNTED

private:
    static bool validStream(DWORD p_dw)
    {
        return p_dw == 0 || p_dw == MF_SOURCE_READER_FIRST_VIDEO_STREAM || p_dw == MF_SOURCE_READER_ANY_STREAM;
    }

    const std::shared_ptr<ReaderCore> m_Core;
    std::thread m_Thread;
    std::future<void> m_Done;
};

} // namespace

HRESULT MFStartup(ULONG p_Version, DWORD p_dwFlags)
{
    (void)p_dwFlags;
    if (p_Version != MF_VERSION)
        return E_INVALIDARG;
    ++g_iStartups;
    return S_OK;
}

HRESULT MFShutdown()
{
    int i = g_iStartups.load();
    while (i > 0 && !g_iStartups.compare_exchange_weak(i, i - 1)) {
    }
    return S_OK;
}

HRESULT MFCreateAttributes(IMFAttributes** p_ppMFAttributes, UINT32 p_cInitialSize)
{
    (void)p_cInitialSize;
    if (p_ppMFAttributes == nullptr)
        return E_POINTER;
    *p_ppMFAttributes = new Attributes();
    return S_OK;
}

HRESULT MFEnumDeviceSources(IMFAttributes* p_pAttributes, IMFActivate*** p_pppSourceActivate,
                            UINT32* p_pcSourceActivate)
{
    if (p_pAttributes == nullptr || p_pppSourceActivate == nullptr || p_pcSourceActivate == nullptr)
        return E_POINTER;
    *p_pppSourceActivate = nullptr;
    *p_pcSourceActivate = 0;
    GUID type{};
    if (FAILED(p_pAttributes->GetGUID(MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE, &type)))
        return E_INVALIDARG;
    const std::vector<sim::CaptureDeviceInfo> devices =
        type == MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE_VIDCAP_GUID ? sim::ListCaptureDevices()
                                                               : std::vector<sim::CaptureDeviceInfo>{};
    auto** ppArray = static_cast<IMFActivate**>(CoTaskMemAlloc(sizeof(IMFActivate*) * (devices.size() + 1)));
    if (ppArray == nullptr)
        return E_OUTOFMEMORY;
    for (size_t i = 0; i < devices.size(); ++i)
        ppArray[i] = new Activate(devices[i]);
    ppArray[devices.size()] = nullptr;
    *p_pppSourceActivate = ppArray;
    *p_pcSourceActivate = static_cast<UINT32>(devices.size());
    return S_OK;
}

HRESULT MFCreateSourceReaderFromMediaSource(IMFMediaSource* p_pMediaSource, IMFAttributes* p_pAttributes,
                                            IMFSourceReader** p_ppSourceReader)
{
    if (p_pMediaSource == nullptr || p_ppSourceReader == nullptr)
        return E_POINTER;
    *p_ppSourceReader = nullptr;
    if (g_iStartups.load() <= 0)
        return MF_E_SHUTDOWN;
    // Only our own sources can be read; anything else is not a capture device here.
    auto* pSource = dynamic_cast<MediaSource*>(p_pMediaSource);
    if (pSource == nullptr)
        return E_INVALIDARG;
    const HRESULT hr = pSource->core()->state();
    if (FAILED(hr))
        return hr;
    IMFSourceReaderCallback* pCallback = nullptr;
    if (p_pAttributes != nullptr) {
        const HRESULT hrCb = p_pAttributes->GetUnknown(MF_SOURCE_READER_ASYNC_CALLBACK, IID_IMFSourceReaderCallback,
                                                       reinterpret_cast<void**>(&pCallback));
        if (FAILED(hrCb) && hrCb != MF_E_ATTRIBUTENOTFOUND)
            return hrCb;
    }
    *p_ppSourceReader = new SourceReader(pSource->core(), pCallback);
    return S_OK;
}

int MFStartupCountForTests() { return g_iStartups.load(); }
int LiveMediaSourcesForTests() { return g_iLiveSources.load(); }
int LiveSourceReadersForTests() { return g_iLiveReaders.load(); }
