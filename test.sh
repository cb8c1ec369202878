#!/usr/bin/env bash
# Builds everything and runs every test: natively (ASan + UBSan), then the
# Windows build under Wine and Xvfb. Installs what is missing (Debian 12).
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

echo "== native build"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
echo "== native tests"
run_ctest native --preset native -j"$jobs"

echo "== windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
echo "== windows tests (Wine)"
qm_start_x
trap 'qm_stop_wine; qm_stop_x' EXIT
qm_start_wine "$QM_ROOT/build/windows/wineprefix"
run_ctest windows --preset windows -j"$jobs" </dev/null

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
