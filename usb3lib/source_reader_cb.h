// The callback object of an asynchronous capture: frame delivery and stream recovery (internal).
#pragma once

#include "usb3lib/capture_state.h"

#include <atomic>
#include <mutex>

namespace quenlin {

// Receives the samples of an asynchronous reader on the reader's thread. One
// object per asynchronous capture; it deletes itself when its count reaches 0.
class SourceReaderCB final : public IMFSourceReaderCallback
{
public:
    SourceReaderCB() = default;

    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT OnReadSample(HRESULT p_hrStatus, DWORD p_dwStreamIndex, DWORD p_dwStreamFlags, LONGLONG p_llTimestamp,
                         IMFSample* p_pSample) override;
    HRESULT OnFlush(DWORD p_dwStreamIndex) override;
    HRESULT OnEvent(DWORD p_dwStreamIndex, IMFMediaEvent* p_pEvent) override;

    // The capture this object serves; samples of any other are ignored.
    void setSession(uint64_t p_uSession) { m_uSession.store(p_uSession); }

private:
    ~SourceReaderCB() override = default;

    HRESULT deliverLocked(HRESULT p_hrStatus, IMFSample* p_pSample);
    // Converts, corrects and hands on one frame; false when the capture was
    // closed meanwhile and the sample must be dropped without a new request.
    bool deliverBuffer(IMFMediaBuffer* p_pBuffer, uint64_t p_uSession);
    void recover(HRESULT p_hrFailure, uint64_t p_uSession);

    std::atomic<LONG> m_lRefCount{1};
    std::mutex m_CallbackLock;
    std::atomic<uint64_t> m_uSession{0};
};

} // namespace quenlin
