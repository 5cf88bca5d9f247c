#include "compiler/esecuzione.h"

#include "compiler/guasti.h"

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

void annota_provenienza(modello& m, genere_provenienza genere, int32_t metro, int64_t cella, int32_t voce) {
  if (m.sorgente_file == 0) return;
  provenienza o;
  o.genere = genere;
  o.file = static_cast<uint8_t>(m.sorgente_file);
  o.riga = m.sorgente_riga;
  o.metro = metro;
  o.cella = static_cast<int32_t>(cella);
  o.voce = voce;
  if (!m.provenienze.empty() && m.provenienze.back().genere == genere && m.provenienze.back().cella == o.cella &&
      m.provenienze.back().voce == voce) {
    m.provenienze.back() = o;
  } else {
    m.provenienze.push_back(o);
  }
}

void registra_fallimento(modello& m, std::string motivo) {
  const std::size_t prima = m.guasti.size();
  registra(m, codice_lettura);
  if (m.guasti.size() > prima) m.guasti.back().dettaglio = std::move(motivo);
}

}  // namespace scenario
