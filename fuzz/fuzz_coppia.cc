// Both descriptions from one input: the line description, the separator,
// the train description. Without the separator the train description is
// missing. No plan (the plan target has it), and no line longer than
// kLunghezzaMassima.
#include "fuzz/compila_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  using namespace scenario::fuzz;
  const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
  const std::size_t s = tutto.find(kSeparatore);
  if (!linea_corta(tutto.substr(0, s))) return 0;
  if (s == std::string_view::npos) {
    compila_e_verifica(tutto, std::nullopt, false);
  } else {
    compila_e_verifica(tutto.substr(0, s), tutto.substr(s + kSeparatore.size()), false);
  }
  return 0;
}
