#!/bin/bash
# Kills `genera_scenario` and `scenario compila` of the dense 1,000,000 m
# line (SIGKILL) at random moments of their runs, over a folder that holds an
# earlier set of the same three names, and counts:
#   mixed      the three files right after the kill are neither all of the
#              earlier set nor all of the new one (a file missing counts);
#   journal    the kill left the set's journal (the next run completes it);
#   left over  after the next run in the folder, a temporary, an old copy or
#              the journal is still there, or the set is still mixed.
# Not part of CI: 150 kills of each take several minutes.
#
# Usage: bench/uccisioni.sh BUILD_DIR [KILLS]
#   BUILD_DIR holds genera_scenario, scenario and descrizioni_dense (the
#   benchmarks' build: cmake -DSCENARIO_BENCHMARKS=ON).
set -u
b=$(cd "$1" && pwd)
n=${2:-150}
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
nomi=("Velmo - Montegrieve_linea.dat" "Velmo - Montegrieve_24817.sim" "Velmo - Montegrieve_24817.dat")

# hash of each of the three names in a folder, "-" when missing
impronte() {
  local c=$1 f
  for f in "${nomi[@]}"; do
    if [ -f "$c/$f" ]; then sha1sum < "$c/$f" | cut -c1-40; else echo -; fi
  done | tr '\n' ' '
}

# 1 when the folder holds anything of ours but the set and the texts
resti() {
  ls -A "$1" | grep -q '^\.scenario-' && echo 1 || echo 0
}

millisecondi() { date +%s%3N; }

# A random pause of up to $1 milliseconds.
pausa() {
  local ms=$(( (RANDOM * 32768 + RANDOM) % ($1 + 1) ))
  sleep "$(printf '%d.%03d' $((ms / 1000)) $((ms % 1000)))"
}

# prova NAME RUN RESTORE NEXT
#   RUN starts the process to be killed (in the background), RESTORE puts
#   the earlier set back, NEXT is the next run in the folder; CARTELLA is
#   the folder, VECCHIO and NUOVO the two sets' hashes.
prova() {
  local nome=$1 corsa=$2 ripristina=$3 seguente=$4
  local misti=0 giornali=0 rimasti=0 nuovi=0 vecchi=0
  # The length of an uninterrupted run (the median of five), to spread the
  # kills over it.
  local durate=() t0
  for ((i = 0; i < 5; i++)); do
    $ripristina
    t0=$(millisecondi)
    $corsa; wait $!
    durate+=($(( $(millisecondi) - t0 )))
  done
  local durata; durata=$(printf '%s\n' "${durate[@]}" | sort -n | sed -n 3p)
  for ((i = 0; i < n; i++)); do
    $ripristina
    $corsa
    local pid=$!
    pausa $(( durata * 11 / 10 ))
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    local ora; ora=$(impronte "$CARTELLA")
    if [ "$ora" = "$VECCHIO" ]; then
      vecchi=$((vecchi + 1))
    elif [ "$ora" = "$NUOVO" ]; then
      nuovi=$((nuovi + 1))
    else
      misti=$((misti + 1))
    fi
    [ -e "$CARTELLA/.scenario-insieme" ] && giornali=$((giornali + 1))
    $seguente
    local dopo; dopo=$(impronte "$CARTELLA")
    if [ "$(resti "$CARTELLA")" = 1 ] || { [ "$dopo" != "$NUOVO" ] && [ "$dopo" != "$NUOVO_SEGUENTE" ]; }; then
      rimasti=$((rimasti + 1))
    fi
  done
  printf '%s: %d kills over a %d ms run: %d old set, %d new set, %d mixed; %d left the journal; %d left over after the next run\n' \
    "$nome" "$n" "$durata" "$vecchi" "$nuovi" "$misti" "$giornali" "$rimasti"
}

# --- genera_scenario: the earlier set is a compile of other descriptions
#     under the program's names.
mkdir -p "$lavoro/prog" "$lavoro/altro" "$lavoro/vecchio"
cp "$b/genera_scenario" "$lavoro/prog/"
"$b/scenario" nuovo "$lavoro/altro" > /dev/null
sed -i 's/^lunghezza percorso, *[0-9]*/lunghezza percorso,    12000/' "$lavoro/altro/linea.txt"
"$b/scenario" compila "$lavoro/altro/linea.txt" "$lavoro/altro/treno.txt" --out "$lavoro/vecchio" > /dev/null 2>&1
"$lavoro/prog/genera_scenario" > /dev/null
CARTELLA=$lavoro/prog
VECCHIO=$(impronte "$lavoro/vecchio")
NUOVO=$(impronte "$CARTELLA")
NUOVO_SEGUENTE=$NUOVO
[ "$VECCHIO" != "$NUOVO" ] || { echo "the two sets are the same" >&2; exit 1; }
metti_vecchio_prog() { for f in "${nomi[@]}"; do cp "$lavoro/vecchio/$f" "$CARTELLA/$f"; done; }
corsa_prog() { "$CARTELLA/genera_scenario" > /dev/null 2>&1 & }
seguente_prog() { "$CARTELLA/genera_scenario" > /dev/null 2>&1; }
prova genera_scenario corsa_prog metti_vecchio_prog seguente_prog

# --- scenario compila of the dense 1,000,000 m line over the compile of the
#     dense 990,000 m one; the next run compiles the small pair.
mkdir -p "$lavoro/denso" "$lavoro/vecchio_denso" "$lavoro/piccolo" "$lavoro/out"
"$b/descrizioni_dense" 1000000 "$lavoro/denso/linea.txt" "$lavoro/denso/treno.txt"
"$b/descrizioni_dense" 990000 "$lavoro/denso/linea_v.txt" "$lavoro/denso/treno_v.txt"
"$b/scenario" compila "$lavoro/denso/linea_v.txt" "$lavoro/denso/treno_v.txt" --out "$lavoro/vecchio_denso" \
  > /dev/null 2>&1
"$b/scenario" compila "$lavoro/denso/linea.txt" "$lavoro/denso/treno.txt" --out "$lavoro/out" > /dev/null 2>&1
CARTELLA=$lavoro/out
VECCHIO=$(impronte "$lavoro/vecchio_denso")
NUOVO=$(impronte "$CARTELLA")
"$b/scenario" compila "$lavoro/altro/linea.txt" "$lavoro/altro/treno.txt" --out "$lavoro/piccolo" > /dev/null 2>&1
NUOVO_SEGUENTE=$(impronte "$lavoro/piccolo")
metti_vecchio_denso() { for f in "${nomi[@]}"; do cp "$lavoro/vecchio_denso/$f" "$CARTELLA/$f"; done; }
corsa_denso() { "$b/scenario" compila "$lavoro/denso/linea.txt" "$lavoro/denso/treno.txt" --out "$CARTELLA" \
  > /dev/null 2>&1 & }
seguente_denso() {
  "$b/scenario" compila "$lavoro/altro/linea.txt" "$lavoro/altro/treno.txt" --out "$CARTELLA" > /dev/null 2>&1
}
prova "scenario compila (1,000,000 m)" corsa_denso metti_vecchio_denso seguente_denso
