# Sourced by test.sh, run.sh and fuzz/run.sh: installs the Debian packages the build needs
# that are missing (clang and its runtime libraries for the fuzz targets).
rv_packages=(cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev qt6-base-dev
             libsndfile1-dev libasound2-dev fonts-wqy-microhei clang libclang-rt-14-dev)

rv_install_missing() {
    local missing=() p
    for p in "${rv_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
