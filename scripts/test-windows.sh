#!/usr/bin/env bash
# Builds the Windows programs and their zip (scripts/build-windows.sh), then
# checks them under Debian's wine64:
#  1. every test program of the Windows build, through CTest (the engine's
#     tests with two processes and two table objects on one file, the rule
#     tests of records, settings and the agency file, the windows offscreen);
#  2. the files the Linux and the Windows build write are the same bytes
#     (tables, indexes, settings file, agency file: vedil-sample-files);
#  3. xbtool and vedil-check print the same on those files in both builds;
#  4. the zip unpacked into a fresh Wine prefix: vedil.exe shows its main
#     window with its caption on a virtual X display (a screenshot is kept
#     as vedil-window.png in the build folder);
#  5. the zip's relinking kit links vedil.exe again against the Qt built here.
# Ends with one line "windows: N passed, M failed" (GoogleTest's counts).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
./scripts/build-windows.sh
build=$(cd "${BUILD_DIR:-build-windows}" && pwd)
linux_build=${LINUX_BUILD_DIR:-build}

./scripts/install-missing.sh xvfb xauth xdotool imagemagick

wine=/usr/lib/wine/wine64
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Makes the Wine prefix $1 when it is missing and waits until Wine is idle.
wine_prefix() {
  if [[ ! -f $1/system.reg ]]; then
    WINEPREFIX=$1 "$wine" wineboot -i >/dev/null 2>&1 || true
  fi
  WINEPREFIX=$1 /usr/lib/wine/wineserver -w
}

# ---- 1. The test programs ---------------------------------------------------
export WINEPREFIX=$build/wineprefix
wine_prefix "$WINEPREFIX"
# The first Wine program of a prefix starts the Wine server and its services,
# which keep the program's output pipe open: CTest would then wait for them
# instead of the program, so a quick test program would seem to run till the
# last one ended. The server and its services are started here, on no pipe,
# and run until this script ends.
/usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1
trap 'WINEPREFIX=$build/wineprefix /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
"$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true
# The offscreen platform reads its fonts from one folder.
mkdir -p "$build/fonts"
ln -sf /usr/share/fonts/truetype/dejavu/*.ttf /usr/share/fonts/truetype/liberation/*.ttf \
  "$build/fonts/"
export QT_QPA_FONTDIR="Z:$build/fonts"
status=0
# VEDIL_WINDOWS_TESTS, a CTest name pattern, picks the test programs (.ci/run
# names the ones that fit its time); unset, every one runs.
ctest --test-dir "$build" -j "${VEDIL_JOBS:-2}" --output-on-failure --timeout 1800 \
  -R "${VEDIL_WINDOWS_TESTS:-.}" || status=$?
log=$build/Testing/Temporary/LastTest.log
passed=$(awk '/^\[  PASSED  \] [0-9]+ tests?\.$/ {n += $4} END {print n + 0}' "$log")
failed=$(awk '/^\[  FAILED  \] [0-9]+ tests?, listed below:$/ {n += $4} END {print n + 0}' "$log")

# ---- 2. The same bytes from both builds -------------------------------------
if [[ ! -x $linux_build/vedil-sample-files || ! -x $linux_build/xbtool ||
      ! -x $linux_build/vedil-check ]]; then
  ./scripts/setup.sh >/dev/null
fi
samples=$build/samples
rm -rf "$samples"
mkdir -p "$samples/linux" "$samples/windows"
"$linux_build/vedil-sample-files" "$samples/linux"
"$wine" "$build/vedil-sample-files.exe" "Z:$samples/windows"
same=1
for f in vedil.ini data/dvel.dbf data/dvel.ntx data/dvel.cdx data/121212121.txt; do
  if ! cmp "$samples/linux/$f" "$samples/windows/$f"; then
    echo "windows: $f differs from the Linux build's"
    same=0
  fi
done
grep -q $'\r$' "$samples/windows/vedil.ini" || { echo "windows: vedil.ini has no CR LF"; same=0; }

# ---- 3. The tools print the same ---------------------------------------------
# Both run in the Linux folder on relative names, with the shipped countries
# table beside the checker; a full path they print is the folder's own
# (Z:/... under Wine), written as "." for the comparison.
tools_same=1
compare_tool() {  # compare_tool NAME ARGS...
  local name=$1 linux_out windows_out linux_rc=0 windows_rc=0 here=$samples/linux
  shift
  linux_out=$(cd "$here" && "$root/$linux_build/$name" "$@" 2>&1) || linux_rc=$?
  windows_out=$(cd "$here" && "$wine" "$build/$name.exe" "$@" 2>&1) || windows_rc=$?
  linux_out=${linux_out//"$here"/.}
  windows_out=${windows_out//"Z:$here"/.}
  if [[ $linux_out != "$windows_out" || $linux_rc != "$windows_rc" ]]; then
    echo "windows: $name $* prints otherwise than on Linux:"
    diff <(echo "$linux_out"; echo "exit $linux_rc") <(echo "$windows_out"; echo "exit $windows_rc") || true
    tools_same=0
  fi
}
compare_tool xbtool info data/dvel.dbf
compare_tool xbtool dump data/dvel.dbf
compare_tool xbtool verify data/dvel.dbf data/dvel.ntx
compare_tool xbtool verify data/dvel.dbf data/dvel.cdx NAMES
compare_tool xbtool dump data/dvel.dbf --index data/dvel.ntx
compare_tool xbtool eval data/dvel.dbf "F05+STR(RECNO(),3)" 2
compare_tool vedil-check data/121212121.txt
compare_tool vedil-check vedil.ini

# ---- 4. The zip in a fresh prefix: the main window ---------------------------
fresh=$build/fresh-prefix
rm -rf "$fresh"
wine_prefix "$fresh"
zip=$(ls "$build"/vedil-*-windows-x64.zip)
unzip -q "$zip" -d "$fresh/drive_c/"
program=$(ls -d "$fresh"/drive_c/vedil-*-windows-x64)
window_ok=0
caption="Справка по ОРВЕЛ  ver"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  WINEPREFIX=$1 "$2" "$3/vedil.exe" &
  for i in $(seq 1 120); do
    if xdotool search --name "$4" >/dev/null 2>&1; then
      sleep 2
      import -window root "$5/vedil-window.png"
      xdotool search --name "$4" getwindowname | head -n1 >"$5/vedil-window.txt"
      break
    fi
    sleep 0.5
  done
  WINEPREFIX=$1 /usr/lib/wine/wineserver -k
' _ "$fresh" "$wine" "$program" "$caption" "$build" || true
if [[ -s $build/vedil-window.txt ]]; then
  window_ok=1
  echo "windows: vedil.exe showed its main window: $(cat "$build/vedil-window.txt")"
  [[ -f $program/data/dvel.dbf ]] || { echo "windows: vedil.exe made no data/dvel.dbf beside it"; window_ok=0; }
else
  echo "windows: vedil.exe showed no main window"
fi
rm -f "$build/vedil-window.txt"

# ---- 5. The relinking kit links ----------------------------------------------
relink_ok=0
rm -rf "$build/relink-check"
cp -r "$program/relink" "$build/relink-check"
if QT_PREFIX=$(./scripts/build-qt-windows.sh --cached) sh "$build/relink-check/relink-vedil.sh" &&
   [[ -s $build/relink-check/vedil.exe ]]; then
  relink_ok=1
else
  echo "windows: the relinking kit does not link vedil.exe"
fi
rm -rf "$build/relink-check"

for check in same tools_same window_ok relink_ok; do
  if [[ ${!check} != 1 ]]; then
    failed=$((failed + 1))
    status=1
  else
    passed=$((passed + 1))
  fi
done
# A test program that died before its summary still counts as a failure.
if ((status != 0 && failed == 0)); then failed=1; fi
echo "windows: $passed passed, $failed failed"
exit "$status"
