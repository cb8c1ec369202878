#!/usr/bin/env bash
# check-imports.sh OBJDUMP EXE: fails unless every DLL the Windows executable
# EXE imports is one of Windows' own system DLLs (so the .exe runs alone,
# without MinGW's libstdc++, libgcc or libwinpthread beside it). Prints the
# imports and the file's size in bytes.
set -euo pipefail
objdump=${1:?usage: check-imports.sh OBJDUMP EXE}
exe=${2:?usage: check-imports.sh OBJDUMP EXE}

allowed=(kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comctl32.dll ole32.dll
  oleaut32.dll version.dll msvcrt.dll comdlg32.dll shlwapi.dll uxtheme.dll ws2_32.dll
  bcrypt.dll ntdll.dll)

is_allowed() {
  local name
  for name in "${allowed[@]}"; do
    [ "$1" = "$name" ] && return 0
  done
  return 1
}

dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr -d '\r')
if [ -z "$dlls" ]; then
  echo "no imports found in $exe (not a PE file?)" >&2
  exit 1
fi

status=0
while read -r dll; do
  lower=$(printf '%s' "$dll" | tr '[:upper:]' '[:lower:]')
  if is_allowed "$lower"; then
    echo "import: $dll"
  else
    echo "import: $dll  <- not a Windows system DLL" >&2
    status=1
  fi
done <<<"$dlls"

echo "size: $(stat -c %s "$exe") bytes ($(basename "$exe"))"
exit $status
