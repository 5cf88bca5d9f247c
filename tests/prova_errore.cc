// The error report with the system's platform, outside any run: the waiting
// window, then " Errore n. 1250" in the message box, then the end of the
// program. A file written after the report would mean that the report
// returned instead of ending the program.
#include "platform/piattaforma.h"
#include "run/errore.h"

int main() {
  auto p = scenario::piattaforma_di_sistema();
  p->mostra_attesa();
  scenario::errore(*p, "1250");
  p->scrivi(p->cartella_programma() + p->separatore() + "dopo_errore.dat", "errore tornato");
  return 0;
}
