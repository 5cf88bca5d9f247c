// The strips of the chart, under the plan: one value or one kind of object
// along the shared axis in metres.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "chart/etichette.h"
#include "chart/grafico_pagina.h"
#include "chart/oggetti.h"
#include "chart/svg.h"

namespace scenario::grafico_interno {
namespace {

using svg::num;

// The cells that meet the stretch: first and one past the last.
std::pair<std::size_t, std::size_t> celle_visibili(const pagina& p, const std::vector<cella>& c) {
  const auto primo = static_cast<std::size_t>(std::max(0.0, std::floor(p.da / kMetriCella)));
  const auto ultimo = static_cast<std::size_t>(std::max(0.0, std::ceil(p.a / kMetriCella)));
  return {std::min(primo, c.size()), std::min(std::max(ultimo, primo + 1), c.size())};
}

// Every cell among those that meet the stretch whose start lies inside it,
// in order, with that start in metres.
void per_cella_visibile(const pagina& p, const std::vector<cella>& celle,
                        const std::function<void(const cella&, double)>& fai) {
  const auto [primo, fine] = celle_visibili(p, celle);
  for (std::size_t k = primo; k < fine; ++k) {
    const double m = static_cast<double>(k) * kMetriCella;
    if (p.dentro(m)) fai(celle[k], m);
  }
}

// One strip: its frame with name and unit, what `corpo` draws from the
// strip's top, then the gap to the next strip.
void striscia(pagina& p, double h, const std::string& nome, const std::string& unita, const std::string& id,
              const std::function<void(double)>& corpo) {
  const double alto = p.y;
  p.s += "<g id=\"" + id + "\">\n";
  p.s += "<rect class=\"fondo\" x=\"" + num(p.x0) + "\" y=\"" + num(alto) + "\" width=\"" + num(p.larghezza) +
         "\" height=\"" + num(h) + "\"/>\n";
  p.s += "<text class=\"nome-striscia\" x=\"8\" y=\"" + num(alto + 14) + "\">" + svg::testo(nome) + "</text>\n";
  if (!unita.empty()) {
    p.s += "<text class=\"unita\" x=\"8\" y=\"" + num(alto + 27) + "\">" + svg::testo(unita) + "</text>\n";
  }
  corpo(alto);
  p.s += "</g>\n";
  p.y += h + 6;
}

// Said in an empty strip, so that nothing reads as a failure to draw.
void nessuno(pagina& p, double alto, double h, const std::string& testo) {
  p.s += "<text class=\"vuoto\" x=\"" + num(p.x0 + 8) + "\" y=\"" + num(alto + h / 2 + 4) + "\">" +
         svg::testo(testo) + "</text>\n";
}

void scala_verticale(pagina& p, double y, const std::string& testo) {
  p.s += "<text class=\"scala\" x=\"" + num(p.x0 - 4) + "\" y=\"" + num(y + 3) + "\">" + svg::testo(testo) +
         "</text>\n";
}

void linea_orizzontale(pagina& p, const std::string& classe, double y) {
  p.s += "<line class=\"" + classe + "\" x1=\"" + num(p.x0) + "\" y1=\"" + num(y) + "\" x2=\"" +
         num(p.x0 + p.larghezza) + "\" y2=\"" + num(y) + "\"/>\n";
}

void etichetta_ruotata(pagina& p, double x, double piede, const std::string& classe, const std::string& attributi,
                       const std::string& testo) {
  // Rotated a quarter turn, the glyphs stand left of their baseline: moving
  // the baseline by a third of the size centres them on x.
  const double xb = x + kCorpo / 3;
  p.s += "<text class=\"" + classe + "\"" + attributi + " x=\"" + num(xb) + "\" y=\"" + num(piede) +
         "\" transform=\"rotate(-90 " + num(xb) + " " + num(piede) + ")\">" + svg::testo(testo) + "</text>\n";
}

// The characters that fit in a label rotated to stand on `piede`.
std::size_t caratteri_ruotati(double alto, double piede) {
  return static_cast<std::size_t>((piede - alto - 4) / (kCorpo * kCarattere));
}

// The height of a strip of rotated labels standing `sotto` px above its
// foot: enough for the longest of them, between `minimo` and `massimo`.
double altezza_per_etichette(std::size_t caratteri, double sotto, double minimo, double massimo) {
  const double serve = static_cast<double>(caratteri) * kCorpo * kCarattere + 4 + sotto + 2;
  return std::clamp(std::ceil(serve), minimo, massimo);
}

// --------------------------------------------------------------------------
// Profiles over the cells.

struct cambio {
  double metro;
  double valore;
};

// A step profile of one value per cell: one path of the levels, then one
// vertical line per change of value (class `gradino`, with the metre and the
// new value), so that the steps can be found in the file. Returns the
// changes inside the stretch, the first level included.
std::vector<cambio> profilo(pagina& p, const std::vector<cella>& celle, double alto, double h, double vmin,
                            double vmax, const std::function<double(const cella&)>& valore, const std::string& classe,
                            const std::string& gradino, std::size_t limite = SIZE_MAX) {
  std::vector<cambio> cambi;
  const auto [primo, fine_visibile] = celle_visibili(p, celle);
  const std::size_t fine = std::min(fine_visibile, limite);
  if (primo >= fine) return cambi;
  const double a = fine < fine_visibile ? static_cast<double>(fine) * kMetriCella : p.a;
  auto Y = [&](double v) { return alto + h - (std::clamp(v, vmin, vmax) - vmin) / (vmax - vmin) * h; };
  std::string d;
  std::string gradini;
  double corrente = valore(celle[primo]);
  double inizio = p.da;
  cambi.push_back({p.da, corrente});
  for (std::size_t k = primo + 1; k <= fine; ++k) {
    const bool ultimo = k == fine;
    const double v = ultimo ? corrente : valore(celle[k]);
    if (!ultimo && v == corrente) continue;
    const double m = ultimo ? a : std::clamp(static_cast<double>(k) * kMetriCella, p.da, p.a);
    d += "M" + num(p.X(inizio)) + " " + num(Y(corrente)) + "H" + num(p.X(m));
    if (!ultimo) {
      gradini += "<line class=\"" + gradino + "\" data-m=\"" + intero(static_cast<int64_t>(k) * 50) +
                 "\" data-valore=\"" + num(v) + "\" x1=\"" + num(p.X(m)) + "\" y1=\"" + num(Y(corrente)) +
                 "\" x2=\"" + num(p.X(m)) + "\" y2=\"" + num(Y(v)) + "\"/>\n";
      cambi.push_back({static_cast<double>(k) * kMetriCella, v});
    }
    corrente = v;
    inizio = m;
  }
  p.s += "<path class=\"" + classe + "\" d=\"" + d + "\"/>\n" + gradini;
  return cambi;
}

// The values of a profile written at its changes, horizontally, in labels
// of `corpo` px that keep `spazio` px apart; those that would overlap are
// left out and counted under `tipo`.
void valori_ai_cambi(pagina& p, const std::vector<cambio>& cambi, const std::function<double(double)>& y,
                     const std::string& classe, const std::string& tipo, double corpo, double spazio) {
  fila f;
  for (const cambio& c : cambi) {
    const std::string t = num(c.valore);
    const double x = p.X(c.metro) + 2;
    if (!f.libera(x)) {
      p.omessa(tipo);
      continue;
    }
    f.fine = x + larghezza_testo(t, corpo) + spazio;
    p.s += "<text class=\"" + classe + "\" x=\"" + num(x) + "\" y=\"" + num(y(c.valore)) + "\">" + svg::testo(t) +
           "</text>\n";
  }
}

void striscia_pendenza(pagina& p, const dati_grafico& d) {
  const double h = 70;
  striscia(p, h, "Pendenza", "per mille", "striscia-pendenza", [&](double alto) {
    const std::size_t limite = celle_con_pendenza(d.celle);
    const auto [primo, fine_visibile] = celle_visibili(p, d.celle);
    const std::size_t fine = std::min(fine_visibile, limite);
    double g = 5;
    for (std::size_t k = primo; k < fine; ++k) g = std::max(g, std::fabs(d.celle[k].pendenza - 100.0));
    g = std::ceil(g / 5) * 5;
    const double zero = alto + h / 2;
    linea_orizzontale(p, "zero", zero);
    scala_verticale(p, alto + 4, "+" + num(g));
    scala_verticale(p, zero, "0");
    scala_verticale(p, alto + h - 4, "-" + num(g));
    profilo(p, d.celle, alto + 4, h - 8, -g, g, [](const cella& c) { return static_cast<double>(c.pendenza) - 100; },
            "pendenza", "gradino-pendenza", limite);
  });
}

}  // namespace

std::vector<double> quote_celle(const std::vector<cella>& celle) {
  std::vector<double> z(celle.size() + 1, 0.0);
  const std::size_t limite = celle_con_pendenza(celle);
  for (std::size_t k = 0; k < celle.size(); ++k) {
    const double g = k < limite ? static_cast<double>(celle[k].pendenza) - 100 : 0;
    z[k + 1] = z[k] + g * kMetriCella / 1000;
  }
  return z;
}

namespace {

void striscia_quota(pagina& p, const dati_grafico& d) {
  const double h = 70;
  striscia(p, h, "Quota", "m, dall'origine", "striscia-quota", [&](double alto) {
    const std::vector<double> z = quote_celle(d.celle);
    const auto [primo, fine] = celle_visibili(p, d.celle);
    auto quota = [&](double metro) {
      const double c = std::clamp(metro / kMetriCella, 0.0, static_cast<double>(d.celle.size()));
      const auto k = static_cast<std::size_t>(std::min(std::floor(c), static_cast<double>(d.celle.size() - 1)));
      return z[k] + (z[k + 1] - z[k]) * (c - static_cast<double>(k));
    };
    std::vector<std::pair<double, double>> punti{{p.da, quota(p.da)}};
    for (std::size_t k = primo + 1; k < fine; ++k) punti.emplace_back(static_cast<double>(k) * kMetriCella, z[k]);
    punti.emplace_back(p.a, quota(p.a));
    double lo = punti.front().second, hi = lo;
    for (const auto& q : punti) {
      lo = std::min(lo, q.second);
      hi = std::max(hi, q.second);
    }
    if (hi - lo < 10) {
      const double c = (hi + lo) / 2;
      lo = c - 5;
      hi = c + 5;
    }
    std::string d_path;
    for (const auto& [m, q] : punti) {
      d_path += (d_path.empty() ? "M" : "L") + num(p.X(m)) + " " + num(alto + 4 + (hi - q) / (hi - lo) * (h - 8));
    }
    p.s += "<path class=\"quota\" d=\"" + d_path + "\"/>\n";
    scala_verticale(p, alto + 4, num(hi));
    scala_verticale(p, alto + h - 4, num(lo));
  });
}

const char* const kColoriClasse[] = {"#999999", "#f2c14e", "#f08a24", "#e4572e", "#b8336a", "#7a1f5c", "#3b0f3a"};

void striscia_curve(pagina& p, const dati_grafico& d, const std::vector<curva_ricostruita>& curve) {
  const double h = 90;
  striscia(p, h, "Curve", "destra su, sinistra giù", "striscia-curve", [&](double alto) {
    const double mezzo = alto + h / 2;
    linea_orizzontale(p, "zero", mezzo);
    if (!d.piano || d.piano->metri() == 0) {
      p.s += "<text class=\"assente\" x=\"" + num(p.x0 + 8) + "\" y=\"" + num(mezzo - 6) +
             "\">geometria della linea assente: curve non disponibili</text>\n";
    }
    fila sopra, sotto;
    for (const curva_ricostruita& c : curve) {
      const double inizio = c.inizio, fine = static_cast<double>(c.inizio) + c.lunghezza;
      if (fine < p.da || inizio > p.a) continue;
      const double xa = p.X(std::max(inizio, p.da)), xb = p.X(std::min(fine, p.a));
      const double alt = 6 + 4 * (c.classe == 0 ? 3 : c.classe);
      const double y = c.sinistra ? mezzo : mezzo - alt;
      const double raggio = std::fabs(c.tasso) > 0 ? 1 / std::fabs(c.tasso) : 0;
      const std::string nome = nome_curva(c);
      p.s += "<rect class=\"curva\" data-inizio=\"" + intero(c.inizio) + "\" data-lunghezza=\"" +
             intero(c.lunghezza) + "\" data-classe=\"" + std::to_string(c.classe) + "\" data-verso=\"" +
             (c.sinistra ? "s" : "d") + "\" fill=\"" + kColoriClasse[c.classe] + "\" x=\"" + num(xa) + "\" y=\"" +
             num(y) + "\" width=\"" + num(std::max(1.0, xb - xa)) + "\" height=\"" + num(alt) + "\"><title>" +
             svg::testo("curva " + nome + " da " + intero(c.inizio) + " m, " + intero(c.lunghezza) + " m, raggio " +
                        num(std::nearbyint(raggio)) + " m") +
             "</title></rect>\n";
      const std::string t = etichetta_curva(c);
      fila& f = c.sinistra ? sotto : sopra;
      if (!f.libera(xa)) {
        p.omessa("curve");
        continue;
      }
      f.fine = xa + larghezza_testo(t, 9) + 3;
      const double yt = c.sinistra ? alto + h - 3 : alto + 11;
      p.s += "<text class=\"etichetta-curva\" x=\"" + num(xa) + "\" y=\"" + num(yt) + "\">" + svg::testo(t) +
             "</text>\n";
    }
  });
}

void striscia_montagne(pagina& p, const dati_grafico& d) {
  const double h = 34;
  striscia(p, h, "Montagne", "e gallerie", "striscia-montagne", [&](double alto) {
    fila f;
    int disegnati = 0;
    for (const tratto_montagna& t : montagne(d.celle)) {
      const double inizio = static_cast<double>(t.primo) * kMetriCella;
      const double fine = static_cast<double>(t.fine) * kMetriCella;
      if (fine < p.da || inizio > p.a) continue;
      ++disegnati;
      const double xa = p.X(std::max(inizio, p.da)), xb = p.X(std::min(fine, p.a));
      const std::string classe = t.galleria ? "galleria" : "montagna";
      const std::string nome = classe + " (tipo " + std::to_string(t.tipo) + ")";
      const std::string da_a = intero(static_cast<int64_t>(inizio)), a_a = intero(static_cast<int64_t>(fine));
      p.s += "<rect class=\"" + classe + "\" data-inizio=\"" + da_a + "\" data-fine=\"" + a_a + "\" x=\"" + num(xa) +
             "\" y=\"" + num(alto + 16) + "\" width=\"" + num(std::max(1.0, xb - xa)) + "\" height=\"14\"><title>" +
             svg::testo(nome + " da " + da_a + " a " + a_a + " m") + "</title></rect>\n";
      if (!f.libera(xa)) {
        p.omessa("montagne");
        continue;
      }
      f.fine = xa + larghezza_testo(nome) + 4;
      p.s += "<text class=\"etichetta\" x=\"" + num(xa) + "\" y=\"" + num(alto + 12) + "\">" + svg::testo(nome) +
             "</text>\n";
    }
    if (disegnati == 0) nessuno(p, alto, h, "nessuna montagna in questo tratto");
  });
}

// The maximum-speed signs, on top of the speed strip.
void cartelli_vmax(pagina& p, const dati_grafico& d, double alto) {
  fila f;
  per_cella_visibile(p, d.celle, [&](const cella& c, double m) {
    if (c.tipo != cella_indicatore_v_max) return;
    const double x = p.X(m);
    const std::string t = etichetta_vmax(c);
    p.s += "<path class=\"cartello-vmax\" data-m=\"" + intero(static_cast<int64_t>(m)) + "\" d=\"M" + num(x) + " " +
           num(alto + 20) + "l-4 -7h8z\"><title>" +
           svg::testo("cartello di velocità massima a " + intero(static_cast<int64_t>(m)) + " m: " + t) +
           "</title></path>\n";
    if (!f.libera(x - 2)) {
      p.omessa("cartelli di velocità");
      return;
    }
    f.fine = x - 2 + larghezza_testo(t, 9) + 4;
    p.s += "<text class=\"etichetta-vmax\" x=\"" + num(x - 2) + "\" y=\"" + num(alto + 10) + "\">" + svg::testo(t) +
           "</text>\n";
  });
}

void striscia_velocita(pagina& p, const dati_grafico& d) {
  const double h = 110;
  striscia(p, h, "Velocità massima", "km/h", "striscia-velocita", [&](double alto) {
    const auto [primo, fine] = celle_visibili(p, d.celle);
    double vmax = 20;
    for (std::size_t k = primo; k < fine; ++k) vmax = std::max(vmax, d.celle[k].velocita_max * 5.0);
    vmax = std::ceil(vmax / 20) * 20;
    const double basso = alto + h - 4, area = h - 30;
    for (double v : {0.0, vmax / 2, vmax}) {
      const double y = basso - v / vmax * area;
      linea_orizzontale(p, "griglia", y);
      scala_verticale(p, y, num(v));
    }
    const auto cambi = profilo(p, d.celle, basso - area, area, 0, vmax,
                               [](const cella& c) { return c.velocita_max * 5.0; }, "velocita", "gradino-velocita");
    valori_ai_cambi(
        p, cambi, [&](double v) { return basso - v / vmax * area - 3; }, "valore-velocita", "valori di velocità", 9,
        3);
    cartelli_vmax(p, d, alto);
  });
}

void striscia_aderenza(pagina& p, const dati_grafico& d) {
  const double h = 44;
  striscia(p, h, "Aderenza", "", "striscia-aderenza", [&](double alto) {
    const auto [primo, fine] = celle_visibili(p, d.celle);
    double amax = 100;
    for (std::size_t k = primo; k < fine; ++k) amax = std::max(amax, static_cast<double>(d.celle[k].aderenza));
    scala_verticale(p, alto + 14, num(amax));
    scala_verticale(p, alto + h - 4, "0");
    const auto cambi = profilo(p, d.celle, alto + 14, h - 18, 0, amax,
                               [](const cella& c) { return static_cast<double>(c.aderenza); }, "aderenza",
                               "gradino-aderenza");
    valori_ai_cambi(
        p, cambi, [&](double) { return alto + 10; }, "valore-aderenza", "valori di aderenza", kCorpo, 4);
  });
}

void striscia_stazioni(pagina& p, const dati_grafico& d, const std::vector<int>& stazioni) {
  std::size_t piu_lunga = 0;
  for (int i : stazioni) {
    const voce& v = d.voci[static_cast<std::size_t>(i)];
    if (!p.dentro(v.posizione)) continue;
    const std::string orario = ora(v.orario);
    piu_lunga = std::max(piu_lunga, lunghezza_utf8(utf8(v.nome) + (orario.empty() ? "" : " " + orario)));
  }
  const double h = altezza_per_etichette(piu_lunga, 24, 60, 180);
  striscia(p, h, "Stazioni", "zona, nome, orario", "striscia-stazioni", [&](double alto) {
    const double piede = alto + h - 24;
    const std::size_t massimo = caratteri_ruotati(alto, piede);
    fila f;
    int disegnate = 0;
    for (int i : stazioni) {
      const voce& v = d.voci[static_cast<std::size_t>(i)];
      const double m = v.posizione;
      if (p.dentro(m) || (v.fine >= p.da && v.inizio <= p.a)) ++disegnate;
      const double za = std::max<double>(v.inizio, p.da), zb = std::min<double>(v.fine, p.a);
      if (zb >= za && v.fine >= v.inizio) {
        p.s += "<rect class=\"zona-stazione\" data-voce=\"" + std::to_string(i) + "\" x=\"" + num(p.X(za)) +
               "\" y=\"" + num(alto + h - 18) + "\" width=\"" + num(std::max(1.0, p.X(zb) - p.X(za))) +
               "\" height=\"10\"/>\n";
      }
      if (!p.dentro(m)) continue;
      const double x = p.X(m);
      const std::string nome = utf8(v.nome);
      const std::string orario = ora(v.orario);
      const std::string t = accorcia(etichetta_stazione(v), massimo);
      p.s += "<line class=\"stazione\" data-voce=\"" + std::to_string(i) + "\" x1=\"" + num(x) + "\" y1=\"" +
             num(alto + h - 22) + "\" x2=\"" + num(x) + "\" y2=\"" + num(alto + h - 4) + "\"><title>" +
             svg::testo(nome + ": " + intero(v.posizione) + " m, zona " + intero(v.inizio) + "–" + intero(v.fine) +
                        " m, tipo " + std::to_string(v.tipo) + (orario.empty() ? "" : ", " + orario)) +
             "</title></line>\n";
      if (!f.libera(x)) {
        p.omessa("stazioni");
        continue;
      }
      f.fine = x + kCorpo + 1;
      etichetta_ruotata(p, x, piede, "etichetta-stazione",
                        " id=\"stazione-" + std::to_string(i) + "\" data-m=\"" + intero(v.posizione) + "\"", t);
    }
    if (disegnate == 0) nessuno(p, alto, h, "nessuna stazione in questo tratto");
  });
}

void striscia_segnali(pagina& p, const dati_grafico& d) {
  std::size_t piu_lunga = 0;
  per_cella_visibile(p, d.celle, [&](const cella& c, double) {
    if (c.tipo == cella_segnale) piu_lunga = std::max(piu_lunga, lunghezza_utf8(etichetta_segnale(c)));
  });
  const double h = altezza_per_etichette(piu_lunga, 16, 50, 190);
  striscia(p, h, "Segnali", "sx s1 s2 s3 / dx d1 d2 d3 · tempo", "striscia-segnali", [&](double alto) {
    const double piede = alto + h - 16;
    const std::size_t massimo = caratteri_ruotati(alto, piede);
    fila f;
    int disegnati = 0;
    per_cella_visibile(p, d.celle, [&](const cella& c, double m) {
      if (c.tipo != cella_segnale) return;
      ++disegnati;
      const double x = p.X(m);
      const std::string t = etichetta_segnale(c);
      p.s += "<path class=\"segnale\" data-m=\"" + intero(static_cast<int64_t>(m)) + "\" d=\"M" + num(x) + " " +
             num(alto + h - 2) + "v-10h5v5h-5\"><title>" +
             svg::testo(titolo_oggetto(c, static_cast<std::size_t>(m / kMetriCella))) + "</title></path>\n";
      if (!f.libera(x)) {
        p.omessa("segnali");
        return;
      }
      f.fine = x + kCorpo + 1;
      etichetta_ruotata(p, x, piede, "etichetta-segnale", " data-m=\"" + intero(static_cast<int64_t>(m)) + "\"",
                        accorcia(t, massimo));
    });
    if (disegnati == 0) nessuno(p, alto, h, "nessun segnale in questo tratto");
  });
}

// The slowdown spans: a start pairs with the next end cell. Returns how many
// meet the stretch.
int tratti_rallentamento(pagina& p, const dati_grafico& d, double alto) {
  int disegnati = 0;
  for (const tratto_rallentamento& t : rallentamenti(d.celle)) {
    const cella& c = d.celle[t.inizio];
    const double a = static_cast<double>(t.inizio) * kMetriCella;
    const double b = static_cast<double>(t.fine) * kMetriCella;
    if (b < p.da || a > p.a) continue;
    ++disegnati;
    const double xa = p.X(std::max(a, p.da)), xb = p.X(std::min(b, p.a));
    p.s += "<rect class=\"rallentamento\" data-inizio=\"" + intero(static_cast<int64_t>(a)) + "\" data-fine=\"" +
           intero(static_cast<int64_t>(b)) + "\" data-kmh=\"" + std::to_string(c.dato1) + "\" x=\"" + num(xa) +
           "\" y=\"" + num(alto + 30) + "\" width=\"" + num(std::max(2.0, xb - xa)) + "\" height=\"12\"/>\n";
  }
  return disegnati;
}

void striscia_rallentamenti(pagina& p, const dati_grafico& d) {
  const double h = 60;
  striscia(p, h, "Rallentamenti", "avviso A, preavvisi P", "striscia-rallentamenti", [&](double alto) {
    fila f;
    auto scrivi = [&](double x, double y, const std::string& t, const std::string& classe) {
      if (!f.libera(x)) {
        p.omessa("rallentamenti");
        return;
      }
      f.fine = x + larghezza_testo(t) + 3;
      p.s += "<text class=\"" + classe + "\" x=\"" + num(x) + "\" y=\"" + num(y) + "\">" + svg::testo(t) +
             "</text>\n";
    };
    const int disegnati = tratti_rallentamento(p, d, alto);
    per_cella_visibile(p, d.celle, [&](const cella& c, double m) {
      const double x = p.X(m);
      const std::string dm = " data-m=\"" + intero(static_cast<int64_t>(m)) + "\"";
      switch (c.tipo) {
        case cella_inizio_rallentamento:
          p.s += "<line class=\"inizio-rallentamento\"" + dm + " x1=\"" + num(x) + "\" y1=\"" + num(alto + 30) +
                 "\" x2=\"" + num(x) + "\" y2=\"" + num(alto + 42) + "\"><title>" +
                 svg::testo(titolo_oggetto(c, static_cast<std::size_t>(m / kMetriCella)) + ", " +
                            std::to_string(c.dato1) + " km/h") +
                 "</title></line>\n";
          scrivi(x, alto + 26, std::to_string(c.dato1) + " km/h", "etichetta-rallentamento");
          break;
        case cella_avviso_rallentamento:
          p.s += "<path class=\"avviso\"" + dm + " d=\"M" + num(x) + " " + num(alto + 42) + "l-5 -10h10z\"/>\n";
          scrivi(x - 3, alto + 54, "A " + std::to_string(c.dato1), "etichetta-avviso");
          break;
        case cella_preavviso:
          p.s += "<line class=\"preavviso\"" + dm + " data-n=\"" + std::to_string(c.dato1) + "\" x1=\"" + num(x) +
                 "\" y1=\"" + num(alto + 34) + "\" x2=\"" + num(x) + "\" y2=\"" + num(alto + 44) + "\"/>\n";
          scrivi(x - 3, alto + 54, "P" + std::to_string(c.dato1), "etichetta-avviso");
          break;
        case cella_abbattimento:
        case cella_abbattimento_zero:
          p.s += "<line class=\"abbattimento\"" + dm + " x1=\"" + num(x) + "\" y1=\"" + num(alto + 46) +
                 "\" x2=\"" + num(x) + "\" y2=\"" + num(alto + h - 2) + "\"><title>abbattimento " +
                 std::to_string(c.dato1) + "</title></line>\n";
          break;
        default:
          break;
      }
    });
    if (disegnati == 0) nessuno(p, alto, h, "nessun rallentamento in questo tratto");
  });
}

void striscia_cartelli(pagina& p, const dati_grafico& d) {
  std::size_t piu_lunga = 0;
  per_cella_visibile(p, d.celle, [&](const cella& c, double) {
    if (c.tipo == cella_cartello && c.dato1 >= 0 && c.dato1 < kNumeroVoci) {
      piu_lunga = std::max(piu_lunga, lunghezza_utf8(utf8(d.voci[static_cast<std::size_t>(c.dato1)].nome)));
    }
  });
  const double h = altezza_per_etichette(piu_lunga, 16, 60, 220);
  striscia(p, h, "Cartelli", "con testo", "striscia-cartelli", [&](double alto) {
    const double piede = alto + h - 16;
    const std::size_t massimo = caratteri_ruotati(alto, piede);
    struct cartello {
      double m;
      std::string testo;
      bool posto;  // a place name rather than a level-crossing post
    };
    std::vector<cartello> cartelli;
    per_cella_visibile(p, d.celle, [&](const cella& c, double m) {
      if (c.tipo != cella_cartello) return;
      const std::string t = testo_cartello(d, c);
      cartelli.push_back({m, t, t.rfind("(PL", 0) != 0});
      p.s += "<path class=\"cartello\" data-m=\"" + intero(static_cast<int64_t>(m)) + "\" d=\"M" + num(p.X(m)) +
             " " + num(alto + h - 2) + "v-10h6v5h-6\"><title>" + svg::testo(cartelli.back().testo) +
             "</title></path>\n";
    });
    // Place names first: where labels crowd, the level-crossing posts give way.
    std::vector<std::pair<double, double>> occupati;
    auto libero = [&](double x) {
      for (const auto& [a, b] : occupati) {
        if (x + kCorpo + 1 > a && x < b) return false;
      }
      return true;
    };
    if (cartelli.empty()) nessuno(p, alto, h, "nessun cartello con testo in questo tratto");
    for (bool posti : {true, false}) {
      for (const cartello& c : cartelli) {
        if (c.posto != posti) continue;
        const double x = p.X(c.m);
        if (!libero(x)) {
          p.omessa("cartelli");
          continue;
        }
        occupati.emplace_back(x, x + kCorpo + 1);
        etichetta_ruotata(p, x, piede, "etichetta-cartello", " data-m=\"" + intero(static_cast<int64_t>(c.m)) + "\"",
                          accorcia(c.testo, massimo));
      }
    }
  });
}

}  // namespace

std::vector<tratto_montagna> montagne(const std::vector<cella>& celle) {
  std::vector<tratto_montagna> r;
  for (std::size_t k = 0; k < celle.size(); ++k) {
    const cella& c = celle[k];
    if (c.montagna == 0) continue;
    if (r.empty() || r.back().fine != k || r.back().tipo != c.montagna) r.push_back({k, k, c.montagna, false});
    r.back().fine = k + 1;
    if (c.tipo == cella_montagna) r.back().galleria = true;
  }
  return r;
}

void strisce(pagina& p, const dati_grafico& d, const std::vector<curva_ricostruita>& curve,
             const std::vector<int>& stazioni) {
  striscia_pendenza(p, d);
  striscia_quota(p, d);
  striscia_curve(p, d, curve);
  striscia_montagne(p, d);
  striscia_velocita(p, d);
  striscia_aderenza(p, d);
  striscia_stazioni(p, d, stazioni);
  striscia_segnali(p, d);
  striscia_rallentamenti(p, d);
  striscia_cartelli(p, d);
}

}  // namespace scenario::grafico_interno
