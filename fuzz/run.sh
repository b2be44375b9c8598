#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each for the given number of
# seconds (default 10), growing its corpus in build/fuzz/corpus/<target>. Fails if any target
# finds a crash, a sanitizer report or a mismatch with its model; the input that did it is
# kept in build/fuzz/artifacts/<target>/ (run the target on that file to see it again).
#
#   fuzz/run.sh        ten seconds a target, as CI runs it
#   fuzz/run.sh 600    a longer run
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
dir=build/fuzz
targets=(hex_send_fuzz format_fuzz parse_int_fuzz receive_format_fuzz)

source scripts/deps.sh
rv_install_for fuzz
rv_use_ccache

cmake -S fuzz -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$dir" -j "$(nproc)"

failed=()
for target in "${targets[@]}"; do
    corpus="$dir/corpus/$target"
    artifacts="$dir/artifacts/$target"
    log="$dir/$target.log"
    mkdir -p "$corpus" "$artifacts"
    # -timeout: an input that takes this long is a hang, and a fault like any other.
    if "$dir/$target" -max_total_time="$seconds" -timeout=10 -artifact_prefix="$artifacts/" \
        "$corpus" >"$log" 2>&1; then
        echo "$target: ok ($(grep -o 'Done [0-9]* runs' "$log" | tail -n 1 | cut -d' ' -f2) runs)"
    else
        echo "$target: FAILED, see $log"
        tail -n 40 "$log"
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]}"
    exit 1
fi
