#!/usr/bin/env bash
# The Windows side of the checks: builds the program and its tests for
# Windows with MinGW-w64, runs the tests under Wine, compares the files the
# Windows program leaves with those of the Linux program, and checks the
# window and the error report under Xvfb.
#   prova_windows.sh [LINUX_PROGRAM]   (default build/genera_scenario)
# Wine runs in a temporary prefix and a private Xvfb, both removed at the
# end.
set -euo pipefail
cd "$(dirname "$0")/.."
programma_linux=${1:-build/genera_scenario}
[ -x "$programma_linux" ] || { echo "manca il programma Linux $programma_linux" >&2; exit 2; }

secondi() { date +%s.%N; }
durata() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f s", b - a }'; }
inizio=$(secondi)

cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
cmake --build build-win -j2
compilato=$(secondi)

WINE=$(sed -n 's/^SCENARIO_WINE:FILEPATH=//p' build-win/CMakeCache.txt)
[ -x "$WINE" ] || { echo "Wine non trovato (Debian: wine64)" >&2; exit 2; }
export WINE WINEDEBUG=-all WINEPREFIX
WINEPREFIX=$(mktemp -d)
SCHERMO=$(mktemp -d)
export SCHERMO
server=$(dirname "$WINE")/wineserver
[ -x "$server" ] || server=wineserver
xvfb=
fine() {
  WINEPREFIX=$WINEPREFIX "$server" -k 2>/dev/null || true
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  rm -rf "$WINEPREFIX" "$SCHERMO"
}
trap fine EXIT

# A private X server on the first free display.
n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -fbdir "$SCHERMO" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb non parte" >&2; exit 1; }

# The prefix, and a Wine server kept for the whole run with its services'
# output sent nowhere (see cmake/emulatore_wine.sh).
"$server" -p </dev/null >/dev/null 2>&1
"$WINE" wineboot -i </dev/null >/dev/null 2>&1
avviato=$(secondi)

# Now and then a Windows program dies under Wine as it starts, before any
# of its code runs (no output at all); a test is therefore tried up to three
# times, and one that fails three times fails the run.
ctest --test-dir build-win --output-on-failure --repeat until-pass:3
provato=$(secondi)
tests/wine_confronto.sh --completo "$programma_linux" build-win/genera_scenario.exe
confrontato=$(secondi)
FOTO=build-win tests/finestra_windows.sh build-win/prova_errore.exe build-win/genera_scenario.exe
finito=$(secondi)

echo "Tempi della parte Windows: compilazione $(durata "$inizio" "$compilato"), prefisso Wine" \
  "$(durata "$compilato" "$avviato"), test sotto Wine $(durata "$avviato" "$provato"), confronto" \
  "$(durata "$provato" "$confrontato"), finestra $(durata "$confrontato" "$finito"); in tutto" \
  "$(durata "$inizio" "$finito")"
