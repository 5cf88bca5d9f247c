#!/usr/bin/env bash
# The chart as a browser would take it: each page drawn by `scenario grafico`
# must parse with a real XML parser (xmllint) and render with a real SVG
# renderer (rsvg-convert) to a PNG of the page's size.
# Usage: tests/grafico_svg.sh build/scenario
set -euo pipefail
scenario=$(realpath "$1")
qui=$(cd "$(dirname "$0")" && pwd)
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
cd "$lavoro"

# A line whose sign texts and station name carry XML's own characters.
printf '%s\r\n' '[generale]' 'lunghezza percorso,    10000' '[indicazioni]' \
  'cartello_indicatore,  2500,   (A & B <c> "d")' "cartello_indicatore,  3500,   (l'isola]]>)" '[fine]' > linea.txt
sed 's/BORGO NUOVO/<BORGO \& "NUOVO">/' "$qui/fixtures/autori/treno.txt" > treno.txt

passati=0
falliti=0
prova() {
  local nome=$1
  shift
  if "$scenario" grafico "$@" --out "$nome.svg" 2>"$nome.err" &&
    xmllint --noout "$nome.svg" &&
    rsvg-convert --format=png -o "$nome.png" "$nome.svg" &&
    [ "$(head -c 8 "$nome.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] &&
    larghezza=$(xmllint --xpath 'string(/*[local-name()="svg"]/@width)' "$nome.svg") &&
    [ "$(od -An -tu1 -j16 -N4 "$nome.png" | awk '{print $1*16777216+$2*65536+$3*256+$4}')" = "$larghezza" ]; then
    passati=$((passati + 1))
  else
    echo "FALLITO: grafico $* (stato $?)"
    cat "$nome.err"
    falliti=$((falliti + 1))
  fi
}

prova incorporato
prova tratto --from 20000 --to 40000
prova ostile linea.txt treno.txt
"$scenario" compila linea.txt treno.txt --out . >/dev/null 2>&1 || true
prova binari "Velmo - Montegrieve_24817.sim" "Velmo - Montegrieve_24817.dat"

# The station labels as the XML parser sees them.
etichette=$(xmllint --xpath 'count(//*[@class="etichetta-stazione"])' incorporato.svg)
if [ "$etichette" = 10 ]; then passati=$((passati + 1)); else
  echo "FALLITO: $etichette etichette di stazione invece di 10"
  falliti=$((falliti + 1))
fi
if xmllint --xpath 'string(//*[@class="etichetta-cartello"][@data-m="2550"])' ostile.svg | grep -qF '(A & B <c> "d")'; then
  passati=$((passati + 1))
else
  echo "FALLITO: il testo del cartello a 2500 m non torna dal file"
  falliti=$((falliti + 1))
fi

if xmllint --xpath 'string(//*[@class="etichetta-stazione"][@data-m="8000"])' ostile.svg | grep -qF '<BORGO & "NUOVO">'; then
  passati=$((passati + 1))
else
  echo "FALLITO: il nome della stazione a 8000 m non torna dal file"
  falliti=$((falliti + 1))
fi

echo "grafico: $passati passed, $falliti failed"
[ "$falliti" = 0 ]
