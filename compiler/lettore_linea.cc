#include "compiler/esecuzione.h"
#include "compiler/lettori.h"

namespace scenario {

bool leggi_linea(piattaforma&, modello&, consegna_linea&) {
  throw errore_esecuzione("lettore della linea non ancora scritto");
}

}  // namespace scenario
