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
# Names in Chinese, Japanese and Korean: Wine's fonts have no such glyphs, so
# the dialogs' font (Tahoma) links to Droid Sans Fallback, as Windows links
# it to its own CJK fonts.
fallback=/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf
if [ -f "$fallback" ] && [ ! -f "$prefix/drive_c/windows/Fonts/$(basename "$fallback")" ]; then
  cp "$fallback" "$prefix/drive_c/windows/Fonts/"
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Tahoma /t REG_MULTI_SZ /d 'DroidSansFallbackFull.ttf,Droid Sans Fallback' /f \
    </dev/null >/dev/null 2>&1
fi
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
wineserver -w
