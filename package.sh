#!/usr/bin/env bash
# Builds the release of Quillmark and packs it for players:
# dist/quillmark-VERSION-win64.zip. Run ./package.sh --help for the details.
set -euo pipefail

# ---- Release settings: packagers set these ---------------------------------
# Where players send error reports: the error window shows these and its
# buttons start an e-mail to QM_SUPPORT_EMAIL and open QM_SUPPORT_URL.
QM_SUPPORT_EMAIL="support@dorvane.example"
QM_SUPPORT_URL="https://quillmark.dorvane.example/support"
QM_SUPPORT_HOST="quillmark.dorvane.example"
# -----------------------------------------------------------------------------

usage() {
  cat <<'EOF'
Usage: ./package.sh [--verify | --help]

Builds quillmark.exe and the console tool qmnames.exe for 64-bit Windows
(Release, stripped, no tests) in build/package and writes
dist/quillmark-VERSION-win64.zip holding, in this order: quillmark.exe,
qmnames.exe, README.html (the user guide), LICENSE, NOTICE and SHA256SUMS
(of the other five). VERSION is project(VERSION) in
CMakeLists.txt; the support addresses are set at the top of this script.

The build is reproducible: every file in the zip is dated with the last
commit's time (SOURCE_DATE_EPOCH when it is set), with fixed permissions and
no extra attributes, so the same commit gives the same bytes.

  --verify  after packaging, copy the sources into a temporary folder, build
            and pack them again there, and report whether quillmark.exe and
            the zip are byte-identical to the first ones
  --help    show this text

Exit status:
  0  the zip was written (and, with --verify, both builds are identical)
  1  building or packing failed, or NOTICE no longer matches the toolchain
     (regenerate it with tools/make-notice.py > NOTICE)
  2  unknown argument
  3  --verify: the second build differs (it is kept for comparison)

Installs what it needs with apt-get (Debian 12, as root).
EOF
}

verify=0
case $# in
  0) ;;
  1)
    case $1 in
      --verify) verify=1 ;;
      -h | --help)
        usage
        exit 0
        ;;
      *)
        usage >&2
        exit 2
        ;;
    esac
    ;;
  *)
    usage >&2
    exit 2
    ;;
esac

QM_ROOT=$(cd "$(dirname "$0")" && pwd)
cd "$QM_ROOT"
. tools/env.sh
qm_need_packages "${QM_RELEASE_PACKAGES[@]}"

version=$(qm_version)
zip_name=quillmark-$version-win64.zip
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export TZ=UTC # zip stores local times
contents=(quillmark.exe qmnames.exe README.html LICENSE NOTICE) # SHA256SUMS lists these

if ! tools/make-notice.py | cmp -s - NOTICE; then
  echo "NOTICE does not match the toolchain's licences: run tools/make-notice.py > NOTICE" >&2
  exit 1
fi
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "Note: the work tree has uncommitted changes; the package holds them."
fi

# pack SOURCE_DIR BUILD_DIR ZIP: builds the sources in SOURCE_DIR in
# BUILD_DIR, stages the package's files in BUILD_DIR/stage and writes ZIP.
pack() {
  local src=$1 build=$2 zip=$3 stage=$2/stage
  qm_build_release "$src" "$build" -DQM_SUPPORT_EMAIL="$QM_SUPPORT_EMAIL" \
    -DQM_SUPPORT_URL="$QM_SUPPORT_URL" -DQM_SUPPORT_HOST="$QM_SUPPORT_HOST"
  rm -rf "$stage"
  mkdir -p "$stage"
  cp "$build/src/6-app/quillmark.exe" "$build/tools/qmnames/qmnames.exe" "$stage/"
  "$src/tools/readme-html.py" "$src/README.md" "$version" >"$stage/README.html"
  cp "$src/LICENSE" "$src/NOTICE" "$stage/"
  (cd "$stage" && sha256sum "${contents[@]}" >SHA256SUMS)
  chmod 0644 "$stage"/*
  chmod 0755 "$stage/quillmark.exe" "$stage/qmnames.exe"
  touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*
  rm -f "$zip"
  (cd "$stage" && zip -X -D -9 -q "$zip" "${contents[@]}" SHA256SUMS)
  touch -d "@$SOURCE_DATE_EPOCH" "$zip"
}

echo "== building Quillmark $version (build/package)"
mkdir -p dist
pack "$QM_ROOT" "$QM_ROOT/build/package" "$QM_ROOT/dist/$zip_name"
exe=$QM_ROOT/build/package/src/6-app/quillmark.exe
echo "Wrote dist/$zip_name"
unzip -l "dist/$zip_name"
[ "$verify" -eq 1 ] || exit 0

echo "== --verify: building again from a copy of the sources"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/quillmark-verify.XXXXXX")
qm_copy_sources "$tmp/source"
pack "$tmp/source" "$tmp/build" "$tmp/$zip_name"
status=0
same() { # NAME FIRST SECOND
  local a b
  a=$(sha256sum <"$2" | cut -d' ' -f1)
  b=$(sha256sum <"$3" | cut -d' ' -f1)
  if [ "$a" = "$b" ]; then
    echo "identical  $1  sha256 $a"
  else
    echo "DIFFERENT  $1  sha256 $a (build/package), $b ($tmp)"
    status=3
  fi
}
same quillmark.exe "$exe" "$tmp/build/src/6-app/quillmark.exe"
same qmnames.exe "$QM_ROOT/build/package/tools/qmnames/qmnames.exe" "$tmp/build/tools/qmnames/qmnames.exe"
same "$zip_name" "$QM_ROOT/dist/$zip_name" "$tmp/$zip_name"
if [ "$status" -eq 0 ]; then
  rm -rf "$tmp"
  echo "Reproducible: both builds gave the same bytes."
else
  echo "Not reproducible: the second build is kept in $tmp" >&2
fi
exit "$status"
