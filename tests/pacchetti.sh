#!/usr/bin/env bash
# The packages as a user gets them, after cpack in the Linux and the Windows
# build folders:
#  - the .tar.gz, the .deb and the ZIP hold the two programs, the README and
#    docs/, and nothing else; the .deb says who maintains it and what it is;
#  - the Linux programs run from the unpacked .tar.gz, and the Windows ones
#    from the unpacked ZIP under Wine, give the same bytes: the built-in run
#    in the program's own folder (six files); "scenario compila" of the
#    built-in pair and of a pair with faults, under accented names, into an
#    accented nested folder that does not exist yet (three files, standard
#    output and error captured); "scenario decodifica" of what it wrote;
#    "scenario nuovo" and "scenario decompila" into accented new folders;
#  - --version of both programs gives the packages' version, and
#    genera_scenario --help writes nothing (on Windows: a box, answered).
#   pacchetti.sh [BUILD_LINUX [BUILD_WINDOWS]]   (default build, build-win)
# The Linux build must hold the tests' helpers (scrivi_incorporate). Wine
# runs in a temporary prefix with a private Xvfb (Debian: wine64 xvfb
# xdotool x11-utils), both removed at the end.
set -euo pipefail
radice=$(cd "$(dirname "$0")/.." && pwd)
build_linux=$(cd "${1:-$radice/build}" && pwd)
build_windows=$(cd "${2:-$radice/build-win}" && pwd)
fallisci() { echo "FALLITO: $*" >&2; exit 1; }

versione=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_linux/CMakeCache.txt")
[ -n "$versione" ] || fallisci "nessuna versione in $build_linux/CMakeCache.txt"
tgz=$(ls "$build_linux"/genera_scenario-"$versione"-linux-*.tar.gz)
deb=$(ls "$build_linux"/genera-scenario_"$versione"_*.deb)
zip=$build_windows/genera_scenario-$versione-windows-x86_64.zip
[ -f "$zip" ] || fallisci "manca $zip"
WINE=$(sed -n 's/^SCENARIO_WINE:FILEPATH=//p' "$build_windows/CMakeCache.txt")
[ -x "$WINE" ] || fallisci "Wine non trovato (Debian: wine64)"
export WINE

lavoro=$(mktemp -d)
source "$radice/tests/wine_avvio.sh"
source "$radice/tests/finestre_wine.sh"
fine() {
  wine_fine
  rm -rf "$lavoro"
}
trap fine EXIT

# --- contents --------------------------------------------------------------

documenti=$(cd "$radice" && find docs -type f | LC_ALL=C sort)
contenuto() {  # PREFIX PROGRAM_SUFFIX DOC_FOLDER: the names a package must hold
  { printf '%s\n' "$1${4}genera_scenario$2" "$1${4}scenario$2" "$1$3README.md"
    sed "s|^|$1$3|" <<<"$documenti"; } | LC_ALL=C sort
}
confronta_elenco() {  # WHAT EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    diff <(echo "$2") <(echo "$3") >&2 || true
    fallisci "$1: contenuto diverso dall'atteso"
  fi
  echo "$1: $(wc -l <<<"$3") file, come attesi"
}
cartella_tgz=$(basename "$tgz" .tar.gz)
confronta_elenco "$(basename "$tgz")" \
  "$(contenuto "$cartella_tgz/" "" share/doc/genera_scenario/ bin/)" \
  "$(tar tzf "$tgz" | grep -v '/$' | LC_ALL=C sort)"
confronta_elenco "$(basename "$deb")" \
  "$(contenuto ./usr/ "" share/doc/genera_scenario/ bin/)" \
  "$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '/$' | LC_ALL=C sort)"
cartella_zip=genera_scenario-$versione-windows-x86_64
confronta_elenco "$(basename "$zip")" \
  "$(contenuto "$cartella_zip/" .exe "" "")" \
  "$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort)"
for campo in Package:genera-scenario "Version:$versione"; do
  [ "$(dpkg-deb -f "$deb" "${campo%%:*}")" = "${campo#*:}" ] || fallisci "$(basename "$deb"): ${campo%%:*} non è ${campo#*:}"
done
for campo in Maintainer Description; do
  [ -n "$(dpkg-deb -f "$deb" "$campo")" ] || fallisci "$(basename "$deb"): campo $campo vuoto"
done
# Depends names the shared libraries the programs load: none when they are
# linked statically, some otherwise.
mkdir "$lavoro/deb"
dpkg-deb -x "$deb" "$lavoro/deb"
condivise=$(readelf -d "$lavoro/deb/usr/bin/genera_scenario" "$lavoro/deb/usr/bin/scenario" | grep -c NEEDED || true)
if [ "$condivise" -gt 0 ]; then
  [ -n "$(dpkg-deb -f "$deb" Depends)" ] || fallisci "$(basename "$deb"): campo Depends vuoto con librerie condivise"
else
  [ -z "$(dpkg-deb -f "$deb" Depends)" ] || fallisci "$(basename "$deb"): Depends per programmi statici"
fi
echo "$(basename "$deb"): $(dpkg-deb -f "$deb" Maintainer); dipende da $(dpkg-deb -f "$deb" Depends)"

mkdir "$lavoro/linux" "$lavoro/windows"
tar xzf "$tgz" -C "$lavoro/linux"
unzip -q "$zip" -d "$lavoro/windows"
linux=$lavoro/linux/$cartella_tgz/bin
windows=$lavoro/windows/$cartella_zip
for f in README.md $documenti; do
  cmp -s "$radice/$f" "$lavoro/linux/$cartella_tgz/share/doc/genera_scenario/$f" || fallisci "$f diverso nel .tar.gz"
  cmp -s "$radice/$f" "$windows/$f" || fallisci "$f diverso nello ZIP"
done

# --- the programs ------------------------------------------------------------

wine_avvia
# Arguments and file names in UTF-8, for Wine as for the Linux programs.
export LC_ALL=C.UTF-8

# Runs a Windows program of the unpacked ZIP under Wine in folder $1, with
# the arguments after $2, standard output and error to $2.out and $2.err;
# answers any box (their count in $2.riquadri) and leaves the exit status in
# $2.stato.
esegui_windows() {
  local cartella=$1 uscita=$2 programma=$3 pid stato=0 riquadri=0 riquadro limite=$(( $(date +%s) + 300 ))
  shift 3
  (cd "$cartella" && exec "$WINE" "$windows/$programma" "$@" </dev/null >"$uscita.out" 2>"$uscita.err") &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    [ "$(date +%s)" -le "$limite" ] || { kill "$pid"; fallisci "$programma $* non è finito in 300 s"; }
    if riquadro=$(aspetta_finestra_diversa_da "$pid" "" 0); then
      riquadri=$((riquadri + 1))
      premi_ok "$riquadro"
      aspetta_chiusura "$riquadro" "$pid" 15 || true
    fi
    sleep 0.1
  done
  wait "$pid" || stato=$?
  echo "$stato" >"$uscita.stato"
  echo "$riquadri" >"$uscita.riquadri"
}

elenco() { (cd "$1" && find . -type f -printf '%P\n' | LC_ALL=C sort); }
stessi_file() {  # WHAT FOLDER_LINUX FOLDER_WINDOWS
  [ "$(elenco "$2")" = "$(elenco "$3")" ] || { diff <(elenco "$2") <(elenco "$3") >&2 || true; fallisci "$1: file diversi"; }
  local f n=0
  while IFS= read -r f; do
    cmp "$2/$f" "$3/$f" >&2 || fallisci "$1: $f diverso"
    n=$((n + 1))
  done < <(elenco "$2")
  echo "$1: $n file uguali byte per byte"
}

# --version and --help.
[ "$("$linux/scenario" --version)" = "scenario $versione" ] || fallisci "scenario --version"
[ "$("$linux/genera_scenario" --version)" = "genera_scenario $versione" ] || fallisci "genera_scenario --version"
"$linux/genera_scenario" --help | grep -q '^uso: genera_scenario' || fallisci "genera_scenario --help"
[ "$(ls "$linux")" = "$(printf 'genera_scenario\nscenario')" ] || fallisci "genera_scenario --help o --version ha scritto file"
esegui_windows "$lavoro" "$lavoro/versione" scenario.exe --version
[ "$(cat "$lavoro/versione.stato")" = 0 ] && [ "$(cat "$lavoro/versione.out")" = "scenario $versione" ] ||
  fallisci "scenario.exe --version: stato $(cat "$lavoro/versione.stato"), \"$(cat "$lavoro/versione.out")\""
for a in --version --help; do
  esegui_windows "$windows" "$lavoro/genera$a" genera_scenario.exe "$a"
  [ "$(cat "$lavoro/genera$a.stato")" = 0 ] || fallisci "genera_scenario.exe $a: stato $(cat "$lavoro/genera$a.stato")"
  [ "$(cat "$lavoro/genera$a.riquadri")" = 1 ] || fallisci "genera_scenario.exe $a: $(cat "$lavoro/genera$a.riquadri") riquadri, non 1"
done
[ "$(elenco "$windows")" = "$(contenuto "" .exe "" "")" ] || fallisci "genera_scenario.exe --help o --version ha scritto file"
echo "--version: scenario $versione, genera_scenario $versione; --help e --version non scrivono nulla"

# The built-in run, each program in its own unpacked folder.
(cd "$lavoro" && "$linux/genera_scenario" >/dev/null)
esegui_windows "$lavoro" "$lavoro/corsa" genera_scenario.exe
[ "$(cat "$lavoro/corsa.stato")" = 0 ] || fallisci "genera_scenario.exe: stato $(cat "$lavoro/corsa.stato")"
mkdir "$lavoro/corsa.linux" "$lavoro/corsa.windows"
find "$linux" -maxdepth 1 -name 'Velmo*' -exec mv {} "$lavoro/corsa.linux/" \;
find "$windows" -maxdepth 1 -name 'Velmo*' -exec mv {} "$lavoro/corsa.windows/" \;
[ "$(elenco "$lavoro/corsa.linux" | wc -l)" = 6 ] || fallisci "la corsa Linux non ha lasciato sei file"
stessi_file "corsa incorporata" "$lavoro/corsa.linux" "$lavoro/corsa.windows"

# The tool, with accented names on the command line, in the files it reads
# and in the folder it makes.
for sistema in linux windows; do
  d=$lavoro/strumento.$sistema
  mkdir -p "$d/descrizioni è"
  "$build_linux/scrivi_incorporate" "$d/descrizioni è"
  mv "$d/descrizioni è/linea.txt" "$d/descrizioni è/línea.txt"
  mv "$d/descrizioni è/treno.txt" "$d/descrizioni è/trèno.txt"
  cp "$radice/tests/fixtures/autori/guasti_linea.txt" "$d/descrizioni è/guasti_línea.txt"
  cp "$radice/tests/fixtures/autori/guasti_treno.txt" "$d/descrizioni è/guasti_trèno.txt"
done
# The tool on both systems, in the folders above: exit status, standard
# error and standard output alike byte for byte; in the output of compila,
# nuovo and decompila the Windows names of the files written end in
# "\NAME", as the tool joins the folder with the system's separator.
strumento() {  # NAME ARGUMENTS...: outputs in NAME.linux.* and NAME.windows.*
  local nome=$1 stato=0 x
  shift
  (cd "$lavoro/strumento.linux" && exec "$linux/scenario" "$@" >"../$nome.linux.out" 2>"../$nome.linux.err") || stato=$?
  echo "$stato" >"$lavoro/$nome.linux.stato"
  esegui_windows "$lavoro/strumento.windows" "$lavoro/$nome.windows" scenario.exe "$@"
  case $1 in
    compila | nuovo | decompila) sed -i 's|^\(scritto: .*\)\\|\1/|' "$lavoro/$nome.windows.out" ;;
  esac
  for x in stato err out; do
    cmp -s "$lavoro/$nome.linux.$x" "$lavoro/$nome.windows.$x" || {
      diff "$lavoro/$nome.linux.$x" "$lavoro/$nome.windows.$x" | head -5 >&2 || true
      fallisci "scenario $*: $x diverso"
    }
  done
  echo "scenario $1: stato $(cat "$lavoro/$nome.linux.stato"), uscita ($(wc -l <"$lavoro/$nome.linux.out") righe)" \
    "ed errore ($(wc -l <"$lavoro/$nome.linux.err") righe) uguali byte per byte"
}
strumento incorporata compila "descrizioni è/línea.txt" "descrizioni è/trèno.txt" --out "uscità/più/giù"
[ "$(cat "$lavoro/incorporata.linux.stato")" = 0 ] || fallisci "la coppia incorporata non compila pulita"
strumento guasti compila "descrizioni è/guasti_línea.txt" "descrizioni è/guasti_trèno.txt" --out "uscità/guasti"
grep -q '^descrizioni è/guasti_línea.txt:4: avviso' "$lavoro/guasti.windows.err" || fallisci "nome accentato perso nella diagnostica"
strumento voci decodifica "uscità/più/giù/Velmo - Montegrieve_24817.sim"
strumento oggetti decodifica "uscità/più/giù/Velmo - Montegrieve_24817.dat" --oggetti
strumento geometria decodifica "uscità/più/giù/Velmo - Montegrieve_linea.dat" --from 0 --to 20
strumento nuovo nuovo "partènza/coppià"
strumento decompila decompila "uscità/più/giù/Velmo - Montegrieve_24817.sim" "uscità/più/giù/Velmo - Montegrieve_24817.dat" \
  "uscità/più/giù/Velmo - Montegrieve_linea.dat" --out "ricavàte/quì"
[ -s "$lavoro/strumento.windows/ricavàte/quì/linea.txt" ] || fallisci "scenario.exe decompila: nessuna linea.txt nella cartella accentata"
stessi_file "scenario compila" "$lavoro/strumento.linux" "$lavoro/strumento.windows"
for f in "Velmo - Montegrieve_linea.dat" "Velmo - Montegrieve_24817.sim" "Velmo - Montegrieve_24817.dat"; do
  cmp "$lavoro/corsa.linux/$f" "$lavoro/strumento.windows/uscità/più/giù/$f" >&2 ||
    fallisci "scenario.exe compila della coppia incorporata: $f diverso da quello del programma"
done
echo "pacchetti: riuscito"
