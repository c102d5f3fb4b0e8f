// FPGA register writes of the interface board: the PERSO_ADDR / PERSO_VALUE pair.
#include "board/fpga_command.h"

#include "board/board_link.h"

#include <cstdio>

namespace {

QString FailureText(const char* p_szFormat, int p_iValue)
{
    char szMessage[100] = {};
    std::snprintf(szMessage, sizeof szMessage, p_szFormat, p_iValue);
    return QString::fromLatin1(szMessage);
}

} // namespace

QString SendFpgaRegister(BoardLink* p_pLink, int p_iAddress, unsigned char p_ucValue)
{
    if (p_pLink == nullptr || !p_pLink->takesFpgaCommands())
        return QString();
    if (p_pLink->writeIndirectAddress(p_iAddress) != 0)
        return FailureText("Couldn't set PERSO_ADDR to %d.\n", p_iAddress);
    if (p_pLink->writeIndirectValue(p_ucValue) != 0)
        return FailureText("Couldn't set PERSO_VALUE to %d.\n", p_ucValue);
    return QString();
}
