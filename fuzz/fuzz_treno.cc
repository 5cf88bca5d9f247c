// Any bytes as the train description, read after the built-in line.
#include "fuzz/compila_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  using namespace scenario::fuzz;
  compila_e_verifica(linea_incorporata(), std::string_view(reinterpret_cast<const char*>(dati), n));
  return 0;
}
