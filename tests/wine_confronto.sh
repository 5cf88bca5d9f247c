#!/usr/bin/env bash
# Runs the Linux program and the Windows program (under Wine) each alone in a
# fresh folder, and checks that both end alike and leave the same files, byte
# for byte.
#   wine_confronto.sh [--completo] LINUX_PROGRAM WINDOWS_PROGRAM.exe
# With --completo both runs must also succeed and leave exactly the six files
# of a complete run. Needs WINE (Wine's loader) and DISPLAY (an X server such
# as Xvfb). A message box of the Windows run is answered with OK and counted.
set -euo pipefail
completo=0
if [ "${1:-}" = "--completo" ]; then completo=1; shift; fi
[ $# -eq 2 ] || { echo "uso: $0 [--completo] PROGRAMMA_LINUX PROGRAMMA_WINDOWS.exe" >&2; exit 2; }
: "${WINE:?WINE: il caricatore di Wine}" "${DISPLAY:?DISPLAY: un server X}"
source "$(dirname "$0")/finestre_wine.sh"

lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
mkdir "$lavoro/linux" "$lavoro/windows"
cp "$1" "$lavoro/linux/"
cp "$2" "$lavoro/windows/"
programma_linux=$(basename "$1")
programma_windows=$(basename "$2")

stato_linux=0
(cd "$lavoro/linux" && "./$programma_linux" </dev/null >"$lavoro/linux.out" 2>&1) || stato_linux=$?

(cd "$lavoro/windows" && exec "$WINE" "$programma_windows" </dev/null >"$lavoro/windows.out" 2>&1) &
pid=$!
riquadri=0
limite=$(( $(date +%s) + 300 ))
while kill -0 "$pid" 2>/dev/null; do
  if [ "$(date +%s)" -gt "$limite" ]; then
    kill "$pid"
    echo "FALLITO: il programma Windows non è finito in 300 s" >&2
    exit 1
  fi
  # Any window but the waiting one is the message box: answer it.
  if riquadro=$(aspetta_finestra_diversa_da "$pid" genera_scenario 0); then
    riquadri=$((riquadri + 1))
    premi_ok "$riquadro"
    aspetta_chiusura "$riquadro" "$pid" 15 || true
  fi
  sleep 0.1
done
stato_windows=0
wait "$pid" || stato_windows=$?

elenco() { (cd "$1" && find . -maxdepth 1 -type f ! -name "$2" -printf '%f\n' | LC_ALL=C sort); }
elenco "$lavoro/linux" "$programma_linux" >"$lavoro/elenco.linux"
elenco "$lavoro/windows" "$programma_windows" >"$lavoro/elenco.windows"

echo "Linux: stato $stato_linux; Windows: stato $stato_windows, riquadri di messaggio $riquadri"
sed 's/^/  Linux: /' "$lavoro/linux.out"
esito=0
if [ $(( stato_linux == 0 )) -ne $(( stato_windows == 0 )) ]; then
  echo "DIVERSI: un programma è riuscito e l'altro no" >&2
  esito=1
fi
if [ "$stato_linux" -ne 0 ] && [ "$riquadri" -eq 0 ]; then
  echo "DIVERSI: il programma Windows non ha mostrato il messaggio d'errore" >&2
  esito=1
fi
if ! diff -u "$lavoro/elenco.linux" "$lavoro/elenco.windows"; then
  echo "DIVERSI: i file lasciati non sono gli stessi" >&2
  esito=1
fi
uguali=0
while IFS= read -r f; do
  [ -f "$lavoro/windows/$f" ] || continue
  dimensione=$(stat -c %s "$lavoro/linux/$f")
  if cmp -s "$lavoro/linux/$f" "$lavoro/windows/$f"; then
    printf '  uguali   %9d  %s\n' "$dimensione" "$f"
    uguali=$((uguali + 1))
  else
    printf '  DIVERSI  %9d  %s\n' "$dimensione" "$f"
    cmp "$lavoro/linux/$f" "$lavoro/windows/$f" | head -1 >&2 || true
    esito=1
  fi
done <"$lavoro/elenco.linux"

if [ "$completo" -eq 1 ]; then
  attesi=$(printf '%s\n' "Velmo - Montegrieve_24817.dat" "Velmo - Montegrieve_24817.sim" \
    "Velmo - Montegrieve_24817_note.txt" "Velmo - Montegrieve_24817_rallentamenti.txt" \
    "Velmo - Montegrieve_24817_scheda_treno.txt" "Velmo - Montegrieve_linea.dat" | LC_ALL=C sort)
  if [ "$stato_linux" -ne 0 ] || [ "$stato_windows" -ne 0 ]; then
    echo "INCOMPLETO: una corsa non è riuscita" >&2
    esito=1
  fi
  if [ "$(cat "$lavoro/elenco.linux")" != "$attesi" ]; then
    echo "INCOMPLETO: non sono rimasti i sei file di una corsa completa" >&2
    esito=1
  fi
fi
if [ "$esito" -eq 0 ]; then
  echo "wine_confronto: $uguali file uguali byte per byte"
fi
exit "$esito"
