#!/usr/bin/env bash
# Installs what is missing, builds, and runs the tests.
#
#   ./test.sh            the normal build, every suite (the display tests and the slow cases too),
#                        then the system test in a virtual machine (tests/system/run.sh) on the
#                        build, and on dist/'s package for this machine when there is one
#   ./test.sh --asan     address + undefined-behaviour sanitizers, every suite that runs code
#   ./test.sh --tsan     thread sanitizer, every suite that runs code
#   ./test.sh --cross ARCH   the package for arm64 or armhf, built with Debian's cross compiler,
#                        every suite run on it under user-mode emulation (./package.sh ARCH)
#   ./test.sh --ci       as CI: the package of each architecture with its suites, the display
#                        tests on the amd64 one, both sanitizers, the package checks, the
#                        system test on the amd64 package
# Further arguments go to ctest in place of the build's own selection (for example -R Serial,
# or -L . for every case of a sanitizer build). Builds land in build/<variant>/ and
# compile through ccache.
set -euo pipefail
cd "$(dirname "$0")"

source scripts/deps.sh

# build_and_test <name> <ctest args> <cmake args...>
build_and_test() {
    local name=$1 filter=$2
    shift 2
    local dir="build/$name"
    cmake -S . -B "$dir" -G Ninja -DRV_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
    # setarch -R: the thread sanitizer needs the address layout it knows. Qt is not built
    # with it: the suppressions leave what happens inside Qt's own threads unchecked.
    local run=()
    if [ "$name" = tsan ]; then
        command -v setarch >/dev/null && run=(setarch "$(uname -m)" -R)
        export TSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/tsan.supp second_deadlock_stack=1"
    fi
    # Arguments for ctest given on the command line take the place of the build's own filter.
    local select=($filter)
    [ ${#ctest_args[@]} -gt 0 ] && select=("${ctest_args[@]}")
    (cd "$dir" && "${run[@]}" ctest -j "$(rv_test_jobs)" --output-on-failure "${select[@]}")
}

# The sanitizer builds run every suite that runs code: not the layer check, which reads
# sources, nor the display tests, which need the shipped build, nor the slow cases, which only
# wait out real time-outs and run in the normal build.
sanitized='-L platform|io|afx|app|pages|tools|e2e'
# Optimised a little and with line tables only: a sanitizer's report names files and lines,
# and the build takes half the time of -O2 -g.
sanitizer_flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG")
asan() {
    build_and_test asan "$sanitized" -DRV_SANITIZE='address;undefined' "${sanitizer_flags[@]}" "$@"
}
tsan() {
    build_and_test tsan "$sanitized" -DRV_SANITIZE=thread "${sanitizer_flags[@]}" "$@"
}

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

case "$mode" in
    normal)
        rv_install_for test display system
        rv_use_ccache
        build_and_test normal ""
        # A selection of cases given on the command line is all that is asked for.
        if [ ${#ctest_args[@]} -eq 0 ]; then
            rv_sudo tests/system/run.sh build/normal
            deb=$(ls dist/rv4417test_*_"$(dpkg --print-architecture)".deb 2>/dev/null | tail -1) || true
            if [ -n "$deb" ]; then
                rv_sudo tests/system/run.sh build/normal "$deb"
            else
                echo "The system test on the package is skipped: no package in dist/ (./package.sh builds it)."
            fi
        fi
        ;;
    asan) rv_install_for test && rv_use_ccache && asan ;;
    tsan) rv_install_for test && rv_use_ccache && tsan ;;
    cross) ./package.sh "$cross_arch" ;;
    ci)
        # timed <what> <command...>: runs it and says how long it took, for CI's log.
        timed() {
            local what=$1 start=$SECONDS
            shift
            "$@"
            echo "=== $what: $((SECONDS - start)) s"
        }
        timed "installing the tool's, the tests', the displays' and the machine's packages" \
            rv_install_for test display system charts
        rv_use_ccache
        native=$(dpkg --print-architecture)
        # Each build compiles its batches of sources as one unit: every CI build is a cold one.
        unity=-DCMAKE_UNITY_BUILD=ON
        timed "the $native package, built and tested" ./package.sh "$native"
        timed "the display tests on the $native package's build" \
            bash -c 'cd build/package/'"$native"'/src/obj-*/ &&
                XDG_RUNTIME_DIR=$(mktemp -d) ctest -j "$(nproc)" --output-on-failure -L display'
        # The benchmarks are compiled once, here, so that they keep compiling.
        timed "address and undefined-behaviour sanitizers" asan "$unity" -DRV_BENCHMARKS=ON
        timed "thread sanitizer" tsan "$unity"
        for arch in arm64 armhf; do
            [ "$arch" = "$native" ] || timed "the $arch package, built and tested under emulation" \
                ./package.sh "$arch"
        done
        timed "the package checks" scripts/check_packages.sh
        # Its driver is built in the package's own build tree, from the same sources.
        timed "the system test on the $native package" bash -c 'tests/system/run.sh \
            build/package/'"$native"'/src/obj-*/ dist/rv4417test_*_'"$native"'.deb'
        ;;
esac
