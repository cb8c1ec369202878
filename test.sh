#!/usr/bin/env bash
# Builds everything and runs every test: natively (ASan + UBSan), the fuzz
# targets for a short while (./fuzz.sh runs them longer), then the Windows
# build under Wine and Xvfb, then checks that quillmark.exe built once more
# from a copy of the sources elsewhere is identical. Installs what is missing
# (Debian 12). The summary counts every check, names every test that skipped
# and why, and gives each phase's time.
set -euo pipefail
QM_ROOT=$(cd "$(dirname "$0")" && pwd)
cd "$QM_ROOT"
. tools/env.sh

jobs=$(nproc)
status=0
summary=()
skipped=()
phases=()
phase_start=$SECONDS
phase_name=""

# Starts the phase `name`, closing the one before with its time.
phase() {
  [ -n "$phase_name" ] && phases+=("$phase_name $((SECONDS - phase_start)) s")
  phase_name=$1
  phase_start=$SECONDS
  echo "== $1"
}

run_ctest() {  # label, ctest args...
  local name=$1 log junit="$QM_ROOT/build/$1/junit.xml"
  shift
  log=$(mktemp)
  rm -f "$junit"
  set +e
  # The whole output of each test, so that a case that skipped inside a
  # program can be found in it.
  ctest "$@" --output-junit "$junit" --test-output-size-passed 4000000 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  set -e
  [ "$rc" -eq 0 ] || status=1
  local line count=0
  line=$(grep -E 'tests passed|tests failed' "$log" | tail -n1)
  if [ -f "$junit" ]; then
    mapfile -t -O "${#skipped[@]}" skipped < <(python3 tools/skipped-tests.py "$name" "$junit")
    count=$(grep -c '<skipped' "$junit" || true)
  fi
  summary+=("$name: $line ($count of them skipped)")
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

phase packages
qm_need_packages "${QM_BUILD_PACKAGES[@]}" "${QM_CROSS_PACKAGES[@]}" "${QM_WINE_PACKAGES[@]}"

phase "format (clang-format)"
set +e
format_log=$(tools/check-format.sh 2>&1)
rc=$?
set -e
echo "$format_log"
format_detail=$(head -n1 <<<"$format_log")
[ "$rc" -eq 0 ] || format_detail="not formatted: $(tail -n +2 <<<"$format_log" | xargs)"
record_check clang-format "$rc" "$format_detail"

phase "native build"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
phase "native tests"
run_ctest native --preset native -j"$jobs"

# Bounded fuzzing, two targets at a time. Any finding fails the run; the
# input that found it is kept in build/fuzz/run/TARGET/artifacts.
fuzz_seconds=${QM_FUZZ_SECONDS:-10}
phase "fuzzing ($fuzz_seconds s per target)"
set +e
fuzz_log=$(./fuzz.sh "$fuzz_seconds")
set -e
echo "$fuzz_log"
while IFS= read -r line; do
  if [[ $line =~ ^(fuzz_[a-z_]+):\ (.*)$ ]]; then
    rc=0
    [[ ${BASH_REMATCH[2]} == no\ finding* ]] || rc=1
    record_check "${BASH_REMATCH[1]}" "$rc" "${BASH_REMATCH[2]}"
  fi
done <<<"$fuzz_log"

phase "windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"

# The quillmark.exe under test, built once more from a copy of the sources in
# a temporary folder, must come out byte-identical; counted as one test. It
# builds while the Wine tests, which mostly wait for windows, run.
phase "windows tests (Wine) and the reproducible build of quillmark.exe"
qm_start_x
trap 'qm_stop_wine; qm_stop_x' EXIT
qm_start_wine "$QM_ROOT/build/windows/wineprefix"
tools/check-reproducible.sh windows >build/reproducible.log 2>&1 &
reproducible=$!
run_ctest windows --preset windows -j"$jobs" </dev/null
if wait "$reproducible"; then
  record_check reproducible 0 "built twice, identical"
else
  record_check reproducible 1 "the two builds differ, or one failed"
fi
cat build/reproducible.log
phase done

echo
echo "== summary"
printf '%s\n' "${summary[@]}"
[ ${#skipped[@]} -eq 0 ] || printf '%s\n' "${skipped[@]}"
echo "times: $(IFS=,; echo "${phases[*]}" | sed 's/,/, /g'), in all ${SECONDS} s"
passed=0
failed=0
for line in "${summary[@]}"; do
  if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1]))
    passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  fi
done
# ctest counts a skipped test as passed; here it is counted as skipped.
ctest_skipped=0
for line in "${summary[@]}"; do
  if [[ $line =~ \(([0-9]+)\ of\ them\ skipped\)$ ]]; then
    ctest_skipped=$((ctest_skipped + BASH_REMATCH[1]))
  fi
done
echo "$((passed - ctest_skipped)) passed, $failed failed, $ctest_skipped skipped"
exit $status
