// A compiled model as the line reader leaves it once it has read a line
// length, for the tests (and benchmarks) that start from the cell table.
#ifndef TESTS_MODELLO_PROVA_H_
#define TESTS_MODELLO_PROVA_H_

#include <cmath>
#include <cstdint>

#include "compiler/modello.h"

namespace scenario::prova {

// A line of `metri` metres: lunghezza_tracciato = metri + 7000, ultima_cella
// that over 50 rounded half to even, and cells 0 to ultima_cella, all zero.
inline modello modello_dimensionato(int32_t metri) {
  modello m;
  m.lunghezza_tracciato = metri + kMargineTracciato;
  m.ultima_cella = static_cast<int32_t>(std::nearbyint(m.lunghezza_tracciato / 50.0));
  m.celle.assign(static_cast<std::size_t>(m.ultima_cella) + 1, cella{});
  return m;
}

}  // namespace scenario::prova

#endif  // TESTS_MODELLO_PROVA_H_
