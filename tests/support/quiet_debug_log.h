#pragma once
// Keeps the program's debug lines out of a test's output and shows the last
// of them only for a test row that failed, so that a failure is not buried
// in thousands of log lines. Warnings and worse pass through unchanged (and
// QTest::ignoreMessage still sees them).
//
// Install from initTestCase() (QtTest's own handler is in place by then) and
// call ShowHeldDebugLinesIfFailed() from cleanup().
void HoldDebugLines(int p_iKeptLines = 300);
void ShowHeldDebugLinesIfFailed();
