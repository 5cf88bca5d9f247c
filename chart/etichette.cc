#include "chart/etichette.h"

#include "reader/posizioni_scritte.h"

namespace scenario {
namespace {

std::string n(int v) { return std::to_string(v); }

}  // namespace

std::string etichetta_segnale(const cella& c) {
  std::string t;
  if (const auto v = segnale_scritto(c)) {
    t = n(v->sx) + " " + n(v->s1) + " " + n(v->s2) + " " + n(v->s3) + " / " + n(v->dx) + " " + n(v->d1) + " " +
        n(v->d2) + " " + n(v->d3);
    if (v->rapp != 0) t += " · rapp " + n(v->rapp);
  } else {
    t = n(c.dato1) + "/" + n(c.dato2) + "/" + n(c.dato3) + " · " + n(c.dato4);
  }
  if (c.tempo_segnale) t += " · " + n(c.tempo_segnale);
  return t;
}

std::string titolo_oggetto(const cella& c, std::size_t k) {
  const auto w = posizione_scritta_di(c, k);
  if (!w) return "";
  std::string t = "cella " + std::to_string(k) + " (" + std::to_string(static_cast<int64_t>(k) * 50) +
                  " m), scritto: " + testo_posizione_scritta(*w);
  if (c.tipo == cella_segnale) {
    t += ": " + etichetta_segnale(c) + " (dato1 " + n(c.dato1) + ", dato2 " + n(c.dato2) + ", dato3 " + n(c.dato3) +
         ", dato4 " + n(c.dato4) + ", tempo " + n(c.tempo_segnale) + ")";
  }
  return t;
}

}  // namespace scenario
