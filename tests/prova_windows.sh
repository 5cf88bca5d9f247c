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
export WINE
source tests/wine_avvio.sh
trap wine_fine EXIT
wine_avvia
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
