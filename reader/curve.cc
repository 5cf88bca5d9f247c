#include "reader/curve.h"

#include <algorithm>
#include <cmath>

#include "compiler/tracciato.h"

namespace scenario {
namespace {

constexpr double kRettilineo = 1e-6;

bool punto(const geometria& g, std::size_t j, double& x, double& y) {
  if (j >= g.x.size() || j >= g.y.size()) return false;
  if (g.x[j].etichetta == numero_etichettato::vuoto || g.y[j].etichetta == numero_etichettato::vuoto) return false;
  x = g.x[j].come_reale();
  y = g.y[j].come_reale();
  return std::isfinite(x) && std::isfinite(y);
}

bool finito(const riga_piano& r) { return std::isfinite(r.x) && std::isfinite(r.y); }

// The rate of the step p1 -> p2 against p0 -> p1.
bool tasso_dei_passi(double x0, double y0, double x1, double y1, double x2, double y2, double& tasso) {
  const double ax = x1 - x0, ay = y1 - y0, bx = x2 - x1, by = y2 - y1;
  const double quadrato = ax * ax + ay * ay;
  // A turning step adds r·(ay, -ax) to the step before it: the cross product
  // of the two steps is -r·|a|², their dot product |a|².
  const double vettore = ax * by - ay * bx;
  if (!(quadrato > 0) || !std::isfinite(quadrato) || !std::isfinite(vettore)) return false;
  tasso = -vettore / quadrato;
  return std::isfinite(tasso);
}

}  // namespace

double tasso_classe(int classe) { return tasso_curva(classe); }

int classe_del_tasso(double tasso) {
  const double t = std::fabs(tasso);
  for (int c = 1; c <= 6; ++c) {
    if (std::fabs(t - tasso_curva(c)) <= tasso_curva(c) / 4) return c;
  }
  return 0;
}

bool tasso_al_metro(const geometria& g, std::size_t j, double& tasso) {
  if (j < 2) return false;
  double x0, y0, x1, y1, x2, y2;
  if (!punto(g, j - 2, x0, y0) || !punto(g, j - 1, x1, y1) || !punto(g, j, x2, y2)) return false;
  return tasso_dei_passi(x0, y0, x1, y1, x2, y2, tasso);
}

void ricostruttore_curve::chiudi() {
  if (!aperta_) return;
  c_.tasso = somma_ / c_.lunghezza;
  curve_.push_back(c_);
  aperta_ = false;
}

void ricostruttore_curve::aggiungi(const riga_piano& r) {
  ultime_[0] = ultime_[1];
  ultime_[1] = ultime_[2];
  ultime_[2] = r;
  if (++viste_ < 3) return;
  const riga_piano& a = ultime_[0];
  const riga_piano& b = ultime_[1];
  double t = 0;
  if (!finito(a) || !finito(b) || !finito(r) || !tasso_dei_passi(a.x, a.y, b.x, b.y, r.x, r.y, t) ||
      std::fabs(t) < kRettilineo) {
    chiudi();
    return;
  }
  const int classe = classe_del_tasso(t);
  const bool sinistra = t < 0;
  const auto metro = static_cast<int32_t>(r.metro);
  if (aperta_ && (classe != c_.classe || sinistra != c_.sinistra || metro != c_.inizio + c_.lunghezza + 1)) chiudi();
  if (!aperta_) {
    aperta_ = true;
    c_ = curva_ricostruita{metro - 1, 0, classe, sinistra, 0.0};
    somma_ = 0;
  }
  ++c_.lunghezza;
  somma_ += t;
}

std::vector<curva_ricostruita> ricostruttore_curve::finisci() {
  chiudi();
  return std::move(curve_);
}

std::vector<curva_ricostruita> curve_dal_piano(const sorgente_piano& s) {
  ricostruttore_curve r;
  s.percorri([&](const riga_piano& riga) {
    r.aggiungi(riga);
    return true;
  });
  return r.finisci();
}

std::vector<curva_ricostruita> curve_dal_piano(const geometria& g) {
  return curve_dal_piano(*piano_da_tabelle(g.x, g.y));
}

}  // namespace scenario
