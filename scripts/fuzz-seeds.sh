#!/usr/bin/env bash
# Regenerates the fuzz targets' seed corpus (fuzz/corpus/<target>/seed-*) with the project's own
# writers, building the generator into build/ (or $BUILD_DIR) first. Kept findings are left alone.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}"
cmake --build "$build" --target quillon_fuzz_seeds -j "$(nproc)"
"$build/fuzz/quillon_fuzz_seeds" "$root/fuzz/corpus"
