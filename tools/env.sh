# Sourced by the scripts that build (test.sh, run.sh, package.sh, ...): installs
# what the build needs (Debian 12 packages) and offers helpers to start Xvfb
# and Wine.

qm_need_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
      echo "Missing packages and not root: apt-get install ${missing[*]}" >&2
      return 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

QM_BUILD_PACKAGES=(cmake ninja-build g++ make git python3 googletest libgtest-dev libgmock-dev
  clang-format clang libclang-rt-14-dev llvm-14)
# The cross-compiler for the Windows build.
QM_CROSS_PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)
QM_WINE_PACKAGES=(wine wine64 xvfb xauth fonts-wine fonts-droid-fallback imagemagick x11-utils)
# package.sh: the cross-build, zip, and Markdown for the user guide.
QM_RELEASE_PACKAGES=(cmake ninja-build git g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  zip unzip python3 python3-markdown)

# The program's version, as project(VERSION) in CMakeLists.txt sets it.
qm_version() {
  sed -n 's/^project(Quillmark VERSION \([0-9.]*\).*/\1/p' "$QM_ROOT/CMakeLists.txt"
}

# Copies the sources (the files git tracks or would track, as they are in the
# work tree) into the folder $1.
qm_copy_sources() {
  mkdir -p "$1"
  (cd "$QM_ROOT" && git ls-files -z --cached --others --exclude-standard |
    tar --null --files-from=- --ignore-failed-read -cf -) | tar -xf - -C "$1"
}

# Builds the release quillmark.exe and qmnames.exe (preset "release") from
# the sources in the folder $1 into the folder $2; further arguments go to
# cmake's configure step. The executables are $2/src/6-app/quillmark.exe and
# $2/tools/qmnames/qmnames.exe. Builds with 2 jobs, or QM_JOBS.
qm_build_release() {
  local src=$1 build=$2
  shift 2
  (cd "$src" && cmake --preset release -B "$build" "$@" >/dev/null &&
    cmake --build "$build" -j"${QM_JOBS:-2}" --target quillmark qmnames >/dev/null)
}

# Starts a private Xvfb (screen size as the first argument) and exports
# DISPLAY; stopped by qm_stop_x.
qm_start_x() {
  local fdfile size=${1:-1280x1024x24}
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  QM_XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

qm_stop_x() {
  [ -n "${QM_XVFB_PID:-}" ] && kill "$QM_XVFB_PID" 2>/dev/null || true
}

# Makes the prefix and starts its wineserver with every output detached, so
# that Wine's background processes never hold a pipe of ours open.
qm_start_wine() {
  local prefix=$1 dpi=${2:-96}
  export WINEPREFIX=$prefix WINEDEBUG=-all
  # Wine spells Windows file names in the locale's character set: without
  # UTF-8, a folder such as "Bibliothèque" or "日本" cannot be made or found.
  [ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
  "$QM_ROOT/tools/wine-prefix.sh" "$prefix" "$dpi" </dev/null >/dev/null 2>&1
  wineserver -p60 </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

qm_stop_wine() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k </dev/null >/dev/null 2>&1 || true
}
