// Rows of the line's plan, (metre, x, y), handed out in order a batch at a
// time: the geometry file is written from them and whoever draws or checks
// the plan reads them, and no one needs a row per metre in memory.
#ifndef COMPILER_RIGHE_GEOMETRIA_H_
#define COMPILER_RIGHE_GEOMETRIA_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "compiler/modello.h"

namespace scenario {

struct riga_geometria {
  int32_t metro = 0;
  numero_etichettato x;
  numero_etichettato y;
};

class sorgente_geometria {
 public:
  virtual ~sorgente_geometria() = default;
  // Back to metre 0.
  virtual void riavvolgi() = 0;
  // The next rows, metre after metre, at most `quante` of them into `righe`;
  // returns how many, 0 once every row has been given.
  virtual std::size_t prossime(riga_geometria* righe, std::size_t quante) = 0;
};

// The x and y columns of a plan held whole, metre 0 first.
struct geometria {
  std::vector<numero_etichettato> x;
  std::vector<numero_etichettato> y;
};

// Every row that a source gives, from metre 0.
geometria raccogli_geometria(sorgente_geometria& s);

// The rows of two columns held whole (decoded files, tests), which must be
// equally long.
class geometria_in_tabella : public sorgente_geometria {
 public:
  geometria_in_tabella(const std::vector<numero_etichettato>& x, const std::vector<numero_etichettato>& y);
  void riavvolgi() override { prossima_ = 0; }
  std::size_t prossime(riga_geometria* righe, std::size_t quante) override;

 private:
  const std::vector<numero_etichettato>& x_;
  const std::vector<numero_etichettato>& y_;
  std::size_t prossima_ = 0;
};

}  // namespace scenario

#endif  // COMPILER_RIGHE_GEOMETRIA_H_
