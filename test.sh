#!/usr/bin/env bash
# Builds every target and runs every test with ctest.
#   ./test.sh             Release tree in build/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer tree in build-sanitize/,
#                         then 30 s of the formula fuzzer (clang, tree in build-fuzz/)
# Extra arguments after the options go to ctest (for example -L core).
set -euo pipefail
cd "$(dirname "$0")"
dir=build
cfg=(-DCMAKE_BUILD_TYPE=Release)
fuzz=0
if [[ "${1:-}" == "--sanitize" ]]; then
  shift
  fuzz=1
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
# The font library under Qt keeps its caches to the end on purpose; nothing else is suppressed.
export LSAN_OPTIONS=suppressions=$PWD/tests/ui/lsan.supp:print_suppressions=0
export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure -j "$(nproc)" "$@"
if ((fuzz)); then
  # A crash, a sanitizer report or a broken invariant ends the run with a non-zero status.
  cd ..
  if [[ ! -f build-fuzz/build.ninja ]]; then
    CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DNUMERION_FUZZ=ON -DNUMERION_BENCH=OFF
  fi
  cmake --build build-fuzz --target fuzz_formula
  mkdir -p build-fuzz/corpus
  build-fuzz/bin/fuzz_formula -max_total_time=30 -timeout=20 -rss_limit_mb=2048 \
    -dict=tests/fuzz/formula.dict \
    build-fuzz/corpus tests/fuzz/corpus
fi
