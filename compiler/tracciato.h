// The plan view of the line: x and y of the track at every metre, stepped
// one metre at a time from the origin, turning where the curve records say.
// The cursor j is the next row to compute; it only grows.
#ifndef COMPILER_TRACCIATO_H_
#define COMPILER_TRACCIATO_H_

#include <cstdint>
#include <string_view>

#include "compiler/modello.h"

namespace scenario {

// The cursor at which computing starts, right after the seed.
inline constexpr int32_t kInizioCursorePiano = 2;
// A cursor beyond this after any step refuses the curve (code 103).
inline constexpr int32_t kCursorePianoMassimo = 1000000;

// Row j, column c (0 = x, 1 = y); a row outside the table, or no table, is
// a run-time failure.
numero_etichettato& punto_tracciato(modello& m, int64_t j, int c);

bool tracciato_presente(const modello& m);

// Rows 0 to lunghezza_tracciato, every entry empty.
void crea_tracciato(modello& m);

// Rows 0 and 1 become the integers (0, 0) and (0, 1): the track leaves the
// origin heading along +y.
void semina_tracciato(modello& m);

// The class of a curve keyword: the first of the digits 1 to 6 that it
// contains, tested in that order; 0 when it contains none.
int classe_curva(std::string_view parola);
// Turn rate of a class, in radians per metre; 0 for no class.
double tasso_curva(int classe);

// Applies the curve of keyword `parola` from metre s over n metres: straight
// steps up to s, turning steps up to s + n, never past row
// lunghezza_tracciato - 2. Returns false for code 103: no class digit, or the
// cursor beyond kCursorePianoMassimo after a step.
bool applica_curva(modello& m, int32_t& j, std::string_view parola, int32_t s, int32_t n);

// Straight steps up to row lunghezza_tracciato - 2; the last two rows stay
// empty.
void completa_piano(modello& m, int32_t& j);

}  // namespace scenario

#endif  // COMPILER_TRACCIATO_H_
