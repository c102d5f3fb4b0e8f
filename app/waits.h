// Waits that keep the Qt event loop of the calling thread running.
#pragma once

// Returns once p_iMilliseconds have passed on a monotonic clock, dispatching the
// calling thread's events (user input included) meanwhile, so slots, timers and
// nested waits run inside it. A handler that blocks holds the wait past its
// deadline. Zero or a negative duration returns at once without touching events.
void WaitMs(int p_iMilliseconds);

// The same wait with a duration in seconds.
void WaitSeconds(int p_iSeconds);
