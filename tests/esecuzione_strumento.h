// The authors' tool run in the test's process, its two streams kept.
#ifndef TESTS_ESECUZIONE_STRUMENTO_H_
#define TESTS_ESECUZIONE_STRUMENTO_H_

#include <sstream>
#include <string>
#include <vector>

#include "common/nomi.h"
#include "tests/prova.h"
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

// The lines of an output, without their ends.
inline std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> r;
  std::istringstream in(testo);
  for (std::string x; std::getline(in, x);) r.push_back(x);
  return r;
}

// A compiled file of the built-in identity in `cartella`.
inline std::string compilato(const cartella_temporanea& c, file_scenario f) {
  return c.file(nome_semplice("Velmo - Montegrieve", "24817", f));
}

}  // namespace scenario::prova

#endif  // TESTS_ESECUZIONE_STRUMENTO_H_
