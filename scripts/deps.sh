#!/usr/bin/env bash
# Installs what the build, the application and the tests need on Debian 12.
# The one list of packages: the run script, the test script and CI all call this.
set -euo pipefail

PACKAGES=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-multimedia-dev qt6-5compat-dev
    libquazip1-qt6-dev
    portaudio19-dev libasound2-dev libasound2-plugins
    librtmidi-dev libjack-jackd2-dev jackd2
    libbenchmark-dev
    xvfb libxcb1-dev fonts-dejavu-core
    procps
    python3 libxtst6
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update
    # jackd2 asks about real-time priority; take the default without a prompt.
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
