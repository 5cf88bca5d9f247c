#!/usr/bin/env bash
# The layers, bottom to top:
#   platform/  <  common/  <  texts/, compiler/ (side by side)  <  run/, tool/ (side by side)
# A source may include its own layer and the layers below it, never one above
# it or beside it. A test beside a source (*_test.cc) may also include the
# shared test helpers of tests/. Prints every include that breaks the rule and
# fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

rango() {
  case "$1" in
    platform) echo 0 ;;
    common) echo 1 ;;
    texts | compiler) echo 2 ;;
    run | tool) echo 3 ;;
    *) echo "" ;;
  esac
}

guasti=0
for strato in platform common texts compiler run tool; do
  r=$(rango "$strato")
  for file in "$strato"/*.h "$strato"/*.cc; do
    [ -e "$file" ] || continue
    while IFS= read -r riga; do
      incluso=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' <<<"$riga")
      [ -n "$incluso" ] || continue
      cartella=${incluso%%/*}
      if [ "$cartella" = tests ] && [[ "$file" == *_test.cc ]]; then continue; fi
      ri=$(rango "$cartella")
      if [ -z "$ri" ]; then
        echo "$file: include fuori dagli strati: $incluso"
        guasti=$((guasti + 1))
      elif [ "$cartella" != "$strato" ] && [ "$ri" -ge "$r" ]; then
        echo "$file: include verso l'alto o di fianco: $incluso"
        guasti=$((guasti + 1))
      fi
    done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
  done
done
if [ "$guasti" -ne 0 ]; then
  echo "$guasti include fuori regola"
  exit 1
fi
echo "strati: nessun include fuori regola"
