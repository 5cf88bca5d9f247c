// Any bytes as the line description, with the built-in train description.
#include "fuzz/compila_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  using namespace scenario::fuzz;
  compila_e_verifica(std::string_view(reinterpret_cast<const char*>(dati), n), treno_incorporato());
  return 0;
}
