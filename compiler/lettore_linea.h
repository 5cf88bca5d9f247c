// The line half's own procedures, beside `leggi_linea` (compiler/lettori.h).
#ifndef COMPILER_LETTORE_LINEA_H_
#define COMPILER_LETTORE_LINEA_H_

#include <cstdint>

#include "compiler/guasti.h"
#include "compiler/modello.h"

namespace scenario {

// Reorders `voci` entries 81 to 83 (the stretches "tre", "due", "uno" as
// read) into decreasing order of start, then adds 100 to the chainage of
// every stretch whose flag is 1.
void progressive_ordina(modello& m);

// Stores a mountain span and marks its cells; `tipo` may be changed (a kind
// above 10 loses 10, a span close after the previous one becomes kind 3).
// The span is cut at the last cell. The caller has checked that fewer than
// kMaxMontagne spans are stored.
void memo_montagna(modello& m, int32_t& inizio, int32_t& fine, int32_t& tipo);

// Places a maximum-speed sign on cell round(posizione / 50 + 1). Returns
// false, with code 21 recorded at posizione, when the cell is taken.
bool memo_indicatori_v_max(modello& m, int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs, int32_t strisces,
                           int32_t vad, int32_t vbd, int32_t vcd, int32_t strisced);

}  // namespace scenario

#endif  // COMPILER_LETTORE_LINEA_H_
