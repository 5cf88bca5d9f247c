// The chart of a compiled scenario: one standalone SVG page with the plan of
// the line and, under it, strips along a shared axis in metres (gradient,
// elevation, curves, mountains, speed limits and signs, adhesion, stations,
// signals, slowdowns, signs with text). It draws the decoded tables, so the
// same picture comes from the three binary files and from a compile in
// memory.
#ifndef CHART_GRAFICO_H_
#define CHART_GRAFICO_H_

#include <array>
#include <memory>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "compiler/modello.h"
#include "reader/decodifica.h"
#include "reader/piano.h"

namespace scenario {

// A stretch that cannot be drawn, or tables with no track.
class errore_grafico : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the chart is drawn from: the item and track tables and, when the
// scenario has one, the line geometry as a stream of rows (none, or none
// with no rows: no plan, no curves). The chart walks the plan twice, once
// for the curves and once for the points it draws, and holds no more of it
// than those.
struct dati_grafico {
  std::array<voce, kNumeroVoci> voci{};
  std::vector<cella> celle;
  std::shared_ptr<const sorgente_piano> piano;
  // The identity in the title, UTF-8; by default the names that the item
  // table holds (entries 85 and 86).
  std::optional<std::string> nome_linea;
  std::optional<std::string> numero_treno;
  // When drawn from a compile: the record that placed each object.
  std::vector<provenienza> provenienze;
};

// The tables of the model; the plan is read from the model's plan tables,
// so the model must outlive the result.
dati_grafico dati_dal_modello(const modello& m);

struct opzioni_grafico {
  std::optional<int64_t> da;  // metres; default the origin
  std::optional<int64_t> a;   // metres; default the end of the track
};

struct grafico {
  std::string svg;
  int64_t da = 0;
  int64_t a = 0;
  // Labels left out so that the others stay legible, by kind; also said in
  // the chart's legend.
  std::vector<std::pair<std::string, int>> omesse;
};

// The end of the track in metres: the last cell's start or the last metre of
// the geometry, whichever lies further.
int64_t fine_tracciato(const dati_grafico& d);

// The stations: entries 1 upward of the item table, up to the first that is
// empty or holds the text of a sign.
std::vector<int> voci_stazioni(const dati_grafico& d);

// errore_grafico when there are no cells, when `da` is negative or past the
// end of the track, or when the stretch is empty; `a` past the end is cut to
// the end. Whatever the plan's source throws while it is walked comes
// through.
grafico disegna_grafico(const dati_grafico& d, const opzioni_grafico& o);

}  // namespace scenario

#endif  // CHART_GRAFICO_H_
