#include "compiler/file_uscita.h"

#include "compiler/formato_celle.h"
#include "compiler/formato_geometria.h"
#include "compiler/formato_voci.h"
#include "compiler/tracciato.h"
#include "common/nomi.h"
#include "common/uscite.h"

namespace scenario {

std::string immagine_tracciato(const modello& m) {
  generatore_piano righe(m.piano);
  return immagine_geometria(righe);
}

std::string immagine_voci(const modello& m) { return immagine_voci(m.voci); }

std::string immagine_celle(const modello& m) { return immagine_celle(m.celle); }

void scrivi_file_compilati(piattaforma& p, const modello& m) {
  insieme_uscite uscite(p);
  if (m.calcola_tracciato != 0) {
    // The rows are computed as the pieces are written: the plan's table
    // never exists whole.
    generatore_piano righe(m.piano);
    pezzi_geometria_posizionati pezzi(righe);
    uscite.aggiungi_posizionato(nome_file(p, m.nome_linea, m.numero_treno, file_scenario::geometria_linea),
                                [&pezzi] { return pezzi.prossimo(); });
  }
  uscite.aggiungi(nome_file(p, m.nome_linea, m.numero_treno, file_scenario::voci), immagine_voci(m.voci));
  pezzi_celle celle(m.celle);
  uscite.aggiungi_a_pezzi(nome_file(p, m.nome_linea, m.numero_treno, file_scenario::celle),
                          [&celle] { return celle.prossimo(); });
  uscite.conferma();
}

}  // namespace scenario
