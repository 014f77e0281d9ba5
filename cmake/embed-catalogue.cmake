# SPDX-License-Identifier: GPL-3.0-or-later
# Writes OUTPUT, a C++ source holding the text of the catalogue table INPUT (run with cmake -P).
file(READ "${INPUT}" table)
string(FIND "${table}" ")catalogue\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the raw string's closing delimiter")
endif()
file(WRITE "${OUTPUT}.tmp"
  "// Generated from data/catalogue.tsv at build time; do not edit.\n"
  "#include \"sky/table.h\"\n\n"
  "const char* const catalogue::texteTable = R\"catalogue(${table})catalogue\";\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
