// The serial-port board's per-frame worker threads.
#include "board/eskra_threads.h"

#include "board/eskra_frame_stream.h"
#include "board/links/eskra_link_state.h"

#include <QByteArray>
#include <QSerialPort>

void FetchEskraPortBytes(EskraLinkState& p_rState)
{
    QSerialPort* pPort = p_rState.SerialPort;
    p_rState.PortOpen = pPort != nullptr && pPort->isOpen();
    p_rState.Fetched = p_rState.PortOpen ? pPort->readAll() : QByteArray();
}

void* EskraReadThread(void* p_pArgument)
{
    auto* pState = static_cast<EskraLinkState*>(p_pArgument);
    if (!pState || !pState->Buffers[0] || !pState->Buffers[1] || !pState->PortOpen)
        return nullptr;
    uint32_t sums[3] = {uint32_t(pState->Checksums[0]), uint32_t(pState->Checksums[1]),
                        uint32_t(pState->Checksums[2])};
    ParseSerialBytesEskra(pState->Receiver, pState->Fetched,
                          EskraFrameBuffers{pState->Buffers[0], pState->Buffers[1], &sums[0], &sums[1], &sums[2]});
    for (int i = 0; i < 3; ++i)
        pState->Checksums[i] = int(sums[i]);
    return nullptr;
}

void* EskraProcessThread(void* p_pArgument)
{
    auto* pState = static_cast<EskraLinkState*>(p_pArgument);
    if (!pState || !pState->Buffers[0] || !pState->Buffers[1] || !pState->DecodeTarget)
        return nullptr;
    ProcessImageEskra(pState->Receiver, pState->Buffers[0], pState->Buffers[1], pState->DecodeTarget);
    return nullptr;
}
