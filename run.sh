#!/usr/bin/env bash
# Installs what is missing, builds the tool and its programs (no tests, no benchmarks), and
# starts RV4417Test.
#
# With a device directory ($RV4417_DEVICES, or /dev/rv4417) the tool drives the real
# terminal's devices. Without one it runs against the simulated terminal: with a display
# (X11 or Wayland), the tool's window and the simulator's console here (type help); without a
# display, the tour: every page driven offscreen, pictures in out/tour/, the simulator's log
# and a verdict per page printed.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
rv_install_missing
rv_use_ccache
cmake -S . -B build/run -G Ninja -DBUILD_TESTING=OFF -DRV_BENCHMARKS=OFF >/dev/null
cmake --build build/run -j "$(nproc)"

display=0
{ [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; } && display=1

if [ -n "${RV4417_DEVICES:-}" ] || [ -d /dev/rv4417 ]; then
    [ "$display" = 1 ] || { echo "RV4417Test needs a display for the real devices." >&2; exit 1; }
    exec ./build/run/RV4417Test
elif [ "$display" = 1 ]; then
    exec ./build/run/rv4417-sim -- ./build/run/RV4417Test
else
    echo "No display: the tour of every page against the simulated terminal."
    exec ./build/run/rv4417-tour out/tour
fi
