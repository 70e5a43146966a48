#!/usr/bin/env bash
# Sets up and builds (scripts/setup.sh), then starts the program from the build
# folder, where its data directory and shipped files live.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
exec "${BUILD_DIR:-build}/vedil"
