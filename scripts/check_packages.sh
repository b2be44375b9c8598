#!/usr/bin/env bash
# CI's package checks: builds the package for this machine, checks it with lintian and the
# desktop and AppStream validators, installs it with apt, runs the installed tour from the
# PATH without a display and checks its verdicts, removes the package again; then builds the
# arm64 and armhf packages (their tests ran under emulation in ./test.sh --cross).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
rv_install_list lintian desktop-file-utils appstream

native=$(dpkg --print-architecture)
version=$(dpkg-parsechangelog -l debian/changelog -S Version)

# The suites ran in the normal build already.
DEB_BUILD_OPTIONS=nocheck ./package.sh "$native"
deb="dist/rv4417test_${version}_${native}.deb"
lintian --fail-on error,warning "$deb"

DEBIAN_FRONTEND=noninteractive rv_sudo apt-get install -y -qq "./$deb"
trap 'rv_sudo apt-get purge -y -qq rv4417test >/dev/null' EXIT
desktop-file-validate /usr/share/applications/org.rv4417.rv4417test*.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.rv4417.rv4417test.metainfo.xml
tour=$(mktemp -d)
output=$(cd "$tour" && env -u DISPLAY -u WAYLAND_DISPLAY rv4417-tour "$tour/pages")
echo "$output" | sed -n '/--- verdicts ---/,$p'
[ "$(echo "$output" | grep -c '^PASS ')" -eq 5 ] || { echo "the installed tour failed" >&2; exit 1; }
rm -rf "$tour"
rv_sudo apt-get purge -y -qq rv4417test
trap - EXIT
! command -v rv4417test >/dev/null || { echo "rv4417test is still installed" >&2; exit 1; }

for arch in arm64 armhf; do
    [ "$arch" = "$native" ] && continue
    ./package.sh "$arch"
    lintian --fail-on error,warning "dist/rv4417test_${version}_${arch}.deb"
done
ls -l dist/
