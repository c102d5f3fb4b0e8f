// Register writes to the USB3 board (Corvane) through Quenlin, validated by the board's latch.
#pragma once

// Returned when every poll of the latch succeeded but the board never cleared
// it: the write was not taken, although no library call failed.
constexpr int CorvaneLatchTimeout = static_cast<int>(0x800705B4u);
// The parameter that makes the board take its own FPN reference when written to 0.
constexpr int kCorvaneTakeReferenceParameter = 54;
// Latch polls before a write counts as not taken, and the pause between them.
constexpr int CorvaneLatchPolls = 50;
constexpr int CorvaneLatchPollWaitMs = 20;

// Writes p_iValue to the board parameter p_iAddress and waits for the board
// to validate it. Opens the library for synchronous capture when nobody has
// (leaving it open after a success, closing it again after a failure). 0 when
// the board took the write, otherwise the failing call's status or
// CorvaneLatchTimeout. With p_bShowError, a failure for an address below 50
// shows a critical box.
int SetCorvaneParameter(int p_iAddress, int p_iValue, bool p_bShowError);
