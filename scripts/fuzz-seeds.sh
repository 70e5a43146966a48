#!/usr/bin/env bash
# Writes the fuzz targets' seed corpora under fuzz/corpus/ anew with the
# fuzz build's fuzz_seeds (fuzz/make_seeds.cpp), configuring $BUILD_DIR
# (default build-fuzz/) when it is not yet. The files come out the same on
# every run; commit them when a target or a seed changed.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build-fuzz}
if [[ ! -f $build_dir/build.ninja ]]; then
  CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEDIL_FUZZ=ON
fi
cmake --build "$build_dir" --target fuzz_seeds
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
# Only the generated seeds go; the findings kept beside them stay.
find fuzz/corpus -name 'seed-*' -delete 2>/dev/null || true
"$build_dir/fuzz/fuzz_seeds" fuzz/corpus
