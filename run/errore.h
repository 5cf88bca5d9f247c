// The error report: the one message the user ever sees, after which the
// program ends.
#ifndef RUN_ERRORE_H_
#define RUN_ERRORE_H_

#include <string>

#include "platform/piattaforma.h"

namespace scenario {

inline constexpr int kStatoErrore = 1;

// Shows " Errore n. " followed by `a` in a modal box with one OK button, then
// ends the program with a non-zero exit status. Never returns.
[[noreturn]] void errore(piattaforma& p, const std::string& a);

}  // namespace scenario

#endif  // RUN_ERRORE_H_
