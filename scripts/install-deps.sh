#!/bin/sh
# Installs every Debian package the build, the tests, the demo and the
# benchmarks need. Safe to run again: packages already installed are skipped,
# and apt-get is not touched at all when nothing is missing.
set -eu

PACKAGES="
cmake ninja-build g++ clang pkg-config
libcurl4-openssl-dev libzip-dev nlohmann-json3-dev libsodium-dev minisign
libsdl2-dev libsdl2-ttf-dev fonts-dejavu-core libsdl2-image-dev
googletest libgtest-dev libcpp-httplib-dev
xvfb xauth xdotool imagemagick
nginx libarchive-tools zip unzip curl
"

missing=""
for package in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

if [ -z "$missing" ]; then
    echo "install-deps: all packages present"
    exit 0
fi

echo "install-deps: installing$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
