#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need, but only when one is missing,
# so that a machine that already has them starts at once.
set -euo pipefail
packages=(
    g++ cmake ninja-build make pkg-config clang-format
    clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev
    fonts-ipafont-gothic
    libreoffice-calc libreoffice-dev ure libreoffice-gtk3 libreoffice-l10n-ja
    libc-bin
    xvfb xauth x11-apps imagemagick
    dpkg-dev file lintian desktop-file-utils appstream
)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
