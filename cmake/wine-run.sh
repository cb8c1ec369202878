#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's prefix (made by
# tools/wine-prefix.sh). ctest uses this as the cross-compiling emulator.
set -u
: "${WINEPREFIX:?WINEPREFIX is not set: run the tests through ./test.sh}"
export WINEPREFIX WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
