// libFuzzer target: any bytes as commands to the simulated boards (Camera Link texts, the GigE UART bridge, USB3 property writes).
#include "app/app_paths.h"
#include "fuzz_support.h"
#include "sim/cameralink/cameralink_board.h"
#include "sim/core/board_kind.h"
#include "sim/gige/dunstel_board.h"
#include "sim/usb3/corvane_board.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    SetApplicationDirPathOverride(fuzz::ScratchDir());
    if (p_uSize < 1)
        return 0;
    // The first byte picks the board, the rest is what it is sent, split at
    // line ends into messages.
    const uint8_t uPick = p_pData[0] % 4;
    const QByteArray bytes(reinterpret_cast<const char*>(p_pData + 1), static_cast<int>(p_uSize - 1));
    if (uPick < 3) {
        static const sim::BoardKind kinds[3] = {sim::BoardKind::Arvex, sim::BoardKind::Belmor,
                                                sim::BoardKind::BelmorPlus};
        sim::CameraLinkBoard& board = sim::CameraLinkBoardFor(kinds[uPick]);
        for (const QByteArray& message : bytes.split('\r'))
            board.receive(message);
    } else if (p_uSize >= 10 && (p_pData[1] & 1)) {
        // USB3 property writes: (property, value) pairs of 1 + 4 bytes.
        sim::CorvaneBoard& board = sim::CorvaneBoard::instance();
        for (size_t i = 2; i + 5 <= p_uSize; i += 5) {
            int32_t iValue = 0;
            memcpy(&iValue, p_pData + i + 1, sizeof iValue);
            board.setProperty(p_pData[i] % 12, iValue, 2);
            int32_t iRead = 0, iFlags = 0;
            board.getProperty(p_pData[i] % 12, &iRead, &iFlags);
        }
    } else {
        sim::DunstelBoard& board = sim::DunstelBoard::instance();
        board.uartWrite(bytes);
        board.takeUartEmitted();
    }
    return 0;
}
