// How much slower this build runs than a Release build, for the tests that bound a rate.
#pragma once

#ifndef KESTIVO_TEST_SLOWDOWN
#define KESTIVO_TEST_SLOWDOWN 1
#endif

// 1 in a Release build; a sanitizer build is several times slower, and a
// frame path that keeps up in Release may then lose most frames of a second.
constexpr int BuildSlowdown = KESTIVO_TEST_SLOWDOWN;

// The least of p_iReleaseMinimum that this build must still reach (at least 1).
constexpr int MinimumForBuild(int p_iReleaseMinimum)
{
    const int iMinimum = p_iReleaseMinimum / BuildSlowdown;
    return iMinimum < 1 ? 1 : iMinimum;
}

#include <QElapsedTimer>

// For a bound on how long a call takes: the shortest of up to p_iTries runs
// of p_Run, in milliseconds, stopping at the first that ends within
// p_iBoundMs. A loaded machine stretches a run now and then; a call that
// really waits too long is too long on every run.
template <class Run>
qint64 ShortestRunMs(qint64 p_iBoundMs, Run p_Run, int p_iTries = 5)
{
    qint64 iShortest = -1;
    for (int i = 0; i < p_iTries; ++i) {
        QElapsedTimer clock;
        clock.start();
        p_Run();
        const qint64 iElapsed = clock.elapsed();
        if (iShortest < 0 || iElapsed < iShortest)
            iShortest = iElapsed;
        if (iShortest < p_iBoundMs)
            break;
    }
    return iShortest;
}
