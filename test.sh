#!/usr/bin/env bash
# Builds every target and runs every test with ctest.
#   ./test.sh             Release tree in build/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer tree in build-sanitize/
# Extra arguments after the options go to ctest (for example -L core).
set -euo pipefail
cd "$(dirname "$0")"
dir=build
cfg=(-DCMAKE_BUILD_TYPE=Release)
if [[ "${1:-}" == "--sanitize" ]]; then
  shift
  dir=build-sanitize
  cfg=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DNUMERION_SANITIZE=ON)
fi
tools/deps.sh
if [[ ! -f "$dir/build.ninja" ]]; then
  cmake -S . -B "$dir" -G Ninja "${cfg[@]}"
fi
cmake --build "$dir"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure -j "$(nproc)" "$@"
