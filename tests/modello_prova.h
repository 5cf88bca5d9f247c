// A compiled model as the line reader leaves it once it has read a line
// length, for the tests (and benchmarks) that start from the cell table.
#ifndef TESTS_MODELLO_PROVA_H_
#define TESTS_MODELLO_PROVA_H_

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

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

// Indices of the cells for which `scelta` holds, in order.
template <typename F>
std::vector<int> celle_dove(const modello& m, F scelta) {
  std::vector<int> r;
  for (std::size_t i = 0; i < m.celle.size(); ++i) {
    if (scelta(m.celle[i])) r.push_back(static_cast<int>(i));
  }
  return r;
}

// The cells that carry an approach mark.
inline std::vector<int> celle_con_richiamo(const modello& m) {
  return celle_dove(m, [](const cella& c) { return c.richiamo != 0; });
}

// One field of the cells at these indices, in the order given.
template <typename T>
std::vector<int> campo_celle(const modello& m, T cella::*campo, std::initializer_list<int> indici) {
  std::vector<int> r;
  for (int i : indici) r.push_back(static_cast<int>(m.celle.at(static_cast<std::size_t>(i)).*campo));
  return r;
}

}  // namespace scenario::prova

#endif  // TESTS_MODELLO_PROVA_H_
