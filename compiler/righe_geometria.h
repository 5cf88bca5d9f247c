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
  // The same rows as the line geometry file holds their values
  // (compiler/formato_geometria.h): x into `fx` and y into `fy`, each with
  // room for `quante` of the largest; sets `byte_x` and `byte_y` to the bytes
  // written. A source that computes its rows may write them straight into
  // their bytes; this one goes through prossime().
  virtual std::size_t prossime_in_byte_entrambe(char* fx, char* fy, std::size_t quante, std::size_t& byte_x,
                                                std::size_t& byte_y);
  // The bytes of the whole x column, where the file's y column starts. This
  // one reads the rows through and rewinds.
  virtual uint64_t byte_colonna_x();
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
