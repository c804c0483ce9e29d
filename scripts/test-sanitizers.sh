#!/usr/bin/env bash
# Builds the suite under ThreadSanitizer (build-tsan) and under AddressSanitizer with
# UndefinedBehaviorSanitizer (build-asan), and runs the whole CTest suite in each: a data race,
# a memory fault or undefined behaviour fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
for build in "thread build-tsan" "address,undefined build-asan"; do
    set -- $build
    BUILD_DIR="$root/$2" "$root/scripts/build.sh" -DQUILLON_SANITIZE="$1" -DQUILLON_BENCHMARKS=OFF
    (cd "$root/$2" && ctest --output-on-failure -j "$(nproc)")
done
