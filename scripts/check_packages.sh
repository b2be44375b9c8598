#!/usr/bin/env bash
# CI's package checks on the packages ./package.sh built and tested (dist/): lintian on each,
# then for this machine's: the desktop and AppStream validators, installed with apt, its tour
# run from the PATH without a display and its verdicts checked, removed again.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
rv_install_list lintian desktop-file-utils appstream

native=$(dpkg --print-architecture)
version=$(dpkg-parsechangelog -l debian/changelog -S Version)

for arch in amd64 arm64 armhf; do
    deb="dist/rv4417test_${version}_${arch}.deb"
    [ -f "$deb" ] || { echo "$deb is missing: build it with ./package.sh $arch" >&2; exit 1; }
    lintian --fail-on error,warning "$deb"
done

deb="dist/rv4417test_${version}_${native}.deb"
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
ls -l dist/
