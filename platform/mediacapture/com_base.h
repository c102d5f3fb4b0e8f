// The COM-style basics the capture stack is built on: status codes, interface ids, reference counting.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

using HRESULT = int32_t;
using ULONG = uint32_t;
using LONG = int32_t;
using DWORD = uint32_t;
using UINT32 = uint32_t;
using UINT64 = uint64_t;
using LONGLONG = int64_t;
using BYTE = uint8_t;
using BOOL = int;
using WCHAR = wchar_t;
using LPWSTR = wchar_t*;

// Status codes: negative is failure.
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_PROP_ID_UNSUPPORTED = static_cast<HRESULT>(0x80070490u);
constexpr HRESULT HRESULT_TIMEOUT = static_cast<HRESULT>(0x800705B4u);   // the wait timed out
constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106u);

inline bool SUCCEEDED(HRESULT p_hr) { return p_hr >= 0; }
inline bool FAILED(HRESULT p_hr) { return p_hr < 0; }

// Interface and attribute identifiers. Only identity matters: compare with ==.
struct GUID
{
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
inline bool operator==(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }
using IID = GUID;
using REFIID = const IID&;
using REFGUID = const GUID&;

extern const IID IID_IUnknown;

// The root of every interface: reference counted, queried by interface id.
// An object deletes itself when its count reaches 0.
class IUnknown
{
public:
    virtual HRESULT QueryInterface(REFIID p_Riid, void** p_ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// Apartment start-up of the calling thread. Counted per thread: the first
// call returns S_OK, further ones S_FALSE; each success wants one CoUninitialize.
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
constexpr DWORD COINIT_DISABLE_OLE1DDE = 0x4;
HRESULT CoInitializeEx(void* p_pReserved, DWORD p_dwCoInit);
void CoUninitialize();

// Memory that the stack hands out (enumeration arrays, strings) and the caller frees.
void* CoTaskMemAlloc(size_t p_uBytes);
void CoTaskMemFree(void* p_pMemory);

// Table-driven QueryInterface: one entry per interface the object offers,
// ended by a null entry. IID_IUnknown answers with the first entry. On
// success the object is AddRef'ed.
struct QITAB
{
    const IID* piid;
    int dwOffset;   // byte offset of the interface within the object
};
HRESULT QISearch(void* p_pThis, const QITAB* p_pTable, REFIID p_Riid, void** p_ppv);
// An entry for interface Iface of the object 'this' of class Class (use inside QueryInterface).
#define QITABENT(Class, Iface)                                                                   \
    QITAB{&IID_##Iface, static_cast<int>(reinterpret_cast<const char*>(static_cast<const Iface*>(this)) \
                                         - reinterpret_cast<const char*>(this))}

// The reference count most of our objects share; the count starts at 1.
class RefCount
{
public:
    ULONG addRef() { return ++m_uCount; }
    ULONG release() { return --m_uCount; }

private:
    std::atomic<ULONG> m_uCount{1};
};
