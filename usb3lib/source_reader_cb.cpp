// Device discovery, media type and geometry, and the asynchronous frame path with its stream recovery.
#include "usb3lib/source_reader_cb.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

namespace quenlin {

namespace {
constexpr char kBoardName[] = "Vantrel_Corvane";

// The friendly name in UTF-8, the multibyte text the application prints.
std::string ToMultibyte(const WCHAR* p_wsText)
{
    std::string out;
    for (const WCHAR* p = p_wsText; p != nullptr && *p != 0; ++p) {
        const uint32_t c = static_cast<uint32_t>(*p);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string FriendlyName(IMFActivate* p_pDevice)
{
    LPWSTR wsName = nullptr;
    UINT32 uLength = 0;
    if (FAILED(p_pDevice->GetAllocatedString(MF_DEVSOURCE_ATTRIBUTE_FRIENDLY_NAME, &wsName, &uLength)))
        return std::string();
    std::string name = ToMultibyte(wsName);
    CoTaskMemFree(wsName);
    return name;
}

// Stopped by the application since the recovery began.
bool StopAsked(uint64_t p_uStopEpoch)
{
    const CaptureState& s = State();
    return s.stopRequested.load() != 0 || s.stopEpoch.load() != p_uStopEpoch;
}
} // namespace

HRESULT FindCaptureDevice()
{
    CaptureState& s = State();
    if (s.mediaSource != nullptr) {
        // Left by an earlier discovery that opened no capture.
        s.mediaSource->Shutdown();
        s.mediaSource->Release();
        s.mediaSource = nullptr;
    }
    std::memset(s.deviceName, 0, sizeof s.deviceName);
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(hr))
        return hr;

    IMFAttributes* pAttributes = nullptr;
    IMFActivate** ppDevices = nullptr;
    UINT32 uCount = 0;
    hr = MFCreateAttributes(&pAttributes, 1);
    if (SUCCEEDED(hr))
        hr = pAttributes->SetGUID(MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE, MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE_VIDCAP_GUID);
    if (SUCCEEDED(hr))
        hr = MFEnumDeviceSources(pAttributes, &ppDevices, &uCount);
    if (SUCCEEDED(hr) && uCount == 0)
        hr = MF_E_NOT_FOUND;

    if (SUCCEEDED(hr)) {
        int iMatched = -1;
        bool bFound = false;
        const size_t uBoardLength = std::strlen(kBoardName);
        for (UINT32 i = 0; i < uCount && !bFound; ++i) {
            const std::string name = FriendlyName(ppDevices[i]);
            const std::string cut = name.substr(0, uBoardLength);
            VerboseF("Camera's name analyze: %s\n", cut.c_str());
            if (cut != kBoardName)
                continue;
            iMatched = static_cast<int>(i);
            hr = ppDevices[i]->ActivateObject(IID_IMFMediaSource, reinterpret_cast<void**>(&s.mediaSource));
            if (SUCCEEDED(hr) && s.mediaSource != nullptr) {
                const size_t n = std::min(name.size(), sizeof s.deviceName - 1);
                std::memcpy(s.deviceName, name.data(), n);
                s.deviceName[n] = 0;
                VerboseF("Found camera : %s\n", name.c_str());
                bFound = true;
            } else {
                s.mediaSource = nullptr;
            }
        }
        if (!bFound) {
            if (iMatched < 0) {
                Verbose("Couldn't find board automatically. Setting it to the default one.\n");
                iMatched = 0;
            }
            hr = ppDevices[iMatched]->ActivateObject(IID_IMFMediaSource, reinterpret_cast<void**>(&s.mediaSource));
            if (FAILED(hr))
                s.mediaSource = nullptr;
        } else {
            hr = S_OK;
        }
    }

    if (pAttributes != nullptr)
        pAttributes->Release();
    for (UINT32 i = 0; ppDevices != nullptr && i < uCount; ++i)
        ppDevices[i]->Release();
    CoTaskMemFree(ppDevices);
    return hr;
}

HRESULT SelectFirstMediaType()
{
    CaptureState& s = State();
    if (s.mediaSource == nullptr)
        return E_POINTER;
    IMFPresentationDescriptor* pPresentation = nullptr;
    IMFStreamDescriptor* pStream = nullptr;
    IMFMediaTypeHandler* pHandler = nullptr;
    IMFMediaType* pType = nullptr;
    BOOL bSelected = 0;
    HRESULT hr = s.mediaSource->CreatePresentationDescriptor(&pPresentation);
    if (SUCCEEDED(hr))
        hr = pPresentation->GetStreamDescriptorByIndex(0, &bSelected, &pStream);
    if (SUCCEEDED(hr))
        hr = pStream->GetMediaTypeHandler(&pHandler);
    if (SUCCEEDED(hr))
        hr = pHandler->GetMediaTypeByIndex(0, &pType);
    if (SUCCEEDED(hr))
        hr = pHandler->SetCurrentMediaType(pType);
    if (pType != nullptr)
        pType->Release();
    if (pHandler != nullptr)
        pHandler->Release();
    if (pStream != nullptr)
        pStream->Release();
    if (pPresentation != nullptr)
        pPresentation->Release();
    return hr;
}

HRESULT RefreshFrameGeometry()
{
    CaptureState& s = State();
    if (s.initialized.load() == 0) {
        Verbose("Capture was not initialized.\n");
        return E_FAIL;
    }
    if (s.currentMediaType != nullptr) {
        s.currentMediaType->Release();
        s.currentMediaType = nullptr;
    }
    HRESULT hr = s.sourceReader != nullptr
                     ? s.sourceReader->GetCurrentMediaType(MF_SOURCE_READER_FIRST_VIDEO_STREAM, &s.currentMediaType)
                     : E_POINTER;
    if (FAILED(hr)) {
        s.currentMediaType = nullptr;
        Verbose("Could not get Media type\n");
        return hr;
    }
    // A media type without a size gives no geometry; one without a stride
    // gets the stride of packed 16-bit pixels.
    int64_t iWidth = 0, iHeight = 0, iPitch = 0;
    UINT64 uSize = 0;
    if (SUCCEEDED(s.currentMediaType->GetUINT64(MF_MT_FRAME_SIZE, &uSize))) {
        iWidth = static_cast<int64_t>(uSize >> 32);
        iHeight = static_cast<int64_t>(uSize & 0xFFFFFFFFu);
    }
    UINT32 uStride = 0;
    if (SUCCEEDED(s.currentMediaType->GetUINT32(MF_MT_DEFAULT_STRIDE, &uStride)))
        iPitch = std::llabs(static_cast<int64_t>(static_cast<int32_t>(uStride)));
    else
        iPitch = iWidth * 2;
    // A frame beyond 1 GiB is not a frame this board sends.
    if (iWidth <= 0 || iHeight <= 0 || iPitch <= 0 || iWidth > 65535 || iHeight > 65535
        || iHeight * iPitch > (int64_t(1) << 30))
        iWidth = iHeight = iPitch = 0;

    std::lock_guard<std::mutex> data(DataMutex());
    s.width = static_cast<int>(iWidth);
    s.height = static_cast<int>(iHeight);
    s.pitch = static_cast<int>(iPitch);
    // A new frame size makes any earlier reference meaningless: start from zero.
    s.fpnReference.assign(static_cast<size_t>(iHeight * iPitch / 2), 0);
    return hr;
}

HRESULT SourceReaderCB::QueryInterface(REFIID p_Riid, void** p_ppv)
{
    const QITAB table[] = {QITABENT(SourceReaderCB, IMFSourceReaderCallback), {nullptr, 0}};
    return QISearch(this, table, p_Riid, p_ppv);
}

ULONG SourceReaderCB::AddRef()
{
    return static_cast<ULONG>(++m_lRefCount);
}

ULONG SourceReaderCB::Release()
{
    const LONG l = --m_lRefCount;
    if (l == 0)
        delete this;
    return static_cast<ULONG>(l);
}

HRESULT SourceReaderCB::OnFlush(DWORD)
{
    return S_OK;
}

HRESULT SourceReaderCB::OnEvent(DWORD, IMFMediaEvent*)
{
    return S_OK;
}

HRESULT SourceReaderCB::OnReadSample(HRESULT p_hrStatus, DWORD, DWORD, LONGLONG, IMFSample* p_pSample)
{
    // A recovery releases the capture's reference to this object while this
    // call holds its lock: our own reference keeps it alive until the lock is left.
    AddRef();
    HRESULT hr;
    {
        std::lock_guard<std::mutex> lock(m_CallbackLock);
        hr = deliverLocked(p_hrStatus, p_pSample);
    }
    Release();
    return hr;
}

HRESULT SourceReaderCB::deliverLocked(HRESULT p_hrStatus, IMFSample* p_pSample)
{
    CaptureState& s = State();
    const uint64_t uSession = m_uSession.load();
    if (uSession == 0 || uSession != s.session.load())
        return p_hrStatus;   // a late sample of a capture already closed

    if (s.callbackStarted.exchange(1) == 0)
        Always("CallBackStarted was false.\n");
    if (s.stopRequested.load() != 0) {
        s.callbackStarted.store(0);
        Always("Stopcapture active.\n");
        return p_hrStatus;
    }

    if (FAILED(p_hrStatus)) {
        Verbose("Sample reading failed.\n");
    } else if (p_pSample == nullptr) {
        Verbose("No sample.\n");
    } else {
        DWORD uBuffers = 0;
        IMFMediaBuffer* pBuffer = nullptr;
        if (FAILED(p_pSample->GetBufferCount(&uBuffers)) || uBuffers == 0) {
            Verbose("Empty sample.\n");
        } else if (FAILED(p_pSample->ConvertToContiguousBuffer(&pBuffer)) || pBuffer == nullptr) {
            Verbose("Couldn't get buffer from sample.\n");
        } else {
            const bool bDelivered = deliverBuffer(pBuffer, uSession);
            pBuffer->Release();
            if (!bDelivered)
                return p_hrStatus;
        }
    }

    HRESULT hr;
    {
        std::unique_lock<std::mutex> lock;
        if (!LockForSession(uSession, lock))
            return p_hrStatus;
        hr = s.sourceReader != nullptr
                 ? s.sourceReader->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, nullptr, nullptr, nullptr, nullptr)
                 : E_POINTER;
    }
    if (FAILED(hr))
        recover(hr, uSession);
    return hr;
}

bool SourceReaderCB::deliverBuffer(IMFMediaBuffer* p_pBuffer, uint64_t p_uSession)
{
    CaptureState& s = State();
    BYTE* pData = nullptr;
    DWORD uMax = 0, uLength = 0;
    if (FAILED(p_pBuffer->Lock(&pData, &uMax, &uLength)) || pData == nullptr) {
        Verbose("Couldn't get buffer from sample.\n");
        return true;
    }
    if (uLength != s.lastSampleLength.load()) {
        Verbose("Capture dimensions changed.\n");
        s.lastSampleLength.store(uLength);
        std::unique_lock<std::mutex> lock;
        if (!LockForSession(p_uSession, lock)) {
            p_pBuffer->Unlock();
            return false;
        }
        RefreshFrameGeometry();
    }
    const bool bNuc = s.nucEnabled.load() != 0;
    const bool bInvert = s.invertEnabled.load() != 0;
    const size_t uPixels = uLength / 2;
    auto* pPixels = reinterpret_cast<uint16_t*>(pData);
    ConvertAndCorrectFrame(pData, pPixels, uPixels, bNuc, bInvert);

    const FrameCallback callback = s.frameCallback.load();
    if (callback != nullptr) {
        unsigned int uLengthCopy = uLength;
        callback(pPixels, &uLengthCopy);
    } else {
        Verbose("Pointer to callback function was set to NULL or wait too long.\n");
    }
    p_pBuffer->Unlock();
    return true;
}

void SourceReaderCB::recover(HRESULT p_hrFailure, uint64_t p_uSession)
{
    CaptureState& s = State();
    Verbose("Couldn't relaunch capture.\n");
    VerboseF("HRESULT : %x\n", static_cast<unsigned>(p_hrFailure));
    if (p_hrFailure == MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED)
        Verbose("Device lost, recovering.\n");
    else
        Verbose("Signal lost; parameters may have changed. Recovering.\n");

    // A stop asked for before or during the recovery ends it: the application
    // is closing this stream and will tear the capture down itself.
    const uint64_t uStopEpoch = s.stopEpoch.load();
    if (s.stopRequested.load() != 0)
        return;
    {
        std::unique_lock<std::mutex> lock;
        if (!LockForSession(p_uSession, lock))
            return;   // the capture was closed or replaced meanwhile
        DeinitCaptureLocked(0);
    }
    SleepMs(50);
    bool bOpen;
    {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        if (StopAsked(uStopEpoch))
            return;
        s.callbackStarted.store(0);
        bOpen = s.initialized.load() != 0;
    }
    if (bOpen) {
        // Someone opened a capture again meanwhile: get its stream going.
        StartCaptureGuarded(uStopEpoch);
        return;
    }

    uint64_t uOurs = 0;   // the capture this recovery opened, 0 for none
    for (;;) {
        if (StopAsked(uStopEpoch))
            return;
        Always("Recovery in progress...\n");
        Verbose("Reinit.\n");
        {
            std::lock_guard<std::mutex> lock(LibraryMutex());
            if (s.initialized.load() != 0) {
                if (s.session.load() != uOurs)
                    return;   // the application opened one of its own
                DeinitCaptureLocked(0);
            }
        }
        SleepMs(300);
        {
            std::lock_guard<std::mutex> lock(LibraryMutex());
            if (StopAsked(uStopEpoch) || s.initialized.load() != 0)
                return;
            if (s.lastMode.load() != 0)
                InitCaptureLocked(true, s.frameCallback.load(), s.droppedSampleCallback.load(), 0, 0);
            else
                InitCaptureLocked(false, nullptr, nullptr, 0, 0);
            uOurs = s.initialized.load() != 0 ? s.session.load() : 0;
        }
        SleepMs(200);
        if (uOurs == 0 || s.session.load() != uOurs)
            continue;
        if (StopAsked(uStopEpoch))
            return;
        const HRESULT hr = StartCaptureGuarded(uStopEpoch);
        // A synchronous capture has no stream to start; an asynchronous one
        // whose first frame never came lost its device again: try once more.
        if (SUCCEEDED(hr) || s.lastMode.load() == 0)
            return;
    }
}

} // namespace quenlin
