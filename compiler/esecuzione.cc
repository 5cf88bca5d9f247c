#include "compiler/esecuzione.h"

namespace scenario {

void registra(modello& m, int32_t codice) {
  m.codice_errore = codice;
  m.guasti.push_back({codice, m.posizione_errore, m.sorgente_file, m.sorgente_riga});
}

void registra(modello& m, int32_t codice, int32_t posizione) {
  m.posizione_errore = posizione;
  registra(m, codice);
}

}  // namespace scenario
