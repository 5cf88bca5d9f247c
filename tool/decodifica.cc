#include "tool/decodifica.h"

#include <utility>

#include "compiler/codifica.h"
#include "compiler/formato.h"

namespace scenario {
namespace {

bool finisce_con(std::string_view s, std::string_view fine) {
  return s.size() >= fine.size() && s.substr(s.size() - fine.size()) == fine;
}

std::string n(std::size_t v) { return std::to_string(v); }

// A cursor over the bytes that refuses, before reading, any value that would
// run past the end.
class cursore {
 public:
  explicit cursore(std::string_view b) : b_(b) {}
  std::size_t pos() const { return p_; }
  std::size_t resto() const { return b_.size() - p_; }
  const char* qui() const { return b_.data() + p_; }
  void avanza(std::size_t k) { p_ += k; }

 private:
  std::string_view b_;
  std::size_t p_ = 0;
};

voce leggi_voce(cursore& c, int i) {
  namespace f = formato::voce;
  const std::size_t inizio = c.pos();
  if (c.resto() < f::dopo_nome) {
    throw errore_decodifica(inizio, "voce " + std::to_string(i) + " troncata: restano " + n(c.resto()) +
                                        " byte, ne servono almeno " + n(f::dopo_nome));
  }
  const char* p = c.qui();
  voce v;
  v.tipo = decodifica_8(p + f::tipo);
  v.inizio = decodifica_32(p + f::inizio);
  v.fine = decodifica_32(p + f::fine);
  v.posizione = decodifica_32(p + f::posizione);
  v.attributo_1 = decodifica_8(p + f::attributo_1);
  const std::size_t lunghezza = decodifica_u16(p + f::nome);
  c.avanza(f::dopo_nome);
  if (c.resto() < lunghezza) {
    throw errore_decodifica(c.pos(), "il nome della voce " + std::to_string(i) + " (" + n(lunghezza) +
                                         " byte) va oltre la fine del file: ne restano " + n(c.resto()));
  }
  v.nome.assign(c.qui(), lunghezza);
  c.avanza(lunghezza);
  const std::size_t coda = formato::kBytesVoceVuota - f::dopo_nome;
  if (c.resto() < coda) {
    throw errore_decodifica(c.pos(), "voce " + std::to_string(i) + " troncata dopo il nome: restano " +
                                         n(c.resto()) + " byte, ne servono " + n(coda));
  }
  p = c.qui();
  v.gruppo_1a = decodifica_16(p + f::gruppo_1a);
  v.gruppo_1b = decodifica_16(p + f::gruppo_1b);
  v.gruppo_2a = decodifica_16(p + f::gruppo_2a);
  v.gruppo_2b = decodifica_16(p + f::gruppo_2b);
  v.gruppo_2c = decodifica_16(p + f::gruppo_2c);
  v.gruppo_1c = decodifica_8(p + f::gruppo_1c);
  v.attributo_4 = decodifica_8(p + f::attributo_4);
  v.attributo_3 = decodifica_8(p + f::attributo_3);
  v.attributo_2 = decodifica_8(p + f::attributo_2);
  v.orario = decodifica_32(p + f::orario);
  c.avanza(coda);
  return v;
}

// One tagged number at the cursor.
numero_etichettato leggi_etichettato(cursore& c) {
  const std::size_t inizio = c.pos();
  if (c.resto() < 2) throw errore_decodifica(inizio, "etichetta troncata: resta 1 byte, ne servono 2");
  const uint16_t etichetta = decodifica_u16(c.qui());
  switch (etichetta) {
    case formato::kEtichettaVuoto:
      c.avanza(formato::kBytesVuoto);
      return {};
    case formato::kEtichettaIntero:
      if (c.resto() < formato::kBytesIntero) break;
      c.avanza(formato::kBytesIntero);
      return numero_etichettato::da_intero(decodifica_16(c.qui() - 2));
    case formato::kEtichettaReale:
      if (c.resto() < formato::kBytesReale) break;
      c.avanza(formato::kBytesReale);
      return numero_etichettato::da_reale(decodifica_reale(c.qui() - 8));
    default:
      throw errore_decodifica(inizio, "etichetta " + std::to_string(etichetta) +
                                          " non valida: sono ammesse solo 0 (vuoto), 2 (intero) e 5 (reale)");
  }
  throw errore_decodifica(inizio, "il valore dell'etichetta " + std::to_string(etichetta) +
                                      " va oltre la fine del file: restano " + n(c.resto() - 2) + " byte");
}

}  // namespace

errore_decodifica::errore_decodifica(std::size_t offset, std::string motivo)
    : std::runtime_error("all'offset " + std::to_string(offset) + ": " + motivo),
      offset_(offset),
      motivo_(std::move(motivo)) {}

std::optional<tipo_file> tipo_da_nome(std::string_view nome) {
  if (finisce_con(nome, "_linea.dat")) return tipo_file::geometria;
  if (finisce_con(nome, ".sim")) return tipo_file::voci;
  if (finisce_con(nome, ".dat")) return tipo_file::celle;
  return std::nullopt;
}

std::optional<tipo_file> tipo_da_parola(std::string_view parola) {
  if (parola == "geometria" || parola == "geometry") return tipo_file::geometria;
  if (parola == "voci" || parola == "items") return tipo_file::voci;
  if (parola == "celle" || parola == "track") return tipo_file::celle;
  return std::nullopt;
}

const char* nome_tipo_file(tipo_file t) {
  switch (t) {
    case tipo_file::geometria: return "geometria";
    case tipo_file::voci: return "voci";
    case tipo_file::celle: return "celle";
  }
  return "";
}

std::array<voce, kNumeroVoci> decodifica_voci(std::string_view byte) {
  std::array<voce, kNumeroVoci> voci;
  cursore c(byte);
  for (int i = 0; i < kNumeroVoci; ++i) {
    if (c.resto() == 0) {
      throw errore_decodifica(c.pos(), "il file finisce dopo " + std::to_string(i) + " voci: ne servono " +
                                           std::to_string(kNumeroVoci));
    }
    voci[static_cast<std::size_t>(i)] = leggi_voce(c, i);
  }
  if (c.resto() != 0) {
    throw errore_decodifica(c.pos(), "dopo le " + std::to_string(kNumeroVoci) + " voci restano " + n(c.resto()) +
                                         " byte");
  }
  return voci;
}

std::array<std::size_t, kNumeroVoci> offset_voci(const std::array<voce, kNumeroVoci>& voci) {
  std::array<std::size_t, kNumeroVoci> o{};
  std::size_t p = 0;
  for (std::size_t i = 0; i < voci.size(); ++i) {
    o[i] = p;
    p += formato::kBytesVoceVuota + voci[i].nome.size();
  }
  return o;
}

std::vector<cella> decodifica_celle(std::string_view byte) {
  namespace f = formato::cella;
  if (byte.empty()) throw errore_decodifica(0, "file vuoto: nessuna cella");
  const std::size_t intere = byte.size() / formato::kBytesCella;
  if (byte.size() % formato::kBytesCella != 0) {
    throw errore_decodifica(intere * formato::kBytesCella,
                            "la lunghezza " + n(byte.size()) + " non è un multiplo di " + n(formato::kBytesCella) +
                                ": la cella " + n(intere) + " ha solo " + n(byte.size() % formato::kBytesCella) +
                                " byte");
  }
  std::vector<cella> celle(intere);
  const char* p = byte.data();
  for (cella& c : celle) {
    c.tipo = decodifica_8(p + f::tipo);
    c.dato1 = decodifica_16(p + f::dato1);
    c.dato2 = decodifica_16(p + f::dato2);
    c.dato3 = decodifica_16(p + f::dato3);
    c.dato4 = decodifica_16(p + f::dato4);
    c.tempo_segnale = decodifica_8(p + f::tempo_segnale);
    c.richiamo = decodifica_8(p + f::richiamo);
    c.montagna = decodifica_8(p + f::montagna);
    c.velocita_max = decodifica_8(p + f::velocita_max);
    c.pendenza = decodifica_8(p + f::pendenza);
    c.aderenza = decodifica_8(p + f::aderenza);
    p += formato::kBytesCella;
  }
  return celle;
}

geometria decodifica_geometria(std::string_view byte) {
  if (byte.empty()) throw errore_decodifica(0, "file vuoto: nessun valore");
  // First every tag is checked and the values counted, then x and y are
  // filled in place: a 20 MB file is read twice but copied never.
  std::size_t quanti = 0;
  for (cursore c(byte); c.resto() > 0; ++quanti) leggi_etichettato(c);
  if (quanti % 2 != 0) {
    throw errore_decodifica(byte.size(), "numero dispari di valori (" + n(quanti) +
                                             "): x e y devono averne tanti quanti i metri");
  }
  geometria g;
  g.x.reserve(quanti / 2);
  g.y.reserve(quanti / 2);
  cursore c(byte);
  while (g.x.size() < quanti / 2) g.x.push_back(leggi_etichettato(c));
  while (c.resto() > 0) g.y.push_back(leggi_etichettato(c));
  return g;
}

file_decodificato decodifica(tipo_file t, std::string_view byte) {
  file_decodificato f;
  f.tipo = t;
  f.byte = byte.size();
  switch (t) {
    case tipo_file::geometria: f.piano = decodifica_geometria(byte); break;
    case tipo_file::voci: f.voci = decodifica_voci(byte); break;
    case tipo_file::celle: f.celle = decodifica_celle(byte); break;
  }
  return f;
}

}  // namespace scenario
