// On POSIX systems the arguments and the standard streams are bytes, and
// UTF-8 passes through them unchanged.
#include <iostream>

#include "platform/riga_comando.h"

namespace scenario {

std::vector<std::string> argomenti_utf8(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::ostream& uscita_utf8() { return std::cout; }
std::ostream& errore_utf8() { return std::cerr; }

}  // namespace scenario
