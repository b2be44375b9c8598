# Sourced by the commands (run.sh, test.sh, package.sh, fuzz/run.sh, bench/run_all.sh, the
# soak): each installs the Debian packages that it needs and that are missing, and no more.

# The on-screen keyboard at run time: Qt Virtual Keyboard and the QML modules it imports (its
# package names only some of them).
rv_keyboard_packages=(qt6-virtualkeyboard-plugin qml6-module-qtquick-virtualkeyboard
                      qml6-module-qtquick qml6-module-qtquick-layouts qml6-module-qtquick-window
                      qml6-module-qtqml qml6-module-qtqml-workerscript
                      qml6-module-qt-labs-folderlistmodel)
# To build and run the tool: Qt Widgets, Qt Quick (the keyboard's panel), Qt's Wayland plugin
# (without it a session with no X server, the terminal's kiosk, cannot start the tool), sound,
# a font with the Chinese folder's name, and a compiler cache.
rv_packages=(cmake ninja-build g++ pkg-config ccache qt6-base-dev qt6-declarative-dev qt6-wayland
             libsndfile1-dev libasound2-dev fonts-wqy-microhei "${rv_keyboard_packages[@]}")
# To build and run the suites, and to compile the benchmarks.
rv_test_packages=(libgtest-dev libbenchmark-dev)
# The display tests' servers: weston (headless back end, kiosk and desktop shells) and Xvfb,
# with xdotool and xkbcomp for the keypad's real key presses.
rv_display_packages=(weston xvfb xdotool x11-xkb-utils)
# The system test's virtual machine: QEMU, udev in the machine, depmod for the unpacked kernel's
# modules, cpio for its initramfs.
rv_system_packages=(qemu-system-x86 udev kmod cpio)
# The fuzz targets: clang and its sanitizer and libFuzzer runtimes.
rv_fuzz_packages=(clang libclang-rt-14-dev)
# The benchmarks' report draws with Qt Charts.
rv_chart_packages=(qt6-charts-dev libqt6opengl6-dev)

# What every command needs to build the tool.
rv_install_missing() {
    rv_install_list "${rv_packages[@]}"
}

# rv_install_for WHAT...: the tool's packages and those of each of test, display, system, fuzz,
# charts.
rv_install_for() {
    local list=("${rv_packages[@]}") what
    for what in "$@"; do
        case "$what" in
            test) list+=("${rv_test_packages[@]}") ;;
            display) list+=("${rv_display_packages[@]}") ;;
            system) list+=("${rv_system_packages[@]}") ;;
            fuzz) list+=("${rv_fuzz_packages[@]}") ;;
            charts) list+=("${rv_chart_packages[@]}") ;;
        esac
    done
    rv_install_list "${list[@]}"
}

# The compiler cache: the user's (ccache's own default), also inside a package build, where
# debhelper points HOME elsewhere. Exported so that every cmake configured after this compiles
# through it.
rv_use_ccache() {
    command -v ccache >/dev/null || return 0
    CCACHE_DIR=${CCACHE_DIR:-$(ccache --get-config cache_dir)}
    export CCACHE_DIR CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
}

# How many test processes run at once: most cases wait (for a port, a time-out, a window)
# rather than compute, so three a core finish in less than half the time of one a core.
rv_test_jobs() {
    echo $((3 * $(nproc)))
}

rv_sudo() {
    if [ "$(id -u)" -ne 0 ]; then sudo "$@"; else "$@"; fi
}

# Makes dpkg take packages of a foreign architecture (multiarch), once.
rv_add_architecture() {
    local arch=$1
    [ "$arch" = "$(dpkg --print-architecture)" ] && return 0
    dpkg --print-foreign-architectures | grep -qx "$arch" && return 0
    echo "Adding the architecture $arch to dpkg"
    rv_sudo dpkg --add-architecture "$arch"
    rv_sudo apt-get update -qq
}

# rv_install_list PACKAGE...: installs those that are missing.
rv_install_list() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    rv_sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive rv_sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# rv_install_package_deps ARCH [PROFILES]: the debian/ build dependencies of a package build
# for ARCH with those build profiles (comma-separated, as dpkg-buildpackage -P takes them), and
# the packaging tools. A foreign ARCH is added to dpkg first.
rv_install_package_deps() {
    local arch=$1 profiles=${2:-} native
    native=$(dpkg --print-architecture)
    rv_install_list dpkg-dev debhelper
    local options=()
    if [ "$arch" != "$native" ]; then
        rv_add_architecture "$arch"
        rv_install_list "crossbuild-essential-$arch"
        options+=(-a "$arch")
    fi
    [ -n "$profiles" ] && options+=("-P$profiles")
    dpkg-checkbuilddeps "${options[@]}" >/dev/null 2>&1 && return 0
    rv_sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive rv_sudo apt-get build-dep -y -qq "${options[@]}" ./
}
