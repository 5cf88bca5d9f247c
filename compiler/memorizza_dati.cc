#include <new>
#include <string>
#include <utility>

#include "compiler/guasti.h"
#include "compiler/esecuzione.h"
#include "compiler/lettori.h"
#include "compiler/memorizza.h"
#include "common/nomi.h"

namespace scenario {
namespace {

// The failure exit: both descriptions go where they still exist, and the
// reading ends with code 25. A failure here is the system's, not the data's,
// and is left to the run.
// `motivo` says what failed, for whoever reads the faults.
void uscita_per_errore(piattaforma& p, modello& m, std::string motivo) {
  for (file_scenario f : {file_scenario::descrizione_linea, file_scenario::descrizione_treno}) {
    if (p.esiste(nome_file(p, m.nome_linea, m.numero_treno, f))) {
      p.elimina(nome_file(p, m.nome_linea, m.numero_treno, f));
    }
  }
  registra_fallimento(m, std::move(motivo));
}

}  // namespace

void memorizza_dati(piattaforma& p, modello& m) {
  bool fallito = false;
  std::string motivo;
  try {
    consegna_linea c;
    if (leggi_linea(p, m, c)) leggi_treno(p, m, c);
  } catch (const errore_esecuzione& e) {
    fallito = true;
    motivo = e.what();
  } catch (const errore_sistema& e) {
    fallito = true;
    motivo = e.what();
  } catch (const std::bad_alloc&) {
    fallito = true;
    motivo = "memoria esaurita";
  }
  if (fallito) uscita_per_errore(p, m, std::move(motivo));
  m.sorgente_file = 0;
  m.sorgente_riga = 0;
}

}  // namespace scenario
