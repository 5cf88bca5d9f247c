#include "run/nomi.h"
#include "texts/testi.h"

namespace scenario {

lista_righe righe_note(piattaforma& p) {
  return riempi_righe(p, {
      // Built-in lines to come.
  });
}

void dati_note(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno) {
  riscrivi(p, nome_linea, numero_treno, file_scenario::note, testo_righe(righe_note(p)));
}

}  // namespace scenario
