#!/usr/bin/env bash
# Installs what building and running the editor need, builds the editor alone,
# and starts it on a fresh scratch copy of examples/ (the tracked sample files
# are never edited).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
echo "Building the editor…"
bash "$root/scripts/build.sh" vermata >/dev/null
build="${VERMATA_BUILD_DIR:-$root/build}"
work="$(mktemp -d "${TMPDIR:-/tmp}/vermata.XXXXXX")"
cp -a "$root/examples/." "$work/"
echo "Working folder: $work"
cd "$work"
exec "$build/src/app/vermata" "$@"
