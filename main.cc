#include "platform/piattaforma.h"
#include "platform/riga_comando.h"
#include "run/programma.h"

int main(int argc, char** argv) {
  scenario::prepara_processo();
  auto p = scenario::piattaforma_di_sistema();
  return scenario::programma(*p, scenario::argomenti_utf8(argc, argv));
}
