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
#include "platform/piattaforma.h"
#include "reader/decodifica.h"

namespace scenario {
namespace {

std::string n(uint64_t v) { return std::to_string(v); }

class byte_file : public byte_a_pezzi {
 public:
  explicit byte_file(std::string nome) : nome_(std::move(nome)) {
    errno = 0;
    f_.open(std::filesystem::path(nome_), std::ios::binary);
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

// A cursor over the bytes that holds one piece of them at a time and
// refuses, before reading, any value that would run past the end.
class cursore {
 public:
  cursore(const byte_a_pezzi& b, uint64_t inizio, std::size_t pezzo)
      : b_(b), fine_(b.byte()), pos_(inizio), pezzo_(pezzo, '\0') {}
  uint64_t pos() const { return pos_; }
  uint64_t resto() const { return fine_ - pos_; }
  // The next min(k, resto()) bytes; k is at most the piece's size.
  const char* qui(std::size_t k) {
    if (pos_ < base_ || pos_ + std::min<uint64_t>(k, resto()) > base_ + caricati_) {
      base_ = pos_;
      caricati_ = static_cast<std::size_t>(std::min<uint64_t>(pezzo_.size(), resto()));
      b_.leggi(base_, pezzo_.data(), caricati_);
    }
    return pezzo_.data() + (pos_ - base_);
  }
  void avanza(std::size_t k) { pos_ += k; }

 private:
  const byte_a_pezzi& b_;
  uint64_t fine_;
  uint64_t pos_;
  uint64_t base_ = 0;
  std::size_t caricati_ = 0;
  std::string pezzo_;
};

// One tagged number at the cursor, refused as decodifica_geometria refuses it.
numero_etichettato leggi_etichettato(cursore& c) {
  const uint64_t inizio = c.pos();
  if (c.resto() < 2) throw errore_decodifica(inizio, "etichetta troncata: resta 1 byte, ne servono 2");
  const char* p = c.qui(formato::kBytesReale);
  const uint16_t etichetta = decodifica_u16(p);
  switch (etichetta) {
    case formato::kEtichettaVuoto:
      c.avanza(formato::kBytesVuoto);
      return {};
    case formato::kEtichettaIntero:
      if (c.resto() < formato::kBytesIntero) break;
      c.avanza(formato::kBytesIntero);
      return numero_etichettato::da_intero(decodifica_16(p + 2));
    case formato::kEtichettaReale:
      if (c.resto() < formato::kBytesReale) break;
      c.avanza(formato::kBytesReale);
      return numero_etichettato::da_reale(decodifica_reale(p + 2));
    default:
      throw errore_decodifica(inizio, "etichetta " + std::to_string(etichetta) +
                                          " non valida: sono ammesse solo 0 (vuoto), 2 (intero) e 5 (reale)");
  }
  throw errore_decodifica(inizio, "il valore dell'etichetta " + std::to_string(etichetta) +
                                      " va oltre la fine del file: restano " + n(c.resto() - 2) + " byte");
}

double valore(const numero_etichettato& v) {
  return v.etichetta == numero_etichettato::vuoto ? std::numeric_limits<double>::quiet_NaN() : v.come_reale();
}

// Every this many values the check notes where the next one starts, so that
// the y column is found again without holding every offset.
constexpr uint64_t kPasso = 4096;

class piano_file : public sorgente_piano {
 public:
  piano_file(std::shared_ptr<const byte_a_pezzi> b, std::size_t pezzo)
      : b_(std::move(b)), pezzo_(std::max<std::size_t>(pezzo, 16)) {
    if (b_->byte() == 0) throw errore_decodifica(0, "file vuoto: nessun valore");
    std::vector<uint64_t> tappe;
    uint64_t quanti = 0;
    for (cursore c(*b_, 0, pezzo_); c.resto() > 0; ++quanti) {
      if (quanti % kPasso == 0) tappe.push_back(c.pos());
      leggi_etichettato(c);
    }
    if (quanti % 2 != 0) {
      throw errore_decodifica(b_->byte(), "numero dispari di valori (" + n(quanti) +
                                              "): x e y devono averne tanti quanti i metri");
    }
    metri_ = static_cast<int64_t>(quanti / 2);
    cursore c(*b_, tappe[static_cast<std::size_t>(quanti / 2 / kPasso)], pezzo_);
    for (uint64_t i = quanti / 2 / kPasso * kPasso; i < quanti / 2; ++i) leggi_etichettato(c);
    inizio_y_ = c.pos();
  }
  int64_t metri() const override { return metri_; }
  void percorri(const ricevi_riga& riga) const override {
    cursore cx(*b_, 0, pezzo_), cy(*b_, inizio_y_, pezzo_);
    for (int64_t j = 0; j < metri_; ++j) {
      const double x = valore(leggi_etichettato(cx));
      const double y = valore(leggi_etichettato(cy));
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

std::shared_ptr<const byte_a_pezzi> byte_da_file(const std::string& nome) {
  return std::make_shared<byte_file>(nome);
}

std::shared_ptr<const byte_a_pezzi> byte_in_memoria(std::string byte) {
  return std::make_shared<byte_memoria>(std::move(byte));
}

std::shared_ptr<const sorgente_piano> piano_a_pezzi(std::shared_ptr<const byte_a_pezzi> b, std::size_t pezzo) {
  return std::make_shared<piano_file>(std::move(b), pezzo);
}

}  // namespace scenario
