// Register writes to the USB3 board (Corvane) through Quenlin, validated by the board's latch.
#include "board/corvane_writer.h"
#include "params/board_register_id.h"

#include "app/kv_log.h"
#include "app/waits.h"
#include "board/board_message_box.h"
#include "usb3lib/Quenlin.h"

#include <QString>

namespace {

// 0 once the latch reads 0; CorvaneLatchTimeout when it never did.
int PollLatch()
{
    for (int i = 0; i < CorvaneLatchPolls; ++i) {
        int iLatch = 1;
        if (getValidationLatch(&iLatch) != 0)
            continue;   // a failed read is asked again at once
        if (iLatch == 0)
            return 0;
        WaitMs(CorvaneLatchPollWaitMs);
    }
    return CorvaneLatchTimeout;
}

int WriteAndValidate(int p_iAddress, int p_iValue)
{
    const int iStatus = setParameter(p_iAddress, p_iValue);
    if (iStatus != 0)
        return iStatus;
    return PollLatch();
}

} // namespace

int SetCorvaneParameter(int p_iAddress, int p_iValue, bool p_bShowError)
{
    WriteLogLine(QStringLiteral("Set Corvane parameter : %1 value: %2").arg(p_iAddress).arg(p_iValue));

    int iStatus = 0;
    if (isInitialized() != 0) {
        iStatus = WriteAndValidate(p_iAddress, p_iValue);
    } else {
        iStatus = initSyncCapture(0);
        if (iStatus != 0) {
            WriteLogLine(QStringLiteral("Error when initializing Corvane DigiBoard"));
            deinitCapture(1);
        } else {
            iStatus = WriteAndValidate(p_iAddress, p_iValue);
            // Left open after a success: the next write or the acquisition start finds it ready.
            if (iStatus != 0)
                deinitCapture(1);
        }
    }
    if (iStatus == 0)
        return 0;

    if (p_iAddress < BoardRegisterId::ProcessingCommand && p_bShowError)
        ShowBoardCriticalBox(nullptr, QStringLiteral("Critical"),
                             QStringLiteral("Sending command failed - Parameter : %1 - Value : %2")
                                 .arg(p_iAddress)
                                 .arg(p_iValue));
    return iStatus;
}
