// The scenario identity: the line name and the train number that every file
// name is built from.
#ifndef COMMON_IDENTITA_H_
#define COMMON_IDENTITA_H_

#include <string>

namespace scenario {

// The built-in identity, program text (UTF-8), constant for the run.
inline constexpr const char* kNomeLinea = "Velmo - Montegrieve";
inline constexpr const char* kNumeroTreno = "24817";

// An identity as program text (UTF-8).
struct identita {
  std::string nome_linea;
  std::string numero_treno;
};

inline identita identita_incorporata() { return {kNomeLinea, kNumeroTreno}; }

}  // namespace scenario

#endif  // COMMON_IDENTITA_H_
