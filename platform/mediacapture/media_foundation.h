// The video-capture stack the USB3 capture library runs on: device list, media source, source reader, samples.
#pragma once

#include "platform/mediacapture/com_base.h"
#include "platform/mediacapture/video_proc_amp.h"

// Status codes of the stack.
constexpr HRESULT MF_E_INVALIDREQUEST = static_cast<HRESULT>(0xC00D36B2u);
constexpr HRESULT MF_E_INVALIDSTREAMNUMBER = static_cast<HRESULT>(0xC00D36B3u);
constexpr HRESULT MF_E_NO_MORE_TYPES = static_cast<HRESULT>(0xC00D36B9u);
constexpr HRESULT MF_E_INVALIDTYPE = static_cast<HRESULT>(0xC00D36BCu);
constexpr HRESULT MF_E_NOT_FOUND = static_cast<HRESULT>(0xC00D36D5u);
constexpr HRESULT MF_E_ATTRIBUTENOTFOUND = static_cast<HRESULT>(0xC00D36E6u);
constexpr HRESULT MF_E_PROTECTED_CONTENT = static_cast<HRESULT>(0xC00D3700u);
constexpr HRESULT MF_E_SHUTDOWN = static_cast<HRESULT>(0xC00D3E85u);
constexpr HRESULT MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED = static_cast<HRESULT>(0xC00D3EA2u);

// Start-up of the stack.
constexpr ULONG MF_VERSION = 0x00020070;
constexpr DWORD MFSTARTUP_FULL = 0;

// Stream selectors of the source reader and the stream flags it reports.
constexpr DWORD MF_SOURCE_READER_FIRST_VIDEO_STREAM = 0xFFFFFFFC;
constexpr DWORD MF_SOURCE_READER_ANY_STREAM = 0xFFFFFFFE;
constexpr DWORD MF_SOURCE_READERF_ERROR = 0x1;
constexpr DWORD MF_SOURCE_READERF_ENDOFSTREAM = 0x2;
constexpr DWORD MF_SOURCE_READERF_STREAMTICK = 0x100;

// Attribute keys and values.
extern const GUID MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE;             // GUID
extern const GUID MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE_VIDCAP_GUID; // its value for video capture
extern const GUID MF_DEVSOURCE_ATTRIBUTE_FRIENDLY_NAME;           // string
extern const GUID MF_MT_FRAME_SIZE;        // UINT64: width in the high, height in the low 32 bits
extern const GUID MF_MT_DEFAULT_STRIDE;    // UINT32: bytes per line
extern const GUID MF_SOURCE_READER_ENABLE_VIDEO_PROCESSING;       // UINT32
extern const GUID MF_SOURCE_READER_ASYNC_CALLBACK;                // IUnknown: IMFSourceReaderCallback
extern const GUID MF_READWRITE_DISABLE_CONVERTERS;                // UINT32
extern const GUID MF_LOW_LATENCY;                                 // UINT32

extern const IID IID_IMFAttributes;
extern const IID IID_IMFActivate;
extern const IID IID_IMFMediaSource;
extern const IID IID_IMFMediaType;
extern const IID IID_IMFSourceReader;
extern const IID IID_IMFSourceReaderCallback;
extern const IID IID_IMFSample;
extern const IID IID_IMFMediaBuffer;

// A key-value store. Missing keys answer MF_E_ATTRIBUTENOTFOUND, a key of
// another type MF_E_INVALIDTYPE.
class IMFAttributes : public IUnknown
{
public:
    virtual HRESULT GetUINT32(REFGUID p_Key, UINT32* p_pValue) = 0;
    virtual HRESULT SetUINT32(REFGUID p_Key, UINT32 p_uValue) = 0;
    virtual HRESULT GetUINT64(REFGUID p_Key, UINT64* p_pValue) = 0;
    virtual HRESULT SetUINT64(REFGUID p_Key, UINT64 p_uValue) = 0;
    virtual HRESULT GetGUID(REFGUID p_Key, GUID* p_pValue) = 0;
    virtual HRESULT SetGUID(REFGUID p_Key, REFGUID p_Value) = 0;
    // The string is allocated with CoTaskMemAlloc; the caller frees it with CoTaskMemFree.
    virtual HRESULT GetAllocatedString(REFGUID p_Key, LPWSTR* p_ppwszValue, UINT32* p_pcchLength) = 0;
    virtual HRESULT SetString(REFGUID p_Key, const WCHAR* p_wszValue) = 0;
    // Stores a reference (AddRef); GetUnknown answers it through QueryInterface.
    virtual HRESULT SetUnknown(REFGUID p_Key, IUnknown* p_pUnknown) = 0;
    virtual HRESULT GetUnknown(REFGUID p_Key, REFIID p_Riid, void** p_ppv) = 0;
    virtual HRESULT GetCount(UINT32* p_pcItems) = 0;
};

// A media type; the capture devices here offer one: 16-bit pixels, high byte first.
class IMFMediaType : public IMFAttributes
{
};

class IMFMediaTypeHandler : public IUnknown
{
public:
    virtual HRESULT GetMediaTypeCount(DWORD* p_pdwTypeCount) = 0;
    virtual HRESULT GetMediaTypeByIndex(DWORD p_dwIndex, IMFMediaType** p_ppType) = 0;
    virtual HRESULT SetCurrentMediaType(IMFMediaType* p_pMediaType) = 0;
    virtual HRESULT GetCurrentMediaType(IMFMediaType** p_ppMediaType) = 0;
};

class IMFStreamDescriptor : public IUnknown
{
public:
    virtual HRESULT GetMediaTypeHandler(IMFMediaTypeHandler** p_ppMediaTypeHandler) = 0;
};

class IMFPresentationDescriptor : public IUnknown
{
public:
    virtual HRESULT GetStreamDescriptorCount(DWORD* p_pdwDescriptorCount) = 0;
    virtual HRESULT GetStreamDescriptorByIndex(DWORD p_dwIndex, BOOL* p_pfSelected,
                                               IMFStreamDescriptor** p_ppDescriptor) = 0;
};

// An activated capture device. QueryInterface also answers IID_IAMVideoProcAmp
// when the device has a processing amplifier. After Shutdown every call answers MF_E_SHUTDOWN.
class IMFMediaSource : public IUnknown
{
public:
    virtual HRESULT CreatePresentationDescriptor(IMFPresentationDescriptor** p_ppPresentationDescriptor) = 0;
    virtual HRESULT Pause() = 0;
    virtual HRESULT Shutdown() = 0;
};

// A device found by MFEnumDeviceSources; its attributes hold the friendly name.
class IMFActivate : public IMFAttributes
{
public:
    // p_Riid must be IID_IMFMediaSource. A device no longer present answers
    // MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED, a device that fails to open E_FAIL.
    virtual HRESULT ActivateObject(REFIID p_Riid, void** p_ppv) = 0;
    virtual HRESULT ShutdownObject() = 0;
    virtual HRESULT DetachObject() = 0;
};

class IMFMediaBuffer : public IUnknown
{
public:
    virtual HRESULT Lock(BYTE** p_ppbBuffer, DWORD* p_pcbMaxLength, DWORD* p_pcbCurrentLength) = 0;
    virtual HRESULT Unlock() = 0;
    virtual HRESULT GetCurrentLength(DWORD* p_pcbCurrentLength) = 0;
    virtual HRESULT GetMaxLength(DWORD* p_pcbMaxLength) = 0;
};

// One frame: a single buffer of stride x height bytes.
class IMFSample : public IUnknown
{
public:
    virtual HRESULT GetBufferCount(DWORD* p_pdwBufferCount) = 0;
    virtual HRESULT ConvertToContiguousBuffer(IMFMediaBuffer** p_ppBuffer) = 0;
    virtual HRESULT GetSampleTime(LONGLONG* p_phnsSampleTime) = 0;   // 100 ns units since the stream began
};

class IMFMediaEvent : public IUnknown
{
};

// Implemented by the application for an asynchronous reader. OnReadSample is
// called once for each ReadSample request, on the reader's own thread, one
// call at a time; the reader holds a reference on the callback during each
// call. A lost device arrives as a call with the status
// MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED, the flag MF_SOURCE_READERF_ERROR
// and no sample; every later request then fails with that status.
class IMFSourceReaderCallback : public IUnknown
{
public:
    virtual HRESULT OnReadSample(HRESULT p_hrStatus, DWORD p_dwStreamIndex, DWORD p_dwStreamFlags,
                                 LONGLONG p_llTimestamp, IMFSample* p_pSample) = 0;
    virtual HRESULT OnFlush(DWORD p_dwStreamIndex) = 0;
    virtual HRESULT OnEvent(DWORD p_dwStreamIndex, IMFMediaEvent* p_pEvent) = 0;
};

// Reads the samples of a media source. Synchronous unless created with
// MF_SOURCE_READER_ASYNC_CALLBACK:
//  - synchronous: ReadSample blocks until the next frame is due (the board's
//    frame rate) and returns it; while the device sends nothing it returns
//    S_OK with MF_SOURCE_READERF_STREAMTICK and no sample after one frame period.
//  - asynchronous: ReadSample takes all output arguments null, queues the
//    request and returns at once; each request yields one OnReadSample at
//    the frame rate. Releasing the reader (also from inside OnReadSample)
//    stops its thread; requests still queued are dropped without a call.
class IMFSourceReader : public IUnknown
{
public:
    virtual HRESULT GetCurrentMediaType(DWORD p_dwStreamIndex, IMFMediaType** p_ppMediaType) = 0;
    virtual HRESULT GetNativeMediaType(DWORD p_dwStreamIndex, DWORD p_dwMediaTypeIndex,
                                       IMFMediaType** p_ppMediaType) = 0;
    virtual HRESULT ReadSample(DWORD p_dwStreamIndex, DWORD p_dwControlFlags, DWORD* p_pdwActualStreamIndex,
                               DWORD* p_pdwStreamFlags, LONGLONG* p_pllTimestamp, IMFSample** p_ppSample) = 0;
};

HRESULT MFStartup(ULONG p_Version, DWORD p_dwFlags = MFSTARTUP_FULL);
HRESULT MFShutdown();
HRESULT MFCreateAttributes(IMFAttributes** p_ppMFAttributes, UINT32 p_cInitialSize);
// Lists the video-capture devices (p_pAttributes must ask for
// MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE_VIDCAP_GUID). The array and each
// activation object belong to the caller: Release each, CoTaskMemFree the
// array. No device is S_OK with a count of 0.
HRESULT MFEnumDeviceSources(IMFAttributes* p_pAttributes, IMFActivate*** p_pppSourceActivate,
                            UINT32* p_pcSourceActivate);
// Needs MFStartup (else MF_E_SHUTDOWN) and a source that is not shut down.
HRESULT MFCreateSourceReaderFromMediaSource(IMFMediaSource* p_pMediaSource, IMFAttributes* p_pAttributes,
                                            IMFSourceReader** p_ppSourceReader);

// For tests: the start-ups not yet matched by MFShutdown, and the media
// sources and source readers alive now.
int MFStartupCountForTests();
int LiveMediaSourcesForTests();
int LiveSourceReadersForTests();
