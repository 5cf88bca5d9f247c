// The texts that name an object of the chart in the author's terms: the
// values written rather than the packed codes, the position written beside
// the cell's. Any view drawn on the chart's data may use them.
#ifndef CHART_ETICHETTE_H_
#define CHART_ETICHETTE_H_

#include <cstddef>
#include <string>

#include "compiler/modello.h"

namespace scenario {

// A signal as written: "sx s1 s2 s3 / dx d1 d2 d3", then " · t" with its
// time when it keeps one, and " · rapp r" when rapp is not 0; the packed
// codes "dato1/dato2/dato3 · dato4" when they are no plain split.
std::string etichetta_segnale(const cella& c);

// What a pointer shows over the object on cell k: the object, the cell's
// position, the position written and the values. "" for a free cell.
std::string titolo_oggetto(const cella& c, std::size_t k);

}  // namespace scenario

#endif  // CHART_ETICHETTE_H_
