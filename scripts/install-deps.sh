#!/usr/bin/env bash
# Installs the Debian packages that building and testing telematico need, when missing.
# Run as root (or with sudo available) on Debian bookworm.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-translations-l10n
  libgtest-dev libgmock-dev
  libxml2-dev
  fonts-dejavu-core
)
if [ "${1:-}" = "--display" ]; then
  # Only to look at the windows for real under a virtual display.
  packages+=(xvfb xauth x11-apps imagemagick xdotool)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installo: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
