// What the tool gives an author beside the compiler: the reference of the
// description format, a starting pair of descriptions.
#ifndef TOOL_AUTORI_H_
#define TOOL_AUTORI_H_

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/piattaforma.h"

namespace scenario {

// "scenario formato [PAROLA]": the list of records, or the reference of one.
int comando_formato(const std::vector<std::string>& a, std::ostream& out, std::ostream& err);

// "scenario nuovo CARTELLA [--force]": the built-in descriptions as
// CARTELLA/linea.txt and CARTELLA/treno.txt.
int comando_nuovo(const std::vector<std::string>& a, std::ostream& out, std::ostream& err);

// Writes the files (full name, content), all in `cartella`, as one set
// under the folder's hold, after completing what a killed run left there.
// Without `forza` an existing file refuses them all. Returns "" when
// written, else why nothing was.
std::string scrivi_descrizioni(piattaforma& p, const std::string& cartella, bool forza,
                               const std::vector<std::pair<std::string, std::string>>& file);

// The built-in descriptions as `nuovo` writes them (Windows-1252, CR LF).
std::string linea_di_partenza();
std::string treno_di_partenza();


}  // namespace scenario

#endif  // TOOL_AUTORI_H_
