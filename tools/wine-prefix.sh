#!/usr/bin/env bash
# Makes (once) a Wine prefix for tests and for run.sh: Wine's own fonts in
# place, a virtual desktop (no 2-second wait when a window closes), and the
# DPI given as the second argument (default 96).
# Needs DISPLAY set (Xvfb or a real display).
set -euo pipefail
prefix=$1
dpi=${2:-96}
export WINEPREFIX=$prefix WINEDEBUG=-all
if [ ! -f "$prefix/.qm-ready" ]; then
  mkdir -p "$prefix"
  wineboot -i </dev/null >/dev/null 2>&1
  mkdir -p "$prefix/drive_c/windows/Fonts"
  cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1
  touch "$prefix/.qm-ready"
fi
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
wineserver -w
