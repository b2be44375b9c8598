# Sourced by test.sh, run.sh and fuzz/run.sh: installs the Debian packages the build needs
# that are missing (clang and its runtime libraries for the fuzz targets).
rv_packages=(cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev qt6-base-dev
             libsndfile1-dev libasound2-dev fonts-wqy-microhei clang libclang-rt-14-dev
             qt6-charts-dev libqt6opengl6-dev)
# Qt's Wayland platform plugin: without it a session with no X server (the terminal's kiosk)
# cannot start the tool.
rv_packages+=(qt6-wayland)
# The on-screen keyboard: Qt Quick to build with, Qt Virtual Keyboard and the QML modules it
# imports (its package names only some of them) to run and test with.
rv_keyboard_packages=(qt6-virtualkeyboard-plugin qml6-module-qtquick-virtualkeyboard
                      qml6-module-qtquick qml6-module-qtquick-layouts qml6-module-qtquick-window
                      qml6-module-qtqml qml6-module-qtqml-workerscript
                      qml6-module-qt-labs-folderlistmodel)
rv_packages+=(qt6-declarative-dev "${rv_keyboard_packages[@]}")
# The display tests' servers: weston (headless back end, kiosk and desktop shells) and Xvfb,
# with xdotool and xkbcomp for the keypad's real key presses.
rv_display_packages=(weston xvfb xdotool x11-xkb-utils)

rv_install_missing() {
    rv_install_list "${rv_packages[@]}"
}

# For the commands that run the display tests.
rv_install_display() {
    rv_install_list "${rv_display_packages[@]}"
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

# Cross builds for ARCH (arm64, armhf) and their tests under user-mode emulation.
rv_install_cross() {
    local arch=$1
    rv_add_architecture "$arch"
    rv_install_list "crossbuild-essential-$arch" qemu-user "qt6-base-dev:$arch" \
        "qt6-declarative-dev:$arch" "libsndfile1-dev:$arch" "libasound2-dev:$arch" \
        "libgtest-dev:$arch" "${rv_keyboard_packages[@]/%/:$arch}"
}

# Package builds for ARCH: the debian/ build dependencies and the packaging tools.
rv_install_package_deps() {
    local arch=$1 native
    native=$(dpkg --print-architecture)
    rv_install_list dpkg-dev debhelper
    local check=(dpkg-checkbuilddeps)
    if [ "$arch" != "$native" ]; then
        rv_add_architecture "$arch"
        rv_install_list "crossbuild-essential-$arch"
        check+=(-a "$arch" -Pcross,nocheck)
    fi
    "${check[@]}" >/dev/null 2>&1 && return 0
    local build_dep=(apt-get build-dep -y -qq)
    [ "$arch" != "$native" ] && build_dep+=(-a "$arch" -Pcross,nocheck)
    rv_sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive rv_sudo "${build_dep[@]}" ./
}
