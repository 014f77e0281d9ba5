#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs into a scratch prefix: the driver in bin, its description where KStars looks for it.
# Usage: check_install.sh CMAKE_COMMAND BUILD_DIR
set -u
prefix="$(mktemp -d "${TMPDIR:-/tmp}/selvane-indi-install.XXXXXX")" || exit 1
trap 'rm -rf "$prefix"' EXIT INT TERM
"$1" --install "$2" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install" >&2; exit 1; }
xml="$prefix/share/indi/indi_selvane.xml"
[ -x "$prefix/bin/indi_selvane_telescope" ] || { echo "FAIL: bin/indi_selvane_telescope" >&2; exit 1; }
grep -q '<devGroup group="Telescopes">' "$xml" && grep -q '<device label="Selvane"' "$xml" \
  && grep -q '>indi_selvane_telescope</driver>' "$xml" || { echo "FAIL: $xml" >&2; exit 1; }
