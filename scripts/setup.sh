#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, but only when
# one of them is missing, then configures and builds into $BUILD_DIR (default
# build/). VEDIL_SANITIZE=ON builds with AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-missing.sh build-essential cmake ninja-build qt6-base-dev qt6-translations-l10n \
  libgtest-dev libgmock-dev fonts-dejavu-core fonts-liberation iso-codes

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVEDIL_SANITIZE="${VEDIL_SANITIZE:-OFF}" "$@"
cmake --build "$build_dir" -j "$(nproc)"
