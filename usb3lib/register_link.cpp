// The board register link over the capture device's processing-amplifier properties.
#include "usb3lib/capture_state.h"

namespace quenlin {

namespace {
// The register port's properties.
constexpr LONG kAddressProperty = VideoProcAmp_BacklightCompensation;   // 8
constexpr LONG kValueProperty = VideoProcAmp_Brightness;                // 0
constexpr LONG kLatchProperty = VideoProcAmp_Contrast;                  // 1

// The register port of the activated device. Without a device, or on a
// device without the interface, nothing can be transferred: E_FAIL, so that
// no caller mistakes it for a completed transfer.
HRESULT OpenPort(IAMVideoProcAmp** p_ppPort)
{
    *p_ppPort = nullptr;
    CaptureState& s = State();
    if (s.mediaSource == nullptr)
        return E_FAIL;
    const HRESULT hr = s.mediaSource->QueryInterface(IID_IAMVideoProcAmp, reinterpret_cast<void**>(p_ppPort));
    if (FAILED(hr) || *p_ppPort == nullptr) {
        *p_ppPort = nullptr;
        return E_FAIL;
    }
    return S_OK;
}

HRESULT ReadProperty(LONG p_lProperty, int* p_pValue)
{
    IAMVideoProcAmp* pPort = nullptr;
    HRESULT hr = OpenPort(&pPort);
    if (SUCCEEDED(hr)) {
        LONG lValue = 0;
        hr = pPort->Get(p_lProperty, &lValue, nullptr);
        if (SUCCEEDED(hr) && p_pValue != nullptr)
            *p_pValue = lValue;
        pPort->Release();
    }
    if (FAILED(hr))
        VerboseStdout("Couldn't get parameter.\n");
    return hr;
}

// The range default of a property: how the board publishes its set-up.
int ReadRangeDefault(LONG p_lProperty, int* p_pNumber, const char* p_sTitle, const char* p_sFailure)
{
    Verbose(p_sTitle);
    if (p_pNumber != nullptr)
        *p_pNumber = -255;
    std::lock_guard<std::mutex> lock(LibraryMutex());
    CaptureState& s = State();
    // An open capture already holds the device: ask it rather than activating
    // the board a second time behind the running reader.
    if (s.initialized.load() == 0) {
        const HRESULT hr = FindCaptureDevice();
        if (FAILED(hr)) {
            Verbose("Couldn't init device. Is your device well plugged ?\n");
            return hr;
        }
    }
    IAMVideoProcAmp* pPort = nullptr;
    HRESULT hr = OpenPort(&pPort);
    if (FAILED(hr)) {
        Verbose(p_sFailure);
        return hr;
    }
    LONG lDefault = 0;
    hr = pPort->GetRange(p_lProperty, nullptr, nullptr, nullptr, &lDefault, nullptr);
    if (SUCCEEDED(hr)) {
        if (p_pNumber != nullptr)
            *p_pNumber = lDefault;
    } else {
        Verbose(p_sFailure);
    }
    pPort->Release();
    return hr;
}
} // namespace

HRESULT RegisterWriteLocked(int p_iAddress, int p_iValue)
{
    IAMVideoProcAmp* pPort = nullptr;
    HRESULT hr = OpenPort(&pPort);
    if (FAILED(hr))
        return hr;
    // Address, value, then the latch that strobes the write; a failed step
    // never lets the latch commit a half-written register.
    hr = pPort->Set(kAddressProperty, p_iAddress, VideoProcAmp_Flags_Manual);
    if (SUCCEEDED(hr))
        hr = pPort->Set(kValueProperty, p_iValue, VideoProcAmp_Flags_Manual);
    if (SUCCEEDED(hr))
        hr = pPort->Set(kLatchProperty, 1, VideoProcAmp_Flags_Manual);
    pPort->Release();
    return hr;
}

HRESULT SetParameterLocked(int p_iAddress, int p_iValue)
{
    CaptureState& s = State();
    if (s.initialized.load() == 0) {
        Verbose("Capture was not initialized.\n");
        return E_FAIL;
    }
    if (s.mediaSource == nullptr) {
        Verbose("Problem with the Source Reader, ABORT\n");
        return E_FAIL;
    }
    const HRESULT hr = RegisterWriteLocked(p_iAddress, p_iValue);
    if (FAILED(hr))
        Verbose("Could not set parameter.\n");
    return hr;
}

HRESULT SetParameterToBoardLocked(int p_iBoard, int p_iRegister, int p_iValue)
{
    if (State().initialized.load() == 0) {
        Verbose("Capture was not initialized.\n");
        return E_FAIL;
    }
    const int command[4][2] = {{51, p_iBoard}, {52, p_iRegister}, {53, p_iValue}, {50, 0}};
    HRESULT hr = S_OK;
    for (const auto& write : command) {
        hr = SetParameterLocked(write[0], write[1]);
        if (FAILED(hr)) {
            Verbose("Could not send command to specific board.\n");
            return hr;
        }
    }
    return hr;
}

} // namespace quenlin

using namespace quenlin;

QUENLIN_EXPORT int _SetParameter(int address, int value)
{
    std::lock_guard<std::mutex> lock(LibraryMutex());
    const HRESULT hr = RegisterWriteLocked(address, value);
    if (FAILED(hr))
        VerboseStdout("Couldn't set parameter.\n");
    return hr;
}

QUENLIN_EXPORT int _GetParameter(int* value)
{
    std::lock_guard<std::mutex> lock(LibraryMutex());
    return ReadProperty(kValueProperty, value);
}

QUENLIN_EXPORT int _GetParameterCustom(int property, int* value)
{
    std::lock_guard<std::mutex> lock(LibraryMutex());
    return ReadProperty(property, value);
}

QUENLIN_EXPORT int getValidationLatch(int* latch)
{
    std::lock_guard<std::mutex> lock(LibraryMutex());
    IAMVideoProcAmp* pPort = nullptr;
    HRESULT hr = OpenPort(&pPort);
    if (FAILED(hr)) {
        VerboseStdout("Can't get anything about Latch.\n");
        return hr;
    }
    LONG lMin = 0, lMax = 0, lStep = 0, lDefault = 0, lCaps = 0;
    hr = pPort->GetRange(kLatchProperty, &lMin, &lMax, &lStep, &lDefault, &lCaps);
    if (FAILED(hr)) {
        VerboseStdout("Can't get anything about Latch.\n");
    } else {
        LONG lLatch = 0, lFlags = 0;
        hr = pPort->Get(kLatchProperty, &lLatch, &lFlags);
        if (FAILED(hr))
            VerboseStdout("Couldn't get latch.\n");
        else if (latch != nullptr)
            *latch = lLatch;
    }
    pPort->Release();
    return hr;
}

QUENLIN_EXPORT int setParameter(int address, int value)
{
    std::lock_guard<std::mutex> lock(LibraryMutex());
    return SetParameterLocked(address, value);
}

QUENLIN_EXPORT int setParameterToBoard(int board, int registerIndex, int value)
{
    std::lock_guard<std::mutex> lock(LibraryMutex());
    return SetParameterToBoardLocked(board, registerIndex, value);
}

QUENLIN_EXPORT int getProxyNumber(int* number)
{
    return ReadRangeDefault(kValueProperty, number, "Get Proxy Number\n",
                            "Couldn't get the Proxy Number configuration.\n");
}

QUENLIN_EXPORT int getFPSNumber(int* number)
{
    return ReadRangeDefault(kAddressProperty, number, "Get FPS Number\n",
                            "Couldn't get the Frequency configuration into the device.\n");
}

QUENLIN_EXPORT int openSerialCOM(void)
{
    return 0;
}
