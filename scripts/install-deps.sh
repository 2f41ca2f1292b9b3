#!/usr/bin/env bash
# Installs the Debian packages that building and running the editor need, and
# with --tests also those the tests and benchmarks use. Does nothing when they
# are all present. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libzip-dev libpugixml-dev zlib1g-dev
  # the Debian package (CPack finds its dependencies with these)
  dpkg-dev file
  # fonts for the interface (a metric twin of Courier New with Cyrillic)
  fonts-liberation2 fonts-dejavu-core
)
if [ "${1:-}" = "--tests" ]; then
  packages+=(
    # independent readers that the tests check produced documents with
    python3 python3-docx python3-odf unrtf libreoffice-writer-nogui
    # headless screenshots
    xvfb xauth
    # checks the Debian package
    lintian
  )
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
else
  SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
