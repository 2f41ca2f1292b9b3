#!/usr/bin/env bash
# Builds the Debian package (the `package` target of build/, or of
# $VERMATA_BUILD_DIR, which must be configured) and checks it the way a user
# meets it: its control data and files, lintian, and the installed program,
# unpacked into a scratch root and started headless from a shell, then twice
# from the menu. Prints one line per failed check and a count at the end.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VERMATA_BUILD_DIR:-$root/build}"

rm -f "$build"/package/*.deb
if ! cmake --build "$build" --target package >"$build/package.log" 2>&1; then
  cat "$build/package.log"
  exit 1
fi
debs=("$build"/package/vermata_*.deb)
deb="${debs[0]}"
echo "Checking $deb"

scratch="$(mktemp -d "${TMPDIR:-/tmp}/vermata-package.XXXXXX")"
program_pid=
cleanup() {
  if [ -n "$program_pid" ]; then kill -KILL "$program_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

passed=0
failed=0
# check DESCRIPTION COMMAND...: runs the command and counts its outcome.
check() {
  local what="$1"
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}
lacks() { ! grep -qE "$@"; }

# --- control data ---
field() { dpkg-deb --field "$deb" "$1"; }
check "package name" test "$(field Package)" = vermata
check "architecture" test "$(field Architecture)" = "$(dpkg --print-architecture)"
depends="$(field Depends)"
# Qt's X11 platform plugin ships in libqt6gui6 on Debian 12.
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libzip4 libpugixml1v5 zlib1g libc6; do
  check "depends on $lib" grep -qE "(^|, )$lib( |,|$)" <<<"$depends"
done
check "depends on nothing of the build or the tests ($depends)" \
  lacks -- '-dev\b|libqt6test6|python|libreoffice|xvfb|lintian|cmake|g\+\+' <<<"$depends"
check "LibreOffice only suggested" grep -q libreoffice-writer <<<"$(field Suggests)"
check "LibreOffice not recommended" lacks libreoffice <<<"$(field Recommends)"

# --- files: exactly these, owned by root, written by root only ---
listing="$(dpkg-deb --contents "$deb")"
expected="./usr/bin/vermata
./usr/share/applications/vermata.desktop
./usr/share/doc/vermata/changelog.gz
./usr/share/doc/vermata/copyright"
for size in 16 22 24 32 48 64 128 256; do
  expected+=$'\n'"./usr/share/icons/hicolor/${size}x${size}/apps/vermata.png"
done
expected+="
./usr/share/lintian/overrides/vermata
./usr/share/man/man1/vermata.1.gz
./usr/share/man/ru/man1/vermata.1.gz
./usr/share/vermata/Шаблон.doc"
check "the package's files" test "$(awk '$1 ~ /^-/ {print $6}' <<<"$listing" | LC_ALL=C sort)" = "$(LC_ALL=C sort <<<"$expected")"
check "everything owned by root" test -z "$(awk '$2 != "root/root"' <<<"$listing")"
check "nothing writable but by its owner" test -z "$(awk '$1 ~ /^.....w|^........w/' <<<"$listing")"
check "only the program executable" \
  test "$(awk '$1 ~ /^-..x/ {print $6}' <<<"$listing")" = ./usr/bin/vermata

dpkg -x "$deb" "$scratch/root"
usr="$scratch/root/usr"
check "changelog names the package's version" \
  grep -q "^vermata ($(field Version))" <(zcat "$usr/share/doc/vermata/changelog.gz")
check "the sample template is examples/Шаблон.doc" cmp -s "$root/examples/Шаблон.doc" "$usr/share/vermata/Шаблон.doc"
for size in 16 22 24 32 48 64 128 256; do
  check "icon ${size}x${size}" grep -q "PNG image data, $size x $size," \
    <(file "$usr/share/icons/hicolor/${size}x${size}/apps/vermata.png")
done
desktop="$usr/share/applications/vermata.desktop"
for line in "Exec=vermata --desktop" "Icon=vermata" "Name=Vermata" "Name\[ru\]=Вермата" \
  "Comment=.+" "Comment\[ru\]=.+" "Categories=Office;" "Type=Application"; do
  check "desktop entry: $line" grep -qxE "$line" "$desktop"
done
for page in man1 ru/man1; do
  for option in --desktop --build --preview --pdf --help; do
    check "manual page $page documents $option" \
      grep -q -- "$option" <(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$usr/share/man/$page/vermata.1.gz" 2>&1)
  done
done

# --- lintian: no errors (its other findings are shown) ---
check "lintian reports no errors" lintian --fail-on error "$deb"

# --- the installed program, headless ---
# A desktop whose documents folder is called "Документы", as a Russian one names it.
home="$scratch/home"
documents="$home/Документы"
mkdir -p "$home/.config" "$scratch/runtime"
chmod 700 "$scratch/runtime"
echo 'XDG_DOCUMENTS_DIR="$HOME/Документы"' >"$home/.config/user-dirs.dirs"

# start FOLDER LOG [ARGS]: starts the program in FOLDER, logging the windows
# it paints.
start() {
  local folder="$1" log="$2"
  shift 2
  (cd "$folder" && exec env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$scratch/runtime" \
    LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES=qt.widgets.painting=true \
    "$usr/bin/vermata" "$@") >"$log" 2>&1 &
  program_pid=$!
}
# shown WINDOWCLASS LOG: waits until the program has painted such a window
# (a minute at most); fails at once if the program is gone. Qt's log category
# qt.widgets.painting names each top-level window as it is painted.
shown() {
  local class="$1" log="$2"
  for _ in $(seq 600); do
    grep -q "Syncing .* of $class(" "$log" && return 0
    kill -0 "$program_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
works_in() { test "$(readlink "/proc/$program_pid/cwd")" = "$1"; }
# Quits the program with SIGTERM: it must still have been running.
quit() {
  local status=0
  kill -TERM "$program_pid" && wait "$program_pid" || status=$?
  program_pid=
  test "$status" -eq 143
}
nothing_said() { lacks "of QMessageBox\(" "$1"; }
show_log_on_failure() {
  if [ "$failed" -ne "$1" ]; then cat "$2"; fi
}

# The command line, with no display at all.
check "the installed program's --help in Russian and English" \
  bash -c 'env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$0" --help | grep -q "build the issue" && "$0" --help | grep -q "собрать выпуск"' "$usr/bin/vermata"

# From a shell: the folder it was started in, as ever.
shell="$scratch/shell"
mkdir -p "$shell"
cp -a "$root/examples/." "$shell/"
before=$failed
start "$shell" "$scratch/shell.log"
check "started from a shell: main window up" shown TForm1 "$scratch/shell.log"
check "started from a shell: nothing to say" nothing_said "$scratch/shell.log"
check "started from a shell: works in that folder" works_in "$shell"
check "started from a shell: quits on SIGTERM" quit
check "started from a shell: leaves the documents folder alone" test ! -e "$documents"
show_log_on_failure "$before" "$scratch/shell.log"

# From the menu, the first time: the working folder is made and the box says so.
before=$failed
start "$home" "$scratch/first.log" --desktop
check "first start from the menu: says what it made" shown QMessageBox "$scratch/first.log"
check "first start from the menu: works in Документы/Вермата" works_in "$documents/Вермата"
check "first start from the menu: quits on SIGTERM" quit
check "first start from the menu: template from the sample" cmp -s "$root/examples/Шаблон.doc" "$documents/Вермата/Шаблон.doc"
check "first start from the menu: empty rubric list" test -f "$documents/Вермата/Рубрики.txt" -a ! -s "$documents/Вермата/Рубрики.txt"
check "first start from the menu: empty ads file" test -f "$documents/Вермата/x.txt" -a ! -s "$documents/Вермата/x.txt"
show_log_on_failure "$before" "$scratch/first.log"

# From the menu again: everything is in place, nothing is said or replaced.
printf '2|Garage for sale.|Garages|\r\n' >"$documents/Вермата/x.txt"
cp "$documents/Вермата/x.txt" "$scratch/ads.txt"
before=$failed
start "$home" "$scratch/again.log" --desktop
check "next start from the menu: main window up" shown TForm1 "$scratch/again.log"
check "next start from the menu: nothing to say" nothing_said "$scratch/again.log"
check "next start from the menu: works in Документы/Вермата" works_in "$documents/Вермата"
check "next start from the menu: quits on SIGTERM" quit
check "next start from the menu: ads file kept" cmp -s "$scratch/ads.txt" "$documents/Вермата/x.txt"
show_log_on_failure "$before" "$scratch/again.log"

echo "package: $passed passed, $failed failed"
test "$failed" -eq 0
