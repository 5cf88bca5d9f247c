// Any bytes as the train description, on a short line with no plan.
#include "fuzz/compila_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  using namespace scenario::fuzz;
  compila_e_verifica(linea_breve(), std::string_view(reinterpret_cast<const char*>(dati), n), false);
  return 0;
}
