#include "common/nomi.h"
#include "texts/testi.h"

namespace scenario {
namespace {

// An empty timetable row, and the rule under the timetable's head and rows.
constexpr const char* kRiga = " |     |     |          |     |                            |                |     |";
constexpr const char* kRegolo = " |_____|_____|__________|_____|____________________________|________________|_____|";

}  // namespace

// The train card of 24817. The route rows follow the train description: the
// places are its stations in order, their progressives those of the first
// chainage stretch at the station positions, and the speed limits (shown
// where the line speed changes; the limits inside stations come from the
// signals) those of its speed records.
lista_righe righe_scheda(piattaforma& p) {
  return riempi_righe(p, {
      "",
      "",
      "  ___________________                                               ______________",
      " |                   |                    SCHEDA                   |              |",
      " |   TRENO n.24817   |                   da: VELMO                 |    V160 B    |",
      " |___________________|                    a: VERDAL                |     120 %    |",
      "                                                                   |______________|",
      "  ___________________                ___________________",
      " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
      " |        REG        |              |      350 T        |",
      " |___________________|              |___________________|",
      "",
      "  ________________________________________________________________________________",
      " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
      " | Lim.|Marc.|          |  Rs |                            |                |     |",
      kRegolo,
      " | 110 |     |   100.769|     | VELMO                      |          6.40  |     |",
      " | 130 |     |    98.650|     | km 98.650                  |                |     |",
      " |     |     |    97.550|     | ZELMORIO PAESE             |  6.43  - 6.44  |     |",
      " | 135 |     |    92.540|     | TASCAVIA                   |  6.48  - 6.49  | 0.5 |",
      " |     |     |    89.700|     | ORBENTE                    |  6.53  - 6.54  | 0.5 |",
      " |     |     |    85.150|     | VASCOLINO                  |  6.58  - 6.59  |  1  |",
      " | 120 |     |    84.000|     | cippo km 84.000            |                |     |",
      " | 130 |     |    81.600|     | PRIMELLA                   |  7.02  - 7.03  |  1  |",
      " |     |     |    78.100|     | CORVAGNO                   |  7.06  - 7.07  | 0.5 |",
      " | 130 |     |    76.850|     | P.M. LUSTRIGO              |          7.12  |     |",
      " |     |     |    68.250|     | FENARDO                    |  7.17  - 7.18  |  1  |",
      " |  30 |     |    66.250|     | km 66.250                  |                |     |",
      " |     |     |    65.028|     | VERDAL                     |  7.23          |     |",
      kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga,
      kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga,
      kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga, kRiga,
      kRegolo,
      "",
  });
}

void dati_scheda(piattaforma& p, const std::string& nome_linea, const std::string& numero_treno) {
  riscrivi(p, nome_linea, numero_treno, file_scenario::scheda_treno, testo_righe(righe_scheda(p)));
}

}  // namespace scenario
