#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any named as arguments
# (the format check asks for its formatter), only those that are missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libmupdf-dev libmujs-dev libgumbo-dev libopenjp2-7-dev libjbig2dec0-dev
  libjpeg-dev libfreetype-dev libharfbuzz-dev zlib1g-dev libdeflate-dev
  libx11-dev libxkbcommon-dev libxkbcommon-x11-dev libgtest-dev libgmock-dev
  mupdf-tools poppler-utils qpdf python3
  xvfb xdotool x11-utils xdg-utils xauth fonts-dejavu-core
  desktop-file-utils groff-base openbox x11-xserver-utils locales
  libcups2-dev cups-daemon cups-client cups-server-common
  dpkg-dev lintian vim-gtk3 neovim emacs-nox auctex
  "$@"
)

# The sort tests run a second time under a Turkish locale, whose case rules differ.
generate_locales() {
  local SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  if ! locale -a 2>/dev/null | grep -qi '^tr_TR\.utf-\?8$'; then
    $SUDO sed -i 's/^# *\(tr_TR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^tr_TR.UTF-8 UTF-8' /etc/locale.gen || echo 'tr_TR.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
  fi
}

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  generate_locales
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
# The printing test starts a scheduler of its own: no package may leave the system's running.
# policy-rc.d refuses service starts during the installation (unless one was there already).
policy=/usr/sbin/policy-rc.d
own_policy=""
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" >/dev/null
  $SUDO chmod 755 "$policy"
  own_policy=1
fi
status=0
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || status=$?
[ -z "$own_policy" ] || $SUDO rm -f "$policy"
[ $status -ne 0 ] || generate_locales
exit $status
