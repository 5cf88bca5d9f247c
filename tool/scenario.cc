#include <iostream>
#include <ostream>

#include "platform/riga_comando.h"
#include "tool/comandi.h"

int main(int argc, char** argv) {
  scenario::prepara_processo();
  std::ios::sync_with_stdio(false);
  std::ostream& out = scenario::uscita_utf8();
  const int stato = scenario::strumento_scenario(scenario::argomenti_utf8(argc, argv), out, scenario::errore_utf8());
  out.flush();
  return stato;
}
