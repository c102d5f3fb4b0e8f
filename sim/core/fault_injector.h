// Faults that tests inject into the simulated boards, per board and per call.
#pragma once

#include "sim/core/board_kind.h"

namespace sim {

enum class Fault : int {
    NoPort,              // the board's port or device does not open
    SilentPort,          // the port opens but the board never answers
    BaudRateFailure,     // setting the line rate fails
    WriteFailure,        // a write to the board fails
    ReplyTimeout,        // a read of the board's reply times out
    DeviceAbsent,        // the device is not listed at all
    ActivationFailure,   // the device is listed but cannot be opened
    LatchNeverClears,    // a register latch stays set
    DroppedBytes,        // bytes of the stream are lost (parameter: how many per frame, default 1)
    CorruptedBytes,      // bytes of the stream are altered (parameter: how many per frame, default 1)
    FramesStop,          // the board stops sending frames while the link stays up
    ChangedSampleSize,   // frames arrive with another size (parameter: new height in lines, 0: half)
    DeviceLostMidStream, // the device disappears while streaming
};
constexpr int kFaultCount = 13;

// Arms a fault. Each call site that can fail asks ConsumeFault once per call:
// the first p_iSkipCalls calls pass, the next p_iTimes calls fail (-1: every
// call from then on). p_iParameter carries what a fault needs (see above).
void InjectFault(BoardKind p_Board, Fault p_Fault, int p_iTimes = -1, int p_iSkipCalls = 0,
                 int p_iParameter = 0);
void ClearFault(BoardKind p_Board, Fault p_Fault);
void ClearAllFaults();

// Called by a transport at each call the fault applies to: true when this
// call must fail. Counts the call. Any thread.
bool ConsumeFault(BoardKind p_Board, Fault p_Fault);
// True when the fault is armed and would hit the next call; counts nothing.
bool FaultPending(BoardKind p_Board, Fault p_Fault);
int FaultParameter(BoardKind p_Board, Fault p_Fault);

} // namespace sim
