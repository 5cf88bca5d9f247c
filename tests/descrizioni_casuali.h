// Random valid descriptions of a line (1 to 6 km unless asked otherwise)
// and its train, for the property test of the decompiler and its fuzz
// target: every record kind, and the awkward cases (a station marker over a
// sign, slowdowns shorter than a cell, touching and overlapping curves,
// signal times raised to 101, mountains cut at the track's end, forced to
// kind 3 or written over one another, approach marks written over one
// another, profile values in the last cells), placed so that no record is
// refused: no two objects ask for the same cell.
#ifndef TESTS_DESCRIZIONI_CASUALI_H_
#define TESTS_DESCRIZIONI_CASUALI_H_

#include <cstdint>
#include <functional>
#include <string>

namespace scenario::prova {

// The source of the choices: a whole number from 0 to n - 1 (n at least 1).
using scelta_casuale = std::function<uint32_t(uint32_t n)>;

struct descrizioni_casuali {
  std::string linea;  // ANSI bytes, CR LF
  std::string treno;
};

// How long a line to draw: the default keeps the short lines of the
// property test; a longer line gets its records in proportion (one more
// share of each kind every 10.5 km of track), within the 80 item entries.
struct misura_casuale {
  int64_t lunghezza_min = 1000;
  int64_t lunghezza_max = 6000;
};

descrizioni_casuali genera_descrizioni(const scelta_casuale& caso, const misura_casuale& misura = {});

// A source from a seed (the test) and one from bytes, 0 once they end (the
// fuzz target).
scelta_casuale caso_da_seme(uint64_t seme);
scelta_casuale caso_da_byte(const uint8_t* dati, std::size_t n);

// `caso`, whose choices are also appended to `byte` as caso_da_byte reads
// them back: a seed's descriptions as the fuzz target's input.
scelta_casuale caso_registrato(scelta_casuale caso, std::string* byte);

}  // namespace scenario::prova

#endif  // TESTS_DESCRIZIONI_CASUALI_H_
