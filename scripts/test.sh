#!/usr/bin/env bash
# Installs what is missing, builds, checks the Debian package, and runs every
# test (headless).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/install-deps.sh" --tests
bash "$root/scripts/build.sh"
bash "$root/scripts/test-package.sh"
build="${VERMATA_BUILD_DIR:-$root/build}"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
