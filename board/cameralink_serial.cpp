// The Camera Link serial link: finding the port the board answers on, raw texts out, replies in.
#include "board/cameralink_serial.h"

#include "app/globals.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "platform/clserial/clserial.h"

#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

int g_iCameraLinkPortIndex = 0;

namespace {

constexpr uint32_t kWriteTimeoutMs = 1000;
constexpr uint32_t kDrainReadTimeoutMs = 1000;
constexpr uint32_t kReplyReadTimeoutMs = 100;
constexpr int kProbeAnswerWaitMs = 100;
constexpr int kDrainPauseMs = 10;
constexpr uint32_t kPortInfoSize = 128;
constexpr uint32_t kScratchSize = 50;
constexpr size_t kReplyBufferSize = CameraLinkReplyMaxLength + 1;

// The caller's log, or the global one when it passes none.
void Log(KV_Log* p_pLog, const QString& p_sLine)
{
    WriteLogLine(p_pLog != nullptr ? p_pLog : GlobalLog, p_sLine);
}

hSerRef LinkHandle()
{
    void* pHandle = nullptr;
    GetLinkHandle(&pHandle);
    return pHandle;
}

// Writes one error text into the caller's buffer, never past its end.
void SetMessage(char* p_szMessage, size_t p_uSize, const char* p_szFormat, int p_iCode)
{
    if (p_szMessage != nullptr && p_uSize > 0)
        std::snprintf(p_szMessage, p_uSize, p_szFormat, p_iCode);
}

void SetMessageText(char* p_szMessage, size_t p_uSize, const char* p_szText)
{
    if (p_szMessage != nullptr && p_uSize > 0)
        std::snprintf(p_szMessage, p_uSize, "%s", p_szText);
}

} // namespace

void CloseCameraLinkSerial()
{
    if (g_hCameraLinkSerial == nullptr)
        return;
    clSerialClose(g_hCameraLinkSerial);
    g_hCameraLinkSerial = nullptr;
}

int SelectCameraLinkPort(KV_Log* p_pLog, char* p_szMessage, size_t p_uMessageSize)
{
    uint32_t uCount = 0;
    const int32_t iCountStatus = clGetNumPorts(&uCount);
    if (iCountStatus != CL_ERR_NO_ERR) {
        Log(p_pLog, QStringLiteral("clGetNumSerialPorts error: ") + QString::number(iCountStatus));
        SetMessage(p_szMessage, p_uMessageSize, "clGetNumSerialPorts error %d\n", iCountStatus);
        Log(p_pLog, QStringLiteral("Serial Port Initialization Error ") + QString::number(iCountStatus));
        return 1;
    }
    if (uCount == 0) {
        Log(p_pLog, QStringLiteral("Sorry, no FrameGrabber detected."));
        Log(p_pLog, QStringLiteral(
                        "Check if a GrabLink is present in your system and if the drivers are correctly loaded..."));
        SetMessageText(p_szMessage, p_uMessageSize,
                       "\nSorry, no serial port detected.\nCheck if a GrabLink is present in your system and if "
                       "the drivers are correctly loaded...\n");
        return 1;
    }
    Log(p_pLog, QStringLiteral("Detected FrameGrabber: ") + QString::number(uCount));

    g_iCameraLinkPortIndex = 0;
    for (uint32_t i = 0; i < uCount; ++i) {
        char szManufacturer[kPortInfoSize] = {};
        char szPortId[kPortInfoSize] = {};
        uint32_t uManufacturerSize = kPortInfoSize;
        uint32_t uPortIdSize = kPortInfoSize;
        uint32_t uVersion = 0;
        clGetPortInfo(i, szManufacturer, &uManufacturerSize, szPortId, &uPortIdSize, &uVersion);
        szManufacturer[kPortInfoSize - 1] = '\0';
        szPortId[kPortInfoSize - 1] = '\0';
        Log(p_pLog, QStringLiteral("\t- Serial ") + QString::number(i) + QStringLiteral(": ")
                        + QString::fromLatin1(szManufacturer) + QStringLiteral(" - ")
                        + QString::fromLatin1(szPortId));
    }

    for (g_iCameraLinkPortIndex = 0; g_iCameraLinkPortIndex < static_cast<int>(uCount); ++g_iCameraLinkPortIndex) {
        const int k = g_iCameraLinkPortIndex;
        // The port of the previous try or of an earlier connection.
        CloseCameraLinkSerial();
        hSerRef hPort = nullptr;
        clSerialInit(static_cast<uint32_t>(k), &hPort);
        g_hCameraLinkSerial = hPort;
        clFlushPort(hPort);

        const int32_t iBaudStatus = clSetBaudRate(hPort, CL_BAUDRATE_9600);
        if (iBaudStatus != CL_ERR_NO_ERR) {
            Log(p_pLog, QStringLiteral("clSetBaudRate error: ") + QString::number(iBaudStatus));
            SetMessage(p_szMessage, p_uMessageSize, "clSetBaudRate error %d\n", iBaudStatus);
            Log(p_pLog, QStringLiteral("Serial Port Initialization Error ") + QString::number(iBaudStatus));
            return 1;
        }

        char probe[2] = {'v', '\0'};
        uint32_t uProbeSize = 1;
        const int32_t iProbeStatus = clSerialWrite(hPort, probe, &uProbeSize, kWriteTimeoutMs);
        WaitMs(kProbeAnswerWaitMs);
        uint32_t uAvailable = 0;
        clGetNumBytesAvail(hPort, &uAvailable);

        if (iProbeStatus == CL_ERR_NO_ERR && uAvailable > 0) {
            Log(p_pLog, QStringLiteral("Port selected: ") + QString::number(k + 1));
            clFlushPort(hPort);
            return 0;
        }
        if (k == static_cast<int>(uCount) - 1) {
            const int iCode = uAvailable == 0 ? CameraLinkProbeUnanswered : iProbeStatus;
            Log(p_pLog, QStringLiteral("clSerialInit error: ") + QString::number(iCode));
            SetMessage(p_szMessage, p_uMessageSize, "clSerialInit error %d\n", iCode);
            Log(p_pLog, QStringLiteral("Serial Port Initialization Error ") + QString::number(iCode));
            return 1;
        }
        Log(p_pLog, QStringLiteral("Port ") + QString::number(k + 1)
                        + QStringLiteral(" is not available. Try the next one."));
    }
    return 1;
}

int SendCameraLinkText(const char* p_szText)
{
    if (p_szText == nullptr)
        p_szText = "";
    const size_t uLength = std::strlen(p_szText);
    if (uLength > static_cast<size_t>(CameraLinkTextMaxLength)) {
        Log(nullptr, QStringLiteral("Command refused: text of %1 characters, at most %2 are sent")
                         .arg(uLength)
                         .arg(CameraLinkTextMaxLength));
        return CameraLinkTextRefused;
    }
    char copy[kScratchSize] = {};
    std::memcpy(copy, p_szText, uLength);

    const hSerRef hLink = LinkHandle();
    clFlushPort(hLink);

    // Whatever the board still had to say belongs to an earlier command.
    uint32_t uAvailable = 0;
    clGetNumBytesAvail(hLink, &uAvailable);
    while (uAvailable > 0) {
        char scratch[kScratchSize];
        uint32_t uSize = std::min(uAvailable, kScratchSize);
        clSerialRead(hLink, scratch, &uSize, kDrainReadTimeoutMs);
        WaitMs(kDrainPauseMs);
        // A port that reports bytes but gives none would hold the sender forever.
        if (uSize == 0)
            break;
        uAvailable = 0;
        clGetNumBytesAvail(hLink, &uAvailable);
    }
    WaitMs(kDrainPauseMs);

    uint32_t uSize = static_cast<uint32_t>(uLength);
    const int32_t iStatus = clSerialWrite(hLink, copy, &uSize, kWriteTimeoutMs);
    if (uSize != uLength)
        Log(nullptr, QStringLiteral("Failed to send the command. Returned size incorrect"));
    else
        Log(nullptr, QStringLiteral("Send ") + QString::fromLatin1(p_szText) + QStringLiteral(" - Size string: ")
                         + QString::number(uSize));
    return iStatus;
}

QString ReadCameraLinkSerial(bool p_bLog)
{
    const hSerRef hLink = LinkHandle();
    char reply[kReplyBufferSize] = {};
    char piece[kReplyBufferSize] = {};
    uint32_t uPieceLength = 0;
    uint32_t uReceived = 0;

    uint32_t uAvailable = 0;
    clGetNumBytesAvail(hLink, &uAvailable);
    while (uAvailable > 0 && uReceived < static_cast<uint32_t>(CameraLinkReplyMaxLength)) {
        // Never more than the reply still has room for: the rest stays pending.
        uint32_t uSize = std::min(uAvailable, static_cast<uint32_t>(CameraLinkReplyMaxLength) - uReceived);
        std::memset(piece, 0, sizeof piece);
        clSerialRead(hLink, piece, &uSize, kReplyReadTimeoutMs);
        uSize = std::min(uSize, static_cast<uint32_t>(CameraLinkReplyMaxLength) - uReceived);
        if (uSize == 0)
            break;
        uPieceLength = uSize;
        for (uint32_t i = 0; i < uSize; ++i) {
            const unsigned char c = static_cast<unsigned char>(piece[i]);
            if (c == 0 || c > 127)
                break;
            reply[uReceived + i] = static_cast<char>(c);
        }
        uReceived += uSize;
        WaitMs(kDrainPauseMs);
        uAvailable = 0;
        clGetNumBytesAvail(hLink, &uAvailable);
    }

    if (p_bLog && uPieceLength > 0) {
        QByteArray lastPiece;
        for (uint32_t i = 0; i < uPieceLength; ++i) {
            const unsigned char c = static_cast<unsigned char>(piece[i]);
            if (c == 0 || c > 127)
                break;
            lastPiece.append(static_cast<char>(c));
        }
        if (!lastPiece.isEmpty())
            Log(nullptr, QStringLiteral("Read: ") + QString::fromLatin1(lastPiece));
    }
    return QString::fromLatin1(reply);
}
