#include "compiler/tracciato.h"

#include <algorithm>
#include <string>

#include "compiler/campi.h"
#include "compiler/esecuzione.h"

namespace scenario {
namespace {

constexpr double kTassi[] = {0.0, 0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// The last row that any step may compute.
int64_t ultima_riga_calcolabile(const modello& m) { return int64_t{m.lunghezza_tracciato} - 2; }

// Steps the rows from the cursor j up to row `fino`, each straight or
// turning at rate r, and leaves j after the last one. The order of the
// operations is the contract: the file must hold exactly these doubles, so
// nothing is regrouped or renormalised. The rows are checked once for the
// whole run, and the two previous points are carried along.
void passi(modello& m, int32_t& j, int64_t fino, bool curva, double r) {
  if (j > fino) return;
  punto_tracciato(m, j - 2, 0);
  punto_tracciato(m, fino, 0);
  numero_etichettato* const px = m.tracciato_x.data();
  numero_etichettato* const py = m.tracciato_y.data();
  double x2 = px[j - 2].come_reale();
  double y2 = py[j - 2].come_reale();
  double x1 = px[j - 1].come_reale();
  double y1 = py[j - 1].come_reale();
  for (; j <= fino; ++j) {
    const double dx = x1 - x2;
    const double dy = y1 - y2;
    double x, y;
    if (curva) {
      x = x1 + (dx + r * dy);
      y = y1 + (dy - r * dx);
    } else {
      x = x1 + dx;
      y = y1 + dy;
    }
    px[j] = numero_etichettato::da_reale(x);
    py[j] = numero_etichettato::da_reale(y);
    x2 = x1;
    y2 = y1;
    x1 = x;
    y1 = y;
  }
}

}  // namespace

numero_etichettato& punto_tracciato(modello& m, int64_t j, int c) {
  std::vector<numero_etichettato>& colonna = c == 0 ? m.tracciato_x : m.tracciato_y;
  if (j < 0 || j >= static_cast<int64_t>(colonna.size())) {
    throw errore_esecuzione("riga " + std::to_string(j) + " fuori dal tracciato");
  }
  return colonna[static_cast<std::size_t>(j)];
}

bool tracciato_presente(const modello& m) { return !m.tracciato_x.empty(); }

void crea_tracciato(modello& m) {
  const std::size_t righe = static_cast<std::size_t>(a32(int64_t{m.lunghezza_tracciato} + 1));
  m.tracciato_x.assign(righe, numero_etichettato{});
  m.tracciato_y.assign(righe, numero_etichettato{});
}

void semina_tracciato(modello& m) {
  punto_tracciato(m, 0, 0) = numero_etichettato::da_intero(0);
  punto_tracciato(m, 0, 1) = numero_etichettato::da_intero(0);
  punto_tracciato(m, 1, 0) = numero_etichettato::da_intero(0);
  punto_tracciato(m, 1, 1) = numero_etichettato::da_intero(1);
}

int classe_curva(std::string_view parola) {
  for (int classe = 1; classe <= 6; ++classe) {
    const char cifra[2] = {static_cast<char>('0' + classe), '\0'};
    if (contiene(parola, cifra)) return classe;
  }
  return 0;
}

double tasso_curva(int classe) { return classe >= 1 && classe <= 6 ? kTassi[classe] : 0.0; }

bool applica_curva(modello& m, int32_t& j, std::string_view parola, int32_t s, int32_t n) {
  const int classe = classe_curva(parola);
  if (classe == 0) return false;
  const double r = contiene_nc(parola, "s") ? -tasso_curva(classe) : tasso_curva(classe);
  const int32_t fine = a32(int64_t{s} + n);
  const int64_t limite = ultima_riga_calcolabile(m);
  // The cursor is tested after every step; stepping no further than row
  // kCursorePianoMassimo and then testing once gives the same outcome.
  const int64_t massimo = std::min<int64_t>(limite, kCursorePianoMassimo);
  passi(m, j, std::min<int64_t>(s, massimo), false, 0.0);
  if (j > kCursorePianoMassimo) return false;
  passi(m, j, std::min<int64_t>(fine, massimo), true, r);
  return j <= kCursorePianoMassimo;
}

void completa_piano(modello& m, int32_t& j) { passi(m, j, ultima_riga_calcolabile(m), false, 0.0); }

}  // namespace scenario
