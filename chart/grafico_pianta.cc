// The plan of the line at the top of the chart: turned so that it runs from
// left to right, scaled alike in both directions, with the curves, mountains,
// signals, stations and a scale bar on it.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "chart/grafico_pagina.h"
#include "chart/svg.h"

namespace scenario::grafico_interno {
namespace {

using svg::num;

constexpr double kAltezza = 270;
constexpr double kMargine = 30;
constexpr std::size_t kPuntiPianta = 4000;

// The metres drawn of the plan's line: every `passo`-th from j0, and j1,
// among those that have a point.
struct campione {
  std::size_t j0 = 0, j1 = 0, passo = 1;
  std::vector<std::size_t> metri;
};

campione misura(const pagina& p, std::size_t n) {
  campione c;
  c.j0 = static_cast<std::size_t>(std::max(0.0, p.da));
  c.j1 = static_cast<std::size_t>(std::max(0.0, std::min(p.a, static_cast<double>(n) - 1)));
  c.passo = std::max<std::size_t>(1, (c.j1 >= c.j0 ? c.j1 - c.j0 : 0) / kPuntiPianta);
  return c;
}

// Metres da to a, every `passo`-th and a.
std::vector<std::size_t> metri_del_tratto(std::size_t da, std::size_t a, std::size_t passo) {
  std::vector<std::size_t> r;
  for (std::size_t j = da;; j = std::min(a, j + passo)) {
    r.push_back(j);
    if (j >= a) break;
  }
  return r;
}

// The spans drawn over the line, finer than it: the curves, then the
// mountains, each cut to the stretch.
struct evidenziato {
  std::size_t da, a;
  std::string classe;
};

std::vector<evidenziato> evidenziati(const dati_grafico& d, const std::vector<curva_ricostruita>& curve,
                                     const campione& c) {
  std::vector<evidenziato> r;
  for (const curva_ricostruita& k : curve) {
    const auto a = static_cast<std::size_t>(std::max<int64_t>(k.inizio, static_cast<int64_t>(c.j0)));
    const auto b = static_cast<std::size_t>(
        std::min<int64_t>(static_cast<int64_t>(k.inizio) + k.lunghezza, static_cast<int64_t>(c.j1)));
    if (b > a) r.push_back({a, b, k.sinistra ? "curva-sinistra" : "curva-destra"});
  }
  for (const tratto_montagna& t : montagne(d.celle)) {
    const double ma = std::max(static_cast<double>(t.primo) * kMetriCella, static_cast<double>(c.j0));
    const double mb = std::min(static_cast<double>(t.fine) * kMetriCella, static_cast<double>(c.j1));
    if (mb > ma) {
      r.push_back({static_cast<std::size_t>(ma), static_cast<std::size_t>(mb),
                   t.galleria ? "galleria-pianta" : "montagna-pianta"});
    }
  }
  return r;
}

std::size_t passo_fino(const campione& c) { return std::max<std::size_t>(1, c.passo / 4); }

// The signals' metres within the sampled stretch.
std::vector<std::size_t> metri_segnali(const dati_grafico& d, const campione& c) {
  std::vector<std::size_t> r;
  for (std::size_t k = 0; k < d.celle.size(); ++k) {
    const auto j = k * 50;
    if (d.celle[k].tipo == cella_segnale && j >= c.j0 && j <= c.j1) r.push_back(j);
  }
  return r;
}

// Every metre of the plan that the view may ask for, in order: the plan is
// walked once to collect them, and the rest of it is never held.
std::vector<std::size_t> metri_richiesti(const dati_grafico& d, const std::vector<curva_ricostruita>& curve,
                                         const std::vector<int>& stazioni, const campione& c, std::size_t n) {
  std::vector<std::size_t> r;
  for (std::size_t j = c.j0; j <= c.j1 && j < n; j += c.passo) r.push_back(j);
  r.push_back(c.j1);
  for (const evidenziato& e : evidenziati(d, curve, c)) {
    for (std::size_t j : metri_del_tratto(e.da, e.a, passo_fino(c))) r.push_back(j);
  }
  for (std::size_t j : metri_segnali(d, c)) r.push_back(j);
  for (int i : stazioni) {
    const int32_t m = d.voci[static_cast<std::size_t>(i)].posizione;
    if (m >= 0) r.push_back(static_cast<std::size_t>(m));
  }
  std::sort(r.begin(), r.end());
  r.erase(std::unique(r.begin(), r.end()), r.end());
  return r;
}

// The plan's points at the metres asked for: a metre whose entry is empty,
// not finite or too far out to draw has none, and neither has one that was
// not asked for.
class punti_piano {
 public:
  punti_piano() = default;
  punti_piano(const sorgente_piano& s, std::vector<std::size_t> metri) : metri_(std::move(metri)) {
    x_.resize(metri_.size());
    y_.resize(metri_.size());
    std::size_t i = 0;
    s.percorri([&](const riga_piano& r) {
      while (i < metri_.size() && metri_[i] < static_cast<std::size_t>(r.metro)) ++i;
      if (i == metri_.size()) return false;
      if (metri_[i] == static_cast<std::size_t>(r.metro)) {
        x_[i] = r.x;
        y_[i] = r.y;
      }
      return true;
    });
  }

  bool punto(std::size_t j, double& x, double& y) const {
    const auto it = std::lower_bound(metri_.begin(), metri_.end(), j);
    if (it == metri_.end() || *it != j) return false;
    x = x_[static_cast<std::size_t>(it - metri_.begin())];
    y = y_[static_cast<std::size_t>(it - metri_.begin())];
    return std::isfinite(x) && std::isfinite(y) && std::fabs(x) < 1e12 && std::fabs(y) < 1e12;
  }

 private:
  std::vector<std::size_t> metri_;
  std::vector<double> x_, y_;
};

void campiona(campione& c, const punti_piano& pp, std::size_t n) {
  double x = 0, y = 0;
  for (std::size_t j = c.j0; j <= c.j1 && j < n; j += c.passo) {
    if (pp.punto(j, x, y)) c.metri.push_back(j);
  }
  if (c.j1 < n && pp.punto(c.j1, x, y) && (c.metri.empty() || c.metri.back() != c.j1)) c.metri.push_back(c.j1);
}

// From the plan's coordinates to the page's: the chord from the first to the
// last point turned to run left to right, then scaled alike in both
// directions to fit the box.
struct vista {
  double xa = 0, ya = 0, co = 1, si = 0;
  double umin = 0, umax = 0, vmin = 0, vmax = 0;
  double scala = 1, cx = 0, cy = 0;
  double lw = 0;  // width of the box, px

  std::pair<double, double> ruota(double px, double py) const {
    const double u = (px - xa) * co + (py - ya) * si;
    const double v = -(px - xa) * si + (py - ya) * co;
    return {u, v};
  }
  std::pair<double, double> pagina_di(double px, double py) const {
    const auto [u, v] = ruota(px, py);
    // Left of the direction of travel is up on the page: the plan is turned,
    // never mirrored.
    return {cx + (u - (umin + umax) / 2) * scala, cy - (v - (vmin + vmax) / 2) * scala};
  }
};

vista inquadra(const pagina& p, double alto, const punti_piano& pp, const std::vector<std::size_t>& metri) {
  vista w;
  double xb = 0, yb = 0, x = 0, y = 0;
  pp.punto(metri.front(), w.xa, w.ya);
  pp.punto(metri.back(), xb, yb);
  const double angolo = (xb - w.xa == 0 && yb - w.ya == 0) ? 0 : std::atan2(yb - w.ya, xb - w.xa);
  w.co = std::cos(angolo);
  w.si = std::sin(angolo);
  for (std::size_t j : metri) {
    pp.punto(j, x, y);
    const auto [u, v] = w.ruota(x, y);
    w.umin = std::min(w.umin, u);
    w.umax = std::max(w.umax, u);
    w.vmin = std::min(w.vmin, v);
    w.vmax = std::max(w.vmax, v);
  }
  w.lw = p.larghezza - 2 * kMargine;
  const double lh = kAltezza - 2 * kMargine - 20;
  const double su = w.umax - w.umin, sv = w.vmax - w.vmin;
  w.scala = std::min(su > 0 ? w.lw / su : 1e9, sv > 0 ? lh / sv : 1e9);
  if (!(w.scala < 1e9)) w.scala = 1;
  w.cx = p.x0 + p.larghezza / 2;
  w.cy = alto + kMargine + lh / 2;
  return w;
}

// The sampled line: a gap longer than the sampling step breaks it.
std::string linea_campionata(const punti_piano& pp, const vista& w, const campione& c) {
  std::string linea;
  bool dentro = false;
  std::size_t precedente = 0;
  double x = 0, y = 0;
  for (std::size_t j : c.metri) {
    pp.punto(j, x, y);
    const auto [X, Y] = w.pagina_di(x, y);
    const bool continua = dentro && j - precedente <= c.passo;
    linea += (continua ? "L" : "M") + num(X) + " " + num(Y);
    dentro = true;
    precedente = j;
  }
  return linea;
}

// Metres da to a of the plan, every `passo`-th and a, as path data; a
// missing point breaks the path.
std::string tratto(const punti_piano& pp, const vista& w, std::size_t da, std::size_t a, std::size_t passo) {
  std::string dd;
  bool dentro = false;
  double x = 0, y = 0;
  for (std::size_t j : metri_del_tratto(da, a, passo)) {
    if (pp.punto(j, x, y)) {
      const auto [X, Y] = w.pagina_di(x, y);
      dd += (dentro ? "L" : "M") + num(X) + " " + num(Y);
      dentro = true;
    } else {
      dentro = false;
    }
  }
  return dd;
}

void segnali_in_pianta(pagina& p, const dati_grafico& d, const punti_piano& pp, const vista& w, const campione& c) {
  double x = 0, y = 0;
  for (std::size_t j : metri_segnali(d, c)) {
    if (!pp.punto(j, x, y)) continue;
    const auto [X, Y] = w.pagina_di(x, y);
    p.s += "<circle class=\"segnale-pianta\" data-m=\"" + intero(static_cast<int64_t>(j)) + "\" cx=\"" + num(X) +
           "\" cy=\"" + num(Y) + "\" r=\"2.5\"/>\n";
  }
}

using riquadro = std::array<double, 4>;  // left, top, right, bottom

// The metres of the two ends under them; returns the boxes they take.
std::vector<riquadro> estremi(pagina& p, const punti_piano& pp, const vista& w, const campione& c) {
  std::vector<riquadro> riquadri;
  double x = 0, y = 0;
  for (bool inizio : {true, false}) {
    const std::size_t j = inizio ? c.metri.front() : c.metri.back();
    pp.punto(j, x, y);
    const auto [X, Y] = w.pagina_di(x, y);
    const std::string t = intero(static_cast<int64_t>(j)) + " m";
    const double larga = larghezza_testo(t);
    riquadri.push_back({X - larga / 2, Y + 20 - kCorpo, X + larga / 2, Y + 22});
    p.s += "<text class=\"estremo\" x=\"" + num(X) + "\" y=\"" + num(Y + 20) + "\">" + t + "</text>\n";
  }
  return riquadri;
}

// The stations as dots, each name in the first place around its dot that
// keeps clear of the box, the ends and the names already placed.
void stazioni_in_pianta(pagina& p, const dati_grafico& d, const std::vector<int>& stazioni, const punti_piano& pp,
                        const vista& w, const campione& c, double alto, std::vector<riquadro> riquadri) {
  double x = 0, y = 0;
  for (int i : stazioni) {
    const voce& v = d.voci[static_cast<std::size_t>(i)];
    if (v.posizione < 0) continue;
    const auto j = static_cast<std::size_t>(v.posizione);
    if (j < c.j0 || j > c.j1 || !pp.punto(j, x, y)) continue;
    const auto [X, Y] = w.pagina_di(x, y);
    p.s += "<circle class=\"stazione-pianta\" data-voce=\"" + std::to_string(i) + "\" cx=\"" + num(X) + "\" cy=\"" +
           num(Y) + "\" r=\"4\"/>\n";
    const std::string t = utf8(v.nome);
    const double larga = static_cast<double>(lunghezza_utf8(t)) * kCorpo * kGrassetto;
    bool messa = false;
    // Above, below, right, left, then further above and below the dot.
    const std::pair<double, double> posti[] = {
        {0, -8}, {0, 16}, {larga / 2 + 7, 4}, {-larga / 2 - 7, 4}, {0, -20}, {0, 28}};
    for (const auto& [dx, dy] : posti) {
      const riquadro r{X + dx - larga / 2, Y + dy - kCorpo, X + dx + larga / 2, Y + dy + 2};
      bool libero = r[1] > alto && r[3] < alto + kAltezza && r[0] > p.x0 && r[2] < p.x0 + p.larghezza;
      for (const auto& q : riquadri) {
        if (r[0] < q[2] && q[0] < r[2] && r[1] < q[3] && q[1] < r[3]) libero = false;
      }
      if (!libero) continue;
      riquadri.push_back(r);
      p.s += "<text class=\"etichetta-pianta\" x=\"" + num(X + dx) + "\" y=\"" + num(Y + dy) + "\">" +
             svg::testo(t) + "</text>\n";
      messa = true;
      break;
    }
    if (!messa) p.omessa("nomi nella pianta");
  }
}

void barra_scala(pagina& p, const vista& w, double alto) {
  const double metri_barra = passo_tondo(w.lw / w.scala / 8);
  const double xb0 = p.x0 + 16, yb0 = alto + kAltezza - 14;
  p.s += "<g id=\"barra-scala\" data-metri=\"" + num(metri_barra) + "\">\n<rect class=\"barra\" x=\"" + num(xb0) +
         "\" y=\"" + num(yb0) + "\" width=\"" + num(metri_barra * w.scala) +
         "\" height=\"5\"/>\n<text class=\"scala-pianta\" x=\"" + num(xb0 + metri_barra * w.scala + 6) + "\" y=\"" +
         num(yb0 + 6) + "\">" + (metri_barra >= 1000 ? km(metri_barra, 1000) + " km" : num(metri_barra) + " m") +
         "</text>\n</g>\n";
}

}  // namespace

void pianta(pagina& p, const dati_grafico& d, const std::vector<curva_ricostruita>& curve,
            const std::vector<int>& stazioni) {
  const double alto = p.y;
  p.s += "<g id=\"pianta\">\n";
  p.s += "<rect class=\"fondo-pianta\" x=\"" + num(p.x0) + "\" y=\"" + num(alto) + "\" width=\"" + num(p.larghezza) +
         "\" height=\"" + num(kAltezza) + "\"/>\n";
  p.s += "<text class=\"nome-striscia\" x=\"8\" y=\"" + num(alto + 14) + "\">Pianta</text>\n";
  p.s += "<text class=\"unita\" x=\"8\" y=\"" + num(alto + 27) + "\">ruotata: l'inizio</text>\n";
  p.s += "<text class=\"unita\" x=\"8\" y=\"" + num(alto + 39) + "\">a sinistra</text>\n";
  const std::size_t n = d.piano ? static_cast<std::size_t>(std::max<int64_t>(0, d.piano->metri())) : 0;
  campione c = misura(p, n);
  const punti_piano pp = n == 0 ? punti_piano() : punti_piano(*d.piano, metri_richiesti(d, curve, stazioni, c, n));
  campiona(c, pp, n);
  if (c.metri.size() < 2) {
    p.s += "<text class=\"assente\" x=\"" + num(p.x0 + 8) + "\" y=\"" + num(alto + kAltezza / 2) + "\">" +
           (n == 0 ? "geometria della linea assente: nessuna pianta" : "nessun punto della pianta in questo tratto") +
           "</text>\n</g>\n";
    p.y += kAltezza + 10;
    return;
  }
  const vista w = inquadra(p, alto, pp, c.metri);
  p.s += "<path class=\"linea-pianta\" d=\"" + linea_campionata(pp, w, c) + "\"/>\n";
  for (const evidenziato& e : evidenziati(d, curve, c)) {
    p.s += "<path class=\"" + e.classe + "\" d=\"" + tratto(pp, w, e.da, e.a, passo_fino(c)) + "\"/>\n";
  }
  segnali_in_pianta(p, d, pp, w, c);
  stazioni_in_pianta(p, d, stazioni, pp, w, c, alto, estremi(p, pp, w, c));
  barra_scala(p, w, alto);
  p.s += "</g>\n";
  p.y += kAltezza + 10;
}

}  // namespace scenario::grafico_interno
