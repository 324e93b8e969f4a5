#!/usr/bin/env bash
# Runs every libFuzzer target in turn for SECONDS each (default 60), in the clang tree
# $FUZZ_TREE (default build-fuzz/, made here when missing). New inputs go to
# $FUZZ_TREE/corpus/<target>/; the seeds and the regression inputs in tests/fuzz/corpus/<target>/
# are read but never changed. A crash, a sanitizer report or a broken invariant stops the script
# with the failing input saved as $FUZZ_TREE/crash-*.
#   tools/fuzz.sh [SECONDS] [TARGET...]    TARGET: formula, settings, numbers, polynomial, ...
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=(formula settings numbers polynomial linear_csv cli_options cli_subcommands history)
fi
tree=${FUZZ_TREE:-build-fuzz}
if [[ ! -f $tree/build.ninja ]]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  CXX=clang++ cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DNUMERION_FUZZ=ON -DNUMERION_BENCH=OFF "${launcher[@]}" >/dev/null
fi
cmake --build "$tree" --target "${targets[@]/#/fuzz_}"
for t in "${targets[@]}"; do
  echo "== fuzz_$t: ${seconds} s"
  dict=()
  [[ -f tests/fuzz/$t.dict ]] && dict=(-dict="tests/fuzz/$t.dict")
  quiet=()
  [[ $t == cli_subcommands ]] && quiet=(-close_fd_mask=1)  # the commands' results
  mkdir -p "$tree/corpus/$t"
  # -timeout is the per-input limit (FUZZ_TIMEOUT, for slow or shared machines); the numeric
  # targets also stop a computation after 1 or 2 s.
  "$tree/bin/fuzz_$t" -max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-20}" -rss_limit_mb=2048 \
    -max_len=16384 -print_final_stats=1 -artifact_prefix="$tree/" "${dict[@]}" "${quiet[@]}" \
    "$tree/corpus/$t" "tests/fuzz/corpus/$t"
done
