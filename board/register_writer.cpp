// One sensor register to the connected board, through the encoder of the board's family.
#include "board/register_writer.h"

#include "app/kv_log.h"
#include "board/board_link.h"
#include "board/board_link_factory.h"

#include <array>
#include <memory>
#include "board/board_message_box.h"

// What the operator sees of a write's status, by the policy.
int ReportRegisterWrite(const BoardLink& p_Link, BoardRegisterId p_Id, int p_iValue, int p_iStatus,
                        RegisterErrorPolicy p_Policy)
{
    if (p_iStatus == 0 || p_Policy == RegisterErrorPolicy::Silent)
        return p_iStatus;
    const QString sText = QStringLiteral("Sending command failed - Parameter : %1 - Value : %2")
                              .arg(static_cast<int>(p_Id))
                              .arg(p_iValue);
    if (p_Policy != RegisterErrorPolicy::BoxOnly)
        WriteLogLine(sText + QStringLiteral(" - Status : %1").arg(p_iStatus));
    const bool bBox = p_Policy == RegisterErrorPolicy::MessageBox || p_Policy == RegisterErrorPolicy::BoxOnly;
    if (bBox && p_Link.namesOperatorParameter(p_Id))
        ShowBoardCriticalBox(nullptr, QStringLiteral("Critical"), sText);
    return p_iStatus;
}

int WriteLinkRegister(BoardLink& p_rLink, BoardRegisterId p_Id, uint32_t p_uValue, RegisterErrorPolicy p_Policy)
{
    const int iStatus = p_rLink.writeRegister(p_Id, p_uValue);
    return ReportRegisterWrite(p_rLink, p_Id, static_cast<int>(p_uValue), iStatus, p_Policy);
}

int WriteLinkWindowCorner(BoardLink& p_rLink, BoardRegisterId p_Id, uint32_t p_uValue, RegisterErrorPolicy p_Policy)
{
    const int iStatus = p_rLink.writeWindowCorner(p_Id, p_uValue);
    return ReportRegisterWrite(p_rLink, p_Id, static_cast<int>(p_uValue), iStatus, p_Policy);
}

BoardLink* StandaloneBoardLink(BoardKind p_Kind)
{
    if (p_Kind == BoardKind::None)
        return nullptr;
    // Never freed: a write may come late in the program's tear-down.
    static auto* s_pLinks = new std::array<std::unique_ptr<BoardLink>, 7>;
    std::unique_ptr<BoardLink>& rLink = (*s_pLinks)[size_t(BoardKindIndex(p_Kind))];
    if (!rLink)
        rLink = MakeBoardLink(p_Kind);
    return rLink.get();
}
