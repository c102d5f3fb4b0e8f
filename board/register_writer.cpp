// One sensor register to the connected board, through the encoder of the board's family.
#include "board/register_writer.h"

#include "app/kv_log.h"
#include "app/waits.h"
#include "board/board_message_box.h"
#include "board/cameralink_commands.h"
#include "board/corvane_writer.h"
#include "board/gige_link.h"
#include "board/links/eskra_link.h"
#include "mainwindow/MainWindow.h"


namespace {

// The processing board behind the USB3 board and its image gain and offset registers.
constexpr int kCorvaneProcessingBoard = 2;
constexpr int kCorvaneGainRegister = 7;
constexpr int kCorvaneOffsetRegister = 8;
// The Corvane's parameters from 50 on are commands to its processing board.
constexpr int kCorvaneFirstCommandParameter = 50;

// A register of the processing board: board, register, value, then the write
// command. Every step is made; the first failure is the result.
int WriteCorvaneProcessingRegister(int p_iRegister, int p_iValue)
{
    const int steps[][2] = {{51, kCorvaneProcessingBoard}, {52, p_iRegister}, {53, p_iValue}, {50, 0}};
    int iResult = 0;
    for (const auto& step : steps) {
        const int iStatus = SetCorvaneParameter(step[0], step[1], false);
        if (iResult == 0)
            iResult = iStatus;
    }
    return iResult;
}

int WriteEskra(MainWindow* p_pWindow, int p_iId, int p_iValue)
{
    if (p_pWindow == nullptr)
        return WriteEskraRegister(nullptr, p_iId, p_iValue);
    return p_pWindow->EskraBoardLink->writeRegister(p_iId, uint32_t(p_iValue));
}

int Dispatch(MainWindow* p_pWindow, BoardKind p_Kind, int p_iId, int p_iValue)
{
    switch (p_Kind) {
    case BoardKind::Arvex:
        return SendCameraLinkCommandStar(p_iId, p_iValue, false);
    case BoardKind::Belmor:
    case BoardKind::BelmorPlus:
        return SendCameraLinkCommand(p_iId, p_iValue, false);
    case BoardKind::Dunstel:
        return SendGigECommand(p_pWindow ? p_pWindow->GigESerialPort : nullptr, p_iId, p_iValue);
    case BoardKind::Eskra:
        return WriteEskra(p_pWindow, p_iId, p_iValue);
    case BoardKind::Corvane:
        if (p_iId == RegisterId::GAIN_IMG)
            return WriteCorvaneProcessingRegister(kCorvaneGainRegister, p_iValue);
        if (p_iId == RegisterId::OFFSET_IMG)
            return WriteCorvaneProcessingRegister(kCorvaneOffsetRegister, p_iValue);
        return SetCorvaneParameter(p_iId, p_iValue, false);
    case BoardKind::None:
        break;
    }
    return 0;
}

} // namespace

// What the operator sees of a write's status, by the policy; the status is returned.
static int ReportWrite(BoardKind p_Kind, int p_iRegisterId, int p_iValue, int p_iStatus, RegisterErrorPolicy p_Policy)
{
    if (p_iStatus == 0 || p_Policy == RegisterErrorPolicy::Silent)
        return p_iStatus;
    const QString sText =
        QStringLiteral("Sending command failed - Parameter : %1 - Value : %2").arg(p_iRegisterId).arg(p_iValue);
    WriteLogLine(sText + QStringLiteral(" - Status : %1").arg(p_iStatus));
    // The Corvane's processing-board writes are commands, not a parameter the operator set.
    const bool bProcessingBoard = p_Kind == BoardKind::Corvane
                                  && (p_iRegisterId >= kCorvaneFirstCommandParameter
                                      || p_iRegisterId == RegisterId::GAIN_IMG || p_iRegisterId == RegisterId::OFFSET_IMG);
    const bool bBox = !bProcessingBoard;
    if (p_Policy == RegisterErrorPolicy::MessageBox && bBox)
        ShowBoardCriticalBox(nullptr, QStringLiteral("Critical"), sText);
    return p_iStatus;
}

int WriteRegister(MainWindow* p_pWindow, BoardKind p_Kind, int p_iRegisterId, uint32_t p_uValue,
                  RegisterErrorPolicy p_Policy)
{
    const int iValue = static_cast<int>(p_uValue);
    return ReportWrite(p_Kind, p_iRegisterId, iValue, Dispatch(p_pWindow, p_Kind, p_iRegisterId, iValue), p_Policy);
}

int WriteWindowCorner(MainWindow* p_pWindow, BoardKind p_Kind, int p_iRegisterId, uint32_t p_uValue,
                      RegisterErrorPolicy p_Policy)
{
    const bool bCameraLink =
        p_Kind == BoardKind::Arvex || p_Kind == BoardKind::Belmor || p_Kind == BoardKind::BelmorPlus;
    if (!bCameraLink)
        return WriteRegister(p_pWindow, p_Kind, p_iRegisterId, p_uValue, p_Policy);
    const int iValue = static_cast<int>(p_uValue);
    return ReportWrite(p_Kind, p_iRegisterId, iValue, SendCameraLinkCommandStar(p_iRegisterId, iValue, false),
                       p_Policy);
}
