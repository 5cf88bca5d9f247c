#include "compiler/formato_celle.h"

#include "compiler/codifica.h"

namespace scenario {
namespace {

// Each field starts where the one before it ends, and the last one ends the
// record: no gap, no overlap.
constexpr bool campi_contigui() {
  cella c;
  std::size_t fine = 0;
  bool contigui = true;
  campi_cella(c, [&](const campo_record& k, const auto& v) {
    contigui = contigui && k.offset == fine;
    fine = k.offset + sizeof v;
  });
  return contigui && fine == formato::kBytesCella;
}
static_assert(campi_contigui());

std::string n(std::size_t v) { return std::to_string(v); }

}  // namespace

void codifica_cella(char* p, const cella& c) {
  campi_cella(c, [p](const campo_record& k, auto v) { metti_intero(p + k.offset, v); });
}

cella decodifica_cella(const char* p) {
  cella c;
  campi_cella(c, [p](const campo_record& k, auto& v) { decodifica_in(p + k.offset, v); });
  return c;
}

std::string immagine_celle(const std::vector<cella>& celle) {
  std::string s(celle.size() * formato::kBytesCella, '\0');
  char* p = s.data();
  for (const cella& c : celle) {
    codifica_cella(p, c);
    p += formato::kBytesCella;
  }
  return s;
}

std::vector<cella> decodifica_celle(std::string_view byte) {
  constexpr std::size_t kB = formato::kBytesCella;
  if (byte.empty()) throw errore_decodifica(0, "file vuoto: nessuna cella");
  const std::size_t intere = byte.size() / kB;
  if (byte.size() % kB != 0) {
    throw errore_decodifica(intere * kB, "la lunghezza " + n(byte.size()) + " non è un multiplo di " + n(kB) +
                                             ": la cella " + n(intere) + " ha solo " + n(byte.size() % kB) +
                                             " byte");
  }
  std::vector<cella> celle(intere);
  for (std::size_t k = 0; k < intere; ++k) celle[k] = decodifica_cella(byte.data() + k * kB);
  return celle;
}

}  // namespace scenario
