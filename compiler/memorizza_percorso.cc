#include <string>

#include "compiler/codici.h"
#include "compiler/compilazione.h"
#include "compiler/completamento.h"
#include "compiler/esecuzione.h"
#include "compiler/file_uscita.h"
#include "compiler/memorizza.h"

namespace scenario {

std::optional<rapporto_finale> memorizza_percorso(piattaforma& p, modello& m, int32_t j) {
  m.calcola_tracciato = j;
  m.codice_errore = 0;
  pulisci_voci(m);
  memorizza_dati(p, m);

  // The line reader stopped before the track table existed: there is nothing
  // to complete, check or write, and the run must not look successful.
  if (m.celle.size() < 2) return rapporto_finale{std::to_string(m.codice_errore)};

  completa_tracciato(m);

  voce& v85 = m.voci[85];
  cella& c1 = m.celle[1];
  if (v85.gruppo_1a != 0 || c1.dato1 != 0) return rapporto_finale{"1250"};
  v85.gruppo_1a = 610;
  c1.dato1 = 5121;
  if (v85.orario != 0 || c1.dato2 != 0) return rapporto_finale{"1251"};
  v85.orario = codice_gara_st(p, m);
  c1.dato2 = codice_gara_og(p, m);

  scrivi_file_compilati(p, m);
  return std::nullopt;
}

risultato_compilazione compila(piattaforma& p, const identita& id, bool geometria) {
  risultato_compilazione r;
  r.m.nome_linea = id.nome_linea;
  r.m.numero_treno = id.numero_treno;
  try {
    r.rapporto = memorizza_percorso(p, r.m, geometria ? 1 : 0);
  } catch (const errore_sistema& e) {
    r.sistema = e;
  }
  return r;
}

}  // namespace scenario
