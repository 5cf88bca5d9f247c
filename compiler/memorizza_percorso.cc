#include <string>

#include "compiler/codici.h"
#include "compiler/compilazione.h"
#include "compiler/completamento.h"
#include "compiler/esecuzione.h"
#include "compiler/file_uscita.h"
#include "compiler/memorizza.h"
#include "compiler/voci.h"

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

  // The reserved fields: the fixed values and the two scenario codes must
  // find them free.
  voce& linea = m.voci[voce_linea];
  cella& c1 = m.celle[1];
  if (linea.gruppo_1a != 0 || c1.dato1 != 0) return rapporto_finale{"1250"};
  linea.gruppo_1a = kValoreFissoVoceLinea;
  c1.dato1 = kValoreFissoCellaUno;
  if (linea.orario != 0 || c1.dato2 != 0) return rapporto_finale{"1251"};
  linea.orario = codice_gara_st(p, m);
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
