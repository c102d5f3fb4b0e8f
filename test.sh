#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: a Release build, then
# a Debug build under AddressSanitizer and UndefinedBehaviorSanitizer, then
# every test under ThreadSanitizer, then every libFuzzer target for
# KESTIVO_FUZZ_SECONDS (20) on its seed corpus.
# KESTIVO_SKIP_SANITIZERS=1 runs the Release build only.
set -euo pipefail
cd "$(dirname "$0")"
if [ "${KESTIVO_SKIP_SANITIZERS:-0}" != 1 ]; then
  scripts/install-deps.sh clang libclang-rt-14-dev
else
  scripts/install-deps.sh
fi
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

if [ "${KESTIVO_SKIP_SANITIZERS:-0}" != 1 ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DKESTIVO_SANITIZE="address;undefined" -DKESTIVO_BUILD_BENCH=OFF
  cmake --build build-asan -j"$jobs"
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  (cd build-asan && ctest --output-on-failure -j"$jobs")
fi

if [ "${KESTIVO_SKIP_SANITIZERS:-0}" != 1 ]; then
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKESTIVO_SANITIZE=thread -DKESTIVO_BUILD_BENCH=OFF
  cmake --build build-tsan -j"$jobs"
  # Qt and OpenCV are not built with ThreadSanitizer: what happens inside them
  # (their thread pools, their own locks) is left out, our code is checked.
  export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp:halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1"
  (cd build-tsan && ctest --output-on-failure -j"$jobs")
fi

if [ "${KESTIVO_SKIP_SANITIZERS:-0}" != 1 ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKESTIVO_BUILD_FUZZ=ON -DKESTIVO_BUILD_BENCH=OFF \
        -DKESTIVO_FUZZ_SECONDS="${KESTIVO_FUZZ_SECONDS:-20}"
  cmake --build build-fuzz -j"$jobs" --target kestivo_fuzz_targets
  export ASAN_OPTIONS="detect_leaks=1"
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  (cd build-fuzz && ctest --output-on-failure -j"$jobs" -L '^fuzzrun$')
fi
