#include "run/errore.h"

#include <cstdlib>

namespace scenario {

void errore(piattaforma& p, const std::string& a) {
  p.mostra_messaggio(" Errore n. " + a);
  p.termina(kStatoErrore);
  std::abort();  // a platform whose end returned broke its contract
}

}  // namespace scenario
