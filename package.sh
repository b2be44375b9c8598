#!/usr/bin/env bash
# Builds and tests the Debian package of RV4417Test for this machine or for the terminal:
#
#   ./package.sh            this machine's architecture
#   ./package.sh arm64      current terminals (64-bit ARM)
#   ./package.sh armhf      older terminals (32-bit ARM)
#   ./package.sh amd64      a technician's PC
#
# Installs what the build needs (apt-get; a foreign architecture is added to dpkg's multiarch
# first and its :ARCH libraries installed), builds a copy of this tree in build/package/ARCH,
# runs every suite on what it built (a foreign architecture's under user-mode emulation) and
# leaves dist/rv4417test_<version>_<arch>.deb. DEB_BUILD_OPTIONS=nocheck leaves the suites out.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh

native=$(dpkg --print-architecture)
arch=${1:-$native}
case "$arch" in
    amd64 | arm64 | armhf) ;;
    *) echo "usage: ./package.sh [amd64|arm64|armhf]" >&2; exit 2 ;;
esac

profiles=()
[ "$arch" != "$native" ] && profiles+=(cross)
[[ " ${DEB_BUILD_OPTIONS:-} " == *" nocheck "* ]] && profiles+=(nocheck)
profile_list=$(IFS=,; echo "${profiles[*]}")

rv_install_missing
rv_install_package_deps "$arch" "$profile_list"
rv_use_ccache

work="build/package/$arch"
rm -rf "$work"
mkdir -p "$work/src" dist
# The tree as it is, without builds and results.
tar --exclude=./build --exclude=./dist --exclude=./out --exclude=./.git -cf - . |
    tar -xf - -C "$work/src"

options=(-b -us -uc -jauto)
[ "$arch" != "$native" ] && options+=(-a "$arch")
[ -n "$profile_list" ] && options+=("-P$profile_list")
(cd "$work/src" && dpkg-buildpackage "${options[@]}")

version=$(dpkg-parsechangelog -l debian/changelog -S Version)
deb="rv4417test_${version}_${arch}.deb"
mv "$work/$deb" dist/
echo "dist/$deb"
