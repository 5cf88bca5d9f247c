// After a compile whose reading of a description stopped at a record: the
// rest is read again for diagnosis only, on a scratch model, so that the
// author hears in one compile of every later fault and slip at its own
// line, marked as not compiled, and of what the written files lack. The
// compiled model and the files stay as they are: only their diagnostics
// grow.
#ifndef COMPILER_OLTRE_ARRESTO_H_
#define COMPILER_OLTRE_ARRESTO_H_

#include <cstdint>

#include "compiler/modello.h"
#include "platform/piattaforma.h"

namespace scenario {

// The fault codes that stop the reading of their description: every code a
// reader records except 2 (checked once the reading is over) and the track
// completion's 11, 12 and 13. Code 15 stops only its own description (the
// train is still read after a line's 15); every other code also skips the
// reader's end processing, and in the line description the whole train.
bool ferma_la_lettura(int32_t codice);

// `p` serves the two descriptions under the names the compile asked for (a
// deletion must be harmless); `m` is the compiled model, whose faults show
// where the readings stopped. Adds to `m` the faults and warnings found past
// each stop (`compilato` false, after all the others) and one
// `arresto_lettura` for each description that stopped.
void esamina_oltre_arresto(piattaforma& p, modello& m);

}  // namespace scenario

#endif  // COMPILER_OLTRE_ARRESTO_H_
