#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kestivo from the staged tree,
# where every simulated board is present.
set -euo pipefail
cd "$(dirname "$0")"
extra=()
[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && extra+=(xvfb xauth)
scripts/install-deps.sh "${extra[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Kestivo under Xvfb (a virtual screen)."
  exec xvfb-run -a -s "-screen 0 1920x1080x24" build/stage/bin/Kestivo "$@"
fi
exec build/stage/bin/Kestivo "$@"
