#!/usr/bin/env bash
# Draws docs/styled-issue.png, the first page of a PDF of an issue built from
# the sample data with examples/Шаблон со стилями.odt, for the README.
# Needs a built tree (build/), LibreOffice and pdftoppm (Debian: poppler-utils).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -a "$root/examples/." "$work/"
cd "$work"
QT_QPA_PLATFORM=offscreen "$root/build/src/app/vermata" --build Выпуск.odt --template "Шаблон со стилями.odt" --pdf
pdftoppm -png -r 60 -f 1 -l 1 -singlefile Выпуск.pdf page
cp page.png "$root/docs/styled-issue.png"
