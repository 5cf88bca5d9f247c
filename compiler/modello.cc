#include "compiler/modello.h"

namespace scenario {

void pulisci_voci(modello& m) { m.voci.fill(voce{}); }

}  // namespace scenario
