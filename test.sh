#!/usr/bin/env bash
# Installs what is missing, builds, and runs the tests.
#
#   ./test.sh            the normal build, every suite
#   ./test.sh --asan     address + undefined-behaviour sanitizers, every suite that runs code
#   ./test.sh --tsan     thread sanitizer, every suite that runs code
#   ./test.sh --ci       all three, as CI runs them
# Further arguments go to ctest (for example -R Serial).
set -euo pipefail
cd "$(dirname "$0")"

source scripts/deps.sh

# build_and_test <name> <ctest label regex or ''> <cmake args...>
build_and_test() {
    local name=$1 labels=$2
    shift 2
    local dir="build/$name"
    cmake -S . -B "$dir" -G Ninja -DRV_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
    local filter=()
    [ -n "$labels" ] && filter=(-L "$labels")
    # setarch -R: the thread sanitizer needs the address layout it knows. Qt is not built
    # with it: the suppressions leave what happens inside Qt's own threads unchecked.
    local run=()
    if [ "$name" = tsan ]; then
        command -v setarch >/dev/null && run=(setarch "$(uname -m)" -R)
        export TSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/tsan.supp second_deadlock_stack=1"
    fi
    (cd "$dir" && "${run[@]}" ctest -j "$(nproc)" --output-on-failure "${filter[@]}" "${ctest_args[@]}")
}

# All but the layer check, which only reads the sources.
sanitized='platform|io|afx|app|pages|tools|e2e'
mode=normal
ctest_args=()
for arg in "$@"; do
    case "$arg" in
        --asan) mode=asan ;;
        --tsan) mode=tsan ;;
        --ci) mode=ci ;;
        *) ctest_args+=("$arg") ;;
    esac
done

rv_install_missing
case "$mode" in
    normal) build_and_test normal "" ;;
    asan) build_and_test asan "$sanitized" -DRV_SANITIZE='address;undefined' -DRV_BENCHMARKS=OFF ;;
    tsan) build_and_test tsan "$sanitized" -DRV_SANITIZE=thread -DRV_BENCHMARKS=OFF ;;
    ci)
        build_and_test normal ""
        build_and_test asan "$sanitized" -DRV_SANITIZE='address;undefined' -DRV_BENCHMARKS=OFF
        build_and_test tsan "$sanitized" -DRV_SANITIZE=thread -DRV_BENCHMARKS=OFF
        ;;
esac
