#!/usr/bin/env bash
# Installs what is missing, builds, and starts the application.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
exec "$build/Quillon.app/Contents/MacOS/Quillon" "$@"
