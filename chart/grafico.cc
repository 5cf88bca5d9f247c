// The chart's page: the shared helpers, the axis, the style, the legend, and
// the assembly of the plan and the strips into one SVG document.
#include "chart/grafico.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "compiler/tracciato.h"
#include "platform/cp1252.h"
#include "reader/curve.h"
#include "chart/grafico_pagina.h"
#include "chart/svg.h"
#include "compiler/voci.h"

namespace scenario {
namespace grafico_interno {

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

double passo_tondo(double v) {
  if (!(v > 0)) return 1;
  const double p = std::pow(10.0, std::floor(std::log10(v)));
  for (double f : {1.0, 2.0, 5.0, 10.0}) {
    if (f * p >= v) return f * p;
  }
  return 10 * p;
}

std::string utf8(const std::string& ansi) { return cp1252_in_utf8(ansi); }

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

double larghezza_testo(const std::string& s, double corpo) {
  return static_cast<double>(lunghezza_utf8(s)) * corpo * kCarattere;
}

}  // namespace grafico_interno

using namespace grafico_interno;
using svg::num;

namespace {

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
  d.provenienze = m.provenienze;
  // The model keeps the plan as its steps: the rows are computed again at
  // each walk, never held.
  d.piano = piano_da_procedura(m.piano.righe, [&p = m.piano](const ricevi_riga& riga) {
    const auto valore = [](const numero_etichettato& n) {
      return n.etichetta == numero_etichettato::vuoto ? std::numeric_limits<double>::quiet_NaN() : n.come_reale();
    };
    percorri_piano(p, [&](const riga_geometria& r) { return riga({r.metro, valore(r.x), valore(r.y)}); });
  });
  return d;
}

int64_t fine_tracciato(const dati_grafico& d) {
  const int64_t celle = d.celle.empty() ? 0 : static_cast<int64_t>(d.celle.size() - 1) * 50;
  const int64_t piano = (d.piano ? d.piano->metri() : 0) - 1;
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

namespace {

// The stretch asked for, checked against the track.
grafico tratto_chiesto(const dati_grafico& d, const opzioni_grafico& o, int64_t fine) {
  if (d.celle.empty()) throw errore_grafico("nessuna cella: il tracciato è vuoto");
  grafico g;
  g.da = o.da.value_or(0);
  g.a = std::min(o.a.value_or(fine), fine);
  if (g.da < 0) throw errore_grafico("--from prima dell'origine: " + intero(g.da) + " m");
  if (g.da >= fine) {
    throw errore_grafico("--from oltre la fine del tracciato (" + intero(fine) + " m): " + intero(g.da) + " m");
  }
  if (g.a <= g.da) throw errore_grafico("tratto vuoto: da " + intero(g.da) + " a " + intero(g.a) + " m");
  return g;
}

void intestazione(pagina& p, const dati_grafico& d, const grafico& g, int64_t fine, std::size_t stazioni,
                  const std::string& linea, const std::string& treno) {
  p.s += "<text class=\"titolo\" x=\"8\" y=\"24\">" +
         svg::testo((linea.empty() ? std::string("Scenario") : linea) + (treno.empty() ? "" : " · treno " + treno)) +
         "</text>\n";
  p.s += "<text class=\"sottotitolo\" x=\"8\" y=\"42\">" +
         svg::testo("da " + intero(g.da) + " m a " + intero(g.a) + " m · linea di " + intero(d.voci[voce_lunghezza_convoglio].fine) +
                    " m, tracciato di " + intero(fine) + " m · " + std::to_string(stazioni) + " stazioni") +
         "</text>\n";
}

// The legend under the axis, from p.y; returns the page's height. The
// labels left out go to `g` as well.
double legenda(pagina& p, grafico& g) {
  std::vector<std::string> righe = {
      "Curve ricavate dalla pianta (rotazione per metro): classe 1–6 = 0,0001 · 0,0002 · 0,0004 · 0,001 · 0,002 · "
      "0,003 rad/m; d destra, s sinistra, R raggio in m. Pianta: curve a destra in rosso, a sinistra in blu, "
      "gallerie in nero.",
      "Velocità: velocita_max × 5 km/h; cartelli di velocità massima: velocità a/b/c del gruppo s (+ gruppo d), "
      "≡ strisce. Segnali: i valori scritti sx s1 s2 s3 / dx d1 d2 d3 · tempo (i codici dato1/dato2/dato3 · dato4 "
      "quando non si separano). Ogni oggetto dice sotto il puntatore la posizione della cella e quella scritta.",
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
  return p.y + 14.0 * static_cast<double>(righe.size()) + 4;
}

}  // namespace

grafico disegna_grafico(const dati_grafico& d, const opzioni_grafico& o) {
  const int64_t fine = fine_tracciato(d);
  grafico g = tratto_chiesto(d, o, fine);
  pagina p;
  p.da = static_cast<double>(g.da);
  p.a = static_cast<double>(g.a);
  const std::vector<curva_ricostruita> curve = d.piano ? curve_dal_piano(*d.piano) : std::vector<curva_ricostruita>{};
  const std::vector<int> stazioni = voci_stazioni(d);

  const std::string linea = d.nome_linea.value_or(utf8(d.voci[voce_linea].nome));
  const std::string treno = d.numero_treno.value_or(utf8(d.voci[voce_treno].nome));
  intestazione(p, d, g, fine, stazioni.size(), linea, treno);
  p.y = 56;
  pianta(p, d, curve, stazioni);
  const double cima = p.y;
  strisce(p, d, curve, stazioni);
  const double fondo = p.y - 6;
  asse(p, cima, fondo, d.voci[voce_lunghezza_convoglio].fine);
  p.y = fondo + 44;
  const double altezza = legenda(p, g);

  g.svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
          num(kLarghezza) + "\" height=\"" + num(altezza) + "\" viewBox=\"0 0 " + num(kLarghezza) + " " +
          num(altezza) + "\">\n<title>" + svg::testo(linea + (treno.empty() ? "" : " · " + treno)) + "</title>\n" +
          kStile + "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n" + p.s + "</svg>\n";
  return g;
}

}  // namespace scenario
