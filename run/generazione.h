// The generation run: the scenario identity, the waiting window, the five
// text writers and the compiler, in their fixed order.
#ifndef RUN_GENERAZIONE_H_
#define RUN_GENERAZIONE_H_

#include <string>

#include "common/identita.h"
#include "platform/piattaforma.h"

namespace scenario {


// The whole run in the platform's folder. Returns when the run is over;
// system failures leave it as errore_sistema (the descriptions that
// this run wrote removed first), the error report ends the
// process through the platform.
void Form_Load(piattaforma& p);

// The exit status of a run that found its folder held by another run.
inline constexpr int kStatoCartellaOccupata = 3;

// The program: Form_Load, with an unhandled system failure reported by the
// platform. Returns the exit status.
int esegui(piattaforma& p);

}  // namespace scenario

#endif  // RUN_GENERAZIONE_H_
