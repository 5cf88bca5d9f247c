// Placement of one signal or one slowdown onto the track cells. Both refuse
// an occupied cell by recording a code and leave the position of the fault
// to their caller, which knows the record.
#ifndef COMPILER_COLLOCAMENTO_H_
#define COMPILER_COLLOCAMENTO_H_

#include <cstdint>

#include "compiler/modello.h"

namespace scenario {

// A signal at `posizione` on cell round(posizione/50 + 1), with its four
// approach marks 2, 4, 6 and 8 cells before it (marks that would fall before
// cell 0 are not made). A `tempo` from 1 to 100 is raised to 101 in the
// caller's variable; the cell keeps it only when `sx` is 2. Code 16, with
// nothing changed, when the signal's cell is occupied.
void memo_segnale(modello& m, int32_t posizione, int32_t sx, int32_t s1, int32_t s2, int32_t s3,
                  int32_t rapp, int32_t dx, int32_t d1, int32_t d2, int32_t d3, int32_t& tempo);

// A slowdown from metre `x` over `l` metres at `v` km/h: start and end cells,
// beyond metre 1500 a warning cell 1200 m before the start, and with `f_ta`
// the four pre-warning cells before that. Codes, each tested before any
// write: 17 warning cell occupied, 18 start cell occupied, 28 end cell
// outside the track, 19 end cell occupied. Code 20 (a pre-warning cell
// occupied) comes after the start, end and warning cells are written.
void memo_rallentamento(modello& m, int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                        int32_t d_v);

}  // namespace scenario

#endif  // COMPILER_COLLOCAMENTO_H_
