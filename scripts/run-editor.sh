#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor on a fresh scratch copy
# of examples/ (the tracked sample files are never edited).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
build="${VERMATA_BUILD_DIR:-$root/build}"
work="$(mktemp -d "${TMPDIR:-/tmp}/vermata.XXXXXX")"
cp -a "$root/examples/." "$work/"
echo "Working folder: $work"
cd "$work"
exec "$build/src/app/vermata" "$@"
