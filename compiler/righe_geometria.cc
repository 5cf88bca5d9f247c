#include "compiler/righe_geometria.h"

#include <algorithm>
#include <stdexcept>

#include "compiler/formato_geometria.h"

namespace scenario {

geometria_in_tabella::geometria_in_tabella(const std::vector<numero_etichettato>& x, const std::vector<numero_etichettato>& y)
    : x_(x), y_(y) {
  if (x.size() != y.size()) throw std::invalid_argument("colonne x e y di lunghezza diversa");
}

std::size_t geometria_in_tabella::prossime(riga_geometria* righe, std::size_t quante) {
  const std::size_t n = std::min(quante, x_.size() - prossima_);
  for (std::size_t i = 0; i < n; ++i, ++prossima_) {
    righe[i] = {static_cast<int32_t>(prossima_), x_[prossima_], y_[prossima_]};
  }
  return n;
}

}  // namespace scenario

namespace scenario {

std::size_t sorgente_geometria::prossime_in_byte_entrambe(char* fx, char* fy, std::size_t quante,
                                                         std::size_t& byte_x, std::size_t& byte_y) {
  riga_geometria righe[512];
  char* px = fx;
  char* py = fy;
  std::size_t fatte = 0;
  while (fatte < quante) {
    const std::size_t n = prossime(righe, std::min<std::size_t>(512, quante - fatte));
    if (n == 0) break;
    for (std::size_t i = 0; i < n; ++i) {
      px = codifica_etichettato(px, righe[i].x);
      py = codifica_etichettato(py, righe[i].y);
    }
    fatte += n;
  }
  byte_x = static_cast<std::size_t>(px - fx);
  byte_y = static_cast<std::size_t>(py - fy);
  return fatte;
}

uint64_t sorgente_geometria::byte_colonna_x() {
  riga_geometria righe[512];
  uint64_t byte = 0;
  riavvolgi();
  for (std::size_t n = prossime(righe, 512); n > 0; n = prossime(righe, 512)) {
    for (std::size_t i = 0; i < n; ++i) byte += bytes_etichettato(righe[i].x);
  }
  riavvolgi();
  return byte;
}

geometria raccogli_geometria(sorgente_geometria& s) {
  geometria g;
  riga_geometria righe[4096];
  s.riavvolgi();
  for (std::size_t n = s.prossime(righe, 4096); n > 0; n = s.prossime(righe, 4096)) {
    for (std::size_t i = 0; i < n; ++i) {
      g.x.push_back(righe[i].x);
      g.y.push_back(righe[i].y);
    }
  }
  return g;
}

}  // namespace scenario
