// Track completion: the 180 markers around slowdowns and before signals.
#ifndef COMPILER_COMPLETAMENTO_H_
#define COMPILER_COMPLETAMENTO_H_

#include <cstdint>

#include "compiler/modello.h"

namespace scenario {

// The smaller of the two, the first when equal.
int16_t minimo(int16_t x, int16_t y);

// Rules 1 to 4 over cells 1 to ultima_cella - 2, in one pass with one shared
// cursor; faults 11, 12 and 13 are recorded and the pass goes on.
void completa_tracciato(modello& m);

}  // namespace scenario

#endif  // COMPILER_COMPLETAMENTO_H_
