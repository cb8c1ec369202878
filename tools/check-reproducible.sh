#!/usr/bin/env bash
# tools/check-reproducible.sh: builds the release quillmark.exe twice, each
# time from a fresh copy of the sources into a fresh temporary folder (so the
# source and build paths and the times differ), and compares the bytes.
# Exit 0 when they are identical; 1 when they differ (both builds are kept
# and their folders printed) or a build fails.
set -euo pipefail
QM_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$QM_ROOT/tools/env.sh"

first=$(mktemp -d "${TMPDIR:-/tmp}/quillmark-repro-1.XXXXXX")
second=$(mktemp -d "${TMPDIR:-/tmp}/quillmark-repro-2.XXXXXX")
for dir in "$first" "$second"; do
  qm_copy_sources "$dir/source"
  qm_build_release "$dir/source" "$dir/build"
done
a=$(sha256sum <"$first/build/src/6-app/quillmark.exe" | cut -d' ' -f1)
b=$(sha256sum <"$second/build/src/6-app/quillmark.exe" | cut -d' ' -f1)
if [ "$a" != "$b" ]; then
  echo "quillmark.exe differs between two builds: $a ($first), $b ($second)"
  exit 1
fi
echo "quillmark.exe identical in two builds: sha256 $a"
rm -rf "$first" "$second"
