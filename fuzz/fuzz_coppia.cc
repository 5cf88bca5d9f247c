// Both descriptions from one input: the line description, the separator,
// the train description. Without the separator the train description is
// missing.
#include "fuzz/compila_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  using namespace scenario::fuzz;
  const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
  const std::size_t s = tutto.find(kSeparatore);
  if (s == std::string_view::npos) {
    compila_e_verifica(tutto, std::nullopt);
  } else {
    compila_e_verifica(tutto.substr(0, s), tutto.substr(s + kSeparatore.size()));
  }
  return 0;
}
