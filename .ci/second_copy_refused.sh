#!/usr/bin/env bash
# Run under a virtual display by install_check.sh while a copy of the program
# runs for the same user: a second copy ($1) must show its one message box and
# nothing else, and end with status 0 once the box is answered.
set -euo pipefail
"$1" &
pid=$!
windows=
for _ in $(seq 100); do
  windows=$(xdotool search --onlyvisible --pid "$pid" 2> /dev/null || true)
  [[ -n $windows ]] && break
  sleep 0.2
done
fail() {
  kill "$pid" 2> /dev/null || true
  echo "second copy: $*" >&2
  exit 1
}
[[ -n $windows ]] || fail "showed no window"
sleep 1  # a copy that was not refused would show its main window by now
windows=$(xdotool search --onlyvisible --pid "$pid")
(($(wc -w <<<"$windows") == 1)) || fail "showed $(wc -w <<<"$windows") windows"
eval "$(xdotool getwindowgeometry --shell "$windows")"
((WIDTH < 700 && HEIGHT < 400)) || fail "showed a ${WIDTH}x$HEIGHT window, not the message box"
xdotool windowfocus --sync "$windows" key Return
for _ in $(seq 50); do
  kill -0 "$pid" 2> /dev/null || break
  sleep 0.2
done
kill -0 "$pid" 2> /dev/null && fail "did not end after its message box"
wait "$pid" || fail "ended with status $?"
echo "second copy refused"
