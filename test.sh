#!/usr/bin/env bash
# Builds every target and runs every test with ctest.
#   ./test.sh             Release tree in build/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer tree in build-sanitize/
#                         (clang), which also builds the fuzz targets; then 30 s of the formula
#                         fuzzer and FUZZ_SECONDS (default 20) of each other target
#   ./test.sh --tsan      ThreadSanitizer tree in build-tsan/: the tests of everything that
#                         computes on worker threads, the windows with workers and the CLI's Ctrl+C
# Extra arguments after the options go to ctest (for example -L core).
# NUMERION_BENCH=OFF leaves out the benchmarks (CI does not run them).
# NUMERION_WERROR=ON turns compiler warnings into errors in the Release tree (CI sets it); the
# sanitizer trees keep them as warnings (GCC 12 reports false overlaps and bounds there).
set -euo pipefail
cd "$(dirname "$0")"
dir=build
cfg=(-DCMAKE_BUILD_TYPE=Release -DNUMERION_WERROR="${NUMERION_WERROR:-OFF}"
     -DNUMERION_BENCH="${NUMERION_BENCH:-ON}")
fuzz=0
jobs=$(nproc)
tsan_more=
targets=()
labels=()
# Line tables are all a sanitizer report needs, and much cheaper to build than full debug data.
lines_only=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO='-O2 -g1 -DNDEBUG')
if [[ "${1:-}" == "--sanitize" ]]; then
  shift
  fuzz=1
  dir=build-sanitize
  # libFuzzer is clang's: one clang tree serves the tests and the fuzz targets.
  export CXX=clang++
  if [[ -f $dir/CMakeCache.txt ]] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' "$dir/CMakeCache.txt"; then
    rm -rf "$dir"
  fi
  # -O1, as the sanitizers advise: a quicker build, and reports as exact.
  cfg=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DNUMERION_SANITIZE=ON -DNUMERION_FUZZ=ON
       -DNUMERION_WERROR=OFF -DCMAKE_CXX_FLAGS_RELWITHDEBINFO='-O1 -g1 -DNDEBUG')
  # The window tests mostly wait for timers: more of them at once use the cores better.
  jobs=$(($(nproc) * 2))
  # The longest comparisons with reference data check values, which the Release tree does;
  # under the sanitizers they would take half of the run.
  labels=(-E 'HyperSmallArguments|PythonReference\.Powers|ComplexFunctionsReference|Binomial\.LargeArguments')
elif [[ "${1:-}" == "--tsan" ]]; then
  shift
  dir=build-tsan
  cfg=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DNUMERION_TSAN=ON -DNUMERION_WERROR=OFF "${lines_only[@]}")
  targets=(core_tests formula_tests calc_tests solvers_tests ui_tests calculator_window_tests
           equations_window_tests primes_window_tests cli_tests numerion-cli)
  # The suites that compare values with reference data run on one thread; the Release and
  # sanitizer trees cover them, and under TSan they would take most of the run.
  labels=(-L 'core|formula|calc|solvers'
          -E 'Reference\.|HyperSmallArguments|IdentitiesAt2000Digits|HostileTexts')
  # Of the windows and the command line: what hands work to a thread and back.
  # Qt's own event dispatcher rather than the one over GLib, which the checker cannot see into.
  export QT_NO_GLIB=1
  tsan_more='^(Calculator|Variables|EquationsWindow|PrimesWindows|Post|Worker)\.|^Interactive\.CtrlC'
fi
tools/deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -G Ninja "${cfg[@]}" "${launcher[@]}" >/dev/null
if ((${#targets[@]})); then
  cmake --build "$dir" --target "${targets[@]}"
else
  cmake --build "$dir"
fi
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/ui/tsan.supp
# The font library under Qt keeps its caches to the end on purpose; nothing else is suppressed.
export LSAN_OPTIONS=suppressions=$PWD/tests/ui/lsan.supp:print_suppressions=0
export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure -j "$jobs" "${labels[@]}" "$@"
if [[ -n "$tsan_more" ]]; then
  # Factoring 36-digit numbers takes minutes under the checker; the other runs stream the same way.
  ctest --output-on-failure -j "$(nproc)" -R "$tsan_more" -E 'FactorRunsShowWhatTheWorkerWrites' "$@"
fi
if ((fuzz)); then
  # A crash, a sanitizer report or a broken invariant ends the run with a non-zero status.
  cd ..
  export FUZZ_TREE=$dir
  tools/fuzz.sh 30 formula
  tools/fuzz.sh "${FUZZ_SECONDS:-20}" settings numbers polynomial linear_csv cli_options cli_subcommands history
fi
