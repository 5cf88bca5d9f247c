#include "run/generazione.h"

#include <cerrno>
#include <exception>

#include "compiler/memorizza.h"
#include "compiler/modello.h"
#include "texts/testi.h"

namespace scenario {

void Form_Load(piattaforma& p) {
  modello m;
  m.nome_linea = kNomeLinea;
  m.numero_treno = kNumeroTreno;
  p.mostra_attesa();

  dati_linea(p, m.nome_linea);
  dati_treno(p, m.nome_linea, m.numero_treno);
  dati_note(p, m.nome_linea, m.numero_treno);
  dati_rallentamenti(p, m.nome_linea, m.numero_treno);
  dati_scheda(p, m.nome_linea, m.numero_treno);

  int32_t j = 1;
  memorizza_percorso(p, m, j);
}

int esegui(piattaforma& p) {
  try {
    Form_Load(p);
  } catch (const errore_sistema& e) {
    p.rapporto_errore(e);
    return 1;
  } catch (const std::exception& e) {
    p.rapporto_errore(errore_sistema("", 0, e.what()));
    return 1;
  }
  return 0;
}

}  // namespace scenario
