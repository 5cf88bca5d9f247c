// The program as the user starts it: the two arguments it answers, then the
// run.
#ifndef RUN_PROGRAMMA_H_
#define RUN_PROGRAMMA_H_

#include <string>
#include <vector>

#include "platform/piattaforma.h"

namespace scenario {

// With "--help" (or "-h") or "--version" among the arguments, the first of
// them has its text shown (mostra_informazione) and the program ends with
// status 0 having touched no file. Otherwise the arguments are ignored and
// the run goes as `esegui`. Returns the exit status.
int programma(piattaforma& p, const std::vector<std::string>& argomenti);

}  // namespace scenario

#endif  // RUN_PROGRAMMA_H_
