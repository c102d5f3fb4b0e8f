// One thread that lives as long as the program, for the OpenCV work of the frame threads.
#pragma once

#include <functional>

// Runs p_Work on that thread and returns when it is done (an exception it throws is thrown here again).
// OpenCV's parallel loops keep a record for every thread that ever entered one, for the life of the process,
// and the board drivers start new frame threads for each acquisition: work that runs a parallel loop from a
// frame thread goes through here, so the records stay those of one thread. Callers take turns; a call made on
// that thread itself runs at once.
void RunOnCvHostThread(const std::function<void()>& p_Work);
