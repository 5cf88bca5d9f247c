#!/usr/bin/env bash
# The run gives byte-identical files whatever the working directory, locale,
# time zone or environment: the built program is copied into two temporary
# folders, run in each under different settings, and the six files compared.
# Usage: tests/determinismo.sh PATH_TO_genera_scenario
set -euo pipefail
programma="$(readlink -f "$1")"
a="$(mktemp -d)"
b="$(mktemp -d)"
altrove="$(mktemp -d)"
trap 'rm -rf "$a" "$b" "$altrove"' EXIT
cp "$programma" "$a/genera_scenario"
cp "$programma" "$b/genera_scenario"

# First: from inside its folder, a plain C locale, UTC, a bare environment.
(cd "$a" && env -i PATH=/usr/bin:/bin LC_ALL=C TZ=UTC ./genera_scenario </dev/null >/dev/null)
# Second: from another folder, another locale and time zone, a crowded
# environment and a different umask.
locale_b=C.UTF-8
locale -a 2>/dev/null | grep -qi '^it_IT' && locale_b="$(locale -a | grep -i '^it_IT' | head -1)"
(cd "$altrove" && umask 077 && env LC_ALL="$locale_b" LANG="$locale_b" TZ=Pacific/Kiritimati \
   HOME=/nonexistent TMPDIR="$altrove" SCENARIO=altro \
   "$b/genera_scenario" </dev/null >/dev/null)

attesi=("Velmo - Montegrieve_24817.dat" "Velmo - Montegrieve_24817.sim"
        "Velmo - Montegrieve_24817_note.txt" "Velmo - Montegrieve_24817_rallentamenti.txt"
        "Velmo - Montegrieve_24817_scheda_treno.txt" "Velmo - Montegrieve_linea.dat")
esito=0
for d in "$a" "$b"; do
  trovati="$(cd "$d" && ls | grep -v '^genera_scenario$' | sort)"
  if [ "$trovati" != "$(printf '%s\n' "${attesi[@]}" | sort)" ]; then
    echo "determinismo: files in $d are not the six expected:"; echo "$trovati"; esito=1
  fi
done
[ -z "$(ls -A "$altrove")" ] || { echo "determinismo: the run wrote into the working folder"; esito=1; }
for f in "${attesi[@]}"; do
  if cmp -s "$a/$f" "$b/$f"; then
    echo "identical: $f ($(stat -c %s "$a/$f") bytes)"
  else
    echo "DIFFERENT: $f"; esito=1
  fi
done
[ "$esito" -eq 0 ] && echo "determinismo: 6 files identical under both settings"
exit "$esito"
