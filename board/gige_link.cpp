// The GigE Vision board link (Dunstel): device choice, connection, UART bridge, stream, pipeline and frame callback.
#include "board/gige_link.h"

#include "app/globals.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "board/board_message_box.h"
#include "params/register_letters.h"

#include <QByteArray>
#include <QDebug>
#include <QFile>
#include <QtGlobal>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <vector>

std::atomic<int> GigESaveImageIndex{0};
std::atomic<int> GigESaveFrameCount{0};

namespace {

constexpr int kCommandWaitMs = 120;
constexpr uint32_t kPipelineBufferCount = 16;
constexpr uint32_t kRxBufferSize = 0x20000;
constexpr uint32_t kReadSize = 100;
constexpr uint32_t kReadTimeoutMs = 1000;
constexpr uint32_t kRawReadSize = 1000;
constexpr uint32_t kRawReadTimeoutMs = 1;
constexpr uint32_t kRetrieveTimeoutMs = 20;

struct PvErrorText
{
    uint32_t code;
    const char* logText;
    const char* boxText;
};

// Compared in this order; the first equal code wins.
const PvErrorText kPvErrors[] = {
    {0x4001, " ---- IP address invalid or default buffer configuration incorrect.",
     "IP address invalid or default buffer configuration incorrect."},
    {0x18, " ---- Not enough memory to allocate streaming.", "Not enough memory to allocate streaming."},
    {0x17, " ---- The device is not connected to the network.", "The device is not connected to the network."},
    {0x4000, " ---- Unexpected error.", "Unexpected error."},
    {0x201, " ---- The driver version is not compatible.", "The driver version is not compatible."},
    {0x13, " ---- Network error.", "An error on the network has been found."},
    {0x1E, " ---- Timeout error", "Timeout happened creating during connecting the device."},
    {0x1D, " ---- Thread error.", "Thread error happened during connecting the device"},
    {0x904, " ---- GenICam error.", "GenICam error.."},
    {0x19, " ---- Device not found", "The device has not been found."},
    {0x1A, " ---- Device not supported.", "The device is not supported."},
};

int GetIntegerFeature(PvDevice* p_pDevice, const char* p_szName, const char* p_szFailure)
{
    PvGenParameterArray* pParameters = p_pDevice != nullptr ? p_pDevice->GetParameters() : nullptr;
    PvGenInteger* pFeature =
        pParameters != nullptr ? dynamic_cast<PvGenInteger*>(pParameters->Get(PvString(p_szName))) : nullptr;
    int64_t iValue = 0;
    if (pFeature == nullptr || !pFeature->GetValue(iValue).IsOK()) {
        WriteLogLine(QString::fromLatin1(p_szFailure));
        return 0;
    }
    return static_cast<int>(iValue);
}

int SetIntegerFeature(PvDevice* p_pDevice, const char* p_szName, int p_iValue, const char* p_szFailure)
{
    PvGenParameterArray* pParameters = p_pDevice != nullptr ? p_pDevice->GetParameters() : nullptr;
    const PvResult result = pParameters != nullptr ? pParameters->SetIntegerValue(PvString(p_szName), p_iValue)
                                                   : PvResult(PvResult::Code::INVALID_PARAMETER);
    if (!result.IsOK()) {
        WriteLogLine(QString::fromLatin1(p_szFailure) + QString::number(p_iValue));
        WriteLogLine(QStringLiteral("Problem: ") + QString::fromLatin1(result.GetCodeString().GetAscii()));
        return 1;
    }
    return 0;
}

} // namespace

// ---- Connection, stream and features ---------------------------------------------

const PvDeviceInfo* SelectGigEDevice(PvDeviceFinderWnd* p_pFinder)
{
    if (p_pFinder == nullptr)
        return nullptr;
    p_pFinder->SetPleoraProtocolEnabled(true, true);
    p_pFinder->SetGEVEnabled(true, true);
    p_pFinder->SetU3VEnabled(false, false);
    p_pFinder->SetTitle(PvString("Choose the GigE to use"));
    if (p_pFinder->ShowModal().IsOK())
        return p_pFinder->GetSelected();
    std::cout << "No device selected." << std::endl;
    return nullptr;
}

PvDevice* ConnectGigEDevice(const PvDeviceInfo* p_pInfo)
{
    if (p_pInfo == nullptr)
        return nullptr;
    const QString sDisplay = QString::fromLatin1(p_pInfo->GetDisplayID().GetAscii());
    WriteLogLine(QStringLiteral("Connecting to ") + sDisplay + QStringLiteral("."));
    PvResult result;
    PvDevice* pDevice = PvDevice::CreateAndConnect(p_pInfo, &result);
    ShowPvResultError(result, QStringLiteral("ERROR DURING CONNECTION"));
    if (pDevice == nullptr)
        WriteLogLine(QStringLiteral("Unable to connect to ") + sDisplay + QStringLiteral("."));
    return pDevice;
}

PvDeviceSerialPort* OpenGigESerial(PvDevice* p_pDevice)
{
    if (p_pDevice == nullptr) {
        WriteLogLine(QStringLiteral("Problem while opening Serial Communicaition on GigE"));
        return nullptr;
    }
    auto* pPort = new PvDeviceSerialPort;
    PvDeviceAdapter adapter(p_pDevice);
    if (PvGenParameterArray* pParameters = p_pDevice->GetParameters()) {
        pParameters->SetEnumValue(PvString("BulkSelector"), PvString("Bulk0"));
        pParameters->SetEnumValue(PvString("BulkMode"), PvString("UART"));
        pParameters->SetEnumValue(PvString("BulkBaudRate"), PvString("Baud9600"));
        pParameters->SetEnumValue(PvString("BulkNumOfStopBits"), PvString("One"));
        pParameters->SetEnumValue(PvString("BulkParity"), PvString("None"));
        pParameters->SetBooleanValue(PvString("BulkLoopback"), false);
    }
    if (!pPort->Open(&adapter, PvDeviceSerialBulk0).IsOK()) {
        WriteLogLine(QStringLiteral("Problem while opening Serial Communicaition on GigE"));
        delete pPort;
        return nullptr;
    }
    pPort->SetRxBufferSize(kRxBufferSize);
    pPort->FlushRxBuffer();
    return pPort;
}

void CloseGigESerial(PvDeviceSerialPort* p_pPort)
{
    if (p_pPort != nullptr)
        p_pPort->Close();
}

PvStream* OpenGigEStream(const PvDeviceInfo* p_pInfo)
{
    if (p_pInfo == nullptr)
        return nullptr;
    WriteLogLine(QStringLiteral("Opening stream to device : ") + QString::fromLatin1(p_pInfo->GetConnectionID().GetAscii()));
    PvResult result;
    PvStream* pStream = PvStream::CreateAndOpen(p_pInfo->GetConnectionID(), &result);
    ShowPvResultError(result, QStringLiteral("ERROR OPENING STREAM"));
    if (pStream == nullptr)
        WriteLogLine(QStringLiteral("Unable to stream from ") + QString::fromLatin1(p_pInfo->GetDisplayID().GetAscii())
            + QStringLiteral("."));
    return pStream;
}

void SetupGigEStreamDestination(PvDevice* p_pDevice, PvStream* p_pStream)
{
    auto* pDevice = dynamic_cast<PvDeviceGEV*>(p_pDevice);
    auto* pStream = dynamic_cast<PvStreamGEV*>(p_pStream);
    if (pDevice == nullptr || pStream == nullptr)
        return;
    pDevice->NegotiatePacketSize(0, 0);
    pDevice->SetStreamDestination(pStream->GetLocalIPAddress(), pStream->GetLocalPort(), 0);
}

PvPipeline* CreateGigEPipeline(PvDevice* p_pDevice, PvStream* p_pStream)
{
    if (p_pDevice == nullptr || p_pStream == nullptr)
        return nullptr;
    auto* pPipeline = new PvPipeline(p_pStream);
    pPipeline->SetBufferCount(kPipelineBufferCount);
    pPipeline->SetBufferSize(p_pDevice->GetPayloadSize());
    return pPipeline;
}

void FreeGigEBufferList(std::list<PvBuffer*>& p_List)
{
    for (PvBuffer* pBuffer : p_List)
        delete pBuffer;
    p_List.clear();
}

int GetGigEWidth(PvDevice* p_pDevice)
{
    return GetIntegerFeature(p_pDevice, "Width", "Could not get xSize");
}

int GetGigEHeight(PvDevice* p_pDevice)
{
    return GetIntegerFeature(p_pDevice, "Height", "Could not get ySize");
}

int SetGigEWidth(int p_iWidth, PvDevice* p_pDevice)
{
    return SetIntegerFeature(p_pDevice, "Width", p_iWidth, "Could not set xSize to ");
}

int SetGigEHeight(int p_iHeight, PvDevice* p_pDevice)
{
    return SetIntegerFeature(p_pDevice, "Height", p_iHeight, "Could not set ySize to ");
}

int SetGigEPixelFormat(PvDevice* p_pDevice, const char* p_szFormat)
{
    PvGenParameterArray* pParameters = p_pDevice != nullptr ? p_pDevice->GetParameters() : nullptr;
    const PvResult result = pParameters != nullptr
                                ? pParameters->SetEnumValue(PvString("PixelFormat"), PvString(p_szFormat))
                                : PvResult(PvResult::Code::INVALID_PARAMETER);
    if (!result.IsOK()) {
        WriteLogLine(QStringLiteral("Could not set Pixelformat to ") + QString::fromLatin1(p_szFormat));
        WriteLogLine(QStringLiteral("Problem: ") + QString::fromLatin1(result.GetCodeString().GetAscii()));
        return 1;
    }
    return 0;
}

void ShowPvResultError(PvResult p_Result, QString p_sTitle)
{
    for (const PvErrorText& error : kPvErrors) {
        if (p_Result == error.code) {
            WriteLogLine(p_sTitle + QString::fromLatin1(error.logText));
            ShowBoardCriticalBox(nullptr, p_sTitle, QString::fromLatin1(error.boxText));
            return;
        }
    }
}

// ---- UART commands --------------------------------------------------------------

char GigERegisterLetter(int p_iId)
{
    return RegisterLetter(RegisterFamily::GigE, p_iId);
}

QByteArray FormatGigECommand(int p_iId, int p_iValue)
{
    const char cLetter = GigERegisterLetter(p_iId);
    if (cLetter == 0)
        return QByteArray();
    char szText[32];
    const int iLength = std::snprintf(szText, sizeof szText, "!%c%0*d\n\r", cLetter,
                                      RegisterLetterFor(RegisterFamily::GigE, p_iId).iDigits, p_iValue);
    return iLength > 0 ? QByteArray(szText, iLength) : QByteArray();
}

bool FlushAndSendGigE(PvDeviceSerialPort* p_pPort, const char* p_szText)
{
    if (p_pPort == nullptr || p_szText == nullptr) {
        WriteLogLine(QStringLiteral("Problem while sending data to GigE"));
        return false;
    }
    if (!p_pPort->FlushRxBuffer().IsOK())
        WriteLogLine(QStringLiteral("Problem while flushing Rx"));
    uint32_t uWritten = 0;
    const uint32_t uLength = static_cast<uint32_t>(std::strlen(p_szText));
    const PvResult result = p_pPort->Write(reinterpret_cast<const uint8_t*>(p_szText), uLength, uWritten);
    if (!result.IsOK()) {
        WriteLogLine(QStringLiteral("Problem while sending data to GigE"));
        return false;
    }
    return true;
}

int SendGigECommand(PvDeviceSerialPort* p_pPort, int p_iId, int p_iValue)
{
    const QByteArray text = FormatGigECommand(p_iId, p_iValue);
    if (text.isEmpty())
        return 1;
    WriteLogLine(QStringLiteral("Data sent to GigE : ") + QString::fromLatin1(text));
    if (!FlushAndSendGigE(p_pPort, text.constData())) {
        WriteLogLine(QStringLiteral("Problem while sending data to GigE"));
        return 1;
    }
    WaitMs(kCommandWaitMs);
    return 0;
}

bool ReadGigESerial(PvDeviceSerialPort* p_pPort, unsigned char* p_pBuffer)
{
    if (p_pPort == nullptr || p_pBuffer == nullptr)
        return true;
    uint32_t uRead = 0;
    const PvResult result = p_pPort->Read(p_pBuffer, kReadSize, uRead, kReadTimeoutMs);
    if (result.GetCode() == PvResult::Code::TIMEOUT) {
        WriteLogLine(QStringLiteral("Timeout problem while receiving data from the GigE"));
        return true;
    }
    qDebug().noquote() << "Read bytes " << uRead;
    return false;
}

bool ReadGigESerialRaw(PvDeviceSerialPort* p_pPort, unsigned char* p_pBuffer)
{
    if (p_pPort == nullptr || p_pBuffer == nullptr)
        return true;
    uint32_t uRead = 0;
    const PvResult result = p_pPort->Read(p_pBuffer, kRawReadSize, uRead, kRawReadTimeoutMs);
    return result.GetCode() == PvResult::Code::TIMEOUT;
}

// ---- Frame callback ----------------------------------------------------------------

namespace {
int64_t GigEFramePixels(int p_iHeight, int p_iPitch)
{
    return p_iHeight > 0 && p_iPitch > 0 ? (static_cast<int64_t>(p_iHeight) * p_iPitch) / 2 : 0;
}

// Whether the buffer holds exactly one frame of the geometry, and there is somewhere to copy it.
bool GigEFrameFits(const uint8_t* p_pData, uint32_t p_uAcquired, uint32_t p_uCapacity, int p_iHeight, int p_iPitch,
                   const unsigned short* p_pRaw)
{
    const int64_t iPixels = GigEFramePixels(p_iHeight, p_iPitch);
    return p_pData != nullptr && p_pRaw != nullptr && iPixels != 0 && p_uAcquired <= p_uCapacity
           && static_cast<int64_t>(p_uAcquired) == iPixels * 2;
}
} // namespace

bool CopyGigEFrame(const uint8_t* p_pData, uint32_t p_uAcquired, uint32_t p_uCapacity, int p_iHeight, int p_iPitch,
                   unsigned short* p_pRaw)
{
    if (!GigEFrameFits(p_pData, p_uAcquired, p_uCapacity, p_iHeight, p_iPitch, p_pRaw))
        return false;
    const int64_t iPixels = GigEFramePixels(p_iHeight, p_iPitch);
    // The pixels arrive little-endian, first byte low.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    std::memcpy(p_pRaw, p_pData, static_cast<size_t>(iPixels) * 2);
#else
    for (int64_t i = 0; i < iPixels; ++i)
        p_pRaw[i] = static_cast<unsigned short>(p_pData[2 * i] | (p_pData[2 * i + 1] << 8));
#endif
    return true;
}

void GigEFrameSink::OnBufferReady(PvPipeline* p_pPipeline)
{
    if (p_pPipeline == nullptr)
        return;
    const FrameGeometry geometry = m_Sink.geometry();

    PvBuffer* pBuffer = nullptr;
    PvResult operation;
    if (!p_pPipeline->RetrieveNextBuffer(&pBuffer, kRetrieveTimeoutMs, &operation).IsOK() || pBuffer == nullptr)
        return;
    if (!operation.IsOK()) {
        p_pPipeline->ReleaseBuffer(pBuffer);
        return;
    }

    unsigned short* pRaw = m_Sink.frameBuffer();
    const uint8_t* pData = pBuffer->GetDataPointer();
    const uint32_t uAcquired = pBuffer->GetAcquiredSize();
    const uint32_t uCapacity = pBuffer->GetSize();
    if (!GigEFrameFits(pData, uAcquired, uCapacity, geometry.Height, geometry.Pitch, pRaw)) {
        ++m_iDropped;
        p_pPipeline->ReleaseBuffer(pBuffer);
        return;
    }
    // A busy display with no series recording drops the frame unread: the
    // buffer goes back to the pipeline uncopied, the frame is counted as dropped.
    if (m_Sink.dropsUnread()) {
        p_pPipeline->ReleaseBuffer(pBuffer);
        m_Sink.offerUnread();
        return;
    }
    CopyGigEFrame(pData, uAcquired, uCapacity, geometry.Height, geometry.Pitch, pRaw);

    m_Sink.offer(RawFrame{pRaw, geometry});

    p_pPipeline->ReleaseBuffer(pBuffer);
}
