// The fixed entries of the item table `voci` and the fixed values the
// compiler writes into the reserved fields. Stations fill entries 1 upward,
// sign texts entries 80 downward; entries 81 to 86 are the header.
#ifndef COMPILER_VOCI_H_
#define COMPILER_VOCI_H_

#include <cstdint>

namespace scenario {

enum voce_fissa : int {
  voce_prima_stazione = 1,
  // The first sign text; the next ones go downward from here.
  voce_primo_cartello = 80,
  // The three kilometre chainage stretches, as read "tre", "due", "uno";
  // once ordered, in decreasing order of start. Start in `inizio`, chainage
  // in `fine`, flag in `posizione`.
  voce_progressiva_tre = 81,
  voce_progressiva_due = 82,
  voce_progressiva_uno = 83,
  // `fine` the line length, `inizio` the braked-weight percentage,
  // `posizione` the number of cars.
  voce_lunghezza_convoglio = 84,
  // `nome` the line name; `inizio`, `posizione`, `fine` the backgrounds
  // "uno", "due", "tre"; `gruppo_1a` the fixed value; `orario` the weighted
  // scenario code.
  voce_linea = 85,
  // `nome` the train number; `inizio`, `fine` the signal repetition and
  // `posizione` its code count; `gruppo_1a` the sand; `gruppo_2a` to
  // `gruppo_2c` the clock.
  voce_treno = 86,
};

// Written into `voci`[voce_linea].gruppo_1a and `dato1` of cell 1 once the
// track is complete; both fields must still be 0 then. The simulator expects
// exactly these values.
constexpr int16_t kValoreFissoVoceLinea = 610;
constexpr int16_t kValoreFissoCellaUno = 5121;

}  // namespace scenario

#endif  // COMPILER_VOCI_H_
