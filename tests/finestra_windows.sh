#!/usr/bin/env bash
# Checks the waiting window and the error reports of the Windows program
# under Wine and Xvfb. First it drives prova_errore.exe (see
# tests/prova_errore.cc):
#  - while it runs, reading no window messages, its window is on the screen
#    with a client area of 280 x 179 and the label painted at 64, 64;
#  - then the message box appears, and the program waits for it;
#  - once OK is pressed (Return) the program ends with a non-zero status
#    and writes nothing more.
# Then it runs genera_scenario.exe in a folder where its first file cannot
# be created (a folder has its name): the report of the system's failure
# appears, and after OK the program ends with a non-zero status, having
# written nothing.
#   finestra_windows.sh prova_errore.exe genera_scenario.exe
# Needs WINE (Wine's loader), DISPLAY and SCHERMO: the -fbdir folder of the
# Xvfb server on DISPLAY. Leaves pictures of the window and of the box in
# FOTO (default: the current folder).
set -euo pipefail
[ $# -eq 2 ] || { echo "uso: $0 prova_errore.exe genera_scenario.exe" >&2; exit 2; }
: "${WINE:?WINE: il caricatore di Wine}" "${DISPLAY:?DISPLAY: un server X}" "${SCHERMO:?SCHERMO: la cartella -fbdir di Xvfb}"
qui=$(dirname "$0")
source "$qui/finestre_wine.sh"
foto=${FOTO:-.}
schermo() { python3 "$qui/schermo_xvfb.py" "$SCHERMO" "$@"; }
fallisci() { echo "FALLITO: $*" >&2; exit 1; }

lavoro=$(mktemp -d)
pid=
fine() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
  rm -rf "$lavoro"
}
trap fine EXIT
cp "$1" "$lavoro/"
programma=$(basename "$1")
(cd "$lavoro" && exec "$WINE" "$programma" </dev/null >/dev/null 2>&1) &
pid=$!

# The waiting window, while the program works without reading messages.
xdotool mousemove 0 0  # the pointer out of the pictures
form=$(aspetta_finestra_diversa_da "$pid" "" 60) || fallisci "nessuna finestra entro 60 s"
[ "$(xdotool getwindowname "$form")" = genera_scenario ] || fallisci "la prima finestra non è quella d'attesa"
geometria=$(xwininfo -id "$form")
valore() { sed -n "s/^ *$1: *//p" <<<"$geometria"; }
x=$(valore "Absolute upper-left X"); y=$(valore "Absolute upper-left Y")
[ "$(valore Width)x$(valore Height)" = 280x179 ] || fallisci "area della finestra $(valore Width)x$(valore Height), non 280x179"
sleep 0.5
schermo png "$foto/finestra_attesa.png" "$x" "$y" 280 179
# The label's text is dark on the light form; above the label the form is all
# light (an unpainted window would show the black screen behind it).
read -r scuri chiari < <(schermo conta $((x + 64)) $((y + 64)) 177 53)
[ "$scuri" -gt 200 ] && [ "$chiari" -gt 2000 ] || fallisci "etichetta non dipinta ($scuri scuri, $chiari chiari)"
read -r scuri_sopra chiari_sopra < <(schermo conta "$x" "$y" 280 60)
[ "$scuri_sopra" -eq 0 ] && [ "$chiari_sopra" -eq $((280 * 60)) ] || fallisci "finestra non dipinta ($scuri_sopra scuri sopra l'etichetta)"
echo "finestra d'attesa: 280x179 a $x,$y, etichetta dipinta ($scuri punti di testo)"

# The box that process $pid waits on, named $1 in the messages: the program
# waits for the answer, the box holds text (its picture goes to $foto/$2.png),
# and once OK is pressed the program ends with a non-zero status, leaving in
# folder $3 only the names after it.
riquadro_poi_fine() {
  local cosa=$1 foto_nome=$2 cartella=$3 riquadro bx by bw bh scuri_box stato=0 limite rimasti n esclusi=()
  shift 3
  riquadro=$(aspetta_finestra_diversa_da "$pid" genera_scenario 60) || fallisci "nessun $cosa entro 60 s"
  sleep 1
  kill -0 "$pid" 2>/dev/null || fallisci "il programma non ha atteso la risposta al $cosa"
  geometria=$(xwininfo -id "$riquadro")
  bx=$(valore "Absolute upper-left X"); by=$(valore "Absolute upper-left Y")
  bw=$(valore Width); bh=$(valore Height)
  xdotool mousemove 0 0
  schermo png "$foto/$foto_nome.png" "$bx" "$by" "$bw" "$bh"
  read -r scuri_box _ < <(schermo conta "$bx" "$by" "$bw" "$bh")
  [ "$scuri_box" -gt 50 ] || fallisci "$cosa senza testo"
  echo "$cosa: \"$(xdotool getwindowname "$riquadro")\" ${bw}x${bh}, il programma attende"
  premi_ok "$riquadro"
  limite=$(( $(date +%s) + 30 ))
  while kill -0 "$pid" 2>/dev/null; do
    [ "$(date +%s)" -le "$limite" ] || fallisci "il programma non è finito dopo OK"
    sleep 0.1
  done
  wait "$pid" || stato=$?
  pid=
  [ "$stato" -ne 0 ] || fallisci "stato d'uscita 0 dopo il $cosa"
  for n in "$@"; do esclusi+=(-e "$n"); done
  rimasti=$(cd "$cartella" && ls -A | grep -vx "${esclusi[@]}" || true)
  [ -z "$rimasti" ] || fallisci "file scritti dopo il $cosa: $rimasti"
  echo "dopo OK: stato d'uscita $stato, nessun file scritto"
}

# The error report: a box, for which the program waits.
touch "$lavoro/continua"
riquadro_poi_fine messaggio messaggio_errore "$lavoro" "$programma" continua

# The report of a failure of the system, from the program itself.
rapporto=$lavoro/rapporto
mkdir -p "$rapporto/Velmo - Montegrieve_linea.txt"
cp "$2" "$rapporto/"
programma=$(basename "$2")
(cd "$rapporto" && exec "$WINE" "$programma" </dev/null >/dev/null 2>&1) &
pid=$!
riquadro_poi_fine "rapporto d'errore" rapporto_errore "$rapporto" "$programma" "Velmo - Montegrieve_linea.txt"
echo "finestra_windows: riuscito"
