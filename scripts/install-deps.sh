#!/usr/bin/env bash
# Installs the Debian 12 packages Velloria builds, runs and tests with. Does nothing when all are present.
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    libsdl2-dev libsdl2-image-dev libopenal-dev libsndfile1-dev
    libzip-dev zipcmp zipmerge ziptool libpoco-dev libfreetype-dev libboost-dev libgettextpo-dev
    libharfbuzz-dev libicu-dev libharfbuzz-bin fonts-dejavu-core fonts-noto-core fonts-droid-fallback
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    zip xvfb xauth clang libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages; run this as root (or with sudo): apt-get install ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y --no-install-recommends "${missing[@]}"
