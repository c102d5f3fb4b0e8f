// The connect procedure's attempts: a first attempt, then up to ten retries a second apart, stoppable by the operator.
#pragma once

#include <functional>

// The results of one connection attempt (bits, 0 = connected).
namespace ConnectResult {
enum : int {
    Connected = 0,
    LinkFailed = 0x1,          // the board's command link did not open
    GigEOpenFailed = 0x4,      // the Dunstel device did not open
    GigENotChosen = 0x8,       // no Dunstel device chosen
    BelmorNotConfirmed = 0x10, // the Belmor proxy selector was left without a confirmed proxy
    Interrupted = 0x20,        // the operator stopped connecting
    CorvaneAbsent = 0x40,      // the Corvane board is not connected to the computer
};
}

constexpr int ConnectAttemptLimit = 10;
constexpr int ConnectRetryDelayMs = 1000;

struct ConnectAttemptSteps
{
    std::function<int(int)> attempt;        // one ConnectToBoard call with its attempt number
    std::function<void()> processEvents;    // once, before each retry
    std::function<bool()> stopAsked;        // the operator pressed the button again
    std::function<void(int)> retryStarting; // log line and status label for retry n (1..10)
    std::function<void(int)> wait;          // the pause before a retry, in ms
};

// Runs attempt 0 and, unless it ends the procedure at once (0, 0x1, 0x4,
// 0x8, 0x10), the retries 1..10 until one gives 0. A stop seen before a retry
// ends with Interrupted. Returns the last result.
int RunConnectAttempts(const ConnectAttemptSteps& p_Steps);
