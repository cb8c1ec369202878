#!/usr/bin/env bash
# Checks that every tracked C++ file (.h, .cpp) of src, testkit, tools,
# tests, bench and fuzz is laid out as .clang-format says. Prints each file
# that is not and exits 1; exits 0 otherwise. `clang-format -i FILE` formats
# one. Installs clang-format when it is missing (Debian 12).
set -euo pipefail
QM_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$QM_ROOT"
. tools/env.sh
qm_need_packages clang-format

mapfile -t files < <(git ls-files -- \
  {src,testkit,tools,tests,bench,fuzz}/'*.h' {src,testkit,tools,tests,bench,fuzz}/'*.cpp')
if [ ${#files[@]} -eq 0 ]; then
  echo "check-format: no C++ files found (not a git checkout?)" >&2
  exit 2
fi
set +e
out=$(clang-format --dry-run --Werror "${files[@]}" 2>&1)
rc=$?
set -e
if [ "$rc" -eq 0 ]; then
  echo "check-format: ${#files[@]} files formatted"
  exit 0
fi
unformatted=$(grep -oE '^[^:]+:[0-9]+:[0-9]+: error' <<<"$out" | cut -d: -f1 | sort -u)
if [ -z "$unformatted" ]; then
  echo "$out" >&2
  exit 1
fi
echo "check-format: not formatted as .clang-format says (clang-format -i FILE):"
sed 's/^/  /' <<<"$unformatted"
exit 1
