#!/usr/bin/env bash
# CI's fuzz regression: installs clang and libFuzzer's runtime when missing,
# builds the fuzz targets into $BUILD_DIR (default build-fuzz/) and runs each
# target once over every file of its seed corpus, fuzz/corpus/<target>/. A
# crash, a sanitizer report, a leak or a target without a corpus fails the
# run. Seconds, not a fuzzing campaign (the README has the recipe for that).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-missing.sh clang libclang-rt-14-dev cmake ninja-build qt6-base-dev

build_dir=${BUILD_DIR:-build-fuzz}
CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEDIL_FUZZ=ON
cmake --build "$build_dir" -j "$(nproc)"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
passed=0
failed=0
for target in "$build_dir"/fuzz/*_fuzz; do
  name=$(basename "$target")
  inputs=(fuzz/corpus/"$name"/*)
  if [[ ! -f ${inputs[0]} ]]; then
    echo "$name: no seed corpus in fuzz/corpus/$name"
    failed=$((failed + 1))
    continue
  fi
  if "$target" -timeout=60 "${inputs[@]}" >"$log" 2>&1; then
    echo "$name: ${#inputs[@]} inputs, no finding"
    passed=$((passed + ${#inputs[@]}))
  else
    cat "$log"
    echo "$name: FINDING (see above)"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
((failed == 0))
