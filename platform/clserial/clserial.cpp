// The Camera Link serial operations over the simulated grabber's ports.
#include "platform/clserial/clserial.h"

#include "sim/cameralink/cameralink_cabling.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>

namespace {

struct ClPort
{
    int index = 0;
    uint32_t baudRate = CL_BAUDRATE_9600;
    QByteArray pending;   // bytes received from the board, not yet read
};

// Open ports. References are checked against this set so that a stale or
// foreign reference gives an error instead of a crash.
std::mutex g_PortsMutex;
std::set<ClPort*> g_OpenPorts;

// The open port of a reference, with what its board sent on its own pulled in.
ClPort* Lookup(hSerRef p_Ref)
{
    ClPort* p = static_cast<ClPort*>(p_Ref);
    if (g_OpenPorts.count(p) == 0)
        return nullptr;
    p->pending.append(sim::CameraLinkPortTakeEmitted(p->index));
    return p;
}

void CopyText(const char* p_sText, char* p_pBuffer, uint32_t* p_pSize, bool* p_pTooSmall)
{
    const uint32_t uNeeded = static_cast<uint32_t>(std::strlen(p_sText)) + 1;
    if (p_pBuffer != nullptr && p_pSize != nullptr && *p_pSize > 0) {
        const uint32_t uCopy = std::min(uNeeded - 1, *p_pSize - 1);
        std::memcpy(p_pBuffer, p_sText, uCopy);
        p_pBuffer[uCopy] = '\0';
    }
    if (p_pSize != nullptr) {
        if (*p_pSize < uNeeded)
            *p_pTooSmall = true;
        *p_pSize = uNeeded;
    }
}

} // namespace

int32_t clGetNumPorts(uint32_t* p_pNumPorts)
{
    if (p_pNumPorts == nullptr)
        return CL_ERR_INVALID_REFERENCE;
    *p_pNumPorts = static_cast<uint32_t>(sim::CameraLinkPortCount());
    return CL_ERR_NO_ERR;
}

int32_t clGetPortInfo(uint32_t p_uIndex, char* p_pManufacturer, uint32_t* p_pManufacturerSize,
                      char* p_pPortId, uint32_t* p_pPortIdSize, uint32_t* p_pVersion)
{
    if (p_uIndex >= static_cast<uint32_t>(sim::CameraLinkPortCount()))
        return CL_ERR_INVALID_INDEX;
    bool bTooSmall = false;
    CopyText("Kestivo Simulation", p_pManufacturer, p_pManufacturerSize, &bTooSmall);
    const QByteArray portId = "Simulated Grabber #0 Port " + QByteArray::number(p_uIndex);
    CopyText(portId.constData(), p_pPortId, p_pPortIdSize, &bTooSmall);
    if (p_pVersion != nullptr)
        *p_pVersion = 0x10;
    return bTooSmall ? CL_ERR_BUFFER_TOO_SMALL : CL_ERR_NO_ERR;
}

int32_t clSerialInit(uint32_t p_uIndex, hSerRef* p_pRef)
{
    if (p_pRef == nullptr)
        return CL_ERR_INVALID_REFERENCE;
    *p_pRef = nullptr;
    if (p_uIndex >= static_cast<uint32_t>(sim::CameraLinkPortCount()))
        return CL_ERR_INVALID_INDEX;
    ClPort* p = new ClPort;
    p->index = static_cast<int>(p_uIndex);
    std::lock_guard<std::mutex> lock(g_PortsMutex);
    g_OpenPorts.insert(p);
    *p_pRef = p;
    return CL_ERR_NO_ERR;
}

int32_t clSetBaudRate(hSerRef p_Ref, uint32_t p_uBaudRate)
{
    std::lock_guard<std::mutex> lock(g_PortsMutex);
    ClPort* p = Lookup(p_Ref);
    if (p == nullptr)
        return CL_ERR_INVALID_REFERENCE;
    switch (p_uBaudRate) {
    case CL_BAUDRATE_9600:
    case CL_BAUDRATE_19200:
    case CL_BAUDRATE_38400:
    case CL_BAUDRATE_57600:
    case CL_BAUDRATE_115200: break;
    default: return CL_ERR_BAUD_RATE_NOT_SUPPORTED;
    }
    if (sim::CameraLinkPortBaudRateFails(p->index))
        return CL_ERR_BAUD_RATE_NOT_SUPPORTED;
    p->baudRate = p_uBaudRate;
    return CL_ERR_NO_ERR;
}

int32_t clFlushPort(hSerRef p_Ref)
{
    std::lock_guard<std::mutex> lock(g_PortsMutex);
    ClPort* p = Lookup(p_Ref);
    if (p == nullptr)
        return CL_ERR_INVALID_REFERENCE;
    p->pending.clear();
    return CL_ERR_NO_ERR;
}

int32_t clSerialWrite(hSerRef p_Ref, char* p_pBuffer, uint32_t* p_pSize, uint32_t /*p_uTimeoutMs*/)
{
    if (p_pSize == nullptr || (p_pBuffer == nullptr && *p_pSize != 0))
        return CL_ERR_INVALID_REFERENCE;
    int iPort = 0;
    {
        std::lock_guard<std::mutex> lock(g_PortsMutex);
        ClPort* p = Lookup(p_Ref);
        if (p == nullptr) {
            *p_pSize = 0;
            return CL_ERR_INVALID_REFERENCE;
        }
        iPort = p->index;
    }
    // The board is reached without the port lock held: it may take its time.
    const sim::CameraLinkWriteOutcome outcome
        = sim::CameraLinkPortWrite(iPort, QByteArray(p_pBuffer, static_cast<int>(*p_pSize)));
    if (outcome.failed) {
        *p_pSize = 0;
        return CL_ERR_WRITE_FAILED;
    }
    std::lock_guard<std::mutex> lock(g_PortsMutex);
    ClPort* p = Lookup(p_Ref);
    if (p != nullptr)
        p->pending.append(outcome.reply);
    return CL_ERR_NO_ERR;
}

int32_t clSerialRead(hSerRef p_Ref, char* p_pBuffer, uint32_t* p_pSize, uint32_t /*p_uTimeoutMs*/)
{
    if (p_pSize == nullptr || (p_pBuffer == nullptr && *p_pSize != 0))
        return CL_ERR_INVALID_REFERENCE;
    std::lock_guard<std::mutex> lock(g_PortsMutex);
    ClPort* p = Lookup(p_Ref);
    if (p == nullptr) {
        *p_pSize = 0;
        return CL_ERR_INVALID_REFERENCE;
    }
    const uint32_t uAsked = *p_pSize;
    const uint32_t uRead = std::min<uint32_t>(uAsked, static_cast<uint32_t>(p->pending.size()));
    if (uRead > 0)
        std::memcpy(p_pBuffer, p->pending.constData(), uRead);
    p->pending.remove(0, static_cast<int>(uRead));
    *p_pSize = uRead;
    return uRead < uAsked ? CL_ERR_TIMEOUT : CL_ERR_NO_ERR;
}

int32_t clGetNumBytesAvail(hSerRef p_Ref, uint32_t* p_pNumBytes)
{
    if (p_pNumBytes == nullptr)
        return CL_ERR_INVALID_REFERENCE;
    std::lock_guard<std::mutex> lock(g_PortsMutex);
    ClPort* p = Lookup(p_Ref);
    if (p == nullptr) {
        *p_pNumBytes = 0;
        return CL_ERR_INVALID_REFERENCE;
    }
    *p_pNumBytes = static_cast<uint32_t>(p->pending.size());
    return CL_ERR_NO_ERR;
}

void clSerialClose(hSerRef p_Ref)
{
    std::lock_guard<std::mutex> lock(g_PortsMutex);
    ClPort* p = Lookup(p_Ref);
    if (p == nullptr)
        return;
    g_OpenPorts.erase(p);
    delete p;
}
