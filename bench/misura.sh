#!/usr/bin/env bash
# The program's speed and memory as figures (nothing here passes or fails),
# whole processes against whole processes:
#   1. the built-in run against cp of its six files;
#   2. `scenario compila` of the dense 1 000 000 m scenario against cp of its
#      three outputs;
#   3. peak memory of the built-in run, of the dense compile (the program's
#      compiler and the tool) at growing lengths, of `scenario decodifica`,
#      `scenario grafico` and `scenario decompila` on the dense scenario;
#   4. the Google Benchmark figures of parts inside one process.
# Both sides of a comparison write new files into folders that do not hold
# them (the outputs of the run before are deleted, untimed); the runs are
# interleaved, each pair in turn order swapped, and the figure is the median
# of the paired ratios. CPU time is user + system of the measured process
# alone (bench/corsa/cronometro.cc).
# Needs cmake, a C++20 compiler and Google Benchmark (Debian: cmake g++
# libbenchmark-dev). Usage: bench/misura.sh [PAIRS]   (default 41)
set -euo pipefail
cd "$(dirname "$0")/.."
coppie="${1:-41}"

lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
# The build's own output only when it fails.
if ! { cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSCENARIO_BENCHMARKS=ON -DSCENARIO_TESTS=OFF &&
  cmake --build build-bench -j2 --target genera_scenario scenario scenario_bench corsa_densa descrizioni_dense \
    cronometro; } >"$lavoro/build.log" 2>&1; then
  cat "$lavoro/build.log"
  exit 1
fi
b="$PWD/build-bench"
crono="$b/cronometro"

carico() { cut -d' ' -f1-3 /proc/loadavg; }
echo "machine: $(nproc) cores, $(awk '/MemTotal/ { printf "%.0f GB", $2 / 1048576 }' /proc/meminfo), load average (1, 5, 15 min) at start: $(carico)"

# Median of the numbers on standard input.
mediana() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# confronta NAME PREP_A CMD_A -- PREP_B CMD_B: runs A and B in pairs, each
# after its own untimed preparation, and prints the medians of each side and
# of the paired ratios A/B, for CPU and wall time.
confronta() {
  local nome="$1" prep_a="$2" cmd_a="$3" prep_b="$4" cmd_b="$5" i ra rb
  : >"$lavoro/coppie"
  eval "$prep_a"; eval "$crono $cmd_a" >/dev/null  # one warm-up of each
  eval "$prep_b"; eval "$crono $cmd_b" >/dev/null
  for ((i = 0; i < coppie; i++)); do
    if ((i % 2 == 0)); then
      eval "$prep_a"; ra=$(eval "$crono $cmd_a")
      eval "$prep_b"; rb=$(eval "$crono $cmd_b")
    else
      eval "$prep_b"; rb=$(eval "$crono $cmd_b")
      eval "$prep_a"; ra=$(eval "$crono $cmd_a")
    fi
    echo "$ra $rb" >>"$lavoro/coppie"
  done
  local cpu_a cpu_b par_a par_b r_cpu r_par
  cpu_a=$(awk '{ print $1 / 1000 }' "$lavoro/coppie" | mediana)
  cpu_b=$(awk '{ print $7 / 1000 }' "$lavoro/coppie" | mediana)
  par_a=$(awk '{ print $2 / 1000 }' "$lavoro/coppie" | mediana)
  par_b=$(awk '{ print $8 / 1000 }' "$lavoro/coppie" | mediana)
  r_cpu=$(awk '{ print $1 / $7 }' "$lavoro/coppie" | mediana)
  r_par=$(awk '{ print $2 / $8 }' "$lavoro/coppie" | mediana)
  printf '%s, %d pairs (medians):\n' "$nome" "$coppie"
  printf '  CPU time:  %8.2f ms against %8.2f ms, paired ratio %.2f\n' "$cpu_a" "$cpu_b" "$r_cpu"
  printf '  wall time: %8.2f ms against %8.2f ms, paired ratio %.2f\n' "$par_a" "$par_b" "$r_par"
  if awk '$4 != 0 { bad = 1 } END { exit !bad }' "$lavoro/coppie"; then echo "  (the program failed on some runs)"; fi
}

# The built-in run in a folder of its own, and its six files kept aside.
mkdir -p "$lavoro/programma" "$lavoro/sei" "$lavoro/copia6"
cp "$b/genera_scenario" "$lavoro/programma/"
"$lavoro/programma/genera_scenario" >/dev/null
find "$lavoro/programma" -type f ! -name genera_scenario -exec mv {} "$lavoro/sei/" \;
echo
confronta "1. built-in run against cp of its $(ls "$lavoro/sei" | wc -l) files" \
  'find "$lavoro/programma" -type f ! -name genera_scenario -delete' '"$lavoro/programma/genera_scenario"' \
  'rm -f "$lavoro/copia6"/*' 'cp "$lavoro/sei"/* "$lavoro/copia6/"'
echo "  target: CPU ratio at most 1.5"

# The dense scenario on disk, and its three compiled files kept aside.
densa() {
  mkdir -p "$lavoro/densa$1"
  "$b/descrizioni_dense" "$1" "$lavoro/densa$1/linea.txt" "$lavoro/densa$1/treno.txt"
}
densa 1000000
mkdir -p "$lavoro/uscita" "$lavoro/tre" "$lavoro/copia3"
"$b/scenario" compila "$lavoro/densa1000000/linea.txt" "$lavoro/densa1000000/treno.txt" --out "$lavoro/tre" \
  >/dev/null 2>&1 || true
echo
confronta "2. scenario compila, dense 1000000 m scenario, against cp of its $(ls "$lavoro/tre" | wc -l) outputs" \
  'rm -f "$lavoro/uscita"/*' \
  '"$b/scenario" compila "$lavoro/densa1000000/linea.txt" "$lavoro/densa1000000/treno.txt" --out "$lavoro/uscita"' \
  'rm -f "$lavoro/copia3"/*' 'cp "$lavoro/tre"/* "$lavoro/copia3/"'
echo "  target: CPU ratio at most 2"

echo
echo "3. peak memory (maximum resident set size, median of 5 runs)"
picco() {
  local i
  for ((i = 0; i < 5; i++)); do "$crono" "$@" | awk '{ print $3 }'; done | mediana
}
mb() { awk -v k="$1" 'BEGIN { printf "%6.1f MB", k / 1024 }'; }
echo "  built-in run (104.3 km):                      $(mb "$(picco "$lavoro/programma/genera_scenario")") (target: at most 5 MB)"
mkdir -p "$lavoro/corsa"
for l in 125000 250000 500000 1000000; do
  [ -d "$lavoro/densa$l" ] || densa "$l"
  printf '  dense %7d m, program'"'"'s compiler:       %s\n' "$l" "$(mb "$(picco "$b/corsa_densa" "$l" "$lavoro/corsa")")"
  printf '  dense %7d m, scenario compila:          %s\n' "$l" \
    "$(mb "$(picco "$b/scenario" compila "$lavoro/densa$l/linea.txt" "$lavoro/densa$l/treno.txt" --out "$lavoro/uscita")")"
done
echo "  (target for every dense compile: at most 8 MB)"
g="$lavoro/tre/$(cd "$lavoro/tre" && ls *_linea.dat)"
echo "  scenario decodifica of the dense geometry:    $(mb "$(picco "$b/scenario" decodifica "$g")")"
echo "    the same with every row as CSV:             $(mb "$(picco "$b/scenario" decodifica "$g" --csv --from 0)")"
echo "  scenario grafico of the dense binary files:   $(mb "$(picco "$b/scenario" grafico "$lavoro/tre"/*)")"
echo "  scenario grafico of the dense descriptions:   $(mb "$(picco "$b/scenario" grafico "$lavoro/densa1000000/linea.txt" "$lavoro/densa1000000/treno.txt")")"
mkdir -p "$lavoro/decompilate"
echo "  scenario decompila of the dense binary files:  $(mb "$(picco "$b/scenario" decompila "$lavoro/tre"/* --out "$lavoro/decompilate" --force)")"
echo "  (target for decodifica, grafico and decompila: at most 16 MB)"

echo
echo "4. inside one process (Google Benchmark, fastest of 10 repetitions): parts, not whole runs"
# One benchmark at a time: the CSV form wants the same counters in every row.
: >"$lavoro/bench.csv"
for nome in $("$b/scenario_bench" --benchmark_list_tests); do
  "$b/scenario_bench" --benchmark_filter="^$nome\$" --benchmark_format=csv --benchmark_min_time=0.2 \
    --benchmark_repetitions=10 2>/dev/null >>"$lavoro/bench.csv"
done
awk -F, '
  /^"BM_/ {
    gsub(/"/, "", $1)
    if ($1 ~ /_(mean|median|stddev|cv)$/) next
    if (!($1 in t) || $3 + 0 < t[$1]) { t[$1] = $3 + 0; u[$1] = $5 }
    if (!($1 in ordine)) { ordine[$1] = ++n; nomi[n] = $1 }
  }
  END { for (i = 1; i <= n; i++) printf "  %-40s %10.3f %s\n", nomi[i], t[nomi[i]], u[nomi[i]] }' "$lavoro/bench.csv"

echo
echo "load average (1, 5, 15 min) at the end: $(carico)"
