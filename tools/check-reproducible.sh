#!/usr/bin/env bash
# tools/check-reproducible.sh [PRESET]: builds quillmark.exe with the CMake
# preset PRESET (windows, the default, or release) in its build folder, as
# test.sh has just done for windows (then nothing is built again), and once
# more from a fresh copy of the sources in a temporary folder, so that the
# source and build paths and the time differ; then compares the bytes. The
# release preset differs from the windows one only in stripping the
# executable. Exit 0 when the two are identical; 1 when they differ (the
# second build is kept and its folder printed) or a build fails.
set -euo pipefail
QM_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$QM_ROOT/tools/env.sh"
preset=${1:-windows}
exe=src/6-app/quillmark.exe

(cd "$QM_ROOT" && cmake --preset "$preset" >/dev/null &&
  cmake --build "build/$preset" -j"${QM_JOBS:-2}" --target quillmark >/dev/null)
other=$(mktemp -d "${TMPDIR:-/tmp}/quillmark-repro.XXXXXX")
qm_copy_sources "$other/source"
(cd "$other/source" && cmake --preset "$preset" -B "$other/build" >/dev/null &&
  cmake --build "$other/build" -j"${QM_JOBS:-2}" --target quillmark >/dev/null)

a=$(sha256sum <"$QM_ROOT/build/$preset/$exe" | cut -d' ' -f1)
b=$(sha256sum <"$other/build/$exe" | cut -d' ' -f1)
if [ "$a" != "$b" ]; then
  echo "quillmark.exe differs between two builds: $a (build/$preset), $b ($other/build)"
  exit 1
fi
echo "quillmark.exe identical in two builds: sha256 $a"
rm -rf "$other"
