#include "compiler/formato_geometria.h"

#include <stdexcept>

#include "compiler/codifica.h"

namespace scenario {
namespace {

// Rows asked of the source at a time: two pieces of at most 80 kB, few
// enough writes that their cost stays below the bytes' own, and blocks that
// allocators serve from their pools: from 128 kB up glibc's malloc, and the
// sanitizers' allocator, map fresh pages for every block and unmap them
// after.
constexpr std::size_t kRighePerPezzoPosizionato = 8192;

std::string n(std::size_t v) { return std::to_string(v); }

}  // namespace

char* codifica_etichettato(char* p, const numero_etichettato& v) {
  namespace o = formato::etichettato;
  switch (v.etichetta) {
    case numero_etichettato::intero:
      metti_16(p + o::etichetta, formato::kEtichettaIntero);
      metti_16(p + o::valore, v.valore_intero);
      return p + formato::kBytesIntero;
    case numero_etichettato::reale:
      return codifica_reale(p, v.valore_reale);
    default:
      metti_16(p + o::etichetta, formato::kEtichettaVuoto);
      return p + formato::kBytesVuoto;
  }
}

std::size_t decodifica_etichettato(std::string_view byte, std::size_t offset, numero_etichettato& v) {
  return offset + decodifica_etichettato(byte.data() + offset, byte.size() - offset, offset, v);
}

std::size_t decodifica_etichettato(const char* p, uint64_t resto, uint64_t offset, numero_etichettato& v) {
  namespace o = formato::etichettato;
  if (resto < formato::kBytesVuoto) {
    throw errore_decodifica(offset, "etichetta troncata: resta 1 byte, ne servono 2");
  }
  const uint16_t etichetta = decodifica_u16(p + o::etichetta);
  switch (etichetta) {
    case formato::kEtichettaVuoto:
      v = {};
      return formato::kBytesVuoto;
    case formato::kEtichettaIntero:
      if (resto < formato::kBytesIntero) break;
      v = numero_etichettato::da_intero(decodifica_16(p + o::valore));
      return formato::kBytesIntero;
    case formato::kEtichettaReale:
      if (resto < formato::kBytesReale) break;
      v = numero_etichettato::da_reale(decodifica_reale(p + o::valore));
      return formato::kBytesReale;
    default:
      throw errore_decodifica(offset, "etichetta " + std::to_string(etichetta) +
                                          " non valida: sono ammesse solo 0 (vuoto), 2 (intero) e 5 (reale)");
  }
  throw errore_decodifica(offset, "il valore dell'etichetta " + std::to_string(etichetta) +
                                      " va oltre la fine del file: restano " + std::to_string(resto - 2) + " byte");
}

pezzi_geometria_posizionati::pezzi_geometria_posizionati(sorgente_geometria& s)
    : s_(s),
      inizio_y_(s.byte_colonna_x()),
      blocco_x_(std::make_unique_for_overwrite<char[]>(kRighePerPezzoPosizionato * formato::kBytesReale)),
      blocco_y_(std::make_unique_for_overwrite<char[]>(kRighePerPezzoPosizionato * formato::kBytesReale)) {
  s_.riavvolgi();
}

pezzo_posizionato pezzi_geometria_posizionati::prossimo() {
  if (in_attesa_ > 0) {
    const pezzo_posizionato p{{blocco_y_.get(), in_attesa_}, inizio_y_ + y_};
    y_ += in_attesa_;
    in_attesa_ = 0;
    return p;
  }
  std::size_t byte_x = 0, byte_y = 0;
  if (s_.prossime_in_byte_entrambe(blocco_x_.get(), blocco_y_.get(), kRighePerPezzoPosizionato, byte_x, byte_y) == 0) {
    if (x_ != inizio_y_) throw std::logic_error("la colonna x non ha i byte dichiarati");
    return {};
  }
  const pezzo_posizionato p{{blocco_x_.get(), byte_x}, x_};
  x_ += byte_x;
  in_attesa_ = byte_y;
  if (x_ > inizio_y_) throw std::logic_error("la colonna x supera i byte dichiarati");
  return p;
}

std::string immagine_geometria(sorgente_geometria& s) {
  pezzi_geometria_posizionati pezzi(s);
  std::string tutto;
  for (pezzo_posizionato p = pezzi.prossimo(); !p.byte.empty(); p = pezzi.prossimo()) {
    const auto inizio = static_cast<std::size_t>(p.posizione);
    if (tutto.size() < inizio + p.byte.size()) tutto.resize(inizio + p.byte.size());
    tutto.replace(inizio, p.byte.size(), p.byte);
  }
  return tutto;
}

geometria decodifica_geometria(std::string_view byte) {
  if (byte.empty()) throw errore_decodifica(0, "file vuoto: nessun valore");
  // First every tag is checked and the values counted, then x and y are
  // filled in place.
  std::size_t quanti = 0;
  numero_etichettato v;
  for (std::size_t p = 0; p < byte.size(); ++quanti) p = decodifica_etichettato(byte, p, v);
  if (quanti % 2 != 0) {
    throw errore_decodifica(byte.size(), "numero dispari di valori (" + n(quanti) +
                                             "): x e y devono averne tanti quanti i metri");
  }
  geometria g;
  g.x.resize(quanti / 2);
  g.y.resize(quanti / 2);
  std::size_t p = 0;
  for (numero_etichettato& x : g.x) p = decodifica_etichettato(byte, p, x);
  for (numero_etichettato& y : g.y) p = decodifica_etichettato(byte, p, y);
  return g;
}

}  // namespace scenario
