#!/usr/bin/env bash
# Configures and builds into build/ (or $VERMATA_BUILD_DIR): everything, or
# only the targets named on the command line (for example: vermata).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VERMATA_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for t in "$@"; do
  targets+=(--target "$t")
done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
