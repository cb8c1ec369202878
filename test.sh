#!/usr/bin/env bash
# Builds everything and runs every test: natively (ASan + UBSan), then the
# Windows build under Wine and Xvfb, then checks that two builds of the
# release quillmark.exe are identical. Installs what is missing (Debian 12).
set -euo pipefail
QM_ROOT=$(cd "$(dirname "$0")" && pwd)
cd "$QM_ROOT"
. tools/env.sh
qm_need_packages "${QM_BUILD_PACKAGES[@]}" "${QM_WINE_PACKAGES[@]}"

jobs=$(nproc)
status=0
summary=()

run_ctest() {  # name, ctest args...
  local name=$1 log
  shift
  log=$(mktemp)
  set +e
  ctest "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  set -e
  [ "$rc" -eq 0 ] || status=1
  summary+=("$name: $(grep -E 'tests passed|tests failed' "$log" | tail -n1)")
  rm -f "$log"
}

# A check that is not a ctest run gives one summary entry, worded like
# ctest's so that the totals below count it as one test.
record_check() {  # name, exit code, detail
  if [ "$2" -eq 0 ]; then
    summary+=("$1: 100% tests passed, 0 tests failed out of 1 ($3)")
  else
    status=1
    summary+=("$1: 0% tests passed, 1 tests failed out of 1 ($3)")
  fi
}

echo "== format (clang-format)"
set +e
format_log=$(tools/check-format.sh 2>&1)
rc=$?
set -e
echo "$format_log"
format_detail=$(head -n1 <<<"$format_log")
[ "$rc" -eq 0 ] || format_detail="not formatted: $(tail -n +2 <<<"$format_log" | xargs)"
record_check clang-format "$rc" "$format_detail"

echo "== native build"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
echo "== native tests"
run_ctest native --preset native -j"$jobs"

# Bounded fuzzing: each libFuzzer target for 60 s (the name pack's for 20 s)
# on a copy of its corpus (the committed corpus stays as it is). Any finding
# fails the run; the input that found it is kept in
# build/fuzz/run/TARGET/artifacts.
echo "== fuzz build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs" --target fuzz_iff_file fuzz_string_table fuzz_library_folders \
  fuzz_name_pack
echo "== fuzzing (60 s per target, 20 s for name_pack)"
if [ -x /usr/lib/llvm-14/bin/llvm-symbolizer ]; then
  export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
fi
for target in iff_file string_table library_folders name_pack; do
  seconds=60
  [ "$target" = name_pack ] && seconds=20
  work="$QM_ROOT/build/fuzz/run/$target"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  cp fuzz/corpus/"$target"/* "$work/corpus/"
  set +e
  "$QM_ROOT/build/fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=512 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" >"$work/fuzz.log" 2>&1
  rc=$?
  set -e
  if [ "$rc" -eq 0 ]; then
    done_line=$(grep -E '^Done [0-9]+ runs' "$work/fuzz.log" | tail -n1)
    echo "fuzz_$target: $done_line"
    record_check "fuzz_$target" 0 "no finding: $done_line"
  else
    tail -n 40 "$work/fuzz.log"
    record_check "fuzz_$target" 1 "FINDING (exit $rc), see $work"
  fi
done

echo "== windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
echo "== windows tests (Wine)"
qm_start_x
trap 'qm_stop_wine; qm_stop_x' EXIT
qm_start_wine "$QM_ROOT/build/windows/wineprefix"
run_ctest windows --preset windows -j"$jobs" </dev/null

# The release executable, built twice from two copies in two temporary
# folders, must come out byte-identical; counted as one test.
echo "== reproducible build of quillmark.exe"
if tools/check-reproducible.sh; then
  record_check reproducible 0 "two builds identical"
else
  record_check reproducible 1 "the two builds differ, or one failed"
fi

echo
echo "== summary"
printf '%s\n' "${summary[@]}"
passed=0
failed=0
for line in "${summary[@]}"; do
  if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1]))
    passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  fi
done
echo "$passed passed, $failed failed"
exit $status
