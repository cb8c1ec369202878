#!/usr/bin/env bash
# protected-folder.sh RUNNER TEST_PROGRAM DEMOGAME QMNAMES: a player who may
# only read the game's folder. As root, makes the Linux user qmplayer (once)
# with a Wine prefix of its own, and a demo game owned by root whose folders
# are mode 555, as Program Files is to a standard Windows user; then, as
# qmplayer on the same display, runs TEST_PROGRAM's case and `qmnames import`
# on that game. Skipped (exit 77) when not root: root writes everywhere, so
# only another user can see the folder refused.
set -u
runner=$1
program=$2
demogame=$3
qmnames=$4
user=qmplayer
skip=77

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIPPED: not root: cannot make a user who may only read the game's folder"
  exit "$skip"
fi
id "$user" >/dev/null 2>&1 || useradd -m "$user" || exit 1
home=$(getent passwd "$user" | cut -d: -f6)
prefix=$home/qm-wineprefix
as_user() {
  runuser -u "$user" -- env HOME="$home" DISPLAY="$DISPLAY" WINEPREFIX="$prefix" WINEDEBUG=-all \
    "$@"
}

root=$(mktemp -d "${TMPDIR:-/tmp}/qm-protected.XXXXXX") || exit 1
cleanup() {
  as_user wineserver -k </dev/null >/dev/null 2>&1
  chmod -R u+w "$root"
  rm -rf "$root"
}
trap cleanup EXIT
chmod 755 "$root"
# Wine sees the Unix root as drive Z:.
game="Z:${root//\//\\}\\The Sims"
"$runner" "$demogame" "$game" >/dev/null || exit 1
find "$root/The Sims" -type d -exec chmod 555 {} +
find "$root/The Sims" -type f -exec chmod 444 {} +
pack=$root/pack.txt
printf '[Male Townie First Names]\nAda\n' >"$pack"
chmod 444 "$pack"
chmod 555 "$root"
before=$(cd "$root" && find . -printf '%p %s %m\n' | sort; sha256sum "The Sims/GameData/live.iff")

as_user "$(dirname "$0")/../../tools/wine-prefix.sh" "$prefix" </dev/null >/dev/null 2>&1 ||
  { echo "cannot make the Wine prefix $prefix"; exit 1; }
as_user wineserver -p60 </dev/null >/dev/null 2>&1
as_user wine cmd /c exit </dev/null >/dev/null 2>&1
echo "protected folder: $game (mode 555, owner root), user $user, prefix $prefix"

status=0
as_user QM_PROTECTED_GAME="$game" wine "$program" --gtest_brief=1 || status=1

# The console tool says so in one line and ends with status 2.
err=$(as_user wine "$qmnames" import "$game" "Z:${pack//\//\\}" 2>&1 >/dev/null </dev/null)
rc=$?
echo "qmnames import: exit $rc: $err"
[ "$rc" -eq 2 ] || { echo "FAILED: qmnames import should end with 2"; status=1; }
[ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || { echo "FAILED: qmnames should say one line"; status=1; }
case $err in *"Run as administrator"*) ;; *) echo "FAILED: no word of an administrator prompt"; status=1 ;; esac

after=$(cd "$root" && find . -printf '%p %s %m\n' | sort; sha256sum "The Sims/GameData/live.iff")
[ "$before" = "$after" ] || { echo "FAILED: the game's folder changed"; diff <(echo "$before") <(echo "$after"); status=1; }
exit "$status"
