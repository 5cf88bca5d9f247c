#include "reader/piano_a_pezzi.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <utility>
#include <vector>

#include "compiler/codifica.h"
#include "compiler/formato.h"
#include "compiler/formato_geometria.h"
#include "platform/percorsi.h"
#include "platform/piattaforma.h"
#include "reader/decodifica.h"

namespace scenario {
namespace {

std::string n(uint64_t v) { return std::to_string(v); }

class byte_file : public byte_a_pezzi {
 public:
  explicit byte_file(std::string nome) : nome_(std::move(nome)) {
    errno = 0;
    f_.open(percorso(nome_), std::ios::binary);
    if (!f_) fallisci();
    f_.seekg(0, std::ios::end);
    const std::streamoff fine = f_.tellg();
    if (!f_ || fine < 0) fallisci();
    byte_ = static_cast<uint64_t>(fine);
  }
  uint64_t byte() const override { return byte_; }
  void leggi(uint64_t offset, char* dove, std::size_t quanti) const override {
    f_.clear();
    errno = 0;
    f_.seekg(static_cast<std::streamoff>(offset));
    f_.read(dove, static_cast<std::streamsize>(quanti));
    if (!f_ || static_cast<std::size_t>(f_.gcount()) != quanti) fallisci();
  }

 private:
  [[noreturn]] void fallisci() const {
    const int e = errno != 0 ? errno : EIO;
    throw errore_sistema(nome_, e, std::strerror(e));
  }

  std::string nome_;
  mutable std::ifstream f_;
  uint64_t byte_ = 0;
};

class byte_memoria : public byte_a_pezzi {
 public:
  explicit byte_memoria(std::string b) : b_(std::move(b)) {}
  uint64_t byte() const override { return b_.size(); }
  void leggi(uint64_t offset, char* dove, std::size_t quanti) const override {
    std::memcpy(dove, b_.data() + offset, quanti);
  }

 private:
  std::string b_;
};

double valore(const numero_etichettato& v) {
  return v.etichetta == numero_etichettato::vuoto ? std::numeric_limits<double>::quiet_NaN() : v.come_reale();
}

// Every this many values the check notes where the next one starts, so that
// the y column is found again without holding every offset.
constexpr uint64_t kPasso = 4096;

class piano_file : public piano_in_file {
 public:
  piano_file(std::shared_ptr<const byte_a_pezzi> b, std::size_t pezzo)
      : b_(std::move(b)), pezzo_(std::max<std::size_t>(pezzo, 16)) {
    std::vector<uint64_t> tappe;
    const uint64_t per_colonna = controlla_geometria(*b_, pezzo_, [&tappe](uint64_t indice, uint64_t offset) {
      if (indice % kPasso == 0) tappe.push_back(offset);
    });
    metri_ = static_cast<int64_t>(per_colonna);
    cursore_geometria c(*b_, tappe[static_cast<std::size_t>(per_colonna / kPasso)], pezzo_);
    for (uint64_t i = per_colonna / kPasso * kPasso; i < per_colonna; ++i) c.prossimo();
    inizio_y_ = c.pos();
  }
  int64_t metri() const override { return metri_; }
  const byte_a_pezzi& byte() const override { return *b_; }
  uint64_t inizio_y() const override { return inizio_y_; }
  void percorri(const ricevi_riga& riga) const override {
    cursore_geometria cx(*b_, 0, pezzo_), cy(*b_, inizio_y_, pezzo_);
    for (int64_t j = 0; j < metri_; ++j) {
      const double x = valore(cx.prossimo());
      const double y = valore(cy.prossimo());
      if (!riga({j, x, y})) return;
    }
  }

 private:
  std::shared_ptr<const byte_a_pezzi> b_;
  std::size_t pezzo_;
  int64_t metri_ = 0;
  uint64_t inizio_y_ = 0;
};

}  // namespace

cursore_geometria::cursore_geometria(const byte_a_pezzi& b, uint64_t inizio, std::size_t pezzo)
    : b_(b),
      fine_(b.byte()),
      pos_(inizio),
      capienza_(static_cast<std::size_t>(
          std::min<uint64_t>(std::max<std::size_t>(pezzo, 16), fine_ > inizio ? fine_ - inizio : 0))),
      pezzo_(std::make_unique_for_overwrite<char[]>(capienza_)) {}

numero_etichettato cursore_geometria::prossimo() {
  const std::size_t k = static_cast<std::size_t>(std::min<uint64_t>(formato::kBytesReale, resto()));
  if (pos_ < base_ || pos_ + k > base_ + caricati_) {
    base_ = pos_;
    caricati_ = static_cast<std::size_t>(std::min<uint64_t>(capienza_, resto()));
    b_.leggi(base_, pezzo_.get(), caricati_);
  }
  numero_etichettato v;
  pos_ += decodifica_etichettato(pezzo_.get() + (pos_ - base_), resto(), pos_, v);
  return v;
}

uint64_t controlla_geometria(const byte_a_pezzi& b, std::size_t pezzo,
                             const std::function<void(uint64_t indice, uint64_t offset)>& valore) {
  if (b.byte() == 0) throw errore_decodifica(0, "file vuoto: nessun valore");
  uint64_t quanti = 0;
  for (cursore_geometria c(b, 0, pezzo); c.resto() > 0; ++quanti) {
    const uint64_t offset = c.pos();
    c.prossimo();
    valore(quanti, offset);
  }
  if (quanti % 2 != 0) {
    throw errore_decodifica(b.byte(), "numero dispari di valori (" + n(quanti) +
                                          "): x e y devono averne tanti quanti i metri");
  }
  return quanti / 2;
}

std::shared_ptr<const byte_a_pezzi> byte_da_file(const std::string& nome) {
  return std::make_shared<byte_file>(nome);
}

std::shared_ptr<const byte_a_pezzi> byte_in_memoria(std::string byte) {
  return std::make_shared<byte_memoria>(std::move(byte));
}

std::shared_ptr<const piano_in_file> piano_a_pezzi(std::shared_ptr<const byte_a_pezzi> b, std::size_t pezzo) {
  return std::make_shared<piano_file>(std::move(b), pezzo);
}

}  // namespace scenario
