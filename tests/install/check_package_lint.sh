#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Holds the Debian package to Debian's own checkers: lintian (default profile) prints no error and
# no warning; the AppStream metainfo validates, and names the desktop entry the package ships; the
# desktop entry validates; every manual page renders without a warning and `man NAME` finds it.
# Exits 77 (skipped) when lintian or appstreamcli is missing (scripts/deps installs both).
# Usage: check_package_lint.sh CPACK_COMMAND BUILD_DIR
set -u
cpack_command="$1"
build_dir="$2"

for tool in lintian appstreamcli desktop-file-validate groff man; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool not installed (see scripts/deps)"; exit 77; }
done

scratch="$(mktemp -d "${TMPDIR:-/tmp}/selvane-lint.XXXXXX")" || exit 1
trap 'rm -rf "$scratch"' EXIT INT TERM
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! "$cpack_command" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  echo "FAIL: cpack -G DEB failed" >&2
  exit 1
fi
set -- "$scratch"/out/selvane_*.deb
[ -f "$1" ] || { echo "FAIL: no selvane_*.deb made" >&2; exit 1; }
package="$1"
dpkg -x "$package" "$scratch/root" || { echo "FAIL: dpkg -x failed" >&2; exit 1; }
root="$scratch/root"

# Its tags on standard output; on standard error only lintian's own complaints (such as running as root).
lintian "$package" >"$scratch/lintian.log" 2>"$scratch/lintian.err"
if grep -q '^[EW]: ' "$scratch/lintian.log"; then
  cat "$scratch/lintian.log" >&2
  fail "lintian reports errors or warnings"
fi
# cpack reads a description file with XML escapes; the control file must hold the plain text.
dpkg-deb -f "$package" Description | grep -q '&[a-z]*;' && fail "the package description holds XML escapes"

# Pedantic notes are allowed; anything above them is not.
metainfo_count=0
for metainfo in "$root"/usr/share/metainfo/*.metainfo.xml; do
  [ -f "$metainfo" ] || continue
  metainfo_count=$((metainfo_count + 1))
  appstreamcli validate --no-net --strict "$metainfo" >&2 || fail "appstreamcli validate rejects ${metainfo##*/}"
done
[ "$metainfo_count" -gt 0 ] || fail "no /usr/share/metainfo/*.metainfo.xml in the package"
appstreamcli validate-tree --no-net --strict "$root" >&2 || fail "appstreamcli validate-tree rejects the package's tree"

for entry in "$root"/usr/share/applications/*.desktop; do
  [ -f "$entry" ] || { fail "no desktop entry in the package"; continue; }
  # Hints are advice (several main categories: Education, Science); errors and warnings are not.
  desktop-file-validate "$entry" >"$scratch/desktop.log" 2>&1 || fail "desktop-file-validate rejects ${entry##*/}"
  grep -E '(error|warning): ' "$scratch/desktop.log" >&2 && fail "desktop-file-validate warns on ${entry##*/}"
done

for program in "$root"/usr/bin/*; do
  name="${program##*/}"
  page="$root/usr/share/man/man1/$name.1.gz"
  [ -f "$page" ] || { fail "no manual page for $name"; continue; }
  warnings="$(gzip -dc "$page" | groff -ww -z -k -man -Tutf8 2>&1)"
  [ -z "$warnings" ] || fail "groff warns on $name(1): $warnings"
  # man finds it by name, as after installing the package, and shows its NAME line.
  shown="$(MANWIDTH=80 man -M "$root/usr/share/man" -P cat "$name" 2>&1)"
  printf '%s\n' "$shown" | grep -Eq "^ +$name +- " || fail "man $name does not show the page: $(echo "$shown" | head -n 3)"
done

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$package"): lintian, appstreamcli, desktop-file-validate and groff clean; man finds $(ls "$root/usr/share/man/man1" | tr '\n' ' ')"
