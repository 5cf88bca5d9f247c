#include "compiler/codici.h"

#include "compiler/voci.h"

#include <string>

namespace scenario {
namespace {

constexpr int kFinestra = 25;

// The identity string: lower-case(train number + line name) + pad, as ANSI
// bytes; left in m.riga.
const std::string& stringa_identita(piattaforma& p, modello& m) {
  m.riga = p.minuscole(m.voci[voce_treno].nome + m.voci[voce_linea].nome) + kImbottitura;
  return m.riga;
}

}  // namespace

int16_t codice_gara_og(piattaforma& p, modello& m) {
  const std::string& s = stringa_identita(p, m);
  int32_t somma = 0;
  for (int i = 0; i < kFinestra; ++i) somma += static_cast<unsigned char>(s[static_cast<std::size_t>(i)]);
  return static_cast<int16_t>(somma);  // at most 25 * 255, within 16 bits
}

int32_t codice_gara_st(piattaforma& p, modello& m) {
  const std::string& s = stringa_identita(p, m);
  int32_t somma = 0;
  for (int i = 0; i < kFinestra; ++i) {
    somma += (i + 1) * static_cast<unsigned char>(s[static_cast<std::size_t>(i)]);
  }
  return somma;  // at most 325 * 255
}

}  // namespace scenario
