#!/usr/bin/env bash
# Installs what is missing, builds, and starts RV4417Test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
rv_install_missing
cmake -S . -B build/normal -G Ninja >/dev/null
cmake --build build/normal -j "$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "RV4417Test needs a display to show its window; none is set (DISPLAY)."
    exit 1
fi
echo "Devices from ${RV4417_DEVICES:-/dev/rv4417}"
exec ./build/normal/RV4417Test
