#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks and runs every one of them offscreen, then
# merges their results into one JSON file and draws one picture of them.
#
#   bench/run_all.sh [output dir]     default build/bench-results
#
# Several minutes: the idle and auto-send measurements take 10 s each, the long flood 60 s.
# RV_BENCH_BUILD names another build folder (default build/bench).
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/deps.sh

programs=(bench_port bench_receive_box bench_receive_path bench_program bench_printer bench_flood)
out=${1:-build/bench-results}
build=${RV_BENCH_BUILD:-build/bench}
# Far above the longest program's run: only a hang reaches it.
limit=900

fail() {
    echo "run_all: $*" >&2
    exit 1
}

rv_install_for test charts
# The build type the program ships with, so the numbers are the ones a user gets.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRV_BENCHMARKS=ON >/dev/null ||
    fail "configuring $build failed"
# bench_program's target builds RV4417Test and RV4417Test-shown too: it starts the real program.
cmake --build "$build" -j "$(nproc)" --target "${programs[@]}" bench_report ||
    fail "building in $build failed"

mkdir -p "$out"
out=$(cd "$out" && pwd)
export QT_QPA_PLATFORM=offscreen
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)  # Qt wants a private one and warns without it
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi

# A result left from an earlier run must not pass for this one's.
for p in "${programs[@]}"; do
    rm -f "$out/$p.json" "$out/$p.log"
done
rm -f "$out/results.json" "$out/results.png"

started=$SECONDS
for p in "${programs[@]}"; do
    echo "== $p"
    t=$SECONDS
    set +e
    timeout "$limit" "$build/bench/$p" --benchmark_out="$out/$p.json" \
        --benchmark_out_format=json 2>&1 | tee "$out/$p.log"
    status=${PIPESTATUS[0]}
    set -e
    [ "$status" -ne 124 ] || fail "$p did not finish within $limit s; its output is in $out/$p.log"
    [ "$status" -eq 0 ] || fail "$p failed (exit status $status); its output is in $out/$p.log"
    [ -s "$out/$p.json" ] || fail "$p wrote no results to $out/$p.json"
    if grep -q '"error_occurred": true' "$out/$p.json"; then
        fail "$p reported an error: see error_message in $out/$p.json"
    fi
    echo "   $p: $((SECONDS - t)) s"
done

echo
"$build/bench/report/bench_report" "$out" "$out/results.json" "$out/results.png" ||
    fail "the report could not be made from $out"
echo
echo "Benchmarks ran in $((SECONDS - started)) s."
echo "  merged results: $out/results.json"
echo "  plot:           $out/results.png"
echo "  each program:   $out/<program>.json, console output in $out/<program>.log"
