// Commands to the serial-port board: "!" + register letter + at least four digits.
#include "board/eskra_command.h"

#include "app/kv_log.h"
#include "params/register_letters.h"

#include <QByteArray>
#include <QIODevice>

#include <cstdio>

namespace {
// The longest text the board's command buffer takes.
constexpr int kMaxCommandLength = 9;
} // namespace

char EskraRegisterLetter(int p_iId)
{
    return RegisterLetter(RegisterFamily::Eskra, p_iId);
}

QString FormatEskraCommand(int p_iId, int p_iValue, int* p_pStatus)
{
    if (p_pStatus != nullptr)
        *p_pStatus = EskraCommandOk;
    const char cLetter = EskraRegisterLetter(p_iId);
    if (cLetter == 0)
        return QStringLiteral("NONE");

    if (GlobalLog != nullptr)
        GlobalLog->setConsoleOutput(true);

    char szText[32];
    const int iLength = std::snprintf(szText, sizeof szText, "!%c%0*d", cLetter,
                                      RegisterLetterFor(RegisterFamily::Eskra, p_iId).iDigits, p_iValue);
    if (iLength < 0 || iLength > kMaxCommandLength) {
        if (p_pStatus != nullptr)
            *p_pStatus = EskraCommandRefused;
        WriteLogLine(QString("Command refused: value %1 does not fit the command of register %2")
                                     .arg(p_iValue)
                                     .arg(p_iId));
        return QString();
    }
    const QString sText = QString::fromLatin1(szText, iLength);
    WriteLogLine("Send " + sText);
    return sText;
}

qint64 WriteEskraCommand(QIODevice* p_pPort, int p_iId, int p_iValue)
{
    int iStatus = EskraCommandOk;
    const QString sText = FormatEskraCommand(p_iId, p_iValue, &iStatus);
    if (iStatus != EskraCommandOk || p_pPort == nullptr)
        return -1;
    return p_pPort->write(sText.toLatin1());
}
