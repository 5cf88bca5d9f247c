// The error report with the system's platform, outside any run, for the
// check that drives the window and the message box from outside
// (tests/finestra_windows.sh). It shows the waiting window, then waits,
// reading no window messages as during a run, until a file named "continua"
// appears beside it (a minute at most), so that the window can be looked at
// while nothing but its one painting has drawn it. Then it reports " Errore
// n. 1250". A file written after the report would mean that the report had
// returned instead of ending the program.
#include <chrono>
#include <thread>

#include "platform/piattaforma.h"
#include "run/errore.h"

int main() {
  auto p = scenario::piattaforma_di_sistema();
  const std::string cartella = p->cartella_programma() + p->separatore();
  p->mostra_attesa();
  for (int i = 0; i < 600 && !p->esiste(cartella + "continua"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  scenario::errore(*p, "1250");
  p->scrivi(cartella + "dopo_errore.dat", "errore tornato");
  return 0;
}
