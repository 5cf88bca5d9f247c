#include "tool/grafico.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <cstdint>

#include "compiler/tracciato.h"
#include "platform/cp1252.h"
#include "tool/curve.h"
#include "tool/svg.h"

namespace scenario {
namespace {

using svg::num;

constexpr double kMetriCella = 50;
constexpr double kLarghezza = 1600;   // page width, px
constexpr double kSinistra = 150;     // left margin, where the strips' names stand
constexpr double kDestra = 24;
constexpr double kCorpo = 10;         // font size of the labels, px
// Advance of a character of a generic sans-serif face, in ems, on the
// generous side (digits and capitals of the common faces are 0.6 to 0.7):
// labels are measured with it to keep them apart. Bold is wider still.
constexpr double kCarattere = 0.66;
constexpr double kGrassetto = 0.78;
constexpr std::size_t kPuntiPianta = 4000;

std::string intero(int64_t v) { return std::to_string(v); }

std::string ora(int32_t secondi) {
  if (secondi <= 0) return "";
  char b[32];
  std::snprintf(b, sizeof b, "%02d:%02d:%02d", static_cast<int>(secondi / 3600 % 100),
                static_cast<int>(secondi / 60 % 60), static_cast<int>(secondi % 60));
  return b;
}

std::string km(double metri, double passo) {
  char b[32];
  const int decimali = passo >= 1000 ? 0 : passo >= 100 ? 1 : passo >= 10 ? 2 : 3;
  std::snprintf(b, sizeof b, "%.*f", decimali, metri / 1000);
  return b;
}

// 1, 2 or 5 times a power of ten, the first at least `v`.
double passo_tondo(double v) {
  if (!(v > 0)) return 1;
  const double p = std::pow(10.0, std::floor(std::log10(v)));
  for (double f : {1.0, 2.0, 5.0, 10.0}) {
    if (f * p >= v) return f * p;
  }
  return 10 * p;
}

std::string utf8(const std::string& ansi) { return cp1252_in_utf8(ansi); }

// A label of at most `massimo` characters: longer ones end in "…".
std::string accorcia(const std::string& utf8_testo, std::size_t massimo) {
  std::size_t caratteri = 0;
  for (std::size_t i = 0; i < utf8_testo.size(); ++i) {
    if ((static_cast<unsigned char>(utf8_testo[i]) & 0xC0) == 0x80) continue;
    if (caratteri == massimo) return utf8_testo.substr(0, i) + "…";
    ++caratteri;
  }
  return utf8_testo;
}

std::size_t lunghezza_utf8(const std::string& s) {
  std::size_t n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

double larghezza_testo(const std::string& s, double corpo = kCorpo) {
  return static_cast<double>(lunghezza_utf8(s)) * corpo * kCarattere;
}

// Labels along the axis in one row: a label is drawn only when it starts
// clear of the last one drawn.
struct fila {
  double fine = -std::numeric_limits<double>::infinity();
  bool libera(double inizio) const { return inizio >= fine; }
};

struct pagina {
  std::string s;
  double da = 0;
  double a = 0;
  double y = 0;
  double x0 = kSinistra;
  double larghezza = kLarghezza - kSinistra - kDestra;
  std::map<std::string, int> omesse;
  std::vector<std::pair<double, double>> strisce;  // top and bottom of each strip

  double X(double metri) const { return x0 + (metri - da) / (a - da) * larghezza; }
  bool dentro(double metri) const { return metri >= da && metri <= a; }
  void omessa(const std::string& tipo) { ++omesse[tipo]; }
};

// The cells that meet the stretch: first and one past the last.
std::pair<std::size_t, std::size_t> celle_visibili(const pagina& p, const std::vector<cella>& c) {
  const auto primo = static_cast<std::size_t>(std::max(0.0, std::floor(p.da / kMetriCella)));
  const auto ultimo = static_cast<std::size_t>(std::max(0.0, std::ceil(p.a / kMetriCella)));
  return {std::min(primo, c.size()), std::min(std::max(ultimo, primo + 1), c.size())};
}

void titolo_striscia(pagina& p, double alto, double h, const std::string& nome, const std::string& unita,
                     const std::string& id) {
  p.strisce.emplace_back(alto, alto + h);
  p.s += "<g id=\"" + id + "\">\n";
  p.s += "<rect class=\"fondo\" x=\"" + num(p.x0) + "\" y=\"" + num(alto) + "\" width=\"" + num(p.larghezza) +
         "\" height=\"" + num(h) + "\"/>\n";
  p.s += "<text class=\"nome-striscia\" x=\"8\" y=\"" + num(alto + 14) + "\">" + svg::testo(nome) + "</text>\n";
  if (!unita.empty()) {
    p.s += "<text class=\"unita\" x=\"8\" y=\"" + num(alto + 27) + "\">" + svg::testo(unita) + "</text>\n";
  }
}

void fine_striscia(pagina& p) { p.s += "</g>\n"; }

// Said in an empty strip, so that nothing reads as a failure to draw.
void nessuno(pagina& p, double alto, double h, const std::string& testo) {
  p.s += "<text class=\"vuoto\" x=\"" + num(p.x0 + 8) + "\" y=\"" + num(alto + h / 2 + 4) + "\">" +
         svg::testo(testo) + "</text>\n";
}

void scala_verticale(pagina& p, double y, const std::string& testo) {
  p.s += "<text class=\"scala\" x=\"" + num(p.x0 - 4) + "\" y=\"" + num(y + 3) + "\">" + svg::testo(testo) +
         "</text>\n";
}

void etichetta_ruotata(pagina& p, double x, double piede, const std::string& classe, const std::string& attributi,
                       const std::string& testo) {
  // Rotated a quarter turn, the glyphs stand left of their baseline: moving
  // the baseline by a third of the size centres them on x.
  const double xb = x + kCorpo / 3;
  p.s += "<text class=\"" + classe + "\"" + attributi + " x=\"" + num(xb) + "\" y=\"" + num(piede) +
         "\" transform=\"rotate(-90 " + num(xb) + " " + num(piede) + ")\">" + svg::testo(testo) + "</text>\n";
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

// Values written at the changes of a profile, horizontally, thinned.
void valori_ai_cambi(pagina& p, const std::vector<cambio>& cambi, double y, const std::string& classe,
                     const std::string& tipo, const std::function<std::string(double)>& testo) {
  fila f;
  for (const cambio& c : cambi) {
    const std::string t = testo(c.valore);
    const double x = p.X(c.metro) + 2;
    if (!f.libera(x)) {
      p.omessa(tipo);
      continue;
    }
    f.fine = x + larghezza_testo(t) + 4;
    p.s += "<text class=\"" + classe + "\" x=\"" + num(x) + "\" y=\"" + num(y) + "\">" + svg::testo(t) + "</text>\n";
  }
}

// The cells whose gradient the line description set: the compiler leaves
// the last cells of the track (at most three) at 0.
std::size_t celle_con_pendenza(const std::vector<cella>& celle) {
  std::size_t n = celle.size();
  while (n > 0 && celle.size() - n < 3 && celle[n - 1].pendenza == 0) --n;
  return n;
}

void striscia_pendenza(pagina& p, const dati_grafico& d) {
  const double h = 70, alto = p.y;
  titolo_striscia(p, alto, h, "Pendenza", "per mille", "striscia-pendenza");
  const std::size_t limite = celle_con_pendenza(d.celle);
  const auto [primo, fine_visibile] = celle_visibili(p, d.celle);
  const std::size_t fine = std::min(fine_visibile, limite);
  double g = 5;
  for (std::size_t k = primo; k < fine; ++k) g = std::max(g, std::fabs(d.celle[k].pendenza - 100.0));
  g = std::ceil(g / 5) * 5;
  const double zero = alto + h / 2;
  p.s += "<line class=\"zero\" x1=\"" + num(p.x0) + "\" y1=\"" + num(zero) + "\" x2=\"" + num(p.x0 + p.larghezza) +
         "\" y2=\"" + num(zero) + "\"/>\n";
  scala_verticale(p, alto + 4, "+" + num(g));
  scala_verticale(p, zero, "0");
  scala_verticale(p, alto + h - 4, "-" + num(g));
  const auto cambi = profilo(p, d.celle, alto + 4, h - 8, -g, g,
                             [](const cella& c) { return static_cast<double>(c.pendenza) - 100; }, "pendenza",
                             "gradino-pendenza", limite);
  (void)cambi;
  fine_striscia(p);
  p.y += h + 6;
}

void striscia_quota(pagina& p, const dati_grafico& d) {
  const double h = 70, alto = p.y;
  titolo_striscia(p, alto, h, "Quota", "m, dall'origine", "striscia-quota");
  // The elevation at the start of each cell, from the origin's.
  std::vector<double> z(d.celle.size() + 1, 0.0);
  const std::size_t limite = celle_con_pendenza(d.celle);
  for (std::size_t k = 0; k < d.celle.size(); ++k) {
    const double g = k < limite ? static_cast<double>(d.celle[k].pendenza) - 100 : 0;
    z[k + 1] = z[k] + g * kMetriCella / 1000;
  }
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
  fine_striscia(p);
  p.y += h + 6;
}

const char* const kColoriClasse[] = {"#999999", "#f2c14e", "#f08a24", "#e4572e", "#b8336a", "#7a1f5c", "#3b0f3a"};

void striscia_curve(pagina& p, const dati_grafico& d, const std::vector<curva_ricostruita>& curve) {
  const double h = 90, alto = p.y;
  titolo_striscia(p, alto, h, "Curve", "destra su, sinistra giù", "striscia-curve");
  const double mezzo = alto + h / 2;
  p.s += "<line class=\"zero\" x1=\"" + num(p.x0) + "\" y1=\"" + num(mezzo) + "\" x2=\"" + num(p.x0 + p.larghezza) +
         "\" y2=\"" + num(mezzo) + "\"/>\n";
  if (d.piano.x.empty()) {
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
    const std::string nome = std::string(c.sinistra ? "s" : "d") + (c.classe ? std::to_string(c.classe) : "?");
    p.s += "<rect class=\"curva\" data-inizio=\"" + intero(c.inizio) + "\" data-lunghezza=\"" + intero(c.lunghezza) +
           "\" data-classe=\"" + std::to_string(c.classe) + "\" data-verso=\"" + (c.sinistra ? "s" : "d") +
           "\" fill=\"" + kColoriClasse[c.classe] + "\" x=\"" + num(xa) + "\" y=\"" + num(y) + "\" width=\"" +
           num(std::max(1.0, xb - xa)) + "\" height=\"" + num(alt) + "\"><title>" +
           svg::testo("curva " + nome + " da " + intero(c.inizio) + " m, " + intero(c.lunghezza) + " m, raggio " +
                      num(std::nearbyint(raggio)) + " m") +
           "</title></rect>\n";
    const std::string t = nome + " R" + num(std::nearbyint(raggio));
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
  fine_striscia(p);
  p.y += h + 6;
}

// The mountain spans: runs of cells of the same mountain kind; a run that
// carries mountain markers is a tunnel.
struct tratto_montagna {
  std::size_t primo = 0;
  std::size_t fine = 0;  // one past the last cell
  int tipo = 0;
  bool galleria = false;
};

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

void striscia_montagne(pagina& p, const dati_grafico& d) {
  const double h = 34, alto = p.y;
  titolo_striscia(p, alto, h, "Montagne", "e gallerie", "striscia-montagne");
  fila f;
  int disegnati = 0;
  for (const tratto_montagna& t : montagne(d.celle)) {
    const double inizio = static_cast<double>(t.primo) * kMetriCella, fine = static_cast<double>(t.fine) * kMetriCella;
    if (fine < p.da || inizio > p.a) continue;
    ++disegnati;
    const double xa = p.X(std::max(inizio, p.da)), xb = p.X(std::min(fine, p.a));
    const std::string nome = std::string(t.galleria ? "galleria" : "montagna") + " (tipo " + std::to_string(t.tipo) + ")";
    p.s += "<rect class=\"" + std::string(t.galleria ? "galleria" : "montagna") + "\" data-inizio=\"" +
           intero(static_cast<int64_t>(inizio)) + "\" data-fine=\"" + intero(static_cast<int64_t>(fine)) + "\" x=\"" +
           num(xa) + "\" y=\"" + num(alto + 16) + "\" width=\"" + num(std::max(1.0, xb - xa)) +
           "\" height=\"14\"><title>" +
           svg::testo(nome + " da " + intero(static_cast<int64_t>(inizio)) + " a " + intero(static_cast<int64_t>(fine)) +
                      " m") +
           "</title></rect>\n";
    if (!f.libera(xa)) {
      p.omessa("montagne");
      continue;
    }
    f.fine = xa + larghezza_testo(nome) + 4;
    p.s += "<text class=\"etichetta\" x=\"" + num(xa) + "\" y=\"" + num(alto + 12) + "\">" + svg::testo(nome) +
           "</text>\n";
  }
  if (disegnati == 0) nessuno(p, alto, h, "nessuna montagna in questo tratto");
  fine_striscia(p);
  p.y += h + 6;
}

std::string gruppo_vmax(int16_t dato) {
  // dato = speed·20 + other speed / 5: the "s" speed and the "d" speed.
  const int v = dato;
  const int s = v / 20, resto = v % 20;
  return std::to_string(s) + (resto ? "+" + std::to_string(resto * 5) : "");
}

void striscia_velocita(pagina& p, const dati_grafico& d) {
  const double h = 110, alto = p.y;
  titolo_striscia(p, alto, h, "Velocità massima", "km/h", "striscia-velocita");
  const auto [primo, fine] = celle_visibili(p, d.celle);
  double vmax = 20;
  for (std::size_t k = primo; k < fine; ++k) vmax = std::max(vmax, d.celle[k].velocita_max * 5.0);
  vmax = std::ceil(vmax / 20) * 20;
  const double basso = alto + h - 4, area = h - 30;
  for (double v : {0.0, vmax / 2, vmax}) {
    const double y = basso - v / vmax * area;
    p.s += "<line class=\"griglia\" x1=\"" + num(p.x0) + "\" y1=\"" + num(y) + "\" x2=\"" + num(p.x0 + p.larghezza) +
           "\" y2=\"" + num(y) + "\"/>\n";
    scala_verticale(p, y, num(v));
  }
  const auto cambi = profilo(p, d.celle, basso - area, area, 0, vmax,
                             [](const cella& c) { return c.velocita_max * 5.0; }, "velocita", "gradino-velocita");
  fila f;
  for (const cambio& c : cambi) {
    const std::string t = num(c.valore);
    const double x = p.X(c.metro) + 2;
    if (!f.libera(x)) {
      p.omessa("valori di velocità");
      continue;
    }
    f.fine = x + larghezza_testo(t, 9) + 3;
    p.s += "<text class=\"valore-velocita\" x=\"" + num(x) + "\" y=\"" + num(basso - c.valore / vmax * area - 3) +
           "\">" + t + "</text>\n";
  }
  // The maximum-speed signs, on top of the strip.
  fila fc;
  for (std::size_t k = primo; k < fine; ++k) {
    const cella& c = d.celle[k];
    if (c.tipo != cella_indicatore_v_max) continue;
    const double m = static_cast<double>(k) * kMetriCella;
    if (!p.dentro(m)) continue;
    const double x = p.X(m);
    std::string t = gruppo_vmax(c.dato1) + "/" + gruppo_vmax(c.dato2) + "/" + gruppo_vmax(c.dato3);
    if (c.dato4) t += " ≡" + std::to_string(c.dato4);
    p.s += "<path class=\"cartello-vmax\" data-m=\"" + intero(static_cast<int64_t>(m)) + "\" d=\"M" + num(x) + " " +
           num(alto + 20) + "l-4 -7h8z\"><title>" + svg::testo("cartello di velocità massima a " +
                                                               intero(static_cast<int64_t>(m)) + " m: " + t) +
           "</title></path>\n";
    if (!fc.libera(x - 2)) {
      p.omessa("cartelli di velocità");
      continue;
    }
    fc.fine = x - 2 + larghezza_testo(t, 9) + 4;
    p.s += "<text class=\"etichetta-vmax\" x=\"" + num(x - 2) + "\" y=\"" + num(alto + 10) + "\">" + svg::testo(t) +
           "</text>\n";
  }
  fine_striscia(p);
  p.y += h + 6;
}

void striscia_aderenza(pagina& p, const dati_grafico& d) {
  const double h = 44, alto = p.y;
  titolo_striscia(p, alto, h, "Aderenza", "", "striscia-aderenza");
  const auto [primo, fine] = celle_visibili(p, d.celle);
  double amax = 100;
  for (std::size_t k = primo; k < fine; ++k) amax = std::max(amax, static_cast<double>(d.celle[k].aderenza));
  scala_verticale(p, alto + 14, num(amax));
  scala_verticale(p, alto + h - 4, "0");
  const auto cambi = profilo(p, d.celle, alto + 14, h - 18, 0, amax,
                             [](const cella& c) { return static_cast<double>(c.aderenza); }, "aderenza",
                             "gradino-aderenza");
  valori_ai_cambi(p, cambi, alto + 10, "valore-aderenza", "valori di aderenza", [](double v) { return num(v); });
  fine_striscia(p);
  p.y += h + 6;
}

void striscia_stazioni(pagina& p, const dati_grafico& d, const std::vector<int>& stazioni) {
  const double h = 180, alto = p.y;
  titolo_striscia(p, alto, h, "Stazioni", "zona, nome, orario", "striscia-stazioni");
  const double piede = alto + h - 24;
  const auto massimo = static_cast<std::size_t>((piede - alto - 4) / (kCorpo * kCarattere));
  fila f;
  int disegnate = 0;
  for (int i : stazioni) {
    const voce& v = d.voci[static_cast<std::size_t>(i)];
    const double m = v.posizione;
    if (p.dentro(m) || (v.fine >= p.da && v.inizio <= p.a)) ++disegnate;
    const double za = std::max<double>(v.inizio, p.da), zb = std::min<double>(v.fine, p.a);
    if (zb >= za && v.fine >= v.inizio) {
      p.s += "<rect class=\"zona-stazione\" data-voce=\"" + std::to_string(i) + "\" x=\"" + num(p.X(za)) + "\" y=\"" +
             num(alto + h - 18) + "\" width=\"" + num(std::max(1.0, p.X(zb) - p.X(za))) + "\" height=\"10\"/>\n";
    }
    if (!p.dentro(m)) continue;
    const double x = p.X(m);
    const std::string nome = utf8(v.nome);
    const std::string orario = ora(v.orario);
    const std::string t = accorcia(nome + (orario.empty() ? "" : " " + orario), massimo);
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
  fine_striscia(p);
  p.y += h + 6;
}

void striscia_segnali(pagina& p, const dati_grafico& d) {
  const double h = 145, alto = p.y;
  titolo_striscia(p, alto, h, "Segnali", "aspetti · codice · tempo", "striscia-segnali");
  const auto [primo, fine] = celle_visibili(p, d.celle);
  const double piede = alto + h - 16;
  const auto massimo = static_cast<std::size_t>((piede - alto - 4) / (kCorpo * kCarattere));
  fila f;
  int disegnati = 0;
  for (std::size_t k = primo; k < fine; ++k) {
    const cella& c = d.celle[k];
    if (c.tipo != cella_segnale) continue;
    const double m = static_cast<double>(k) * kMetriCella;
    if (!p.dentro(m)) continue;
    ++disegnati;
    const double x = p.X(m);
    std::string t = std::to_string(c.dato1) + "/" + std::to_string(c.dato2) + "/" + std::to_string(c.dato3) + " · " +
                    std::to_string(c.dato4);
    if (c.tempo_segnale) t += " · " + std::to_string(c.tempo_segnale);
    p.s += "<path class=\"segnale\" data-m=\"" + intero(static_cast<int64_t>(m)) + "\" d=\"M" + num(x) + " " +
           num(alto + h - 2) + "v-10h5v5h-5\"><title>" +
           svg::testo("segnale a " + intero(static_cast<int64_t>(m)) + " m: dato1 " + std::to_string(c.dato1) +
                      ", dato2 " + std::to_string(c.dato2) + ", dato3 " + std::to_string(c.dato3) + ", dato4 " +
                      std::to_string(c.dato4) + ", tempo " + std::to_string(c.tempo_segnale)) +
           "</title></path>\n";
    if (!f.libera(x)) {
      p.omessa("segnali");
      continue;
    }
    f.fine = x + kCorpo + 1;
    etichetta_ruotata(p, x, piede, "etichetta-segnale", " data-m=\"" + intero(static_cast<int64_t>(m)) + "\"",
                      accorcia(t, massimo));
  }
  if (disegnati == 0) nessuno(p, alto, h, "nessun segnale in questo tratto");
  fine_striscia(p);
  p.y += h + 6;
}

void striscia_rallentamenti(pagina& p, const dati_grafico& d) {
  const double h = 60, alto = p.y;
  titolo_striscia(p, alto, h, "Rallentamenti", "avviso A, preavvisi P", "striscia-rallentamenti");
  const auto [primo, fine] = celle_visibili(p, d.celle);
  fila f;
  int disegnati = 0;
  auto scrivi = [&](double x, double y, const std::string& t, const std::string& classe) {
    if (!f.libera(x)) {
      p.omessa("rallentamenti");
      return;
    }
    f.fine = x + larghezza_testo(t) + 3;
    p.s += "<text class=\"" + classe + "\" x=\"" + num(x) + "\" y=\"" + num(y) + "\">" + svg::testo(t) + "</text>\n";
  };
  // A start pairs with the next end cell.
  for (std::size_t k = 0; k < d.celle.size(); ++k) {
    const cella& c = d.celle[k];
    if (c.tipo != cella_inizio_rallentamento) continue;
    std::size_t e = k + 1;
    while (e < d.celle.size() && d.celle[e].tipo != cella_fine_rallentamento) ++e;
    const double a = static_cast<double>(k) * kMetriCella;
    const double b = e < d.celle.size() ? static_cast<double>(e) * kMetriCella : a;
    if (b < p.da || a > p.a) continue;
    ++disegnati;
    const double xa = p.X(std::max(a, p.da)), xb = p.X(std::min(b, p.a));
    p.s += "<rect class=\"rallentamento\" data-inizio=\"" + intero(static_cast<int64_t>(a)) + "\" data-fine=\"" +
           intero(static_cast<int64_t>(b)) + "\" data-kmh=\"" + std::to_string(c.dato1) + "\" x=\"" + num(xa) +
           "\" y=\"" + num(alto + 30) + "\" width=\"" + num(std::max(2.0, xb - xa)) + "\" height=\"12\"/>\n";
  }
  for (std::size_t k = primo; k < fine; ++k) {
    const cella& c = d.celle[k];
    const double m = static_cast<double>(k) * kMetriCella;
    if (!p.dentro(m)) continue;
    const double x = p.X(m);
    const std::string dm = " data-m=\"" + intero(static_cast<int64_t>(m)) + "\"";
    switch (c.tipo) {
      case cella_inizio_rallentamento:
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
        p.s += "<line class=\"abbattimento\"" + dm + " x1=\"" + num(x) + "\" y1=\"" + num(alto + 46) + "\" x2=\"" +
               num(x) + "\" y2=\"" + num(alto + h - 2) + "\"><title>abbattimento " + std::to_string(c.dato1) +
               "</title></line>\n";
        break;
      default:
        break;
    }
  }
  if (disegnati == 0) nessuno(p, alto, h, "nessun rallentamento in questo tratto");
  fine_striscia(p);
  p.y += h + 6;
}

void striscia_cartelli(pagina& p, const dati_grafico& d) {
  const double h = 220, alto = p.y;
  titolo_striscia(p, alto, h, "Cartelli", "con testo", "striscia-cartelli");
  const auto [primo, fine] = celle_visibili(p, d.celle);
  const double piede = alto + h - 16;
  const auto massimo = static_cast<std::size_t>((piede - alto - 4) / (kCorpo * kCarattere));
  struct cartello {
    double m;
    std::string testo;
    bool posto;  // a place name rather than a level-crossing post
  };
  std::vector<cartello> cartelli;
  for (std::size_t k = primo; k < fine; ++k) {
    const cella& c = d.celle[k];
    if (c.tipo != cella_cartello) continue;
    const double m = static_cast<double>(k) * kMetriCella;
    if (!p.dentro(m)) continue;
    const std::string t =
        c.dato1 >= 0 && c.dato1 < kNumeroVoci ? utf8(d.voci[static_cast<std::size_t>(c.dato1)].nome) : "";
    cartelli.push_back({m, t.empty() ? "voce " + std::to_string(c.dato1) : t, t.rfind("(PL", 0) != 0});
    p.s += "<path class=\"cartello\" data-m=\"" + intero(static_cast<int64_t>(m)) + "\" d=\"M" + num(p.X(m)) + " " +
           num(alto + h - 2) + "v-10h6v5h-6\"><title>" + svg::testo(cartelli.back().testo) + "</title></path>\n";
  }
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
  fine_striscia(p);
  p.y += h + 6;
}

// --------------------------------------------------------------------------
// The plan.

void pianta(pagina& p, const dati_grafico& d, const std::vector<curva_ricostruita>& curve,
            const std::vector<int>& stazioni) {
  const double h = 270, alto = p.y;
  p.s += "<g id=\"pianta\">\n";
  p.s += "<rect class=\"fondo-pianta\" x=\"" + num(p.x0) + "\" y=\"" + num(alto) + "\" width=\"" + num(p.larghezza) +
         "\" height=\"" + num(h) + "\"/>\n";
  p.s += "<text class=\"nome-striscia\" x=\"8\" y=\"" + num(alto + 14) + "\">Pianta</text>\n";
  p.s += "<text class=\"unita\" x=\"8\" y=\"" + num(alto + 27) + "\">ruotata: l'inizio</text>\n";
  p.s += "<text class=\"unita\" x=\"8\" y=\"" + num(alto + 39) + "\">a sinistra</text>\n";
  const std::size_t n = std::min(d.piano.x.size(), d.piano.y.size());
  auto punto = [&](std::size_t j, double& x, double& y) {
    if (j >= n || d.piano.x[j].etichetta == numero_etichettato::vuoto ||
        d.piano.y[j].etichetta == numero_etichettato::vuoto) {
      return false;
    }
    x = d.piano.x[j].come_reale();
    y = d.piano.y[j].come_reale();
    return std::isfinite(x) && std::isfinite(y) && std::fabs(x) < 1e12 && std::fabs(y) < 1e12;
  };
  const auto j0 = static_cast<std::size_t>(std::max(0.0, p.da));
  const auto j1 = static_cast<std::size_t>(std::max(0.0, std::min(p.a, static_cast<double>(n) - 1)));
  std::vector<std::size_t> metri;
  const std::size_t passo = std::max<std::size_t>(1, (j1 >= j0 ? j1 - j0 : 0) / kPuntiPianta);
  double x, y;
  for (std::size_t j = j0; j <= j1 && j < n; j += passo) {
    if (punto(j, x, y)) metri.push_back(j);
  }
  if (j1 < n && punto(j1, x, y) && (metri.empty() || metri.back() != j1)) metri.push_back(j1);
  if (metri.size() < 2) {
    p.s += "<text class=\"assente\" x=\"" + num(p.x0 + 8) + "\" y=\"" + num(alto + h / 2) + "\">" +
           (n == 0 ? "geometria della linea assente: nessuna pianta" : "nessun punto della pianta in questo tratto") +
           "</text>\n</g>\n";
    p.y += h + 10;
    return;
  }
  // Turn the plan so that the chord from the first to the last point runs
  // left to right, then scale it alike in both directions to fit the box.
  double xa, ya, xb, yb;
  punto(metri.front(), xa, ya);
  punto(metri.back(), xb, yb);
  const double angolo = (xb - xa == 0 && yb - ya == 0) ? 0 : std::atan2(yb - ya, xb - xa);
  const double co = std::cos(angolo), si = std::sin(angolo);
  auto ruota = [&](double px, double py) {
    const double u = (px - xa) * co + (py - ya) * si;
    const double v = -(px - xa) * si + (py - ya) * co;
    return std::pair<double, double>{u, v};
  };
  double umin = 0, umax = 0, vmin = 0, vmax = 0;
  for (std::size_t j : metri) {
    punto(j, x, y);
    const auto [u, v] = ruota(x, y);
    umin = std::min(umin, u);
    umax = std::max(umax, u);
    vmin = std::min(vmin, v);
    vmax = std::max(vmax, v);
  }
  const double margine = 30;
  const double lw = p.larghezza - 2 * margine, lh = h - 2 * margine - 20;
  const double su = umax - umin, sv = vmax - vmin;
  double scala = std::min(su > 0 ? lw / su : 1e9, sv > 0 ? lh / sv : 1e9);
  if (!(scala < 1e9)) scala = 1;
  const double cx = p.x0 + p.larghezza / 2, cy = alto + margine + lh / 2;
  auto pagina_di = [&](double px, double py) {
    const auto [u, v] = ruota(px, py);
    // Left of the direction of travel is up on the page: the plan is turned,
    // never mirrored.
    return std::pair<double, double>{cx + (u - (umin + umax) / 2) * scala, cy - (v - (vmin + vmax) / 2) * scala};
  };
  auto tratto = [&](std::size_t da, std::size_t a, std::size_t passo_tratto) {
    std::string dd;
    bool dentro = false;
    for (std::size_t j = da;; j = std::min(a, j + passo_tratto)) {
      if (punto(j, x, y)) {
        const auto [X, Y] = pagina_di(x, y);
        dd += (dentro ? "L" : "M") + num(X) + " " + num(Y);
        dentro = true;
      } else {
        dentro = false;
      }
      if (j >= a) break;
    }
    return dd;
  };
  std::string linea;
  {
    bool dentro = false;
    std::size_t precedente = 0;
    for (std::size_t j : metri) {
      punto(j, x, y);
      const auto [X, Y] = pagina_di(x, y);
      const bool continua = dentro && j - precedente <= passo;
      linea += (continua ? "L" : "M") + num(X) + " " + num(Y);
      dentro = true;
      precedente = j;
    }
  }
  p.s += "<path class=\"linea-pianta\" d=\"" + linea + "\"/>\n";
  const std::size_t passo_fino = std::max<std::size_t>(1, passo / 4);
  for (const curva_ricostruita& c : curve) {
    const auto a = static_cast<std::size_t>(std::max<int64_t>(c.inizio, static_cast<int64_t>(j0)));
    const auto b = static_cast<std::size_t>(
        std::min<int64_t>(static_cast<int64_t>(c.inizio) + c.lunghezza, static_cast<int64_t>(j1)));
    if (b <= a) continue;
    p.s += "<path class=\"" + std::string(c.sinistra ? "curva-sinistra" : "curva-destra") + "\" d=\"" +
           tratto(a, b, passo_fino) + "\"/>\n";
  }
  for (const tratto_montagna& t : montagne(d.celle)) {
    const double ma = std::max(static_cast<double>(t.primo) * kMetriCella, static_cast<double>(j0));
    const double mb = std::min(static_cast<double>(t.fine) * kMetriCella, static_cast<double>(j1));
    if (mb <= ma) continue;
    p.s += "<path class=\"" + std::string(t.galleria ? "galleria-pianta" : "montagna-pianta") + "\" d=\"" +
           tratto(static_cast<std::size_t>(ma), static_cast<std::size_t>(mb), passo_fino) + "\"/>\n";
  }
  // Signals and stations on the track.
  for (std::size_t k = 0; k < d.celle.size(); ++k) {
    if (d.celle[k].tipo != cella_segnale) continue;
    const auto j = k * 50;
    if (j < j0 || j > j1 || !punto(j, x, y)) continue;
    const auto [X, Y] = pagina_di(x, y);
    p.s += "<circle class=\"segnale-pianta\" data-m=\"" + intero(static_cast<int64_t>(j)) + "\" cx=\"" + num(X) +
           "\" cy=\"" + num(Y) + "\" r=\"2.5\"/>\n";
  }
  // The metres of the two ends under them; the station names keep clear of
  // these as of each other.
  std::vector<std::array<double, 4>> riquadri;
  for (bool inizio : {true, false}) {
    const std::size_t j = inizio ? metri.front() : metri.back();
    punto(j, x, y);
    const auto [X, Y] = pagina_di(x, y);
    const std::string t = intero(static_cast<int64_t>(j)) + " m";
    const double w = larghezza_testo(t);
    riquadri.push_back({X - w / 2, Y + 20 - kCorpo, X + w / 2, Y + 22});
    p.s += "<text class=\"estremo\" x=\"" + num(X) + "\" y=\"" + num(Y + 20) + "\">" + t + "</text>\n";
  }
  for (int i : stazioni) {
    const voce& v = d.voci[static_cast<std::size_t>(i)];
    if (v.posizione < 0) continue;
    const auto j = static_cast<std::size_t>(v.posizione);
    if (j < j0 || j > j1 || !punto(j, x, y)) continue;
    const auto [X, Y] = pagina_di(x, y);
    p.s += "<circle class=\"stazione-pianta\" data-voce=\"" + std::to_string(i) + "\" cx=\"" + num(X) + "\" cy=\"" +
           num(Y) + "\" r=\"4\"/>\n";
    const std::string t = utf8(v.nome);
    const double w = static_cast<double>(lunghezza_utf8(t)) * kCorpo * kGrassetto;
    bool messa = false;
    // Above, below, right, left, then further above and below the dot.
    const std::pair<double, double> posti[] = {{0, -8}, {0, 16}, {w / 2 + 7, 4}, {-w / 2 - 7, 4}, {0, -20}, {0, 28}};
    for (const auto& [dx, dy] : posti) {
      const std::array<double, 4> r{X + dx - w / 2, Y + dy - kCorpo, X + dx + w / 2, Y + dy + 2};
      bool libero = r[1] > alto && r[3] < alto + h && r[0] > p.x0 && r[2] < p.x0 + p.larghezza;
      for (const auto& q : riquadri) {
        if (r[0] < q[2] && q[0] < r[2] && r[1] < q[3] && q[1] < r[3]) libero = false;
      }
      if (!libero) continue;
      riquadri.push_back(r);
      p.s += "<text class=\"etichetta-pianta\" x=\"" + num(X + dx) + "\" y=\"" + num(Y + dy) + "\">" + svg::testo(t) +
             "</text>\n";
      messa = true;
      break;
    }
    if (!messa) p.omessa("nomi nella pianta");
  }
  const double metri_barra = passo_tondo(lw / scala / 8);
  const double xb0 = p.x0 + 16, yb0 = alto + h - 14;
  p.s += "<g id=\"barra-scala\" data-metri=\"" + num(metri_barra) + "\">\n<rect class=\"barra\" x=\"" + num(xb0) +
         "\" y=\"" + num(yb0) + "\" width=\"" + num(metri_barra * scala) + "\" height=\"5\"/>\n<text class=\"scala-pianta\" x=\"" +
         num(xb0 + metri_barra * scala + 6) + "\" y=\"" + num(yb0 + 6) + "\">" +
         (metri_barra >= 1000 ? km(metri_barra, 1000) + " km" : num(metri_barra) + " m") + "</text>\n</g>\n";
  p.s += "</g>\n";
  p.y += h + 10;
}

// --------------------------------------------------------------------------

void asse(pagina& p, double cima, double fondo, int64_t fine_linea) {
  const double passo = passo_tondo((p.a - p.da) / 16);
  std::string griglia, etichette;
  for (double m = std::ceil(p.da / passo) * passo; m <= p.a + 1e-9; m += passo) {
    const double x = p.X(m);
    griglia += "M" + num(x) + " " + num(cima) + "V" + num(fondo);
    etichette += "<text class=\"km\" x=\"" + num(x) + "\" y=\"" + num(fondo + 14) + "\">" + km(m, passo) + "</text>\n";
  }
  p.s += "<path class=\"griglia-km\" d=\"" + griglia + "\"/>\n" + etichette;
  p.s += "<text class=\"nome-striscia\" x=\"8\" y=\"" + num(fondo + 14) + "\">km</text>\n";
  if (fine_linea > 0 && p.dentro(static_cast<double>(fine_linea))) {
    const double x = p.X(static_cast<double>(fine_linea));
    p.s += "<line class=\"fine-linea\" data-m=\"" + intero(fine_linea) + "\" x1=\"" + num(x) + "\" y1=\"" +
           num(cima) + "\" x2=\"" + num(x) + "\" y2=\"" + num(fondo) + "\"/>\n<text class=\"etichetta\" x=\"" +
           num(x - 3) + "\" y=\"" + num(fondo + 26) + "\" text-anchor=\"end\">fine della linea</text>\n";
  }
}

constexpr const char* kStile =
    "<style>\n"
    "text{font-family:sans-serif;font-size:10px;fill:#222}\n"
    ".titolo{font-size:17px;font-weight:bold}.sottotitolo{font-size:11px;fill:#444}\n"
    ".nome-striscia{font-size:12px;font-weight:bold}.unita{font-size:10px;fill:#666}\n"
    ".scala{font-size:9px;fill:#666;text-anchor:end}.km{font-size:10px;text-anchor:middle}\n"
    ".fondo{fill:#f7f7f4;stroke:#ccc;stroke-width:0.5}.fondo-pianta{fill:#fbfbf8;stroke:#ccc;stroke-width:0.5}\n"
    ".zero,.griglia{stroke:#bbb;stroke-width:0.5}.griglia-km{stroke:#000;stroke-opacity:0.12;stroke-width:0.6}\n"
    ".pendenza{fill:none;stroke:#2a6f97;stroke-width:1.2}.quota{fill:none;stroke:#6a4c93;stroke-width:1.4}\n"
    ".gradino-pendenza{stroke:#2a6f97;stroke-width:0.8}\n"
    ".velocita{fill:none;stroke:#c1121f;stroke-width:1.6}.gradino-velocita{stroke:#c1121f;stroke-width:1}\n"
    ".valore-velocita{font-size:9px;fill:#c1121f}.cartello-vmax{fill:#fff;stroke:#c1121f}\n"
    ".etichetta-vmax{font-size:9px}\n"
    ".aderenza{fill:none;stroke:#2d6a4f;stroke-width:1.4}.gradino-aderenza{stroke:#2d6a4f}\n"
    ".valore-aderenza{font-size:9px;fill:#2d6a4f}\n"
    ".curva{stroke:#333;stroke-width:0.3}.etichetta-curva{font-size:9px}\n"
    ".montagna{fill:#b08968}.galleria{fill:#3d3d3d}\n"
    ".zona-stazione{fill:#9ecae1;stroke:#3182bd;stroke-width:0.5}.stazione{stroke:#08519c;stroke-width:1.5}\n"
    ".etichetta-stazione{fill:#08519c;font-size:10.5px}\n"
    ".segnale{fill:#e63946;stroke:#6a040f;stroke-width:0.5}\n"
    ".rallentamento{fill:#ffb703;stroke:#fb8500}.avviso{fill:#fb8500}.preavviso{stroke:#fb8500;stroke-width:1.5}\n"
    ".abbattimento{stroke:#777;stroke-width:0.8}.etichetta-avviso{font-size:9px}\n"
    ".cartello{fill:#fff;stroke:#555;stroke-width:0.7}\n"
    ".linea-pianta{fill:none;stroke:#555;stroke-width:2}\n"
    ".curva-destra{fill:none;stroke:#e4572e;stroke-width:3}.curva-sinistra{fill:none;stroke:#1d70a2;stroke-width:3}\n"
    ".galleria-pianta{fill:none;stroke:#000;stroke-width:6;stroke-opacity:0.75}\n"
    ".montagna-pianta{fill:none;stroke:#b08968;stroke-width:6;stroke-opacity:0.75}\n"
    ".stazione-pianta{fill:#fff;stroke:#08519c;stroke-width:2}.segnale-pianta{fill:#e63946}\n"
    ".etichetta-pianta{text-anchor:middle;font-weight:bold;fill:#08519c;stroke:#fbfbf8;stroke-width:3px;"
    "stroke-linejoin:round;paint-order:stroke}.estremo{text-anchor:middle;fill:#666}\n"
    ".barra{fill:#333}.scala-pianta{font-size:10px}\n"
    ".fine-linea{stroke:#000;stroke-dasharray:4 3;stroke-width:0.8}\n"
    ".assente{fill:#a00;font-style:italic}.vuoto{fill:#888;font-style:italic}.legenda{font-size:10px;fill:#333}\n"
    "</style>\n";

}  // namespace

dati_grafico dati_dal_modello(const modello& m) {
  dati_grafico d;
  d.voci = m.voci;
  d.celle = m.celle;
  d.piano = tabella_piano(m.piano);
  return d;
}

int64_t fine_tracciato(const dati_grafico& d) {
  const int64_t celle = d.celle.empty() ? 0 : static_cast<int64_t>(d.celle.size() - 1) * 50;
  const int64_t piano = static_cast<int64_t>(std::min(d.piano.x.size(), d.piano.y.size())) - 1;
  return std::max(celle, piano);
}

std::vector<int> voci_stazioni(const dati_grafico& d) {
  std::set<int> testi;
  for (const cella& c : d.celle) {
    if (c.tipo == cella_cartello) testi.insert(c.dato1);
  }
  std::vector<int> r;
  for (int i = 1; i <= 80; ++i) {
    const voce& v = d.voci[static_cast<std::size_t>(i)];
    const bool vuota = v.tipo == 0 && v.inizio == 0 && v.fine == 0 && v.posizione == 0 && v.nome.empty() &&
                       v.orario == 0 && v.attributo_1 == 0 && v.attributo_4 == 0 && v.gruppo_1a == 0 &&
                       v.gruppo_2a == 0;
    if (vuota || testi.count(i) != 0) break;
    r.push_back(i);
  }
  return r;
}

grafico disegna_grafico(const dati_grafico& d, const opzioni_grafico& o) {
  if (d.celle.empty()) throw errore_grafico("nessuna cella: il tracciato è vuoto");
  const int64_t fine = fine_tracciato(d);
  grafico g;
  g.da = o.da.value_or(0);
  g.a = std::min(o.a.value_or(fine), fine);
  if (g.da < 0) throw errore_grafico("--from prima dell'origine: " + intero(g.da) + " m");
  if (g.da >= fine) {
    throw errore_grafico("--from oltre la fine del tracciato (" + intero(fine) + " m): " + intero(g.da) + " m");
  }
  if (g.a <= g.da) throw errore_grafico("tratto vuoto: da " + intero(g.da) + " a " + intero(g.a) + " m");

  pagina p;
  p.da = static_cast<double>(g.da);
  p.a = static_cast<double>(g.a);
  const std::vector<curva_ricostruita> curve = curve_dal_piano(d.piano);
  const std::vector<int> stazioni = voci_stazioni(d);

  const std::string linea = utf8(d.voci[85].nome), treno = utf8(d.voci[86].nome);
  p.s += "<text class=\"titolo\" x=\"8\" y=\"24\">" +
         svg::testo((linea.empty() ? std::string("Scenario") : linea) + (treno.empty() ? "" : " · treno " + treno)) +
         "</text>\n";
  p.s += "<text class=\"sottotitolo\" x=\"8\" y=\"42\">" +
         svg::testo("da " + intero(g.da) + " m a " + intero(g.a) + " m · linea di " + intero(d.voci[84].fine) +
                    " m, tracciato di " + intero(fine) + " m · " + std::to_string(stazioni.size()) + " stazioni") +
         "</text>\n";
  p.y = 56;
  pianta(p, d, curve, stazioni);
  const double cima = p.y;
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
  const double fondo = p.y - 6;
  asse(p, cima, fondo, d.voci[84].fine);
  p.y = fondo + 44;

  // The legend.
  std::vector<std::string> righe = {
      "Curve ricavate dalla pianta (rotazione per metro): classe 1–6 = 0,0001 · 0,0002 · 0,0004 · 0,001 · 0,002 · "
      "0,003 rad/m; d destra, s sinistra, R raggio in m. Pianta: curve a destra in rosso, a sinistra in blu, "
      "gallerie in nero.",
      "Velocità: velocita_max × 5 km/h; cartelli di velocità massima: velocità a/b/c del gruppo s (+ gruppo d), "
      "≡ strisce. Segnali: dato1/dato2/dato3 (s·10+d degli aspetti) · dato4 (rapp·10+sx·3+dx) · tempo.",
      "Quota: somma delle pendenze cella per cella, zero all'origine. Rallentamenti: tratto inizio–fine con la "
      "velocità, A avviso, P1–P4 preavvisi, tacche grigie abbattimenti. I testi troppo lunghi finiscono in «…»."};
  if (p.omesse.empty()) {
    righe.push_back("Tutte le etichette sono mostrate.");
  } else {
    std::string t = "Etichette omesse perché non si sovrappongano:";
    bool primo = true;
    for (const auto& [tipo, n] : p.omesse) {
      t += (primo ? " " : ", ") + std::to_string(n) + " " + tipo;
      primo = false;
      g.omesse.emplace_back(tipo, n);
    }
    righe.push_back(t + ". Un tratto più breve (--from, --to) le mostra.");
  }
  for (std::size_t i = 0; i < righe.size(); ++i) {
    p.s += "<text class=\"legenda\"" + std::string(i + 1 == righe.size() ? " id=\"nota-etichette\"" : "") +
           " x=\"8\" y=\"" + num(p.y + 14.0 * static_cast<double>(i)) + "\">" + svg::testo(righe[i]) + "</text>\n";
  }
  const double altezza = p.y + 14.0 * static_cast<double>(righe.size()) + 4;

  g.svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
          num(kLarghezza) + "\" height=\"" + num(altezza) + "\" viewBox=\"0 0 " + num(kLarghezza) + " " +
          num(altezza) + "\">\n<title>" + svg::testo(linea + (treno.empty() ? "" : " · " + treno)) + "</title>\n" +
          kStile + "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n" + p.s + "</svg>\n";
  return g;
}

}  // namespace scenario
