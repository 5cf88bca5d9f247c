#include "compiler/esecuzione.h"

namespace scenario {

void registra(modello& m, int32_t codice) {
  m.codice_errore = codice;
  ++m.guasti_registrati;
  if (++m.guasti_contati[codice] > kDiagnosiPerGenere) return;
  guasto g;
  g.codice = codice;
  g.posizione = m.posizione_errore;
  g.file = m.sorgente_file;
  g.riga = m.sorgente_riga;
  g.ordine = static_cast<int>(m.guasti.size() + m.avvisi.size());
  m.guasti.push_back(std::move(g));
}

void registra(modello& m, int32_t codice, int32_t posizione) {
  m.posizione_errore = posizione;
  registra(m, codice);
}

}  // namespace scenario
