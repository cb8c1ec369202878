#!/usr/bin/env bash
# Builds Quillmark and shows what it can so far: iffdump on a sample file.
set -euo pipefail
QM_ROOT=$(cd "$(dirname "$0")" && pwd)
cd "$QM_ROOT"
. tools/env.sh
qm_need_packages "${QM_BUILD_PACKAGES[@]}"
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" --target iffdump
sample=$(ls "$QM_ROOT"/../shared/samples/*.iff 2>/dev/null | head -n1 || true)
if [ -n "$sample" ]; then
  echo "== iffdump $sample"
  build/native/tools/iffdump/iffdump "$sample"
else
  echo "No sample IFF file found; usage: build/native/tools/iffdump/iffdump FILE"
fi
