#!/usr/bin/env bash
# The program's speed and memory, as figures (nothing here passes or fails):
#   1. the whole built-in run, against copying its six files with cp;
#   2. the compile and write of a dense 1 000 000 m line, against the raw
#      write of the same bytes (Google Benchmark, bench/compilazione_bench.cc);
#   3. peak memory (GNU time) of the built-in run, and of one compile of the
#      dense line at growing lengths.
# Needs cmake, a C++20 compiler, Google Benchmark and GNU time (Debian:
# libbenchmark-dev time). Usage: bench/misura.sh [RUNS]   (default 50)
set -euo pipefail
cd "$(dirname "$0")/.."
corse="${1:-50}"

cmake -S . -B build-bench -DSCENARIO_BENCHMARKS=ON -DSCENARIO_TESTS=OFF >/dev/null
cmake --build build-bench -j2 --target genera_scenario scenario_bench corsa_densa >/dev/null

lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
mkdir -p "$lavoro/programma" "$lavoro/copia" "$lavoro/densa"
cp build-bench/genera_scenario "$lavoro/programma/"
"$lavoro/programma/genera_scenario" >/dev/null
sei=()
for f in "$lavoro/programma"/*; do [ "$(basename "$f")" = genera_scenario ] || sei+=("$f"); done

ora() { date +%s%N; }
ms() { awk -v n="$1" -v c="$corse" 'BEGIN { printf "%.2f", n / c / 1e6 }'; }

echo "== 1. whole built-in run against cp of its ${#sei[@]} files"
# Five batches of each, interleaved; the fastest batch of each counts.
corsa=0; copia=0
for ((lotto = 0; lotto < 5; lotto++)); do
  t0=$(ora)
  for ((i = 0; i < corse; i++)); do "$lavoro/programma/genera_scenario" >/dev/null; done
  t1=$(ora)
  for ((i = 0; i < corse; i++)); do cp "${sei[@]}" "$lavoro/copia/"; done
  t2=$(ora)
  if [ "$corsa" -eq 0 ] || [ $((t1 - t0)) -lt "$corsa" ]; then corsa=$((t1 - t0)); fi
  if [ "$copia" -eq 0 ] || [ $((t2 - t1)) -lt "$copia" ]; then copia=$((t2 - t1)); fi
done
echo "run:  $(ms $corsa) ms per run (fastest of 5 batches of $corse)"
echo "cp:   $(ms $copia) ms per copy of the six files"
awk -v a="$corsa" -v b="$copia" 'BEGIN { printf "ratio run/cp: %.2f (target: at most 2)\n", a / b }'

echo
echo "== 2. compile and write of the dense line against the raw write of its bytes"
# The machine may be shared: each benchmark is repeated and its fastest
# repetition (the one least disturbed) is taken.
build-bench/scenario_bench --benchmark_filter='Incorporata|Densa1000km' --benchmark_format=csv \
    --benchmark_min_time=0.5 --benchmark_repetitions=10 2>/dev/null >"$lavoro/bench.csv"
awk -F, '
  /^"BM_/ {
    gsub(/"/, "", $1)
    if ($1 ~ /_(mean|median|stddev|cv)$/) next
    if (!($1 in t) || $3 + 0 < t[$1]) t[$1] = $3 + 0
    if (!($1 in ordine)) { ordine[$1] = ++n; nomi[n] = $1 }
  }
  END {
    for (i = 1; i <= n; i++) printf "%-34s %10.2f ms (fastest of 10)\n", nomi[i], t[nomi[i]]
    printf "ratio built-in compile (in memory) / raw write:   %.2f\n", t["BM_CompilaIncorporata"] / t["BM_ScritturaGrezzaIncorporata"]
    printf "ratio dense 1000 km compile onto disk / raw write: %.2f (target: at most 2)\n", t["BM_CompilaDensa1000kmSuDisco"] / t["BM_ScritturaGrezzaDensa1000km"]
    printf "ratio dense 1000 km compile in memory / raw write: %.2f\n", t["BM_CompilaDensa1000km"] / t["BM_ScritturaGrezzaDensa1000km"]
  }' "$lavoro/bench.csv"

echo
echo "== 3. peak memory (maximum resident set size)"
picco() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }'; }
kb=$(picco "$lavoro/programma/genera_scenario")
awk -v k="$kb" 'BEGIN { printf "built-in run (104.3 km): %6.1f MB (target: under 16 MB)\n", k / 1024 }'
prima=0; prima_l=0
for l in 125000 250000 500000 1000000; do
  kb=$(picco build-bench/corsa_densa "$l" "$lavoro/densa")
  if [ "$prima_l" -gt 0 ]; then
    awk -v l="$l" -v k="$kb" -v p="$prima" -v pl="$prima_l" \
      'BEGIN { printf "dense line %7d m: %6.1f MB, %5.1f bytes per metre added since the previous length\n", l, k / 1024, (k - p) * 1024 / (l - pl) }'
  else
    awk -v l="$l" -v k="$kb" 'BEGIN { printf "dense line %7d m: %6.1f MB\n", l, k / 1024 }'
  fi
  prima=$kb; prima_l=$l
done
