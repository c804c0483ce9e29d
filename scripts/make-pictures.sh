#!/usr/bin/env bash
# Redraws the icons and images under resources/gui (listed in resources/gui/pictures.txt).
# The build only embeds and copies the committed files; run this after changing scripts/generate,
# look at the result, and commit it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}"
cmake --build "$build" --target quillon_generate -j "$(nproc)"
"$build/scripts/generate/quillon_generate" pictures "$root/resources"
