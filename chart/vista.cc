#include "chart/vista.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "chart/grafico_pagina.h"
#include "chart/oggetti.h"
#include "chart/vista_sorgenti.h"
#include "compiler/voci.h"
#include "reader/curve.h"

namespace scenario {

using namespace grafico_interno;
using json = nlohmann::json;

namespace {

// A value dumped into the page's script: any "<" (only ever inside a
// string) is escaped, so that no text of the scenario can close the script
// element or open a comment.
void aggiungi(std::string& s, const json& j) {
  const std::string t = j.dump(-1, ' ', false, json::error_handler_t::replace);
  for (char c : t) {
    if (c == '<') {
      s += "\\u003c";
    } else {
      s += c;
    }
  }
}

double decimo(double v) { return std::nearbyint(v * 10) / 10; }

// The plan every `passo` metres and at its last metre, and the curves, in
// one walk of the plan.
struct pianta_vista {
  int64_t passo = 1;
  std::vector<double> xy;  // NaN for a missing point
  std::vector<curva_ricostruita> curve;
};

pianta_vista pianta_campionata(const dati_grafico& d) {
  pianta_vista p;
  if (!d.piano || d.piano->metri() <= 0) return p;
  const int64_t n = d.piano->metri();
  p.passo = std::max<int64_t>(1, (n + static_cast<int64_t>(kPuntiPiantaVista) - 1) /
                                     static_cast<int64_t>(kPuntiPiantaVista));
  ricostruttore_curve curve;
  d.piano->percorri([&](const riga_piano& r) {
    curve.aggiungi(r);
    if (r.metro % p.passo == 0 || r.metro == n - 1) {
      const bool buono = std::isfinite(r.x) && std::isfinite(r.y) && std::fabs(r.x) < 1e12 && std::fabs(r.y) < 1e12;
      p.xy.push_back(buono ? decimo(r.x) : NAN);
      p.xy.push_back(buono ? decimo(r.y) : NAN);
    }
    return true;
  });
  p.curve = curve.finisci();
  return p;
}

void scrivi_pianta(std::string& s, const pianta_vista& p) {
  s += "{\"passo\":" + std::to_string(p.passo) + ",\"xy\":[";
  for (std::size_t i = 0; i < p.xy.size(); ++i) {
    if (i) s += ',';
    aggiungi(s, std::isnan(p.xy[i]) ? json(nullptr) : json(p.xy[i]));
  }
  s += "]}";
}

void scrivi_oggetti(std::string& s, const std::vector<oggetto_grafico>& oggetti) {
  s += "\"campi\":[\"genere\",\"da\",\"a\",\"cella\",\"celle\",\"voce\",\"valore\",\"etichetta\",\"valori\","
       "\"file\",\"riga\",\"scritto\"],\n\"oggetti\":[";
  bool primo = true;
  for (const oggetto_grafico& o : oggetti) {
    s += primo ? "\n" : ",\n";
    primo = false;
    json j = json::array({nome_genere(o.genere), o.da, o.a, o.cella, o.celle, o.voce, o.valore, o.etichetta,
                          o.valori, o.record ? o.record->file : 0, o.record ? o.record->riga : 0,
                          o.record ? json(o.record->metro) : json(nullptr)});
    aggiungi(s, j);
  }
  s += "]";
}

// The elevation at each gradient change and at the end of the track.
void scrivi_quota(std::string& s, const dati_grafico& d) {
  const std::vector<double> z = quote_celle(d.celle);
  s += "[";
  for (std::size_t k = 0; k < z.size(); ++k) {
    // The first and the last two points, where the track's end cells may
    // count as level, and every change of gradient between them.
    const bool cambio = k == 0 || k + 2 >= z.size() || d.celle[k].pendenza != d.celle[k - 1].pendenza;
    if (!cambio) continue;
    if (k) s += ',';
    aggiungi(s, json::array({static_cast<int64_t>(k) * 50, decimo(z[k])}));
  }
  s += "]";
}

void scrivi_diagnosi(std::string& s, const std::vector<diagnosi>& elenco) {
  s += "[";
  bool primo = true;
  for (const diagnosi& x : elenco) {
    s += primo ? "\n" : ",\n";
    primo = false;
    aggiungi(s, json{{"errore", x.errore},
                     {"codice", x.codice},
                     {"posizione", x.posizione},
                     {"con_posizione", x.con_posizione},
                     {"file", x.file},
                     {"riga", x.riga},
                     {"testo", x.testo}});
  }
  s += "]";
}

void scrivi_dati(std::string& s, const dati_grafico& d, const opzioni_vista& o) {
  const pianta_vista p = pianta_campionata(d);
  const std::vector<int> stazioni = voci_stazioni(d);
  const std::string linea = d.nome_linea.value_or(utf8(d.voci[voce_linea].nome));
  const std::string treno = d.numero_treno.value_or(utf8(d.voci[voce_treno].nome));
  s += "{\"titolo\":";
  aggiungi(s, (linea.empty() ? std::string("Scenario") : linea) + (treno.empty() ? "" : " · treno " + treno));
  s += ",\"fine_tracciato\":" + std::to_string(fine_tracciato(d)) +
       ",\"fine_linea\":" + std::to_string(d.voci[voce_lunghezza_convoglio].fine) + ",\"file\":";
  aggiungi(s, json::array({"", o.file_linea, o.file_treno}));
  s += ",\n";
  scrivi_oggetti(s, oggetti_grafico(d, p.curve, stazioni));
  s += ",\n\"pianta\":";
  scrivi_pianta(s, p);
  s += ",\n\"quota\":";
  scrivi_quota(s, d);
  s += ",\n\"inizio\":";
  aggiungi(s, json::array({o.da ? json(*o.da) : json(nullptr), o.a ? json(*o.a) : json(nullptr)}));
  s += ",\n\"diagnosi\":";
  scrivi_diagnosi(s, o.diagnostica);
  s += "}\n";
}

}  // namespace

std::string dati_vista(const dati_grafico& d, const opzioni_vista& o) {
  std::string s;
  scrivi_dati(s, d, o);
  return s;
}

std::string pagina_vista(const dati_grafico& d, const opzioni_vista& o) {
  if (d.celle.empty()) throw errore_grafico("nessuna cella: il tracciato è vuoto");
  const std::string linea = d.nome_linea.value_or(utf8(d.voci[voce_linea].nome));
  std::string s;
  s.reserve(std::string_view(kVistaHtmlPrima).size() + std::string_view(kVistaCss).size() +
            std::string_view(kVistaJs).size() + 64 * 1024);
  s += "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
  // The title as text: the few characters that HTML reads as markup escaped.
  for (char c : linea.empty() ? std::string("Scenario") : linea) {
    if (c == '<') s += "&lt;";
    else if (c == '&') s += "&amp;";
    else s += c;
  }
  s += " · vista</title>\n<style>\n";
  s += kVistaCss;
  s += "</style>\n</head>\n<body>\n";
  s += kVistaHtmlPrima;
  s += "<script type=\"application/json\" id=\"dati\">\n";
  scrivi_dati(s, d, o);
  s += "</script>\n<script>\n";
  s += kVistaJs;
  s += "</script>\n</body>\n</html>\n";
  return s;
}

}  // namespace scenario
