#include "compiler/esecuzione.h"
#include "compiler/lettori.h"

namespace scenario {

void leggi_treno(piattaforma&, modello&, const consegna_linea&) {
  throw errore_esecuzione("lettore del treno non ancora scritto");
}

}  // namespace scenario
