#include "platform/piattaforma.h"
#include "run/generazione.h"

int main() {
  auto p = scenario::piattaforma_di_sistema();
  return scenario::esegui(*p);
}
