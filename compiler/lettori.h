// The two halves of `memorizza_dati`.
#ifndef COMPILER_LETTORI_H_
#define COMPILER_LETTORI_H_

#include <cstdint>

#include "compiler/modello.h"
#include "platform/piattaforma.h"

namespace scenario {

// What the line half hands on to the train half.
struct consegna_linea {
  // The next free sign entry of `voci`: 80 minus the number of text signs.
  // Stations must stay below it.
  int32_t limite_cartelli = 80;
};

// How one record ends its round of a reader's loop: the reading goes on,
// stops at this record (code 15: the end processing still runs), or is
// aborted (the description is deleted and the reader returns at once).
enum class esito_record { continua, ferma, interrompi };

// The line half. Returns false when it ended with a code of its own that
// leaves the train description unread (101, 102, 1, 3, 4, 5, 103, 6, 21 and
// the refusals of its own); true when the train half follows (also after 15).
// Run-time failures leave it as errore_esecuzione or errore_sistema.
bool leggi_linea(piattaforma& p, modello& m, consegna_linea& c);

// The train half, up to its end processing; run-time failures leave it as
// errore_esecuzione or errore_sistema.
void leggi_treno(piattaforma& p, modello& m, const consegna_linea& c);

}  // namespace scenario

#endif  // COMPILER_LETTORI_H_
