// Calls handed from a worker thread (a frame thread, a board's read thread) to
// the thread an object lives on, usually the GUI thread.
#pragma once

#include <functional>

class QObject;

// Queues p_Call to run on p_pContext's thread, from its event loop, even when
// the caller is already there. A call whose context is gone by the time the
// loop takes it is dropped. The call and everything it captures are handed
// over under a lock of our own, so a race detector sees the hand-over.
void PostToThreadOf(QObject* p_pContext, std::function<void()> p_Call);

// Runs p_Call at once when the caller is on p_pContext's thread, and queues it
// there as PostToThreadOf does otherwise.
void CallOnThreadOf(QObject* p_pContext, std::function<void()> p_Call);
