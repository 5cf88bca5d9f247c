// The authors' tool run in the test's process, its two streams kept.
#ifndef TESTS_ESECUZIONE_STRUMENTO_H_
#define TESTS_ESECUZIONE_STRUMENTO_H_

#include <sstream>
#include <string>
#include <vector>

#include "tool/comandi.h"

namespace scenario::prova {

struct esecuzione {
  int stato;
  std::string out;
  std::string err;
};

inline esecuzione esegui(const std::vector<std::string>& argomenti) {
  std::ostringstream out, err;
  const int stato = strumento_scenario(argomenti, out, err);
  return {stato, out.str(), err.str()};
}

}  // namespace scenario::prova

#endif  // TESTS_ESECUZIONE_STRUMENTO_H_
