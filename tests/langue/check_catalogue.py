#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The English catalogue is complete: lupdate run over the sources gives the committed file again
(no text added, changed or gone since), and every entry has a finished English translation with the
same placeholders as its French source."""
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
CATALOGUE = ROOT / "src/langue/selvane_en.ts"
# printf's (%s, %.1f, %+.1f, %d, %g) in order; Qt's %1… as a set, since English may reorder them.
PRINTF = re.compile(r"%[-+ #0]*\d*(?:\.\d+)?[sdgfu]")
QT_ARG = re.compile(r"%\d")


def placeholders(text):
    return PRINTF.findall(text), sorted(QT_ARG.findall(text))


def main():
    faults = []
    with tempfile.TemporaryDirectory() as folder:
        fresh = Path(folder) / "selvane_en.ts"
        subprocess.run([ROOT / "scripts/update-translations", "--check", fresh], check=True)
        if fresh.read_bytes() != CATALOGUE.read_bytes():
            diff = subprocess.run(["diff", "-u", CATALOGUE, fresh], capture_output=True, text=True).stdout
            faults.append("the catalogue is not up to date with the sources (run scripts/update-translations):\n"
                          + diff[:4000])
    for context in ET.parse(CATALOGUE).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            translation = message.find("translation")
            english = translation.text if translation is not None else None
            where = f"[{name}] {source!r}"
            if translation is None or translation.get("type") or not english:
                faults.append(f"{where}: no finished translation")
            elif placeholders(source) != placeholders(english):
                faults.append(f"{where}: placeholders differ in {english!r}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
