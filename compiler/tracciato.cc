#include "compiler/tracciato.h"

#include <string>

#include "compiler/campi.h"
#include "compiler/esecuzione.h"

namespace scenario {
namespace {

constexpr double kTassi[] = {0.0, 0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// The last row that any step may compute.
int64_t ultima_riga_calcolabile(const modello& m) { return int64_t{m.lunghezza_tracciato} - 2; }

// One step at row j. The order of the operations is the contract: the file
// must hold exactly these doubles, so nothing is regrouped or renormalised.
void passo(modello& m, int32_t j, bool curva, double r) {
  const double x1 = punto_tracciato(m, j - 1, 0).come_reale();
  const double y1 = punto_tracciato(m, j - 1, 1).come_reale();
  const double dx = x1 - punto_tracciato(m, j - 2, 0).come_reale();
  const double dy = y1 - punto_tracciato(m, j - 2, 1).come_reale();
  numero_etichettato& x = punto_tracciato(m, j, 0);
  numero_etichettato& y = punto_tracciato(m, j, 1);
  if (curva) {
    x = numero_etichettato::da_reale(x1 + (dx + r * dy));
    y = numero_etichettato::da_reale(y1 + (dy - r * dx));
  } else {
    x = numero_etichettato::da_reale(x1 + dx);
    y = numero_etichettato::da_reale(y1 + dy);
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
  while (j <= s && j <= limite) {
    passo(m, j, false, 0.0);
    ++j;
    if (j > kCursorePianoMassimo) return false;
  }
  while (j <= fine && j <= limite) {
    passo(m, j, true, r);
    ++j;
    if (j > kCursorePianoMassimo) return false;
  }
  return true;
}

void completa_piano(modello& m, int32_t& j) {
  const int64_t limite = ultima_riga_calcolabile(m);
  while (j <= limite) {
    passo(m, j, false, 0.0);
    ++j;
  }
}

}  // namespace scenario
