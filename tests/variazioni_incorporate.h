// Variations of the program's built-in pair as a careful author might write
// them: records moved off the 50 m grid and onto the halves, to the line's
// ends and over one another (signals, signs and speed signs under station
// markers, approach marks written over each other), values that wrap in
// their fixed-width fields, records added, removed and doubled, slowdowns,
// abbattimento records, mountains, curves, gradients and profile steps, the
// train's general records and the line's length. Not every variation
// compiles clean: the round-trip checks keep those that do.
#ifndef TESTS_VARIAZIONI_INCORPORATE_H_
#define TESTS_VARIAZIONI_INCORPORATE_H_

#include "tests/descrizioni_casuali.h"

namespace scenario::prova {

// The built-in line and train descriptions (ANSI bytes, CR LF) with one to
// a dozen changes drawn from `caso`.
descrizioni_casuali varia_incorporate(const scelta_casuale& caso);

}  // namespace scenario::prova

#endif  // TESTS_VARIAZIONI_INCORPORATE_H_
