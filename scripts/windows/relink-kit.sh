#!/usr/bin/env bash
# Writes the relinking kit of the static Windows programs: for each program
# named, the object files and archives of our own code that its link used,
# and relink-<program>.sh, which links it again from them against the Qt
# that $QT_PREFIX names (the user's own build of Qt, changed or not).
# Usage: relink-kit.sh BUILD_DIR QT_PREFIX OUT_DIR PROGRAM...
set -euo pipefail
build=$(cd "$1" && pwd)
qt=$(cd "$2" && pwd)
out=$3
shift 3
mkdir -p "$out"

for program in "$@"; do
  # Ninja's last command for the program is its link line, run in $build.
  line=$(ninja -C "$build" -t commands "$program.exe" | tail -n1)
  line=${line#: && }
  line=${line% && :}
  read -r -a words <<<"$line"
  script=$out/relink-$program.sh
  {
    echo '#!/bin/sh'
    echo "# Links $program.exe again from the objects beside this script against the static"
    echo '# Qt 6.4 for mingw-w64 in $QT_PREFIX (see README.txt). Run it from any folder.'
    echo 'set -e'
    echo ': "${QT_PREFIX:?set QT_PREFIX to the prefix of your static Qt for Windows}"'
    echo 'cd "$(dirname "$0")"'
    printf '%s' "${words[0]##*/}"
    skip=0
    for w in "${words[@]:1}"; do
      if ((skip)); then skip=0; continue; fi
      case $w in
        -Wl,--out-implib,*) continue ;;
        -o) printf ' -o %s.exe' "$program"; skip=1; continue ;;
      esac
      rel=${w#"$build"/}
      if [[ $w == "$qt"/* ]]; then
        printf ' "$QT_PREFIX/%s"' "${w#"$qt"/}"
      elif [[ $w != /* && -f $build/$rel ]] || [[ $w == "$build"/* && -f $w ]]; then
        mkdir -p "$out/$(dirname "$rel")"
        cp "$build/$rel" "$out/$rel"
        printf " '%s'" "$rel"
      else
        printf " '%s'" "$w"
      fi
    done
    echo
  } >"$script"
  chmod +x "$script"
done
