// The compiler driver and the reading of both descriptions.
#ifndef COMPILER_MEMORIZZA_H_
#define COMPILER_MEMORIZZA_H_

#include <cstdint>
#include <optional>
#include <string>

#include "compiler/modello.h"
#include "platform/piattaforma.h"

namespace scenario {

// A compile that must end the run through the error report: the code that
// the report shows. The compiler never shows it nor ends the process; its
// caller does.
struct rapporto_finale {
  std::string codice;
};

// Compiles the two descriptions in the platform's folder into `m` (whose
// nome_linea and numero_treno name the files) and writes the binary files;
// `j` non-zero also builds and writes the line geometry. Faults in the data
// are recorded in the model. When the reserved-field checks fail, or the line
// description gave no track, nothing is written and the report to show is
// returned. System failures leave it as errore_sistema.
[[nodiscard]] std::optional<rapporto_finale> memorizza_percorso(piattaforma& p, modello& m, int32_t j);

// Reads the line description, then the train description, deleting each once
// read. Every run-time failure inside ends here as code 25.
void memorizza_dati(piattaforma& p, modello& m);

}  // namespace scenario

#endif  // COMPILER_MEMORIZZA_H_
