#!/usr/bin/env bash
# Builds the Release tree in build/ and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh
if [[ ! -f build/build.ninja ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build build
if [[ -x build/bin/numerion ]]; then
  exec build/bin/numerion "$@"
fi
if [[ -x build/bin/numerion-cli ]]; then
  echo "The main window is not built yet; starting numerion-cli."
  exec build/bin/numerion-cli "$@"
fi
echo "Neither the main window nor numerion-cli is built yet. Built so far:"
ls build/bin
echo "Run ./test.sh to check them, or build/bin/bench_core for the core's speed."
