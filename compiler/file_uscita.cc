#include "compiler/file_uscita.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "compiler/codifica.h"
#include "compiler/formato.h"
#include "common/nomi.h"
#include "common/uscite.h"

namespace scenario {
namespace {

// Each image is sized first and then filled through one cursor, so that a
// 20 MB geometry costs one allocation and no copy.
std::size_t misura_colonna(const std::vector<numero_etichettato>& colonna) {
  std::size_t n = 0;
  for (const numero_etichettato& v : colonna) n += misura_etichettato(v);
  return n;
}

char* metti_colonna(char* p, const std::vector<numero_etichettato>& colonna) {
  for (const numero_etichettato& v : colonna) p = metti_etichettato(p, v);
  return p;
}

char* metti_voce(char* p, const voce& v) {
  p = metti_8(p, v.tipo);
  p = metti_32(p, v.inizio);
  p = metti_32(p, v.fine);
  p = metti_32(p, v.posizione);
  p = metti_8(p, v.attributo_1);
  p = metti_stringa(p, v.nome);
  p = metti_16(p, v.gruppo_1a);
  p = metti_16(p, v.gruppo_1b);
  p = metti_16(p, v.gruppo_2a);
  p = metti_16(p, v.gruppo_2b);
  p = metti_16(p, v.gruppo_2c);
  p = metti_8(p, v.gruppo_1c);
  p = metti_8(p, v.attributo_4);
  p = metti_8(p, v.attributo_3);
  p = metti_8(p, v.attributo_2);
  return metti_32(p, v.orario);
}

char* metti_cella(char* p, const cella& c) {
  p = metti_8(p, c.tipo);
  p = metti_16(p, c.dato1);
  p = metti_16(p, c.dato2);
  p = metti_16(p, c.dato3);
  p = metti_16(p, c.dato4);
  p = metti_8(p, c.tempo_segnale);
  p = metti_8(p, c.richiamo);
  p = metti_8(p, c.montagna);
  p = metti_8(p, c.velocita_max);
  p = metti_8(p, c.pendenza);
  return metti_8(p, c.aderenza);
}

// The buffer must have been filled exactly; anything else is a bug here.
void verifica_misura(const std::string& s, const char* fine, const char* cosa) {
  if (fine != s.data() + s.size()) throw std::logic_error(std::string("misura errata dell'immagine ") + cosa);
}

}  // namespace

std::string immagine_tracciato(const modello& m) {
  std::string s(misura_colonna(m.tracciato_x) + misura_colonna(m.tracciato_y), '\0');
  char* p = metti_colonna(s.data(), m.tracciato_x);
  p = metti_colonna(p, m.tracciato_y);
  verifica_misura(s, p, "del tracciato");
  return s;
}

namespace {

// The line geometry in pieces of a few hundred kilobytes, all x then all y,
// the same bytes as immagine_tracciato: a long line's geometry is tens of
// megabytes that would otherwise be built whole before being written.
class pezzi_tracciato {
 public:
  explicit pezzi_tracciato(const modello& m) : m_(m) {}

  std::string_view prossimo() {
    for (;;) {
      const std::vector<numero_etichettato>& c = colonna();
      if (riga_ < c.size()) break;
      if (x_finita_) return {};
      x_finita_ = true;
      riga_ = 0;
    }
    const std::vector<numero_etichettato>& c = colonna();
    const std::size_t n = std::min(kRighePerPezzo, c.size() - riga_);
    blocco_.resize(kRighePerPezzo * formato::kBytesReale);
    char* p = blocco_.data();
    for (std::size_t i = riga_; i < riga_ + n; ++i) p = metti_etichettato(p, c[i]);
    riga_ += n;
    return {blocco_.data(), static_cast<std::size_t>(p - blocco_.data())};
  }

 private:
  static constexpr std::size_t kRighePerPezzo = 65536;
  const std::vector<numero_etichettato>& colonna() const { return x_finita_ ? m_.tracciato_y : m_.tracciato_x; }

  const modello& m_;
  bool x_finita_ = false;
  std::size_t riga_ = 0;
  std::string blocco_;
};

}  // namespace

std::string immagine_voci(const modello& m) {
  std::size_t n = 0;
  for (const voce& v : m.voci) {
    // The count of a name is 16 bits; a longer name has no faithful image.
    if (v.nome.size() > std::numeric_limits<uint16_t>::max()) {
      throw std::length_error("nome di una voce oltre 65535 caratteri");
    }
    n += formato::kBytesVoceVuota + v.nome.size();
  }
  std::string s(n, '\0');
  char* p = s.data();
  for (const voce& v : m.voci) p = metti_voce(p, v);
  verifica_misura(s, p, "delle voci");
  return s;
}

std::string immagine_celle(const modello& m) {
  std::string s(m.celle.size() * formato::kBytesCella, '\0');
  char* p = s.data();
  for (const cella& c : m.celle) p = metti_cella(p, c);
  verifica_misura(s, p, "delle celle");
  return s;
}

void scrivi_file_compilati(piattaforma& p, const modello& m) {
  insieme_uscite uscite(p);
  if (m.calcola_tracciato != 0) {
    pezzi_tracciato pezzi(m);
    uscite.aggiungi_a_pezzi(nome_file(p, m.nome_linea, m.numero_treno, file_scenario::geometria_linea),
                            [&pezzi] { return pezzi.prossimo(); });
  }
  uscite.aggiungi(nome_file(p, m.nome_linea, m.numero_treno, file_scenario::voci), immagine_voci(m));
  uscite.aggiungi(nome_file(p, m.nome_linea, m.numero_treno, file_scenario::celle), immagine_celle(m));
  uscite.conferma();
}

}  // namespace scenario
