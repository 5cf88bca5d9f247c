#include "reader/posizioni_scritte.h"

namespace scenario {

std::optional<posizione_scritta> posizione_scritta_di(const cella& c, std::size_t k) {
  const auto m = static_cast<int64_t>(k) * 50;
  switch (c.tipo) {
    case cella_segnale:
      return posizione_scritta{"segnale, posizione", m - 50, ""};
    case cella_indicatore_v_max:
      return posizione_scritta{"indicatori_vmax, posizione", m - 50, ""};
    case cella_cartello:
      return posizione_scritta{"cartello_indicatore, posizione", m - 50, ""};
    case cella_inizio_rallentamento:
      return posizione_scritta{"rallentamento, x", m - 50, ""};
    case cella_fine_rallentamento:
      return posizione_scritta{"rallentamento, x + l", m - 50, ""};
    case cella_avviso_rallentamento:
      return posizione_scritta{"rallentamento, x", m - 50 + 1200, "il suo avviso, 1200 m prima"};
    case cella_preavviso:
      // The pre-warning n (1 to 4) stands n - 1 cells before cell
      // round((x - 1200) / 50).
      return posizione_scritta{"rallentamento, x", m + (int64_t{c.dato1} - 1) * 50 + 1200,
                               "il suo preavviso " + std::to_string(c.dato1)};
    case cella_abbattimento:
    case cella_abbattimento_zero:
      return posizione_scritta{"abbattimento, posizione", m, "o un marcatore del completamento"};
    case cella_stazione:
      return posizione_scritta{"stazione, fine della zona", m + 50, "il segnaposto"};
    default:
      return std::nullopt;
  }
}

std::string testo_posizione_scritta(const posizione_scritta& p) {
  return p.cosa + " = " + std::to_string(p.metri) + " m" + (p.nota.empty() ? "" : " (" + p.nota + ")");
}

std::optional<valori_segnale> segnale_scritto(const cella& c) {
  for (int16_t d : {c.dato1, c.dato2, c.dato3, c.dato4}) {
    if (d < 0 || d > 99) return std::nullopt;
  }
  valori_segnale v;
  v.s1 = c.dato1 / 10;
  v.d1 = c.dato1 % 10;
  v.s2 = c.dato2 / 10;
  v.d2 = c.dato2 % 10;
  v.s3 = c.dato3 / 10;
  v.d3 = c.dato3 % 10;
  v.rapp = c.dato4 / 10;
  v.sx = (c.dato4 % 10) / 3;
  v.dx = (c.dato4 % 10) % 3;
  return v;
}

}  // namespace scenario
