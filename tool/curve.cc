#include "tool/curve.h"

#include <algorithm>
#include <cmath>

namespace scenario {
namespace {

constexpr double kTassi[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
constexpr double kRettilineo = 1e-6;

bool punto(const geometria& g, std::size_t j, double& x, double& y) {
  if (j >= g.x.size() || j >= g.y.size()) return false;
  if (g.x[j].etichetta == numero_etichettato::vuoto || g.y[j].etichetta == numero_etichettato::vuoto) return false;
  x = g.x[j].come_reale();
  y = g.y[j].come_reale();
  return std::isfinite(x) && std::isfinite(y);
}

}  // namespace

double tasso_classe(int classe) { return classe >= 1 && classe <= 6 ? kTassi[classe - 1] : 0.0; }

int classe_del_tasso(double tasso) {
  const double t = std::fabs(tasso);
  for (int c = 1; c <= 6; ++c) {
    if (std::fabs(t - kTassi[c - 1]) <= kTassi[c - 1] / 4) return c;
  }
  return 0;
}

bool tasso_al_metro(const geometria& g, std::size_t j, double& tasso) {
  if (j < 2) return false;
  double x0, y0, x1, y1, x2, y2;
  if (!punto(g, j - 2, x0, y0) || !punto(g, j - 1, x1, y1) || !punto(g, j, x2, y2)) return false;
  const double ax = x1 - x0, ay = y1 - y0, bx = x2 - x1, by = y2 - y1;
  const double quadrato = ax * ax + ay * ay;
  // A turning step adds r·(ay, -ax) to the step before it: the cross product
  // of the two steps is -r·|a|², their dot product |a|².
  const double vettore = ax * by - ay * bx;
  if (!(quadrato > 0) || !std::isfinite(quadrato) || !std::isfinite(vettore)) return false;
  tasso = -vettore / quadrato;
  return std::isfinite(tasso);
}

std::vector<curva_ricostruita> curve_dal_piano(const geometria& g) {
  std::vector<curva_ricostruita> curve;
  const std::size_t n = std::min(g.x.size(), g.y.size());
  bool aperta = false;
  curva_ricostruita c;
  double somma = 0;
  auto chiudi = [&]() {
    if (!aperta) return;
    c.tasso = somma / c.lunghezza;
    curve.push_back(c);
    aperta = false;
  };
  for (std::size_t j = 2; j < n; ++j) {
    double t = 0;
    if (!tasso_al_metro(g, j, t) || std::fabs(t) < kRettilineo) {
      chiudi();
      continue;
    }
    const int classe = classe_del_tasso(t);
    const bool sinistra = t < 0;
    const auto metro = static_cast<int32_t>(j);
    if (aperta && (classe != c.classe || sinistra != c.sinistra || metro != c.inizio + c.lunghezza + 1)) chiudi();
    if (!aperta) {
      aperta = true;
      c = curva_ricostruita{metro - 1, 0, classe, sinistra, 0.0};
      somma = 0;
    }
    ++c.lunghezza;
    somma += t;
  }
  chiudi();
  return curve;
}

}  // namespace scenario
