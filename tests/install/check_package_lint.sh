#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Holds the Debian package to Debian's own checkers: lintian (default profile) prints no error and
# no warning; the AppStream metainfo validates, and names the desktop entry the package ships; the
# desktop entry validates; every manual page renders without a warning and `man NAME` finds it.
# Exits 77 (skipped) when lintian, appstreamcli, desktop-file-validate, groff or man is missing
# (scripts/deps installs them all).
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

# Exit status 1 for an error or warning tag, 2 when lintian itself fails (a silent crash must not pass).
lintian --fail-on error,warning "$package" >"$scratch/lintian.log" 2>"$scratch/lintian.err"
status=$?
if [ "$status" -ne 0 ] || grep -q '^[EW]: ' "$scratch/lintian.log"; then
  cat "$scratch/lintian.log" "$scratch/lintian.err" >&2
  fail "lintian reports errors or warnings (exit status $status)"
fi
# cpack reads a description file with XML escapes; the control file must hold the plain text.
dpkg-deb -f "$package" Description | grep -q '&[a-z]*;' && fail "the package description holds XML escapes"

# lintian reads the copyright file of a binary package only loosely: check the machine-readable
# form here (the format line; each Files paragraph with its Copyright and License; each licence it
# names given its text, there or in a License paragraph of its own).
awk '
BEGIN { RS = ""; FS = "\n"; bad = 0 }
NR == 1 {
  if ($1 != "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/") { print "the first line is not the DEP-5 Format URI"; bad = 1 }
  next
}
$1 ~ /^Files: / {
  if ($0 !~ /\nCopyright: /) { print "no Copyright in the paragraph of " $1; bad = 1 }
  if (!match($0, /\nLicense: [^\n]*/)) { print "no License in the paragraph of " $1; bad = 1; next }
  names = substr($0, RSTART + 10, RLENGTH - 10)
  if (substr($0, RSTART + RLENGTH, 2) == "\n ") next  # the licence text is given right here
  gsub(/ (and|or) /, " ", names)
  n = split(names, list, " ")
  for (i = 1; i <= n; i++) used[list[i]] = $1
  next
}
$1 ~ /^License: / {
  name = substr($1, 10)
  if (NF < 2) { print "no text for the licence " name; bad = 1 }
  defined[name] = 1
}
END {
  for (name in used) if (!(name in defined)) { print "no License paragraph for " name " (" used[name] ")"; bad = 1 }
  exit bad
}
' "$root/usr/share/doc/selvane/copyright" >&2 || fail "/usr/share/doc/selvane/copyright is not sound DEP-5"
# The changelog's latest entry is this version.
gzip -dc "$root/usr/share/doc/selvane/changelog.gz" >"$scratch/changelog"
[ "$(dpkg-parsechangelog -l "$scratch/changelog" -S Version)" = "$(dpkg-deb -f "$package" Version)" ] \
  || fail "the changelog's latest entry is not version $(dpkg-deb -f "$package" Version)"

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
