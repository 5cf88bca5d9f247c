// The interactive view of a scenario: one self-contained HTML page, its
// data, script and style inline and no reference outside the file, that
// shows the chart's plan and strips on one axis in metres, with pan, zoom,
// hover, the compile's diagnostics and search. The data is the chart's own
// objects (chart/oggetti.h), written as JSON.
#ifndef CHART_VISTA_H_
#define CHART_VISTA_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chart/grafico.h"
#include "compiler/diagnostica.h"

namespace scenario {

struct opzioni_vista {
  // The faults and warnings of the compile the data comes from.
  std::vector<diagnosi> diagnostica;
  // The author's names of the line and train descriptions, for the records'
  // file and line; empty when the data comes from the binary files.
  std::string file_linea;
  std::string file_treno;
  // The stretch shown when the page opens, metres; the whole track when not
  // given.
  std::optional<int64_t> da;
  std::optional<int64_t> a;
};

// At most this many points of the plan go to the page, evenly spaced along
// it, so that the longest line keeps a small page.
inline constexpr std::size_t kPuntiPiantaVista = 20000;

// The data the page draws, as one JSON object:
//   titolo, fine_tracciato, fine_linea (metres), file (names of records' files 1
//   and 2), campi (the names of an object's fields) and oggetti (one array
//   each, fields in that order), pianta {passo, xy: x0, y0, x1, ...; null for
//   a missing point}, quota ([metro, m] at each gradient change and at the
//   end), diagnosi.
// Whatever the plan's source throws while it is walked comes through.
std::string dati_vista(const dati_grafico& d, const opzioni_vista& o);

// The page. errore_grafico when there are no cells.
std::string pagina_vista(const dati_grafico& d, const opzioni_vista& o);

}  // namespace scenario

#endif  // CHART_VISTA_H_
