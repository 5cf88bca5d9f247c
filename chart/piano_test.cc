#include "reader/piano.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "platform/piattaforma_memoria.h"
#include "tests/prova.h"
#include "compiler/compila_testi.h"
#include "reader/curve.h"
#include "chart/grafico.h"

namespace scenario {
namespace {

struct curva_del_piano {
  int64_t inizio, lunghezza;
  double tasso;
};

// A plan produced as it is walked: the plan's steps replayed from its curve
// records, holding only the last two points, as a generator of the plan
// would yield it.
std::shared_ptr<const sorgente_piano> piano_rigiocato(int64_t lunghezza, std::vector<curva_del_piano> curve) {
  return piano_da_procedura(lunghezza + 1, [=](const ricevi_riga& riga) {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 1;
    if (!riga({0, x0, y0}) || !riga({1, x1, y1})) return;
    int64_t j = 2;
    auto passo = [&](double r) {
      const double dx = x1 - x0, dy = y1 - y0;
      const double x = x1 + (dx + r * dy), y = y1 + (dy - r * dx);
      x0 = x1, y0 = y1, x1 = x, y1 = y;
      return riga({j++, x, y});
    };
    for (const curva_del_piano& c : curve) {
      while (j <= c.inizio) {
        if (!passo(0)) return;
      }
      while (j <= c.inizio + c.lunghezza) {
        if (!passo(c.tasso)) return;
      }
    }
    while (j <= lunghezza - 2) {
      if (!passo(0)) return;
    }
    const double vuoto = std::numeric_limits<double>::quiet_NaN();
    if (riga({j, vuoto, vuoto})) riga({j + 1, vuoto, vuoto});
  });
}

// A generator plugs in as a source, and the chart drawn from it is the one
// drawn from the model's tables, byte for byte.
TEST(Piano, UnaProceduraComeLeTabelleDelModello) {
  const std::string linea =
      "[generale]\r\nlunghezza percorso,    12000\r\n[curve]\r\n"
      "curvad4,  1000,  300\r\ncurvas2,  2000,  300\r\ncurvas6,  2200,  300\r\ncurvad1,  7000,  2000\r\n[fine]\r\n";
  piattaforma_memoria p;
  const esito_compilazione e = compila_testi(p, identita_incorporata(), linea,
                                             prova::leggi_file(std::string(SCENARIO_FIXTURES) + "/autori/treno.txt"),
                                             true);
  ASSERT_LE(e.stato, kStatoGuasti) << e.errore;
  // The track runs past the line's end when the train needs it.
  const auto lunghezza = int64_t{e.m.piano.righe} - 1;
  const auto rigiocato =
      piano_rigiocato(lunghezza, {{1000, 300, 0.001}, {2000, 300, -0.0002}, {2300, 200, -0.003}, {7000, 2000, 0.0001}});
  EXPECT_EQ(rigiocato->metri(), int64_t{e.m.piano.righe});

  const std::vector<curva_ricostruita> curve = curve_dal_piano(*rigiocato);
  ASSERT_EQ(curve.size(), 4u);
  EXPECT_EQ(curve[2].inizio, 2300);
  EXPECT_EQ(curve[2].classe, 6);
  EXPECT_TRUE(curve[2].sinistra);

  dati_grafico d = dati_dal_modello(e.m);
  const std::string dal_modello = disegna_grafico(d, {}).svg;
  const std::string tratto_dal_modello = disegna_grafico(d, {1500, 2600}).svg;
  d.piano = rigiocato;
  // Compared whole, shown only when they differ: the pages are long.
  EXPECT_TRUE(disegna_grafico(d, {}).svg == dal_modello);
  EXPECT_TRUE(disegna_grafico(d, {1500, 2600}).svg == tratto_dal_modello);
}

}  // namespace
}  // namespace scenario
