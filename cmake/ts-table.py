#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the English catalogue (selvane_en.ts) as a C++ table, for the programs without Qt: the
driver reads its English from the same catalogue as the Qt programs."""
import sys
import xml.etree.ElementTree as ET


def literal(text):
    out = []
    for byte in text.encode("utf-8"):
        c = chr(byte)
        if c in '"\\?':
            out.append("\\" + c)
        elif 32 <= byte < 127:
            out.append(c)
        else:
            out.append("\\%03o" % byte)
    return '"' + "".join(out) + '"'


def main(ts, cpp):
    entries = []
    for context in ET.parse(ts).getroot().iter("context"):
        name = context.findtext("name") or ""
        for message in context.iter("message"):
            translation = message.find("translation")
            if translation is None or translation.get("type") in ("unfinished", "vanished", "obsolete"):
                continue
            english = translation.text or ""
            if english:
                entries.append((name.encode(), (message.findtext("source") or "").encode(), english))
    entries.sort()
    with open(cpp, "w", encoding="ascii") as out:
        out.write("// Generated from selvane_en.ts by cmake/ts-table.py: do not edit.\n")
        out.write('#include <cstring>\n\nnamespace {\nstruct Entry { const char* context; const char* source; '
                  "const char* english; };\nconst Entry entries[] = {\n")
        for context, source, english in entries:
            out.write("    { %s, %s, %s },\n" % (literal(context.decode()), literal(source.decode()), literal(english)))
        # A last entry that is never searched, so that an empty catalogue still compiles.
        out.write('    { "", "", "" },\n};\nconstexpr std::size_t count = %d;\n' % len(entries))
        out.write("""// Byte order on (context, source), as the table is sorted.
int compare(const Entry& e, const char* context, const char* source)
{
    const int c = std::strcmp(e.context, context);
    return c != 0 ? c : std::strcmp(e.source, source);
}
} // namespace

namespace langue {
const char* anglaisDeLaTable(const char* context, const char* source)
{
    std::size_t low = 0, high = count;
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        const int c = compare(entries[middle], context, source);
        if (c == 0)
            return entries[middle].english;
        if (c < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return nullptr;
}
} // namespace langue
""")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
