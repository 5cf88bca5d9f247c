// One compile of the dense scenario of a given length (bench/linea_densa.h)
// in a folder on disk: the descriptions are written there, then the compiler
// driver reads them and writes the three files, as in the program's run.
// Made for measuring one process's time and peak memory (bench/misura.sh).
// Usage: corsa_densa LENGTH_IN_METRES FOLDER
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/linea_densa.h"
#include "compiler/compilazione.h"
#include "compiler/modello.h"
#include "platform/piattaforma.h"
#include "common/identita.h"
#include "common/nomi.h"

int main(int argc, char** argv) {
  using namespace scenario;
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s LENGTH_IN_METRES FOLDER\n", argv[0]);
    return 2;
  }
  const long lunghezza = std::strtol(argv[1], nullptr, 10);
  if (lunghezza < 10000 || lunghezza > kLunghezzaMassima) {
    std::fprintf(stderr, "length must be 10000 to %d metres\n", kLunghezzaMassima);
    return 2;
  }
  auto p = piattaforma_di_sistema(argv[2]);
  try {
    modello m;
    m.nome_linea = kNomeLinea;
    m.numero_treno = kNumeroTreno;
    riscrivi(*p, m.nome_linea, m.numero_treno, file_scenario::descrizione_linea,
             linea_densa(static_cast<int32_t>(lunghezza)));
    riscrivi(*p, m.nome_linea, m.numero_treno, file_scenario::descrizione_treno,
             treno_denso(static_cast<int32_t>(lunghezza)));
    m = compila(*p, identita_incorporata(), true).m;
    std::printf("codice_errore %d ultima_cella %d\n", m.codice_errore, m.ultima_cella);
  } catch (const errore_sistema& e) {
    p->rapporto_errore(e);
    return 1;
  }
  return 0;
}
