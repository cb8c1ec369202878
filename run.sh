#!/usr/bin/env bash
# Builds quillmark.exe and opens it under Wine on a demo game installed at
# C:\Games\The Sims in a Wine prefix under build/windows/run-prefix, with the
# game's install folder in the registry. With a DISPLAY the editor opens there;
# without one it runs under Xvfb, a screenshot of the main window is taken and
# its path printed. QM_DPI=144 ./run.sh shows it at another DPI.
# The demo's names are shown in the language set in the prefix (the game's
# SIMS_LANGUAGE): QM_LANGUAGE=Polish ./run.sh sets it, and drops the language
# chosen earlier from Quillmark's menu for the demo game.
set -euo pipefail
QM_ROOT=$(cd "$(dirname "$0")" && pwd)
cd "$QM_ROOT"
. tools/env.sh
qm_need_packages "${QM_BUILD_PACKAGES[@]}" "${QM_CROSS_PACKAGES[@]}" "${QM_WINE_PACKAGES[@]}"

jobs=$(nproc)
echo "== build (windows: quillmark, demogame; native: demogame)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs" --target quillmark demogame
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs" --target demogame

exe=$QM_ROOT/build/windows/src/6-app/quillmark.exe
prefix=$QM_ROOT/build/windows/run-prefix
shot=$QM_ROOT/build/windows/quillmark-main.png
headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  qm_start_x
fi
cleanup() {
  qm_stop_wine
  [ "$headless" -eq 1 ] && qm_stop_x
  return 0
}
trap cleanup EXIT

echo "== Wine prefix $prefix"
qm_start_wine "$prefix" "${QM_DPI:-96}"
game="$prefix/drive_c/Games/The Sims"
if [ ! -f "$game/GameData/live.iff" ]; then
  build/native/tools/demogame/demogame "$game"
fi
wine reg add 'HKLM\Software\Maxis\The Sims' /v InstallPath /t REG_SZ /d 'C:\Games\The Sims' \
  /f /reg:32 </dev/null >/dev/null 2>&1
if [ -n "${QM_LANGUAGE:-}" ]; then
  echo "== SIMS_LANGUAGE $QM_LANGUAGE"
  wine reg add 'HKCU\Software\Electronic Arts\The Sims 25' /v SIMS_LANGUAGE /t REG_SZ \
    /d "$QM_LANGUAGE" /f </dev/null >/dev/null 2>&1
  wine reg delete 'HKCU\Software\Dorvane\Settings' /v 'Language C:\Games\The Sims' /f \
    </dev/null >/dev/null 2>&1 || true
fi

if [ "$headless" -eq 0 ]; then
  echo "== quillmark.exe on $DISPLAY (close it to finish)"
  wine "$exe" </dev/null >/dev/null 2>&1
  exit 0
fi

echo "== quillmark.exe under Xvfb ($DISPLAY)"
wine "$exe" </dev/null >/dev/null 2>&1 &
app=$!
caption="Quillmark - Version $(qm_version)"
for _ in $(seq 150); do
  xwininfo -root -tree 2>/dev/null | grep -qF "\"$caption\"" && break
  sleep 0.2
done
sleep 1  # let it finish drawing
import -window root "$shot"
wine taskkill /im quillmark.exe </dev/null >/dev/null 2>&1 || true
for _ in $(seq 50); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.2
done
echo "Screenshot of the main window: $shot"
