#include "compiler/file_uscita.h"

namespace scenario {

std::string immagine_tracciato(const modello&) { return {}; }
std::string immagine_voci(const modello&) { return {}; }
std::string immagine_celle(const modello&) { return {}; }
void scrivi_file_compilati(piattaforma&, const modello&) {}

}  // namespace scenario
