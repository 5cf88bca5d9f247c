// Run-time failures of the compiler and the arithmetic that raises them.
// Inside `memorizza_dati` every such failure ends the reading with code 25;
// no exception of this kind leaves the compiler driver.
#ifndef COMPILER_ESECUZIONE_H_
#define COMPILER_ESECUZIONE_H_

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "compiler/modello.h"

namespace scenario {

class errore_esecuzione : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Nearest whole number, halves to the even neighbour; a value beyond 64 bits
// fails.
inline int64_t arrotonda(double q) {
  const double r = std::nearbyint(q);
  if (!(r >= -9.2e18 && r <= 9.2e18)) throw errore_esecuzione("numero fuori campo");
  return static_cast<int64_t>(r);
}

// A 32-bit result: beyond the range it is an overflow, as in 32-bit integer
// arithmetic.
inline int32_t a32(int64_t v) {
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) {
    throw errore_esecuzione("superamento della capacità a 32 bit");
  }
  return static_cast<int32_t>(v);
}

// 32-bit arithmetic: a result beyond 32 bits is a run-time failure.
inline int32_t piu32(int32_t a, int32_t b) { return a32(int64_t{a} + b); }
inline int32_t meno32(int32_t a, int32_t b) { return a32(int64_t{a} - b); }
inline int32_t per32(int32_t a, int32_t b) { return a32(int64_t{a} * b); }

// A computed value stored into a 16- or 8-bit field keeps its low bits.
inline int16_t a16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v) & 0xFFFFu)); }
inline uint8_t a8(int64_t v) { return static_cast<uint8_t>(static_cast<uint64_t>(v) & 0xFFu); }

// A value that must fit a signed 16-bit field, or the run fails.
inline int16_t a16_esatto(int64_t v) {
  if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max()) {
    throw errore_esecuzione("superamento della capacità a 16 bit");
  }
  return static_cast<int16_t>(v);
}

// A value that must fit a byte (0 to 255), or the run fails.
inline uint8_t a8_esatto(int64_t v) {
  if (v < 0 || v > 255) throw errore_esecuzione("superamento della capacità di un byte");
  return static_cast<uint8_t>(v);
}

// Cell i; an index outside 0 to ultima_cella (or a table not yet created)
// is a run-time failure, never an access outside the table.
inline cella& cella_a(modello& m, int64_t i) {
  if (m.celle.empty()) {
    throw errore_esecuzione("il tracciato non esiste: la descrizione della linea non dà \"lunghezza percorso\" "
                            "nella sezione [generale], prima dei record che lo usano");
  }
  if (i < 0 || i >= static_cast<int64_t>(m.celle.size())) {
    throw errore_esecuzione("cella " + std::to_string(i) + " fuori dalla tabella");
  }
  return m.celle[static_cast<std::size_t>(i)];
}

// Entry i of `voci`, checked the same way.
inline voce& voce_a(modello& m, int64_t i) {
  if (i < 0 || i >= kNumeroVoci) throw errore_esecuzione("voce " + std::to_string(i) + " fuori dalla tabella");
  return m.voci[static_cast<std::size_t>(i)];
}

// Notes which record put an object where (modello::provenienze); nothing when
// no description is being read.
void annota_provenienza(modello& m, genere_provenienza genere, int32_t metro, int64_t cella, int32_t voce = -1);

// Records a fault: the code, and the position when one goes with it; the
// last fault wins in the model, every fault stays in `guasti`.
void registra(modello& m, int32_t codice);
void registra(modello& m, int32_t codice, int32_t posizione);

// Records code 25 for a run-time failure, with what failed.
void registra_fallimento(modello& m, std::string motivo);

}  // namespace scenario

#endif  // COMPILER_ESECUZIONE_H_
