#!/usr/bin/env bash
# Installs what is missing, builds the soak and runs the tool against the simulated terminal
# for a long time, offscreen, printing a sample line every minute and a summary at the end.
#
#   bench/soak/soak.sh [minutes] [--asan] [more rv4417-soak options]
#
# minutes defaults to 60. --asan builds with the address and undefined-behaviour sanitizers
# (about three times the CPU; leaks are reported when the run ends). The exit status is the
# soak's: 0 when nothing was lost and the tool kept answering.
set -euo pipefail
cd "$(dirname "$0")/../.."

source scripts/deps.sh

minutes=60
build=build/soak
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DRV_BENCHMARKS=ON)
extra=()
for arg in "$@"; do
    case "$arg" in
        --asan)
            build=build/soak-asan
            cmake_args+=(-DRV_SANITIZE='address;undefined')
            ;;
        [0-9]*) minutes=$arg ;;
        *) extra+=("$arg") ;;
    esac
done

rv_install_for test
cmake -S . -B "$build" -G Ninja "${cmake_args[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target rv4417-soak

export QT_QPA_PLATFORM=offscreen
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)  # Qt wants a private one and warns without it
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
sample=60
[ "$minutes" -lt 10 ] 2>/dev/null && sample=10
status=0
"$build/rv4417-soak" --minutes "$minutes" --sample-seconds "$sample" "${extra[@]}" || status=$?
exit "$status"
