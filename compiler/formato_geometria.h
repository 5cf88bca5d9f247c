// The line geometry file: the plan, with N = lunghezza_tracciato, first the
// N + 1 x coordinates of metres 0 to N, then the N + 1 y coordinates, each a
// tagged number (a 16-bit tag, then nothing, a 16-bit integer or a binary64).
// With every metre up to N - 2 computed it is 20·N - 36 bytes long.
#ifndef COMPILER_FORMATO_GEOMETRIA_H_
#define COMPILER_FORMATO_GEOMETRIA_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/codifica.h"
#include "compiler/formato.h"
#include "compiler/modello.h"
#include "compiler/righe_geometria.h"
#include "platform/piattaforma.h"

namespace scenario {

namespace formato {
inline constexpr uint16_t kEtichettaVuoto = 0;
inline constexpr uint16_t kEtichettaIntero = 2;
inline constexpr uint16_t kEtichettaReale = 5;
static_assert(kEtichettaVuoto == numero_etichettato::vuoto && kEtichettaIntero == numero_etichettato::intero &&
              kEtichettaReale == numero_etichettato::reale);
inline constexpr std::size_t kBytesVuoto = 2;
inline constexpr std::size_t kBytesIntero = 4;
inline constexpr std::size_t kBytesReale = 10;
namespace etichettato {
inline constexpr std::size_t etichetta = 0;  // u16
inline constexpr std::size_t valore = 2;     // i16 or binary64, by the tag
}  // namespace etichettato
// The rows of the longest track there can be, and the largest file.
inline constexpr std::size_t kRigheMassime = std::size_t{kLunghezzaMassima} + kMargineTracciato + 1;
inline constexpr std::size_t kBytesGeometriaMassimi = 2 * kRigheMassime * kBytesReale;
}  // namespace formato

// Bytes of a tagged number: the tag and 0, 2 or 8 bytes of value.
inline std::size_t bytes_etichettato(const numero_etichettato& n) {
  switch (n.etichetta) {
    case numero_etichettato::intero: return formato::kBytesIntero;
    case numero_etichettato::reale: return formato::kBytesReale;
    default: return formato::kBytesVuoto;
  }
}

// Writes the tagged number at p and returns the end. An unknown tag is
// written as empty, the only tag that carries no value.
char* codifica_etichettato(char* p, const numero_etichettato& n);
// The same for a real, in line: the plan writes millions of them.
inline char* codifica_reale(char* p, double v) {
  metti_16(p + formato::etichettato::etichetta, formato::kEtichettaReale);
  metti_reale(p + formato::etichettato::valore, v);
  return p + formato::kBytesReale;
}
// The tagged number at `offset` of `byte`, checked against the end; returns
// the offset after it.
std::size_t decodifica_etichettato(std::string_view byte, std::size_t offset, numero_etichettato& n);
// The same for a file read in pieces: `p` holds the next min(resto,
// kBytesReale) bytes of the file, which lie at `offset` with `resto` bytes
// to its end; returns the value's size. Faults name offsets in the file.
std::size_t decodifica_etichettato(const char* p, uint64_t resto, uint64_t offset, numero_etichettato& n);

// The file in pieces that say where they go, both columns from one pass
// over the source: each batch of rows gives a piece of x, from the start,
// and one of y, from the end of the x column. Each piece stays valid until
// the next call; an empty one ends the file. A source whose rows do not add
// up to the x column it declared is a programming error (std::logic_error).
class pezzi_geometria_posizionati {
 public:
  explicit pezzi_geometria_posizionati(sorgente_geometria& s);
  pezzo_posizionato prossimo();

 private:
  sorgente_geometria& s_;
  uint64_t inizio_y_;
  uint64_t x_ = 0;          // x bytes handed out
  uint64_t y_ = 0;          // y bytes handed out
  std::size_t in_attesa_ = 0;  // y bytes of the last batch still to hand out
  std::unique_ptr<char[]> blocco_x_;
  std::unique_ptr<char[]> blocco_y_;
};

// The whole file at once, put together from those pieces.
std::string immagine_geometria(sorgente_geometria& s);

// The file decoded whole, x and y of metres 0 to N: tagged numbers with
// tags 0, 2 and 5 only, an even count of them, the first half x and the
// second half y; or errore_decodifica.
geometria decodifica_geometria(std::string_view byte);

}  // namespace scenario

#endif  // COMPILER_FORMATO_GEOMETRIA_H_
