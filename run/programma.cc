#include "run/programma.h"

#include "common/versione.h"
#include "run/generazione.h"

namespace scenario {
namespace {

constexpr const char* kAiuto =
    "uso: genera_scenario [--help | --version]\n"
    "\n"
    "Scrive nella propria cartella lo scenario \"Velmo - Montegrieve\" con il treno\n"
    "24817: le note della linea, il modulo dei rallentamenti, la scheda del treno\n"
    "e i tre file del simulatore (geometria della linea, voci, celle). Non chiede\n"
    "nulla e non legge altro che le proprie descrizioni, che cancella alla fine.\n"
    "\n"
    "  --help, -h   questo aiuto\n"
    "  --version    la versione\n"
    "\n"
    "Ogni altro argomento è ignorato. Per compilare descrizioni proprie c'è lo\n"
    "strumento \"scenario\" (scenario compila --help).\n";

}  // namespace

int programma(piattaforma& p, const std::vector<std::string>& argomenti) {
  for (const std::string& a : argomenti) {
    if (a == "--help" || a == "-h") {
      p.mostra_informazione(kAiuto);
      return 0;
    }
    if (a == "--version") {
      p.mostra_informazione(std::string("genera_scenario ") + kVersione + "\n");
      return 0;
    }
  }
  return esegui(p);
}

}  // namespace scenario
