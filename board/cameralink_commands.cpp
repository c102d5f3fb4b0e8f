// Register commands of the Camera Link boards: "!" texts for Belmor and Belmor+, "*"/"!" 8-byte texts for Arvex.
#include "board/cameralink_commands.h"

#include "app/globals.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "params/register_letters.h"
#include "platform/clserial/clserial.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kWriteTimeoutMs = 1000;
constexpr int kFpgaCommandWaitMs = 50;
constexpr int kBelmorCommandWaitMs = 150;
constexpr int kArvexCommandWaitMs = 100;

hSerRef FlushedLinkHandle()
{
    void* pHandle = nullptr;
    GetLinkHandle(&pHandle);
    clFlushPort(pHandle);
    return pHandle;
}

QByteArray Format(char p_cPrefix, RegisterLetterCell p_Cell, long long p_llValue)
{
    char szText[48];
    const int iLength = std::snprintf(szText, sizeof szText, "%c%c%0*lld", p_cPrefix, p_Cell.cLetter,
                                      p_Cell.iDigits, p_llValue);
    return iLength > 0 ? QByteArray(szText, iLength) : QByteArray();
}

long long Low16(int p_iValue)
{
    return static_cast<long long>(static_cast<uint16_t>(p_iValue & 0xFFFF));
}

} // namespace

char BelmorRegisterLetter(int p_iId)
{
    return RegisterLetter(RegisterFamily::Belmor, p_iId);
}

char ArvexRegisterLetter(int p_iId)
{
    return RegisterLetter(RegisterFamily::Arvex, p_iId);
}

QByteArray FormatBelmorCommand(int p_iId, int p_iValue)
{
    const RegisterLetterCell cell = RegisterLetterFor(RegisterFamily::Belmor, p_iId);
    if (cell.cLetter == 0)
        return QByteArray();
    // The 5-digit field (id 21) carries a 16-bit word.
    const long long llValue = cell.iDigits == 5 ? Low16(p_iValue) : p_iValue;
    return Format('!', cell, llValue);
}

QByteArray FormatArvexCommand(int p_iId, int p_iValue)
{
    const RegisterLetterCell cell = RegisterLetterFor(RegisterFamily::Arvex, p_iId);
    if (cell.cLetter == 0)
        return QByteArray();
    if (p_iId <= ArvexLastBangRegister)
        return Format('!', cell, p_iValue);
    return Format('*', cell, Low16(p_iValue));
}

int SendCameraLinkCommand(int p_iId, int p_iValue, bool /*p_bShowError*/)
{
    // The port is flushed before the id is looked at: pending input goes
    // even when nothing is sent.
    const hSerRef hLink = FlushedLinkHandle();
    QByteArray text = FormatBelmorCommand(p_iId, p_iValue);
    if (text.isEmpty())
        return CameraLinkCommandNoLetter;

    const uint32_t uLength = static_cast<uint32_t>(text.size());
    uint32_t uCount = uLength;
    const int32_t iStatus = clSerialWrite(hLink, text.data(), &uCount, kWriteTimeoutMs);
    if (uCount != uLength)
        WriteLogLine(QStringLiteral("Failed to send the command. Returned size incorrect"));
    else
        WriteLogLine(QStringLiteral("Send ") + QString::fromLatin1(text) + QStringLiteral(" - Size string: ")
            + QString::number(uCount));

    const char cLetter = BelmorRegisterLetter(p_iId);
    WaitMs(cLetter == 'a' || cLetter == 'b' ? kFpgaCommandWaitMs : kBelmorCommandWaitMs);
    return iStatus;
}

int SendCameraLinkCommandStar(int p_iId, int p_iValue, bool /*p_bShowError*/)
{
    const hSerRef hLink = FlushedLinkHandle();
    const QByteArray text = FormatArvexCommand(p_iId, p_iValue);
    if (text.isEmpty())
        return CameraLinkCommandNoLetter;
    if (text.size() > ArvexCommandBytes) {
        WriteLogLine(QStringLiteral("Command refused: value %1 does not fit the command of register %2")
                .arg(p_iValue)
                .arg(p_iId));
        return CameraLinkCommandRefused;
    }

    char buffer[ArvexCommandBytes] = {};
    std::memcpy(buffer, text.constData(), static_cast<size_t>(text.size()));
    WriteLogLine(QStringLiteral("Send ") + QString::fromLatin1(text));
    uint32_t uCount = ArvexCommandBytes;
    const int32_t iStatus = clSerialWrite(hLink, buffer, &uCount, kWriteTimeoutMs);
    WaitMs(kArvexCommandWaitMs);
    return iStatus;
}
