// The text of the error report, the one message a user of the program ever
// sees.
#ifndef COMMON_RAPPORTO_H_
#define COMMON_RAPPORTO_H_

#include <string>
#include <string_view>

namespace scenario {

// " Errore n. " followed by the code, blanks as shown.
inline std::string testo_rapporto(std::string_view codice) { return " Errore n. " + std::string(codice); }

}  // namespace scenario

#endif  // COMMON_RAPPORTO_H_
