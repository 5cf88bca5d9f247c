// The three binary files of a compiled model, each the image of one table in
// its format (compiler/formato_*.h).
#ifndef COMPILER_FILE_USCITA_H_
#define COMPILER_FILE_USCITA_H_

#include <string>

#include "compiler/modello.h"
#include "platform/piattaforma.h"

namespace scenario {

// The images whole, as the files hold them.
std::string immagine_tracciato(const modello& m);
std::string immagine_voci(const modello& m);
std::string immagine_celle(const modello& m);

// Writes the line geometry file (only when calcola_tracciato is non-zero),
// the item file and the track file as one set: all three are written under
// temporary names first and put in place only when all are written, so that
// a failure leaves the earlier set whole. The geometry is handed to the
// platform in pieces, the other two in one write.
void scrivi_file_compilati(piattaforma& p, const modello& m);

}  // namespace scenario

#endif  // COMPILER_FILE_USCITA_H_
