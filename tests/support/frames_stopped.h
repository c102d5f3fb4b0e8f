// Whether a stream that was told to stop delivers nothing more.
#pragma once

#include "support/build_speed.h"

#include <QElapsedTimer>
#include <QString>
#include <QtTest>

// Waits until p_Count has held still for p_iStillMs (scaled by the build):
// the stop is then taken, whatever frame was in flight has landed. Then
// watches it for as long again. True when it never moved in that second
// watch; p_pWhy tells what happened otherwise. A stream that goes on never
// holds still and fails within the bound; a slow machine only makes the wait
// longer.
template <class Count>
bool StaysStopped(Count p_Count, QString* p_pWhy = nullptr, int p_iStillMs = 250)
{
    const qint64 iStill = qint64(p_iStillMs) * BuildSlowdown;
    const qint64 iBound = 20000LL * BuildSlowdown;
    QElapsedTimer total, still;
    total.start();
    still.start();
    auto last = p_Count();
    const auto first = last;
    while (still.elapsed() < iStill) {
        if (total.elapsed() > iBound) {
            if (p_pWhy)
                *p_pWhy = QString("still counting after %1 ms: %2 -> %3").arg(total.elapsed()).arg(first).arg(last);
            return false;
        }
        QTest::qWait(10);
        const auto now = p_Count();
        if (now != last) {
            last = now;
            still.restart();
        }
    }
    const auto stopped = last;
    QTest::qWait(int(iStill));
    const auto after = p_Count();
    if (after != stopped && p_pWhy)
        *p_pWhy = QString("stopped at %1, then %2").arg(stopped).arg(after);
    return after == stopped;
}
