// Who holds a cell: the record that wrote each object's cell, kept beside
// the model for the diagnostics only, so that a record refused on a taken
// cell, or written over an object, can name the object and its record.
#ifndef COMPILER_OCCUPANTI_H_
#define COMPILER_OCCUPANTI_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "compiler/modello.h"

namespace scenario {

// Cell i now holds the object of the record being read (file and line of
// the model's source), written at `posizione` metres.
void segna_origine(modello& m, int64_t i, int32_t posizione);

// The object on cell i and the record that wrote it; `chi` empty for a cell
// that holds none.
correlato occupante(const modello& m, int64_t i);

// After a refusal on cell i: when that refusal recorded a fault (the model
// held `guasti_prima` faults before it), the fault names the holder.
void nota_occupante(modello& m, std::size_t guasti_prima, int64_t i);

}  // namespace scenario

#endif  // COMPILER_OCCUPANTI_H_
