#include "common/righe.h"

#include <stdexcept>

namespace scenario {

lista_righe riempi_righe(piattaforma& p, std::initializer_list<std::string_view> righe) {
  // The end mark must fit after the last line.
  if (righe.size() + 1 > kSlotRighe) throw std::length_error("troppe righe per la lista");
  lista_righe lista;
  std::size_t i = 0;
  for (std::string_view r : righe) lista[i++] = p.in_ansi(r);
  lista[i] = std::string(kFineDelFile);
  return lista;
}

std::string testo_righe(const lista_righe& righe) {
  std::string testo;
  for (const std::string& r : righe) {
    if (r == kFineDelFile) break;
    testo += r;
    testo += "\r\n";
  }
  return testo;
}

}  // namespace scenario
