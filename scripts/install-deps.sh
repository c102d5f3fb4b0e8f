#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# Usage: scripts/install-deps.sh [extra packages...]
# ffmpeg brings ffprobe, with which the recorder's tests read the AVI files back.
# fonts-dejavu-core holds the application font (app/app_font.h), which the caption tests measure.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config qtbase5-dev libqt5serialport5-dev
          libopencv-dev libbenchmark-dev ffmpeg fonts-dejavu-core "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
