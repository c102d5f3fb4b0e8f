// Event-processing waits used between board commands and in operator sequences.
#include "app/waits.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace {

void WaitFor(qint64 p_iMilliseconds)
{
    if (p_iMilliseconds <= 0)
        return;
    QElapsedTimer clock;
    clock.start();

    // A thread without an event loop (a plain worker thread) has nothing to
    // dispatch: just let the time pass.
    if (!QAbstractEventDispatcher::instance()) {
        while (clock.elapsed() < p_iMilliseconds)
            QThread::msleep(static_cast<unsigned long>(
                std::min<qint64>(10, p_iMilliseconds - clock.elapsed())));
        return;
    }

    // Block in the event loop rather than spinning on processEvents: the timer
    // wakes the loop at the deadline, every other event is dispatched as it
    // arrives. Nested waits each bring their own timer.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    qint64 iRemaining = p_iMilliseconds;
    while (iRemaining > 0) {
        if (!deadline.isActive())
            deadline.start(static_cast<int>(std::min<qint64>(iRemaining, 1000 * 1000)));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        iRemaining = p_iMilliseconds - clock.elapsed();
    }
}

} // namespace

void WaitMs(int p_iMilliseconds)
{
    WaitFor(p_iMilliseconds);
}

void WaitSeconds(int p_iSeconds)
{
    WaitFor(static_cast<qint64>(p_iSeconds) * 1000);
}
