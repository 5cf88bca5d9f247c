#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time on a
# copy of its seed corpus (fuzz/corpus/TARGET and the regression inputs in
# tests/fixtures/fuzz/TARGET). A crash, a sanitizer report, a broken check or
# an input slower than the per-input limit fails the run; the input is left
# in the work folder named on the output.
# Usage: fuzz/esegui.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
secondi="${1:-60}"
cxx="${CXX_FUZZ:-clang++-14}"

CXX="$cxx" cmake -S fuzz -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2

lavoro="$(mktemp -d)"
echo "fuzz: work folder $lavoro"
esito=0
for t in $(ls fuzz/corpus); do
  mkdir -p "$lavoro/$t/corpus" "$lavoro/$t/trovati"
  semi=("fuzz/corpus/$t")
  [ -d "tests/fixtures/fuzz/$t" ] && semi+=("tests/fixtures/fuzz/$t")
  echo "fuzz: $t for ${secondi}s"
  if ! (cd "$lavoro/$t/trovati" && "$OLDPWD/build-fuzz/fuzz_$t" \
          -max_total_time="$secondi" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
          "$lavoro/$t/corpus" "${semi[@]/#/$OLDPWD/}" >"$lavoro/$t.log" 2>&1); then
    echo "fuzz: $t FAILED; its input is in $lavoro/$t/trovati:"
    ls "$lavoro/$t/trovati"
    grep -E 'ERROR|violated|escaped|runtime error|timeout|SUMMARY' "$lavoro/$t.log" | head -20
    esito=1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec)' "$lavoro/$t.log" || true
done
[ "$esito" -eq 0 ] && rm -rf "$lavoro"
exit "$esito"
