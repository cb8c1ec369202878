#!/usr/bin/env bash
# full-disk.sh RUNNER TEST_PROGRAM: runs the full-disk case of the Windows
# end-to-end test program (through RUNNER, the Wine wrapper) with its game
# folder on a freshly mounted 256 KB tmpfs, which the case fills up before it
# saves. Mounting needs root and a host that allows it; where it cannot be
# done the case is skipped (exit 77) and the reason printed.
set -u
runner=$1
program=$2
skip=77

mount_dir=$(mktemp -d "${TMPDIR:-/tmp}/qm-fulldisk.XXXXXX") || exit 1
if ! reason=$(mount -t tmpfs -o size=256k,mode=0777 tmpfs "$mount_dir" 2>&1); then
  rmdir "$mount_dir"
  reason=${reason%%$'\n'*}
  echo "SKIPPED: cannot mount a tmpfs here: ${reason:-mount failed}"
  exit "$skip"
fi
cleanup() {
  umount "$mount_dir" 2>/dev/null || umount -l "$mount_dir"
  rmdir "$mount_dir"
}
trap cleanup EXIT

# Wine sees the Unix root as drive Z:.
game="Z:${mount_dir//\//\\}\\The Sims"
echo "full disk: tmpfs of 256 KB at $mount_dir, game folder $game"
QM_FULLDISK_GAME=$game "$runner" "$program" --gtest_filter='FullDiskE2e.*' --gtest_brief=1
