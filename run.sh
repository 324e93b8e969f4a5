#!/usr/bin/env bash
# Builds the Release tree in build/ and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh
if [[ ! -f build/build.ninja ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build build
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "No display found for the Numerion window (DISPLAY and WAYLAND_DISPLAY are empty); to calculate in this terminal run build/bin/numerion-cli instead."
  exit 1
fi
exec build/bin/numerion "$@"
