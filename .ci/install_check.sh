#!/usr/bin/env bash
# CI: the program as a user gets it. Builds the Debian package from the build
# folder (default build/) and checks it with lintian, installs with
# `cmake --install` into a staging folder, and starts the installed program
# (offscreen) as an ordinary user with an empty home directory: its home must
# appear in that user's data folder, a second copy of the same user must be
# refused, and portable copies must keep to their own folder when they can
# write it and use the data folder when they cannot.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-missing.sh lintian xvfb xauth xdotool

build=$(realpath "${BUILD_DIR:-build}")
user=vedil-ci
work=$(mktemp -d /tmp/vedil-install-check.XXXXXX)
chmod 755 "$work"
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "install check: $*" >&2
  exit 1
}

echo "== package"
cpack --config "$build/CPackConfig.cmake" -B "$work/deb" > "$work/cpack.log" || {
  cat "$work/cpack.log"
  fail "cpack failed"
}
deb=$(ls "$work"/deb/vedil_*.deb)
dpkg-deb --field "$deb" Package Version Depends Recommends
contents=$(dpkg-deb --contents "$deb")
for f in usr/bin/vedil usr/bin/xbtool usr/bin/vedil-check usr/bin/vedil-import usr/share/vedil/vedil.rav \
  usr/share/vedil/vedil.html usr/share/vedil/data/Countries.dbf usr/share/vedil/data/Countries.cdx \
  usr/share/vedil/data/Incomes.dbf usr/share/applications/vedil.desktop \
  usr/share/icons/hicolor/48x48/apps/vedil.png usr/share/man/man1/xbtool.1.gz \
  usr/share/man/man1/vedil-check.1.gz usr/share/man/man1/vedil-import.1.gz usr/share/doc/vedil/copyright; do
  grep -q " \./$f\$" <<<"$contents" || fail "the package lacks $f"
done
dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6 || fail "no library dependencies computed"
echo "== lintian"
lintian --fail-on error "$deb"

echo "== staging install"
stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr > /dev/null
vedil=$stage/usr/bin/vedil
[[ -x $vedil && -f $stage/usr/share/vedil/data/Countries.dbf ]] || fail "staging install incomplete"

echo "== the installed program, started by an ordinary user"
id -u "$user" > /dev/null 2>&1 || useradd --no-create-home --shell /bin/sh "$user"
home=$work/home
mkdir -m 700 "$home"
chown "$user:" "$home"
# As the user, with nothing of root's environment; $1 is the program.
as_user() {
  runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}
# Starts a copy in the background, offscreen; its pid is appended to pids.
start_offscreen() {
  as_user QT_QPA_PLATFORM=offscreen sh -c 'echo $$ > "$HOME/pid"; exec "$0"' "$1" \
    > "$work/vedil.log" 2>&1 &
  local i
  for i in $(seq 100); do [[ -s $home/pid ]] && break; sleep 0.1; done
  [[ -s $home/pid ]] || fail "$1 did not start"
  pids+=("$(cat "$home/pid")")
  rm -f "$home/pid"
}
wait_for_files() {
  local dir=$1 i f missing
  shift
  for i in $(seq 100); do
    missing=
    for f in "$@"; do [[ -e $dir/$f ]] || missing=$f; done
    [[ -z $missing ]] && return 0
    sleep 0.2
  done
  cat "$work/vedil.log" >&2
  fail "$dir/$missing did not appear"
}
stop_last() {
  local pid=${pids[-1]} i
  kill "$pid"
  for i in $(seq 100); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
  unset 'pids[-1]'
}

start_offscreen "$vedil"
own=$home/.local/share/vedil
wait_for_files "$own" vedil.ini data/dvel.dbf data/Countries.dbf data/Countries.cdx \
  data/Incomes.dbf vedil.rav vedil.html
[[ $(stat -c '%U %a' "$own") == "$user 700" ]] || fail "the home is $(stat -c '%U %a' "$own")"
grep -q '^\[Owner\]' "$own/vedil.ini" || fail "vedil.ini is not the settings template"

echo "== a second copy of the same user is refused"
cp .ci/second_copy_refused.sh "$work/"
as_user xvfb-run -a -f "$home/.Xauthority" -s "-screen 0 1024x768x24" \
  bash "$work/second_copy_refused.sh" "$vedil"
kill -0 "${pids[-1]}" || fail "the first copy ended"
stop_last

echo "== a portable copy keeps its files beside itself"
portable=$home/portable
as_user mkdir -p "$portable"
as_user cp -p "$vedil" "$stage/usr/share/vedil/vedil.rav" "$stage/usr/share/vedil/vedil.html" "$portable/"
as_user cp -rp "$stage/usr/share/vedil/data" "$portable/"
as_user touch "$portable/vedil.portable"
before=$(ls -l --time-style=+%s.%N -R "$own")
start_offscreen "$portable/vedil"
wait_for_files "$portable" vedil.ini data/dvel.dbf
stop_last
[[ $(ls -l --time-style=+%s.%N -R "$own") == "$before" ]] || fail "the portable copy wrote into $own"

echo "== a portable copy the user cannot write uses the user's data folder"
readonly_copy=$work/readonly
mkdir -p "$readonly_copy"
cp -rp "$portable/vedil" "$portable/vedil.portable" "$stage/usr/share/vedil/." "$readonly_copy/"
rm -f "$own/vedil.html"
start_offscreen "$readonly_copy/vedil"
wait_for_files "$own" vedil.html
stop_last
[[ ! -e $readonly_copy/vedil.ini ]] || fail "settings written beside a read-only copy"
echo "install check passed"
