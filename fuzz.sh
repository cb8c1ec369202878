#!/usr/bin/env bash
# fuzz.sh [SECONDS] [TARGET...]: builds the libFuzzer targets (preset fuzz)
# and fuzzes each for SECONDS (default 600), two at a time on the two cores,
# each on a copy of its corpus in build/fuzz/run/TARGET: the committed corpus
# in fuzz/corpus stays as it is. The targets are those with a corpus folder,
# or the ones named (iff_file, string_table, ...).
# Prints one line per target, "fuzz_TARGET: no finding: Done N runs in S
# second(s)" or "fuzz_TARGET: FINDING (exit N), see FOLDER", where the input
# that found it is kept in artifacts/. Exits 1 when a target found something.
set -euo pipefail
QM_ROOT=$(cd "$(dirname "$0")" && pwd)
cd "$QM_ROOT"
. tools/env.sh

seconds=${1:-600}
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi
qm_need_packages cmake ninja-build clang libclang-rt-14-dev llvm-14

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target "${targets[@]/#/fuzz_}" >/dev/null
if [ -x /usr/lib/llvm-14/bin/llvm-symbolizer ]; then
  export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
fi

# Runs one target; its result line goes to its folder's result file.
fuzz_one() {
  local target=$1 work="$QM_ROOT/build/fuzz/run/$1" rc=0
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  cp fuzz/corpus/"$target"/* "$work/corpus/"
  "$QM_ROOT/build/fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=512 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" \
    >"$work/fuzz.log" 2>&1 || rc=$?
  if [ "$rc" -eq 0 ]; then
    echo "fuzz_$target: no finding: $(grep -E '^Done [0-9]+ runs' "$work/fuzz.log" | tail -n1)" \
      >"$work/result"
  else
    echo "fuzz_$target: FINDING (exit $rc), see $work" >"$work/result"
  fi
}

status=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pair=("${targets[@]:i:2}")
  for target in "${pair[@]}"; do fuzz_one "$target" & done
  wait
  for target in "${pair[@]}"; do
    result=$(cat "build/fuzz/run/$target/result")
    echo "$result"
    if [[ $result == *FINDING* ]]; then
      status=1
      tail -n 40 "build/fuzz/run/$target/fuzz.log" >&2
    fi
  done
done
exit $status
