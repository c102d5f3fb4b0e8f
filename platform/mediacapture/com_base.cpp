// Apartment start-up, task memory and the table-driven QueryInterface.
#include "platform/mediacapture/com_base.h"

#include <cstdlib>

const IID IID_IUnknown = {0x4B560001, 0, 0, {0x4B, 0x45, 0x53, 0x54, 0x49, 0x56, 0x4F, 0x00}};

namespace {
struct Apartment
{
    int count = 0;
    DWORD mode = 0;
};
thread_local Apartment t_Apartment;
constexpr DWORD kApartmentBits = COINIT_APARTMENTTHREADED;
} // namespace

HRESULT CoInitializeEx(void* p_pReserved, DWORD p_dwCoInit)
{
    if (p_pReserved != nullptr)
        return E_INVALIDARG;
    Apartment& a = t_Apartment;
    if (a.count > 0) {
        if ((a.mode & kApartmentBits) != (p_dwCoInit & kApartmentBits))
            return RPC_E_CHANGED_MODE;
        ++a.count;
        return S_FALSE;
    }
    a.mode = p_dwCoInit;
    a.count = 1;
    return S_OK;
}

void CoUninitialize()
{
    if (t_Apartment.count > 0)
        --t_Apartment.count;
}

void* CoTaskMemAlloc(size_t p_uBytes)
{
    return std::malloc(p_uBytes == 0 ? 1 : p_uBytes);
}

void CoTaskMemFree(void* p_pMemory)
{
    std::free(p_pMemory);
}

HRESULT QISearch(void* p_pThis, const QITAB* p_pTable, REFIID p_Riid, void** p_ppv)
{
    if (p_ppv == nullptr)
        return E_POINTER;
    *p_ppv = nullptr;
    if (p_pThis == nullptr || p_pTable == nullptr || p_pTable->piid == nullptr)
        return E_NOINTERFACE;
    for (const QITAB* e = p_pTable; e->piid != nullptr; ++e) {
        if (*e->piid == p_Riid || (p_Riid == IID_IUnknown && e == p_pTable)) {
            auto* pInterface = reinterpret_cast<IUnknown*>(static_cast<char*>(p_pThis) + e->dwOffset);
            pInterface->AddRef();
            *p_ppv = pInterface;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}
