#!/usr/bin/env bash
# Builds the suite under ThreadSanitizer (build-tsan) and under AddressSanitizer with
# UndefinedBehaviorSanitizer (build-asan), and runs the whole CTest suite in each: a data race,
# a memory fault or undefined behaviour fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
for build in "thread build-tsan" "address,undefined build-asan"; do
    set -- $build
    # -O1 with line tables only: the instrumented build compiles in about half the time of -O2 -g,
    # and the reports still name file and line.
    BUILD_DIR="$root/$2" "$root/scripts/build.sh" -DQUILLON_SANITIZE="$1" -DQUILLON_BENCHMARKS=OFF \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
    (cd "$root/$2" && ctest --output-on-failure -j "$(nproc)")
done
