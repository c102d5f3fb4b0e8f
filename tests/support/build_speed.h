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
