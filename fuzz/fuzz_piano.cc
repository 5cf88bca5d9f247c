// Any bytes as the line description, compiled with its plan, when the line
// it declares is no longer than kLunghezzaPianoMassima. The built-in train runs
// on it.
#include "fuzz/compila_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  using namespace scenario::fuzz;
  const std::string_view linea(reinterpret_cast<const char*>(dati), n);
  if (linea_corta(linea, kLunghezzaPianoMassima)) compila_e_verifica(linea, treno_incorporato(), true);
  return 0;
}
