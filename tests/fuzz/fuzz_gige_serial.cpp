// libFuzzer target: any bytes from the GigE board's UART through ReadGigESerial and the reply decoder.
#include "board/gige_link.h"
#include "fuzz_support.h"
#include "board/board_configuration.h"
#include "sim/core/board_registry.h"
#include "sim/gige/dunstel_board.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The bridge's port on the simulated board, opened once.
PvDeviceSerialPort* Port()
{
    static PvDeviceSerialPort* s_pPort = [] {
        fuzz::ScratchDir();   // silences Qt's messages
        sim::ResetSimulation();
        const std::vector<const PvDeviceInfo*> found = PvDiscoverDevices();
        PvDevice* pDevice = found.empty() ? nullptr : ConnectGigEDevice(found.front());
        PvDeviceSerialPort* pPort = OpenGigESerial(pDevice);
        if (pPort == nullptr)
            abort();
        return pPort;
    }();
    return s_pPort;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    // Nothing sent is a one-second time-out of the read, not a case of its own.
    if (p_uSize == 0)
        return 0;
    PvDeviceSerialPort* pPort = Port();
    sim::DunstelBoard::instance().emitUart(QByteArray(reinterpret_cast<const char*>(p_pData), static_cast<int>(p_uSize)));

    // The read fills at most 100 bytes: a buffer of exactly that size holds it.
    std::unique_ptr<unsigned char[]> reply(new unsigned char[100]());
    if (ReadGigESerial(pPort, reply.get()))
        abort();   // bytes were waiting: no time-out
    const char* pText = reinterpret_cast<const char*>(reply.get());
    const QByteArray text(pText, static_cast<int>(strnlen(pText, 100)));
    const BoardIdentification id = IdentifyDunstel(text, text);
    if (ProxyListText(id.ProxyListPosition).isEmpty() || FrameRateEntryText(id.FrameRate).isEmpty())
        abort();

    // What the read left pending is drained before the next input.
    std::unique_ptr<unsigned char[]> rest(new unsigned char[1000]);
    size_t uRounds = 0;
    while (!ReadGigESerialRaw(pPort, rest.get()))
        if (++uRounds > p_uSize)
            abort();
    return 0;
}
