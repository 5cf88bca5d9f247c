// The objects of the chart: every station, signal, slowdown, curve, gradient
// stretch, speed stretch, adhesion stretch, sign and mountain span, with
// where it stands, the label the chart writes for it and its values in
// full. The SVG strips label their objects with the functions below and the
// interactive view lists the objects themselves, so the two say the same.
#ifndef CHART_OGGETTI_H_
#define CHART_OGGETTI_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "chart/etichette.h"
#include "chart/grafico.h"
#include "compiler/modello.h"
#include "reader/curve.h"

namespace scenario {

enum class genere_oggetto : uint8_t {
  stazione,
  segnale,
  rallentamento,
  avviso,        // a slowdown's warning board
  preavviso,     // one of a slowdown's four early-warning boards
  abbattimento,  // a slowdown's end mark
  curva,
  pendenza,      // a stretch of one gradient
  velocita,      // a stretch of one speed limit
  aderenza,      // a stretch of one adhesion
  cartello_vmax,
  cartello,      // a sign with text
  montagna,      // a mountain span; a tunnel when it holds markers
};

// The name of a kind as the view's data writes it ("stazione", ...).
const char* nome_genere(genere_oggetto g);

struct oggetto_grafico {
  genere_oggetto genere = genere_oggetto::stazione;
  int64_t da = 0;          // metres: where it stands, or where it starts
  int64_t a = 0;           // metres: where it ends; da for a point
  int32_t cella = -1;      // its cell, or its span's first; -1 for none
  int32_t celle = 0;       // how many cells it spans (1 for a point on a cell)
  int32_t voce = -1;       // its item (stations, text signs); -1 for none
  double valore = 0;       // the number a strip plots: per mille, km/h, class...
  std::string etichetta;   // the label the chart writes, UTF-8
  std::string valori;      // its values in full, as written where they can be told
  const provenienza* record = nullptr;  // the record that made it, when compiled here
};

// Every object of the scenario, in kind order and, within a kind, along
// the line. `curve` and `stazioni` as the chart computes them.
std::vector<oggetto_grafico> oggetti_grafico(const dati_grafico& d, const std::vector<curva_ricostruita>& curve,
                                             const std::vector<int>& stazioni);

// The labels the chart writes (a signal's: chart/etichette.h).
std::string etichetta_vmax(const cella& c);
std::string nome_curva(const curva_ricostruita& c);      // "d3", "s?"
std::string etichetta_curva(const curva_ricostruita& c); // "d3 R1000"
std::string etichetta_stazione(const voce& v);           // name and time
// The text of the sign on cell `c` (its item's name), or "voce N".
std::string testo_cartello(const dati_grafico& d, const cella& c);

// A slowdown: its start cell paired with the next end cell (the start again
// when none follows).
struct tratto_rallentamento {
  std::size_t inizio = 0;
  std::size_t fine = 0;
};
std::vector<tratto_rallentamento> rallentamenti(const std::vector<cella>& celle);

// The cells whose gradient the line description set: the compiler leaves
// the last cells of the track (at most three) at 0.
std::size_t celle_con_pendenza(const std::vector<cella>& celle);

}  // namespace scenario

#endif  // CHART_OGGETTI_H_
