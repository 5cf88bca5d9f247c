#include "run/nomi.h"
#include "texts/testi.h"

namespace scenario {

lista_righe righe_treno(piattaforma& p) {
  return riempi_righe(p, {
      // Built-in lines to come.
  });
}

void dati_treno(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno) {
  riscrivi(p, nome_linea, numero_treno, file_scenario::descrizione_treno, testo_righe(righe_treno(p)));
}

}  // namespace scenario
