// Any bytes as the line description, with the built-in train description;
// no plan (the plan target has it), and no line longer than
// kLunghezzaMassima.
#include "fuzz/compila_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  using namespace scenario::fuzz;
  const std::string_view linea(reinterpret_cast<const char*>(dati), n);
  if (linea_corta(linea)) compila_e_verifica(linea, treno_incorporato(), false);
  return 0;
}
