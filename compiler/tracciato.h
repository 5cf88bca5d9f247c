// The plan view of the line: x and y of the track at every metre, stepped
// one metre at a time from the origin, turning where the curve records say.
// The cursor j is the next row to compute; it only grows.
//
// The model keeps the plan as its stretches of steps (piano_tracciato), and
// the rows are computed when they are wanted, in order of metre, by
// `generatore_piano`: the geometry file is written from it, and whoever
// draws or checks the plan reads it the same way.
#ifndef COMPILER_TRACCIATO_H_
#define COMPILER_TRACCIATO_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "compiler/modello.h"
#include "compiler/righe_geometria.h"

namespace scenario {

// The cursor at which computing starts, right after the seed.
inline constexpr int32_t kInizioCursorePiano = 2;
// A cursor beyond this after any step refuses the curve (code 103).
inline constexpr int32_t kCursorePianoMassimo = 1000000;

bool tracciato_presente(const modello& m);

// Rows 0 to lunghezza_tracciato, every entry empty.
void crea_tracciato(modello& m);

// Rows 0 and 1 become the integers (0, 0) and (0, 1): the track leaves the
// origin heading along +y. Without a table it is a run-time failure.
void semina_tracciato(modello& m);

// The class of a curve keyword: the first of the digits 1 to 6 that it
// contains, tested in that order; 0 when it contains none.
int classe_curva(std::string_view parola);
// Turn rate of a class, in radians per metre; 0 for no class.
double tasso_curva(int classe);

// Applies the curve of keyword `parola` from metre s over n metres: straight
// steps up to s, turning steps up to s + n, never past row
// lunghezza_tracciato - 2. `j` is the plan's cursor, which the caller keeps
// from kInizioCursorePiano on. Returns false for code 103: no class digit,
// or the cursor beyond kCursorePianoMassimo after a step.
bool applica_curva(modello& m, int32_t& j, std::string_view parola, int32_t s, int32_t n);

// Straight steps up to row lunghezza_tracciato - 2; the last two rows stay
// empty.
void completa_piano(modello& m, int32_t& j);

// The rows of a plan, metre 0 to its last row, computed again from its
// stretches exactly as each step makes them: the two previous points are
// carried along, the arithmetic is the steps' own, in the same order, so
// every row is the same double bit for bit however often it is replayed.
// The plan must outlive the generator and stay unchanged while it is read.
class generatore_piano : public sorgente_geometria {
 public:
  explicit generatore_piano(const piano_tracciato& p);
  void riavvolgi() override;
  std::size_t prossime(riga_geometria* righe, std::size_t quante) override;
  std::size_t prossime_in_byte_entrambe(char* fx, char* fy, std::size_t quante, std::size_t& byte_x,
                                        std::size_t& byte_y) override;
  uint64_t byte_colonna_x() override;

  // Where the steps stand before a row: the row, its stretch and the two
  // points before it.
  struct stato {
    int32_t metro = 0;
    std::size_t tratto = 0;
    double x2 = 0, y2 = 0;
    double x1 = 0, y1 = 0;
  };

 private:
  template <typename E>
  std::size_t scorri(std::size_t quante, E& e);

  const piano_tracciato& p_;
  stato s_;
};
// Every row of the plan in order of metre, each handed to `riga`, which
// returns false to stop: the plan replayed for whoever reads it through
// once (the chart). Nothing per metre is held.
template <typename F>
void percorri_piano(const piano_tracciato& p, F&& riga) {
  constexpr std::size_t kLotto = 1024;
  generatore_piano g(p);
  riga_geometria righe[kLotto];
  for (std::size_t n = g.prossime(righe, kLotto); n > 0; n = g.prossime(righe, kLotto)) {
    for (std::size_t i = 0; i < n; ++i) {
      if (!riga(static_cast<const riga_geometria&>(righe[i]))) return;
    }
  }
}

// Every row of the plan at once, for whoever must have the whole table.
geometria tabella_piano(const piano_tracciato& p);

}  // namespace scenario

#endif  // COMPILER_TRACCIATO_H_
