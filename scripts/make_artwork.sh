#!/bin/sh
# Rebuilds the artwork generator and redraws resources/Images and resources/LUT.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build="${TMPDIR:-/tmp}/kestivo-artwork-build"
cmake -S "$here/artwork" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build"
QT_QPA_PLATFORM=offscreen "$build/make_artwork" "$here/../resources"
