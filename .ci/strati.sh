#!/usr/bin/env bash
# The layers, bottom to top:
#   platform/  <  common/  <  texts/, compiler/ (side by side)  <  reader/
#     <  chart/, decompiler/ (side by side)  <  run/, lsp/ (side by side)  <  tool/
# A source may include its own layer and the layers below it, never one above
# it or beside it. A test beside a source (*_test.cc) may also include the
# shared test helpers of tests/. Prints every include that breaks the rule and
# fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

grep -HE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' \
  platform/*.h platform/*.cc common/*.h common/*.cc texts/*.h texts/*.cc \
  compiler/*.h compiler/*.cc reader/*.h reader/*.cc chart/*.h chart/*.cc \
  decompiler/*.h decompiler/*.cc run/*.h run/*.cc lsp/*.h lsp/*.cc tool/*.h tool/*.cc 2>/dev/null |
  awk '
    BEGIN {
      rango["platform"] = 0; rango["common"] = 1; rango["texts"] = 2
      rango["compiler"] = 2; rango["reader"] = 3; rango["chart"] = 4
      rango["decompiler"] = 4; rango["run"] = 5; rango["lsp"] = 5
      rango["tool"] = 6
    }
    {
      file = substr($0, 1, index($0, ":") - 1)
      riga = substr($0, index($0, ":") + 1)
      split(file, f, "/"); strato = f[1]
      if (match(riga, /"[^"]*"/) == 0) next
      incluso = substr(riga, RSTART + 1, RLENGTH - 2)
      split(incluso, c, "/"); cartella = c[1]
      if (cartella == "tests" && file ~ /_test\.cc$/) next
      if (!(cartella in rango)) {
        print file ": include fuori dagli strati: " incluso; guasti++
      } else if (cartella != strato && rango[cartella] >= rango[strato]) {
        print file ": include verso l'"'"'alto o di fianco: " incluso; guasti++
      }
    }
    END {
      if (guasti > 0) { print guasti " include fuori regola"; exit 1 }
      print "strati: nessun include fuori regola"
    }'
