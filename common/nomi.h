// The naming rule of the eight files and the replacement of each file whole.
#ifndef COMMON_NOMI_H_
#define COMMON_NOMI_H_

#include <functional>
#include <string>
#include <string_view>

#include "platform/piattaforma.h"

namespace scenario {

enum class file_scenario {
  descrizione_linea,   // nome_linea + "_linea.txt"
  descrizione_treno,   // nome_linea + "_" + numero_treno + "-.txt"
  note,                // ... + "_note.txt"
  rallentamenti,       // ... + "_rallentamenti.txt"
  scheda_treno,        // ... + "_scheda_treno.txt"
  geometria_linea,     // nome_linea + "_linea.dat"
  voci,                // nome_linea + "_" + numero_treno + ".sim"
  celle,               // nome_linea + "_" + numero_treno + ".dat"
};

// What follows the identity in the file's name ("_linea.dat", ".sim", ...).
std::string_view suffisso(file_scenario f);
// True when the name holds the train number after the line name.
bool del_treno(file_scenario f);

// The file's name within the folder, as composed from the two identity texts
// (program text, UTF-8), nothing trimmed and no case change.
std::string nome_semplice(const std::string& nome_linea, const std::string& numero_treno,
                          file_scenario f);

// The full name: the program's folder, asked for anew, the separator, then
// the name within the folder.
std::string nome_file(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno,
                      file_scenario f);

// Replaces the file whole: the content goes to a temporary file in the
// folder, which is then renamed over the name. A link at the name is
// replaced, never written through; a failure leaves the earlier file as it
// was and no temporary behind.
void riscrivi(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno,
              file_scenario f, std::string_view contenuto);
// The same, with the content written piece by piece as `prossimo` returns it
// (piattaforma::scrivi_temporaneo).
void riscrivi_a_pezzi(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno,
                      file_scenario f, const std::function<std::string_view()>& prossimo);

}  // namespace scenario

#endif  // COMMON_NOMI_H_
