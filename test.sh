#!/usr/bin/env bash
# Installs what is missing, builds, and runs the tests.
#
#   ./test.sh            the normal build, every suite (the display tests too: weston, Xvfb)
#   ./test.sh --asan     address + undefined-behaviour sanitizers, every suite that runs code
#   ./test.sh --tsan     thread sanitizer, every suite that runs code
#   ./test.sh --cross ARCH   a cross build for arm64 or armhf, every suite under user-mode
#                        emulation (qemu-user, called by ctest: no binfmt support needed)
#   ./test.sh --ci       the three native builds, both cross builds and the packages, as CI
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

# cross_build_and_test <arch>: optimised as the program ships, without debug information (the
# emulated runs need none, and the build is quicker).
cross_build_and_test() {
    rv_install_cross "$1"
    build_and_test "$1" "" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/debian-cross.cmake \
        -DRV_TARGET_ARCH="$1" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
        -DRV_BENCHMARKS=OFF
}

# All but the layer check, which only reads the sources.
sanitized='platform|io|afx|app|pages|tools|e2e'
mode=normal
ctest_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --asan) mode=asan ;;
        --tsan) mode=tsan ;;
        --ci) mode=ci ;;
        --cross)
            mode=cross
            cross_arch=${2:-}
            case "$cross_arch" in
                arm64 | armhf) shift ;;
                *) echo "usage: ./test.sh --cross arm64|armhf" >&2; exit 2 ;;
            esac
            ;;
        *) ctest_args+=("$1") ;;
    esac
    shift
done

rv_install_missing
case "$mode" in
    normal)
        rv_install_display
        build_and_test normal ""
        ;;
    asan) build_and_test asan "$sanitized" -DRV_SANITIZE='address;undefined' -DRV_BENCHMARKS=OFF ;;
    tsan) build_and_test tsan "$sanitized" -DRV_SANITIZE=thread -DRV_BENCHMARKS=OFF ;;
    cross) cross_build_and_test "$cross_arch" ;;
    ci)
        rv_install_display
        build_and_test normal ""
        build_and_test asan "$sanitized" -DRV_SANITIZE='address;undefined' -DRV_BENCHMARKS=OFF
        build_and_test tsan "$sanitized" -DRV_SANITIZE=thread -DRV_BENCHMARKS=OFF
        cross_build_and_test arm64
        cross_build_and_test armhf
        scripts/check_packages.sh
        ;;
esac
