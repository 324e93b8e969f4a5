#!/usr/bin/env bash
# Runs every libFuzzer target in turn for SECONDS each (default 60), in the clang tree
# build-fuzz/. New inputs go to build-fuzz/corpus/<target>/; the seeds and the regression inputs
# in tests/fuzz/corpus/<target>/ are read but never changed. A crash, a sanitizer report or a
# broken invariant stops the script with the failing input saved as build-fuzz/crash-*.
#   tools/fuzz.sh [SECONDS] [TARGET...]    TARGET: formula, settings, numbers, polynomial, ...
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=(formula settings numbers polynomial linear_csv cli_options cli_subcommands history)
fi
if [[ ! -f build-fuzz/build.ninja ]]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DNUMERION_FUZZ=ON -DNUMERION_BENCH=OFF "${launcher[@]}" >/dev/null
fi
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}"
for t in "${targets[@]}"; do
  echo "== fuzz_$t: ${seconds} s"
  dict=()
  [[ -f tests/fuzz/$t.dict ]] && dict=(-dict="tests/fuzz/$t.dict")
  quiet=()
  [[ $t == cli_subcommands ]] && quiet=(-close_fd_mask=1)  # the commands' results
  mkdir -p "build-fuzz/corpus/$t"
  # -timeout is the per-input limit; the numeric targets also stop a computation after 2 s.
  build-fuzz/bin/fuzz_"$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -max_len=16384 -print_final_stats=1 -artifact_prefix=build-fuzz/ "${dict[@]}" "${quiet[@]}" \
    "build-fuzz/corpus/$t" "tests/fuzz/corpus/$t"
done
