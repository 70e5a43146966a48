#!/usr/bin/env bash
# A longer run of the engine's write path with real processes, beside the
# quick forms of the same checks in the test suite (DbfCrash):
#   1. three processes append with `xbtool append` while a fourth packs the
#      table over and over: every append xbtool reported is in the table, once,
#      and the header's count is the number of records in the file;
#   2. packs, index builds and appends killed with SIGKILL at random moments:
#      after each, the next open leaves no temporary behind, the table and its
#      index open, and after a rebuild `xbtool verify` passes.
# Usage: scripts/write-soak.sh [RUNS [APPENDS [KILLS]]] (defaults 5, 3000, 40).
# Uses build/xbtool (BUILD_DIR to change) and a folder on tmpfs when
# there is one (SOAK_DIR to change).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
appends=${2:-3000}
kills=${3:-40}
xbtool=${BUILD_DIR:-build}/xbtool
[[ -x $xbtool ]] || { echo "no $xbtool: build first" >&2; exit 2; }
base=${SOAK_DIR:-$([[ -d /dev/shm ]] && echo /dev/shm || echo "${TMPDIR:-/tmp}")}
work=$(mktemp -d "$base/vedil-soak-XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0

# The records the file holds by its size: header, records, the 0x1A.
records_in_file() {
  local info header record
  info=$("$xbtool" info "$1")
  header=$(sed -n 's/^Header length: *//p' <<<"$info")
  record=$(sed -n 's/^Record length: *//p' <<<"$info")
  echo $((($(stat -c %s "$1") - header - 1) / record))
}

# A fresh table of `rows` blank records written in one go, big enough that
# packs and index builds take long enough to be killed half way.
blank_table() {
  local table=$1 rows=$2 info header record
  rm -f "$table"
  "$xbtool" create "$table" "F01;C;5;0" "F04;C;13;0" >/dev/null
  info=$("$xbtool" info "$table")
  header=$(sed -n 's/^Header length: *//p' <<<"$info")
  record=$(sed -n 's/^Record length: *//p' <<<"$info")
  head -c "$header" "$table" >"$table.new"
  head -c $((rows * record)) /dev/zero | tr '\0' ' ' >>"$table.new"
  printf '\032' >>"$table.new"
  printf "$(printf '\\%03o' $((rows & 255)) $((rows >> 8 & 255)) $((rows >> 16 & 255)) \
    $((rows >> 24 & 255)))" | dd of="$table.new" bs=1 seek=4 conv=notrunc status=none
  mv "$table.new" "$table"
}

temporaries() { find "$work" -maxdepth 1 \( -name 'xbpack*' -o -name 'xbindex*' \) | wc -l; }

for run in $(seq 1 "$runs"); do
  table=$work/dvel.dbf
  rm -f "$work"/*
  "$xbtool" create "$table" "F01;C;5;0" "F04;C;13;0" >/dev/null
  setsid bash -c 'while :; do "$0" pack "$1"; done' "$xbtool" "$table" >/dev/null 2>&1 &
  packer=$!
  pids=()
  for a in 1 2 3; do
    (for i in $(seq 1 "$appends"); do
      if "$xbtool" append "$table" "F04=$a-$i" >/dev/null 2>&1; then echo "$a-$i"; fi
    done >"$work/done.$a") &
    pids+=($!)
  done
  wait "${pids[@]}"
  kill -KILL -- "-$packer"
  wait "$packer" 2>/dev/null || true
  while pgrep -g "$packer" >/dev/null; do sleep 0.01; done
  sort "$work"/done.* >"$work/reported"
  "$xbtool" dump "$table" --active | sed 's/.*|//' | sort >"$work/stored"
  missing=$(comm -23 "$work/reported" "$work/stored" | wc -l)
  extra=$(comm -13 "$work/reported" "$work/stored" | wc -l)
  count=$("$xbtool" info "$table" | sed -n 's/^Records: *//p')
  echo "race run $run: $(wc -l <"$work/reported") appends reported, $missing missing," \
    "$extra not reported, header $count, file $(records_in_file "$table")"
  if ((missing > 0 || extra > 0)) || [[ $count != "$(records_in_file "$table")" ]]; then
    failed=1
  fi
done

table=$work/dvel.dbf
index=$work/dvel.ntx
rm -f "$work"/*
blank_table "$table" 300000
"$xbtool" index "$table" "$index" F04 >/dev/null
for k in $(seq 1 "$kills"); do
  # The work runs over and over in a process group of its own, so that the
  # kill meets it at a random moment and takes every process of it at once.
  case $((k % 3)) in
    0) job='while :; do "$0" pack "$1"; done' ;;
    1) job='while :; do "$0" index "$1" "$2" F04; done' ;;
    2) job='for i in $(seq 1 100000); do "$0" append "$1" "F04=k$3-$i"; done' ;;
  esac
  setsid bash -c "$job" "$xbtool" "$table" "$index" "$k" >/dev/null 2>&1 &
  victim=$!
  sleep "0.$((RANDOM % 400 + 100))"
  kill -KILL -- "-$victim" 2>/dev/null || true
  wait "$victim" 2>/dev/null || true
  while pgrep -g "$victim" >/dev/null; do sleep 0.01; done
  if ! "$xbtool" info "$table" >/dev/null || (($(temporaries) > 0)) ||
    ! "$xbtool" dump "$table" --index "$index" >/dev/null; then
    echo "kill $k: the table does not open, a temporary is left after the next open," \
      "or the index does not open"
    failed=1
  fi
done
"$xbtool" index "$table" "$index" F04 >/dev/null
if "$xbtool" verify "$table" "$index" >/dev/null; then
  echo "kills: $kills writers killed; the index rebuilt after them verifies"
else
  echo "kills: the rebuilt index does not verify"
  failed=1
fi
exit "$failed"
