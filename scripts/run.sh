#!/usr/bin/env bash
# Installs what is missing, builds, and starts the application.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
app="$build/Quillon.app/Contents/MacOS/Quillon"
if [ ! -x "$app" ]; then
    echo "The core library and its tests are built; the application window is not written yet, so there is nothing to start." >&2
    exit 1
fi
exec "$app" "$@"
