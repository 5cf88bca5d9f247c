#include "reader/piano.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace scenario {
namespace {

double valore(const numero_etichettato& n) {
  return n.etichetta == numero_etichettato::vuoto ? std::numeric_limits<double>::quiet_NaN() : n.come_reale();
}

class piano_tabelle : public sorgente_piano {
 public:
  piano_tabelle(const std::vector<numero_etichettato>& x, const std::vector<numero_etichettato>& y) : x_(x), y_(y) {}
  int64_t metri() const override { return static_cast<int64_t>(std::min(x_.size(), y_.size())); }
  void percorri(const ricevi_riga& riga) const override {
    const std::size_t n = std::min(x_.size(), y_.size());
    for (std::size_t j = 0; j < n; ++j) {
      if (!riga({static_cast<int64_t>(j), valore(x_[j]), valore(y_[j])})) return;
    }
  }

 private:
  const std::vector<numero_etichettato>& x_;
  const std::vector<numero_etichettato>& y_;
};

class piano_geometria : public sorgente_piano {
 public:
  explicit piano_geometria(geometria g) : g_(std::move(g)), tabelle_(g_.x, g_.y) {}
  piano_geometria(const piano_geometria&) = delete;
  piano_geometria& operator=(const piano_geometria&) = delete;
  int64_t metri() const override { return tabelle_.metri(); }
  void percorri(const ricevi_riga& riga) const override { tabelle_.percorri(riga); }

 private:
  geometria g_;
  piano_tabelle tabelle_;
};

class piano_procedura : public sorgente_piano {
 public:
  piano_procedura(int64_t metri, std::function<void(const ricevi_riga&)> percorri)
      : metri_(metri), percorri_(std::move(percorri)) {}
  int64_t metri() const override { return metri_; }
  void percorri(const ricevi_riga& riga) const override { percorri_(riga); }

 private:
  int64_t metri_;
  std::function<void(const ricevi_riga&)> percorri_;
};

}  // namespace

std::shared_ptr<const sorgente_piano> piano_da_tabelle(const std::vector<numero_etichettato>& x,
                                                       const std::vector<numero_etichettato>& y) {
  return std::make_shared<piano_tabelle>(x, y);
}

std::shared_ptr<const sorgente_piano> piano_da_geometria(geometria g) {
  return std::make_shared<piano_geometria>(std::move(g));
}

std::shared_ptr<const sorgente_piano> piano_da_procedura(int64_t metri,
                                                         std::function<void(const ricevi_riga&)> percorri) {
  return std::make_shared<piano_procedura>(metri, std::move(percorri));
}

}  // namespace scenario
