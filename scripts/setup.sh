#!/usr/bin/env bash
# Installs what building, running and testing Ondaris needs on Debian 12, and nothing more:
# only the packages that are missing, with sudo when not root.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-serialport-dev qt6-translations-l10n libgl-dev libhidapi-dev
    qt6-base-private-dev umockdev libumockdev-dev libxlsxwriter-dev unzip
    libbenchmark-dev
    clang-14 libclang-rt-14-dev valgrind
    fonts-liberation2 fonts-dejavu-core
    xvfb xauth imagemagick python3 dbus sound-theme-freedesktop
    dpkg-dev file lintian desktop-file-utils appstream-util clang-format
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
