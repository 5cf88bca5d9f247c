// Inside the chart: the page being written and the helpers that the plan,
// the strips and the page's assembly share. Only the chart's own files
// include this.
#ifndef CHART_GRAFICO_PAGINA_H_
#define CHART_GRAFICO_PAGINA_H_

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "reader/curve.h"
#include "chart/grafico.h"

namespace scenario::grafico_interno {

inline constexpr double kMetriCella = 50;
inline constexpr double kLarghezza = 1600;  // page width, px
inline constexpr double kSinistra = 150;    // left margin, where the strips' names stand
inline constexpr double kDestra = 24;
inline constexpr double kCorpo = 10;        // font size of the labels, px
// Advance of a character of a generic sans-serif face, in ems, on the
// generous side (digits and capitals of the common faces are 0.6 to 0.7):
// labels are measured with it to keep them apart. Bold is wider still.
inline constexpr double kCarattere = 0.66;
inline constexpr double kGrassetto = 0.78;

std::string intero(int64_t v);
// hh:mm:ss; empty for no time (0 or less).
std::string ora(int32_t secondi);
// Kilometres with as many decimals as a grid of `passo` metres needs.
std::string km(double metri, double passo);
// 1, 2 or 5 times a power of ten, the first at least `v`.
double passo_tondo(double v);
std::string utf8(const std::string& ansi);
// A label of at most `massimo` characters: longer ones end in "…".
std::string accorcia(const std::string& utf8_testo, std::size_t massimo);
std::size_t lunghezza_utf8(const std::string& s);
double larghezza_testo(const std::string& s, double corpo = kCorpo);

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

  double X(double metri) const { return x0 + (metri - da) / (a - da) * larghezza; }
  bool dentro(double metri) const { return metri >= da && metri <= a; }
  void omessa(const std::string& tipo) { ++omesse[tipo]; }
};

// The mountain spans: runs of cells of the same mountain kind; a run that
// carries mountain markers is a tunnel.
struct tratto_montagna {
  std::size_t primo = 0;
  std::size_t fine = 0;  // one past the last cell
  int tipo = 0;
  bool galleria = false;
};
std::vector<tratto_montagna> montagne(const std::vector<cella>& celle);

// The elevation at the start of each cell and at the end of the last, from
// the origin's: the gradients summed cell by cell.
std::vector<double> quote_celle(const std::vector<cella>& celle);

// The plan, at the top of the page.
void pianta(pagina& p, const dati_grafico& d, const std::vector<curva_ricostruita>& curve,
            const std::vector<int>& stazioni);

// The strips under the plan, in their order, from p.y down.
void strisce(pagina& p, const dati_grafico& d, const std::vector<curva_ricostruita>& curve,
             const std::vector<int>& stazioni);

}  // namespace scenario::grafico_interno

#endif  // CHART_GRAFICO_PAGINA_H_
