#!/usr/bin/env bash
# tools/screenshots.sh [BUILD_DIR]: screenshots of Quillmark's three windows
# at 96, 144 and 192 DPI under Wine, for checking that every caption fits and
# nothing overlaps. BUILD_DIR is a Windows build (default build/windows); the
# targets needed (quillmark, shotdriver, demogame) are brought up to date.
#
# For each DPI the Wine prefix BUILD_DIR/shots-prefix gets LogPixels and a
# virtual desktop of 1024x768 scaled to the DPI, its wineserver is restarted,
# and quillmark.exe (copied to C:\Quillmark, where it writes errorlog.txt) is
# started on a demo game at C:\Games\The Sims named in the registry:
#   main-DPI.png      the main window with list 0 shown
#   setpath-DPI.png   the Set Path dialog over it (Options > Set Path...)
#   error-DPI.png     the error window, on a game whose live.iff is cut short
#   polish-96.png     the main window on a game set to Polish (96 DPI only)
# in BUILD_DIR/shots. Needs Xvfb, Wine and imagemagick (tools/env.sh lists
# them); runs its own Xvfb.
set -euo pipefail
QM_ROOT=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$QM_ROOT/build/windows}" && pwd)
. "$QM_ROOT/tools/env.sh"

cmake --build "$build" -j2 --target quillmark shotdriver demogame >/dev/null
exe=$build/src/6-app/quillmark.exe
driver=$build/tools/shotdriver/shotdriver.exe
demogame=$build/tools/demogame/demogame.exe
prefix=$build/shots-prefix
shots=$build/shots
mkdir -p "$shots"

main_caption="Quillmark - Version $(qm_version)"
setpath_caption="Set The Sims Path"
error_caption="Unrecoverable Error - Program Execution Halted"
menu_set_path=$(sed -n 's/^#define IDM_SETPATH \([0-9]*\).*/\1/p' "$QM_ROOT/src/5-windows/resource.h")

app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  qm_stop_wine
  qm_stop_x
  return 0
}
trap cleanup EXIT

quiet() { "$@" </dev/null >/dev/null 2>&1; }
drive() { wine "$driver" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# The Wine desktop's place on the X screen, as "+X+Y".
desktop_origin() {
  xwininfo -root -tree | grep -m1 'Wine desktop' | grep -o '+[0-9-]*+[0-9-]*$'
}

# shoot NAME CAPTION: the window with that caption, cropped out of the screen.
shoot() {
  local name=$1 caption=$2 rect x y w h origin ox oy
  rect=$(drive wait "$caption" 20000) || {
    echo "no window \"$caption\"" >&2
    return 1
  }
  sleep 1.5  # let it finish drawing
  rect=$(drive rect "$caption")
  read -r x y w h <<<"$rect"
  origin=$(desktop_origin)
  ox=$(cut -d+ -f2 <<<"$origin")
  oy=$(cut -d+ -f3 <<<"$origin")
  import -window root -crop "${w}x${h}+$((x + ox))+$((y + oy))" +repage "$shots/$name.png"
  echo "$shots/$name.png (${w}x${h})"
}

# Starts quillmark.exe and waits until it has ended by itself or been killed.
start_app() {
  wine 'C:\Quillmark\quillmark.exe' </dev/null >/dev/null 2>&1 &
  app_pid=$!
}
end_app() {
  quiet wine taskkill /f /im quillmark.exe || true
  for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.2
  done
  app_pid=
}

# A private Xvfb large enough for the 192-DPI desktop.
qm_start_x 2200x1700x24
qm_start_wine "$prefix" 96
drive_c=$prefix/drive_c
mkdir -p "$drive_c/Quillmark"
cp "$exe" "$drive_c/Quillmark/quillmark.exe"
if [ ! -f "$drive_c/Games/The Sims/GameData/live.iff" ]; then
  quiet wine "$demogame" 'C:\Games\The Sims'
fi
rm -rf "$drive_c/Games/Broken Sims"
cp -r "$drive_c/Games/The Sims" "$drive_c/Games/Broken Sims"
broken="$drive_c/Games/Broken Sims/GameData/live.iff"
truncate -s $(($(stat -c %s "$broken") / 2)) "$broken"
rm -f "$drive_c/Games/Broken Sims/GameData/original_live.iff"
quiet wine reg add 'HKLM\Software\Maxis\The Sims' /v InstallPath /t REG_SZ \
  /d 'C:\Games\The Sims' /f /reg:32

for dpi in 96 144 192; do
  echo "== $dpi DPI"
  qm_stop_wine
  quiet wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
    /d "$((1024 * dpi / 96))x$((768 * dpi / 96))" /f
  quiet wineserver -w
  qm_start_wine "$prefix" "$dpi"

  # The main window and the Set Path dialog, on the good game.
  quiet wine reg add 'HKCU\Software\Dorvane\Settings' /v 'Sims Location' /t REG_SZ \
    /d 'C:\Games\The Sims' /f
  start_app
  shoot "main-$dpi" "$main_caption"
  drive command "$main_caption" "$menu_set_path" >/dev/null
  shoot "setpath-$dpi" "$setpath_caption"
  drive close "$setpath_caption" >/dev/null
  sleep 1
  end_app

  # The same game set to Polish: its Polish names, in code page 1250.
  if [ "$dpi" -eq 96 ]; then
    quiet wine reg add 'HKCU\Software\Electronic Arts\The Sims 25' /v SIMS_LANGUAGE /t REG_SZ \
      /d Polish /f
    start_app
    shoot "polish-$dpi" "$main_caption"
    end_app
    quiet wine reg delete 'HKCU\Software\Electronic Arts\The Sims 25' /v SIMS_LANGUAGE /f || true
  fi

  # The error window: the reader fails on the game whose live.iff is cut short.
  quiet wine reg add 'HKCU\Software\Dorvane\Settings' /v 'Sims Location' /t REG_SZ \
    /d 'C:\Games\Broken Sims' /f
  start_app
  shoot "error-$dpi" "$error_caption"
  end_app
done
quiet wine reg add 'HKCU\Software\Dorvane\Settings' /v 'Sims Location' /t REG_SZ \
  /d 'C:\Games\The Sims' /f
echo "Screenshots in $shots"
