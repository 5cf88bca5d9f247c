// The compiler's one entry point: two descriptions in a platform's folder in,
// the compiled model, its diagnostics and the binary files out.
#ifndef COMPILER_COMPILAZIONE_H_
#define COMPILER_COMPILAZIONE_H_

#include <optional>

#include "common/identita.h"
#include "compiler/memorizza.h"
#include "compiler/modello.h"
#include "platform/piattaforma.h"

namespace scenario {

struct risultato_compilazione {
  // As far as the compile got; its `guasti` and `avvisi` hold every fault
  // and warning in the order they were recorded.
  modello m;
  // Set when the run must end through the error report; then no binary file
  // was written.
  std::optional<rapporto_finale> rapporto;
  // Set when the system failed (a file that could not be read, written or
  // deleted); the model holds what was compiled until then.
  std::optional<errore_sistema> sistema;
};

// Compiles the descriptions that the identity names in the platform's folder
// and writes the binary files there (the line geometry only when `geometria`
// is true). It never ends the process and never shows anything.
risultato_compilazione compila(piattaforma& p, const identita& id, bool geometria);

}  // namespace scenario

#endif  // COMPILER_COMPILAZIONE_H_
