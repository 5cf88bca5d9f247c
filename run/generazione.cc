#include "run/generazione.h"

#include <exception>

#include "common/nomi.h"
#include "common/uscite.h"
#include "compiler/compilazione.h"
#include "run/errore.h"
#include "texts/testi.h"

namespace scenario {

namespace {

// The descriptions exist only for the run: when it fails, those it wrote go
// with it (the compiler deletes them itself once read).
void elimina_descrizioni(piattaforma& p, const identita& id, int scritte) {
  const file_scenario descrizioni[] = {file_scenario::descrizione_linea, file_scenario::descrizione_treno};
  for (int i = 0; i < scritte; ++i) {
    try {
      const std::string nome = nome_file(p, id.nome_linea, id.numero_treno, descrizioni[i]);
      if (p.esiste(nome)) p.elimina(nome);
    } catch (const errore_sistema&) {
      // The failure to report is the one that stopped the run.
    }
  }
}

// Every name the run writes must take a file before the first is written:
// a folder at one of them (or a file another program holds open) refuses the
// run with the folder as it was.
void verifica_nomi(piattaforma& p, const identita& id) {
  for (file_scenario f : {file_scenario::descrizione_linea, file_scenario::descrizione_treno, file_scenario::note,
                          file_scenario::rallentamenti, file_scenario::scheda_treno, file_scenario::geometria_linea,
                          file_scenario::voci, file_scenario::celle}) {
    const std::string nome = nome_file(p, id.nome_linea, id.numero_treno, f);
    try {
      p.verifica_sostituibile(nome);
    } catch (const errore_sistema& e) {
      throw errore_sistema(nome, e.numero(),
                           e.descrizione() + "; nessun file scritto (al posto del file c'è una cartella, o il file è "
                                             "tenuto aperto da un altro programma, come il simulatore)");
    }
  }
}

}  // namespace

void Form_Load(piattaforma& p) {
  const identita id = identita_incorporata();
  p.mostra_attesa();
  // Held for the whole run: another run in the folder neither reads these
  // descriptions nor writes its set among these files.
  const std::unique_ptr<blocco_cartella> cartella = prendi_cartella(p, p.cartella_programma());
  verifica_nomi(p, id);
  int descrizioni_scritte = 0;
  try {
    dati_linea(p, id.nome_linea);
    descrizioni_scritte = 1;
    dati_treno(p, id.nome_linea, id.numero_treno);
    descrizioni_scritte = 2;
    dati_note(p, id.nome_linea, id.numero_treno);
    dati_rallentamenti(p, id.nome_linea, id.numero_treno);
    dati_scheda(p, id.nome_linea, id.numero_treno);

    const risultato_compilazione r = compila(p, id, true);
    if (r.sistema) throw *r.sistema;
    if (r.rapporto) errore(p, r.rapporto->codice);
  } catch (const std::exception&) {
    elimina_descrizioni(p, id, descrizioni_scritte);
    throw;
  }
}

int esegui(piattaforma& p) {
  try {
    Form_Load(p);
  } catch (const errore_cartella_occupata& e) {
    p.rapporto_errore(errore_sistema(e.file(), e.numero(), descrizione_cartella_occupata()));
    return kStatoCartellaOccupata;
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
