#include "run/nomi.h"
#include "texts/testi.h"

namespace scenario {

lista_righe righe_rallentamenti(piattaforma& p) {
  return riempi_righe(p, {
      // Built-in lines to come.
  });
}

void dati_rallentamenti(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno) {
  riscrivi(p, nome_linea, numero_treno, file_scenario::rallentamenti, testo_righe(righe_rallentamenti(p)));
}

}  // namespace scenario
