#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the package need,
# but only when one of them is missing (as root; any other user is told the
# sudo command and the script stops), then configures and builds into
# $BUILD_DIR (default build/). VEDIL_SANITIZE=ON builds with AddressSanitizer
# and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-missing.sh build-essential dpkg-dev cmake ninja-build qt6-base-dev \
  qt6-translations-l10n libgtest-dev libgmock-dev fonts-dejavu-core fonts-liberation iso-codes \
  desktop-file-utils

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVEDIL_SANITIZE="${VEDIL_SANITIZE:-OFF}" "$@"
cmake --build "$build_dir" -j "$(nproc)"
