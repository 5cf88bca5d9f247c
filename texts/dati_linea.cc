#include "run/nomi.h"
#include "texts/testi.h"

namespace scenario {

lista_righe righe_linea(piattaforma& p) {
  return riempi_righe(p, {
      // Built-in lines to come.
  });
}

void dati_linea(piattaforma& p, const std::string& nome_linea) {
  riscrivi(p, nome_linea, "", file_scenario::descrizione_linea, testo_righe(righe_linea(p)));
}

}  // namespace scenario
