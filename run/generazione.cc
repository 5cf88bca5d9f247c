#include "run/generazione.h"

#include <exception>

#include "compiler/compilazione.h"
#include "run/errore.h"
#include "texts/testi.h"

namespace scenario {

void Form_Load(piattaforma& p) {
  const identita id = identita_incorporata();
  p.mostra_attesa();

  dati_linea(p, id.nome_linea);
  dati_treno(p, id.nome_linea, id.numero_treno);
  dati_note(p, id.nome_linea, id.numero_treno);
  dati_rallentamenti(p, id.nome_linea, id.numero_treno);
  dati_scheda(p, id.nome_linea, id.numero_treno);

  const risultato_compilazione r = compila(p, id, true);
  if (r.sistema) throw *r.sistema;
  if (r.rapporto) errore(p, r.rapporto->codice);
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
