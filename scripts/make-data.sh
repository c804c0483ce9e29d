#!/usr/bin/env bash
# Rewrites the generated files of the shipped data tree: Input/beep1.wav, the built-in default set
# in Looper/T4rMo, Color/"Default color.qlp" and the scratch sound in "Scratch Tools".
# The build only embeds and copies the committed files; run this after changing scripts/generate,
# look at the result, and commit it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}"
cmake --build "$build" --target quillon_generate -j "$(nproc)"
"$build/scripts/generate/quillon_generate" data "$root/resources"
