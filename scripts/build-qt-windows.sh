#!/usr/bin/env bash
# Builds a static Qt for 64-bit Windows from Debian's own qt6-base source
# package with the mingw-w64 cross compilers, once, into the cache folder
# ($VEDIL_WINDOWS_CACHE, default ~/.cache/vedil-windows). A finished build is
# marked and reused; an interrupted one is built on where it stopped.
# Prints the installed prefix on its last line. With --cached it only looks:
# it prints the prefix and exits 0 when the build is there, 1 when it is not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${VEDIL_WINDOWS_CACHE:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/vedil-windows}
version=6.4.2
prefix=$cache/qt-$version-mingw-static
marker=$prefix/.vedil-complete

if [[ -f $marker ]]; then
  echo "$prefix"
  exit 0
fi
if [[ ${1:-} == --cached ]]; then
  echo "$prefix"
  exit 1
fi

# Host Qt tools (moc, rcc, uic) come from Debian's own Qt of the same version.
"$root/scripts/install-missing.sh" g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
  binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev cmake ninja-build dpkg-dev qt6-base-dev \
  qt6-base-dev-tools >&2
export DEBIAN_FRONTEND=noninteractive

# The source package: a deb-src entry matching Debian's own deb entry.
src_parent=$cache/qt-src
src=$(find "$src_parent" -maxdepth 1 -type d -name "qt6-base-$version*" 2>/dev/null | head -n1 || true)
if [[ -z $src ]]; then
  if ! apt-get source --print-uris qt6-base 2>/dev/null | grep -q 'orig\.tar'; then
    cat >/etc/apt/sources.list.d/debian-src.sources <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    apt-get update -qq
  fi
  mkdir -p "$src_parent"
  # apt-get source takes an exact version, not a pattern: Debian's revision
  # of this upstream version is looked up first.
  debver=$(apt-cache showsrc qt6-base | awk -v v="$version" '$1 == "Version:" && index($2, v) == 1 { print $2; exit }')
  [[ -n $debver ]] || { echo "build-qt-windows: Debian has no qt6-base $version source package" >&2; exit 1; }
  (cd "$src_parent" && apt-get source -qq "qt6-base=$debver" >&2)
  src=$(find "$src_parent" -maxdepth 1 -type d -name "qt6-base-$version*" | head -n1)
fi

# The tablet library is not in Debian's source package; without direct2d no
# program links; the rest is left out because neither the program nor its
# tests use it (the window tests need testlib).
# A build folder left by an interrupted run is built on, not started again.
build=$cache/qt-build
mkdir -p "$build"
cd "$build"
[[ -f build.ninja ]] || "$src/configure" -prefix "$prefix" \
  -xplatform win32-g++ -qt-host-path /usr -release -static -static-runtime \
  -nomake examples -nomake tests -no-opengl -no-dbus -no-icu \
  -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre \
  -qt-doubleconversion -no-feature-sql -no-feature-network \
  -no-feature-xml -no-feature-concurrent \
  -no-feature-androiddeployqt -no-feature-tabletevent -- -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >&2
nice -n 10 cmake --build . --parallel "${VEDIL_JOBS:-2}" >&2
cmake --install . >&2
# The build folder is about 2.7 GB and not needed once installed.
cd "$cache"
rm -rf "$build"
touch "$marker"
echo "$prefix"
