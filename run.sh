#!/usr/bin/env bash
# Installs what is missing, builds the program, and starts Kestivo from the
# staged tree, where every simulated board is present.
set -euo pipefail
cd "$(dirname "$0")"
extra=()
[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && extra+=(xvfb xauth)
scripts/install-deps.sh "${extra[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
# Only the program and what it needs beside it (its shared libraries, Quenlin
# among them, and the staged folders): the tests and benchmarks are test.sh's.
cmake --build build -j"$(nproc)" --target Kestivo kestivo_stage
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # Xvfb keeps its screen in this folder as an XWD picture, updated as it is drawn.
  screen_dir=$(mktemp -d "${TMPDIR:-/tmp}/kestivo-screen.XXXXXX")
  echo "No display found: starting Kestivo under Xvfb (a virtual screen)."
  echo "To see the window, take a picture of the screen from another terminal:"
  echo "    ffmpeg -loglevel error -y -f xwd_pipe -i $screen_dir/Xvfb_screen0 -frames:v 1 kestivo.png"
  echo "To stop Kestivo: Ctrl+C in this terminal, or File > Exit in the program."
  trap 'rm -rf "$screen_dir"' EXIT
  xvfb-run -a -s "-screen 0 1920x1080x24 -fbdir $screen_dir" build/stage/bin/Kestivo "$@"
  exit
fi
exec build/stage/bin/Kestivo "$@"
