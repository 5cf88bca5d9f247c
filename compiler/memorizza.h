// The compiler driver and the reading of both descriptions.
#ifndef COMPILER_MEMORIZZA_H_
#define COMPILER_MEMORIZZA_H_

#include <cstdint>

#include "compiler/modello.h"
#include "platform/piattaforma.h"

namespace scenario {

// Compiles the two descriptions in the platform's folder into `m` (whose
// nome_linea and numero_treno name the files) and writes the binary files;
// `j` non-zero also builds and writes the line geometry. Faults in the data
// are recorded in m.codice_errore; the reserved-field checks end the program
// through the error report.
void memorizza_percorso(piattaforma& p, modello& m, int32_t& j);

// Reads the line description, then the train description, deleting each once
// read. Every run-time failure inside ends here as code 25.
void memorizza_dati(piattaforma& p, modello& m);

}  // namespace scenario

#endif  // COMPILER_MEMORIZZA_H_
