#!/usr/bin/env bash
# Builds, then runs one test again and again while every core is kept busy (tests/support/cpu_load),
# stopping at the first failure: the main end-to-end scenario 20 times unless told otherwise.
# Not part of scripts/test.sh or CI. Usage: scripts/test-under-load.sh [runs] [CTest regex]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
runs="${1:-20}"
tests="${2:-^tst_EndToEnd_mainScenario\$}"
"$root/scripts/build.sh"
# Bounded even if this script is killed before its trap runs: five minutes a run at most.
"$build/tests/cpu_load" $((runs * 300)) &
load=$!
trap 'kill "$load" 2>/dev/null || true; wait "$load" 2>/dev/null || true' EXIT
cd "$build"
log="$build/test-under-load.log"
for ((run = 1; run <= runs; ++run)); do
    if ! ctest -R "$tests" --output-on-failure >"$log" 2>&1; then
        cat "$log"
        echo "run $run of $runs failed under load (log: $log)"
        exit 1
    fi
    echo "run $run of $runs passed"
done
echo "$runs runs in a row passed under load"
