#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time from
# its seeds (fuzz/corpus/TARGET, the regression inputs in
# tests/fixtures/fuzz/TARGET and the descriptions among the tests' fixtures)
# into a work folder. A crash, a sanitizer report, a broken check or
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
radice="$PWD"
# The descriptions that the tests use as fixtures are seeds too: a file
# named for the line feeds the line target, one named for the train the
# train target, and a pair of them (X_linea, X_treno) the target of both.
semi_dei_test() {
  local t="$1" f
  find tests/fixtures -path tests/fixtures/fuzz -prune -o -type f -name '*.txt' -print | sort | while read -r f; do
    case "$t:$(basename "$f")" in
      linea:*linea*|piano:*linea*) cp "$f" "$lavoro/$t/corpus/test_$(echo "$f" | tr / _)" ;;
      treno:*treno*) cp "$f" "$lavoro/$t/corpus/test_$(echo "$f" | tr / _)" ;;
      coppia:*linea*|strumento:*linea*)
        local g="$(dirname "$f")/$(basename "$f" | sed 's/linea/treno/')"
        if [ -f "$g" ]; then
          { cat "$f"; printf '\n==treno==\n'; cat "$g"; } >"$lavoro/$t/corpus/test_$(echo "$f" | tr / _)"
        fi ;;
    esac
  done
}
for t in $(ls fuzz/corpus); do
  mkdir -p "$lavoro/$t/corpus" "$lavoro/$t/trovati"
  semi=("$radice/fuzz/corpus/$t")
  [ -d "tests/fixtures/fuzz/$t" ] && semi+=("$radice/tests/fixtures/fuzz/$t")
  # Each target's seeds are its own corpus; the plan target also starts from
  # the line target's regression inputs, the tool's from the pair target's.
  case "$t" in
    piano) [ -d tests/fixtures/fuzz/linea ] && semi+=("$radice/tests/fixtures/fuzz/linea") ;;
    strumento) [ -d tests/fixtures/fuzz/coppia ] && semi+=("$radice/tests/fixtures/fuzz/coppia") ;;
  esac
  semi_dei_test "$t"
  echo "fuzz: $t for ${secondi}s, from $(ls "${semi[@]}" "$lavoro/$t/corpus" | grep -vc -e '^$' -e ':$') seeds"
  if ! (cd "$lavoro/$t/trovati" && "$radice/build-fuzz/fuzz_$t" \
          -max_total_time="$secondi" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
          "$lavoro/$t/corpus" "${semi[@]}" >"$lavoro/$t.log" 2>&1); then
    echo "fuzz: $t FAILED; its input is in $lavoro/$t/trovati:"
    ls "$lavoro/$t/trovati"
    grep -E 'ERROR|violated|escaped|runtime error|timeout|SUMMARY' "$lavoro/$t.log" | head -20
    esito=1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec)' "$lavoro/$t.log" || true
done
[ "$esito" -eq 0 ] && rm -rf "$lavoro"
exit "$esito"
