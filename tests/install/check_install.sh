#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and checks that a desktop finds the program there:
# both executables, the launcher entry (valid, and pointing at what was installed) and its icon.
# Usage: check_install.sh CMAKE_COMMAND BUILD_DIR
set -u
cmake_command="$1"
build_dir="$2"

prefix="$(mktemp -d "${TMPDIR:-/tmp}/selvane-install.XXXXXX")" || exit 1
trap 'rm -rf "$prefix"' EXIT INT TERM

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! "$cmake_command" --install "$build_dir" --prefix "$prefix"; then
  echo "FAIL: cmake --install failed" >&2
  exit 1
fi

for program in selvane selvane-sim selvane-web; do
  [ -f "$prefix/bin/$program" ] || { fail "bin/$program not installed"; continue; }
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done
# Every installed program has its manual page; the software centres find the metainfo.
for program in "$prefix"/bin/*; do
  [ -s "$prefix/share/man/man1/${program##*/}.1.gz" ] || fail "no manual page share/man/man1/${program##*/}.1.gz"
done
[ -s "$prefix/share/metainfo/org.example.selvane.metainfo.xml" ] || fail "no share/metainfo/org.example.selvane.metainfo.xml"

entry="$prefix/share/applications/org.example.selvane.desktop"
icon="$prefix/share/icons/hicolor/scalable/apps/selvane.svg"
[ -s "$icon" ] || fail "icon not installed at share/icons/hicolor/scalable/apps/selvane.svg"
grep -q '<svg' "$icon" 2>/dev/null || fail "the installed icon is not an SVG document"

if [ ! -s "$entry" ]; then
  fail "desktop entry not installed at share/applications/org.example.selvane.desktop"
else
  if command -v desktop-file-validate >/dev/null 2>&1; then
    # Hints are advice; errors and warnings make the entry unfit.
    if ! desktop-file-validate "$entry"; then
      fail "desktop-file-validate rejects the entry"
    fi
  else
    fail "desktop-file-validate not found (package desktop-file-utils, see scripts/deps)"
  fi
  # The launcher must start the installed program and show the installed icon.
  key() { sed -n "s/^$1=//p" "$entry" | head -n 1; }
  exec_line="$(key Exec)"
  [ "${exec_line%% *}" = "selvane" ] || fail "Exec is '$exec_line', expected the program selvane"
  [ "$(key Icon)" = "selvane" ] || fail "Icon is '$(key Icon)', expected selvane (the installed icon's name)"
  [ "$(key Terminal)" = "false" ] || fail "Terminal should be false for a windowed program"
  [ -n "$(key Name)" ] || fail "no Name"
  case "$(key Categories)" in
    *Astronomy*) ;;
    *) fail "Categories lacks Astronomy" ;;
  esac
fi

# The installed program must run from the prefix (nothing left pointing into the build tree).
if [ -x "$prefix/bin/selvane" ]; then
  version="$(QT_QPA_PLATFORM=offscreen timeout 20 "$prefix/bin/selvane" --version 2>/dev/null)"
  case "$version" in
    *2.2*) ;;
    *) fail "the installed selvane --version printed '$version'" ;;
  esac
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures problem(s) with the installation in $prefix" >&2
  exit 1
fi
echo "installed and checked: bin/selvane bin/selvane-sim, their manual pages, share/applications/org.example.selvane.desktop, its metainfo and icon"
