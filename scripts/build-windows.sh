#!/usr/bin/env bash
# Cross-builds the Windows programs (vedil.exe, xbtool.exe, vedil-check.exe)
# and their tests into $BUILD_DIR (default build-windows/) with Debian's
# mingw-w64 against a static Qt made once by scripts/build-qt-windows.sh, then
# packs the portable zip vedil-<version>-windows-x64.zip there. Installs the
# Debian packages it needs when one is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

./scripts/install-missing.sh g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
  binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev cmake ninja-build ccache zip unzip libgtest-dev \
  libgmock-dev qt6-base-dev qt6-base-dev-tools qt6-translations-l10n wine64 fonts-dejavu-core \
  fonts-liberation

qt=$(./scripts/build-qt-windows.sh | tail -n1)
build=${BUILD_DIR:-build-windows}
mkdir -p "$build"
build=$(cd "$build" && pwd)

# The tests run under wine64 in a Wine prefix of this build folder.
emulator="env;WINEPREFIX=$build/wineprefix;WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;/usr/lib/wine/wine64"
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_PREFIX_PATH="$qt" -DCMAKE_FIND_ROOT_PATH="$qt" -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator"
cmake --build "$build" -j "${VEDIL_JOBS:-2}"

# ---- The portable zip -------------------------------------------------------
# A folder to unpack anywhere the user can write: the programs, the shipped
# files, the portable marker (the home is the program's own folder), the
# licences, and the relinking kit that Qt's LGPL asks of a static program.
version=$(sed -n 's/^project(vedil VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=vedil-$version-windows-x64
stage=$build/package/$name
rm -rf "$build/package"
mkdir -p "$stage/data" "$stage/licenses" "$stage/relink"
for exe in vedil xbtool vedil-check vedil-import; do
  x86_64-w64-mingw32-strip -o "$stage/$exe.exe" "$build/$exe.exe"
done
find data -maxdepth 1 -type f ! -name CMakeLists.txt -exec cp {} "$stage/" \;
cp data/tables/* "$stage/data/"
marker=$(sed -n 's/.*kPortableMarkerName\[\] = "\(.*\)";/\1/p' src/shell/program_home.h 2>/dev/null || true)
if [[ -n $marker ]]; then
  printf '%s\r\n' "Този файл прави папката преносимо копие: настройките и данните стоят тук." \
    >"$stage/$marker"
fi
# Notepad reads UTF-8 with a byte order mark and CR LF line ends.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' scripts/windows/README.txt; } >"$stage/README.txt"

qt_src=$(find "$(dirname "$qt")/qt-src" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
cp "$qt_src"/LICENSES/{LGPL-3.0-only,GPL-3.0-only,GPL-2.0-only}.txt "$stage/licenses/"
cp "$qt_src/debian/copyright" "$stage/licenses/Qt-copyright.txt"
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/licenses/mingw-w64-copyright.txt"
# DejaVu Sans is built into vedil.exe (the reports' font).
cp /usr/share/doc/fonts-dejavu-core/copyright "$stage/licenses/DejaVu-fonts-copyright.txt"
./scripts/windows/relink-kit.sh "$build" "$qt" "$stage/relink" vedil vedil-check

rm -f "$build/$name.zip"
(cd "$build/package" && zip -qrX "$build/$name.zip" "$name")
echo "Windows zip: $build/$name.zip"
