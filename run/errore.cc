#include "run/errore.h"

#include <cstdlib>

#include "common/rapporto.h"

namespace scenario {

void errore(piattaforma& p, const std::string& a) {
  p.mostra_messaggio(testo_rapporto(a));
  p.termina(kStatoErrore);
  std::abort();  // a platform whose end returned broke its contract
}

}  // namespace scenario
