#!/usr/bin/env bash
# Redraws and rewrites the committed pictures and generated data files with scripts/generate:
#   scripts/make-resources.sh pictures   icons and images under resources/gui (resources/gui/pictures.txt)
#   scripts/make-resources.sh data       Input/beep1.wav, the built-in set in Looper/T4rMo,
#                                        Color/"Default color.qlp" and the scratch sound in "Scratch Tools"
# The build only embeds and copies the committed files: run this after changing scripts/generate,
# look at the result, and commit it.
set -euo pipefail
case "${1:-}" in
    pictures|data) ;;
    *) echo "usage: $0 pictures|data" >&2; exit 2 ;;
esac
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}"
cmake --build "$build" --target quillon_generate -j "$(nproc)"
"$build/scripts/generate/quillon_generate" "$1" "$root/resources"
