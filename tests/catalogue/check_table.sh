#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates the catalogue table from the packages' files and compares it with the committed one.
# Skipped (77) where python3, kstars-data or python3-ephem are not installed.
set -euo pipefail
root="$1"
work="$2"
openngc=/usr/share/kstars/OpenNGC.kscat
kstars=/usr/share/kstars
stars=/usr/lib/python3/dist-packages/ephem/stars.py
for needed in "$openngc" "$stars" "$kstars/namedstars.dat" "$kstars/unnamedstars.dat" "$kstars/starnames.dat"; do
  [ -r "$needed" ] || { echo "skipped: $needed is not installed"; exit 77; }
done
command -v python3 >/dev/null || { echo "skipped: no python3"; exit 77; }
python3 "$root/scripts/make-catalogue" --output "$work/catalogue.tsv" --openngc "$openngc" --kstars "$kstars" --stars "$stars"
diff -u "$root/data/catalogue.tsv" "$work/catalogue.tsv"
