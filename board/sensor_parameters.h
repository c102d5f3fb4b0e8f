// The "Set parameters" request of the serial-port board, served by its frame loop after the next complete frame.
#pragma once

#include <atomic>

// A "Set parameters" press on the Eskra board waits here for the next
// complete frame; cleared only by a pass whose writes all succeeded.
extern std::atomic<bool> SetParametersPending;
