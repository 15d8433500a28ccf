#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any named as arguments
# (the format check asks for its formatter), only those that are missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libmupdf-dev libmujs-dev libgumbo-dev libopenjp2-7-dev libjbig2dec0-dev
  libjpeg-dev libfreetype-dev libharfbuzz-dev zlib1g-dev libdeflate-dev
  libx11-dev libgtest-dev libgmock-dev
  mupdf-tools poppler-utils qpdf python3
  xvfb xdotool x11-utils xdg-utils xauth fonts-dejavu-core
  desktop-file-utils groff-base
  dpkg-dev lintian vim-gtk3 neovim emacs-nox auctex
  "$@"
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
