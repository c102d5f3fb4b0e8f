// FPGA register writes of the interface board: the PERSO_ADDR / PERSO_VALUE pair.
#include "board/fpga_command.h"

#include "board/cameralink_commands.h"
#include "board/gige_link.h"

#include <cstdio>

namespace {

constexpr int kPersoAddress = 24;
constexpr int kPersoValue = 25;

QString FailureText(const char* p_szFormat, int p_iValue)
{
    char szMessage[100] = {};
    std::snprintf(szMessage, sizeof szMessage, p_szFormat, p_iValue);
    return QString::fromLatin1(szMessage);
}

} // namespace

QString SendFpgaRegister(BoardKind p_Kind, PvDeviceSerialPort* p_pGigEPort, int p_iAddress, unsigned char p_ucValue)
{
    switch (p_Kind) {
    case BoardKind::Arvex:
    case BoardKind::BelmorPlus:
        // The Arvex board takes this pair in the Belmor encoding too: its own
        // encoder has no letters for them.
        if (SendCameraLinkCommand(kPersoAddress, p_iAddress, true) != 0)
            return FailureText("Couldn't set PERSO_ADDR to %d.\n", p_iAddress);
        if (SendCameraLinkCommand(kPersoValue, p_ucValue, true) != 0)
            return FailureText("Couldn't set PERSO_VALUE to %d.\n", p_ucValue);
        return QString();
    case BoardKind::Dunstel:
        if (SendGigECommand(p_pGigEPort, kPersoAddress, p_iAddress) != 0)
            return FailureText("Couldn't set PERSO_ADDR to %d.\n", p_iAddress);
        if (SendGigECommand(p_pGigEPort, kPersoValue, p_ucValue) != 0)
            return FailureText("Couldn't set PERSO_VALUE to %d.\n", p_ucValue);
        return QString();
    default:
        return QString();
    }
}
