// Where an author wrote what a compiled cell holds. The compiler puts each
// object on a 50 m cell by a rule of its own (a signal on cell
// round(p / 50 + 1), a slowdown's warning 1200 m before its start, a
// station's marker at its zone's end): read back, the cell's position is not
// the one written. These functions give the written position back, as
// exactly as the cell allows (a position off the 50 m grid comes back to
// within 25 m), and a signal's values back from its packed codes.
#ifndef READER_POSIZIONI_SCRITTE_H_
#define READER_POSIZIONI_SCRITTE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "compiler/modello.h"

namespace scenario {

struct posizione_scritta {
  std::string cosa;   // UTF-8: the record and its value, "rallentamento, x"
  int64_t metri = 0;  // that value
  std::string nota;   // UTF-8: which of the record's objects the cell holds, when it has several
};

// "rallentamento, x = 8000 m (il suo avviso, 1200 m prima)"
std::string testo_posizione_scritta(const posizione_scritta& p);

// The record and position behind the object on cell k; nothing for a free
// cell or a mountain marker (which belongs to a span, not a point). A
// station's marker gives its zone's end, which the record's position and
// kind and zone length decide (the item table has the position itself).
std::optional<posizione_scritta> posizione_scritta_di(const cella& c, std::size_t k);

// A signal's ten values as written: sx, s1, s2, s3, rapp, dx, d1, d2, d3,
// read back from its packed codes by their plain split (each of s1-s3 and
// d1-d3 one digit, dx below 3 and sx × 3 + dx below 10); nothing when the
// codes are no such split.
struct valori_segnale {
  int sx = 0, s1 = 0, s2 = 0, s3 = 0, rapp = 0, dx = 0, d1 = 0, d2 = 0, d3 = 0;
};
std::optional<valori_segnale> segnale_scritto(const cella& c);

}  // namespace scenario

#endif  // READER_POSIZIONI_SCRITTE_H_
