#!/usr/bin/env bash
# Sets up and builds (scripts/setup.sh), then starts the program from the build
# folder. The build folder only carries the shipped files; the user's own files
# live in the program's home, the user's data folder ($XDG_DATA_HOME/vedil,
# else ~/.local/share/vedil), which no rebuild touches. For a separate home,
# e.g. to try something out: XDG_DATA_HOME=/tmp/try scripts/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build_dir=${BUILD_DIR:-build}
# Earlier builds kept the payer's data in the build folder itself.
for old in "$build_dir/vedil.ini" "$build_dir/data/dvel.dbf"; do
  if [[ -f $old ]]; then
    echo "Note: $old is left from a build that kept the data in the build folder;" \
      "the program now uses ${XDG_DATA_HOME:-$HOME/.local/share}/vedil." \
      "To go on with those data, copy $build_dir/vedil.ini and $build_dir/data/dvel.dbf there" \
      "(data/ below it) while the program is not running." >&2
    break
  fi
done
exec "$build_dir/vedil"
