// The scenario's identity as the names of its compiled files tell it, by
// the naming rule that composes them: "<line>_linea.dat" for the line
// geometry, "<line>_<train>.sim" for the items and "<line>_<train>.dat" for
// the track. The line name may itself hold "_"; the train number is what
// follows the last one.
#ifndef READER_IDENTITA_DAI_NOMI_H_
#define READER_IDENTITA_DAI_NOMI_H_

#include <optional>
#include <string>
#include <string_view>

#include "reader/decodifica.h"

namespace scenario {

struct identita_da_nome {
  std::optional<std::string> nome_linea;    // as in the name, in its bytes
  std::optional<std::string> numero_treno;  // none for the line geometry
};

// From the last component of `percorso`; nothing for a name that does not
// follow the rule for its kind (an empty line name or train number, no "_").
identita_da_nome identita_dal_nome(const std::string& percorso, tipo_file t);

}  // namespace scenario

#endif  // READER_IDENTITA_DAI_NOMI_H_
