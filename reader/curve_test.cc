#include "reader/curve.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "compiler/tracciato.h"
#include "platform/piattaforma_memoria.h"
#include "common/righe.h"
#include "tests/prova.h"
#include "tests/righe_prova.h"
#include "texts/testi.h"
#include "compiler/file_uscita.h"
#include "compiler/compila_testi.h"
#include "reader/piano_a_pezzi.h"

namespace scenario {
namespace {

std::string fixture(const std::string& nome) {
  return prova::leggi_file(std::string(SCENARIO_FIXTURES) + "/autori/" + nome);
}

geometria piano_di(const std::string& linea, const std::string& treno) {
  piattaforma_memoria p;
  const esito_compilazione e = compila_testi(p, identita_incorporata(), linea, treno, true);
  EXPECT_EQ(e.stato, kStatoPulito) << e.errore;
  return tabella_piano(e.m.piano);
}

TEST(CurveDalPiano, LeCurveIncorporateTornanoDallaGeometria) {
  piattaforma_memoria p;
  const lista_righe linea = righe_linea(p);
  const geometria g = piano_di(testo_righe(linea), testo_righe(righe_treno(p)));
  std::vector<std::string> righe;
  for (const std::string& r : linea) {
    if (r == kFineDelFile) break;
    righe.push_back(r);
  }
  const auto record = prova::record(righe, "curva");
  ASSERT_EQ(record.size(), 39u);
  const std::vector<curva_ricostruita> curve = curve_dal_piano(g);
  ASSERT_EQ(curve.size(), record.size());
  for (std::size_t i = 0; i < curve.size(); ++i) {
    const std::string& parola = record[i][0];
    const int classe = parola[6] - '0';
    EXPECT_EQ(curve[i].inizio, prova::intero(record[i][1])) << parola;
    EXPECT_EQ(curve[i].lunghezza, prova::intero(record[i][2])) << parola;
    EXPECT_EQ(curve[i].classe, classe) << parola;
    EXPECT_EQ(curve[i].sinistra, parola[5] == 's') << parola;
    EXPECT_NEAR(curve[i].tasso, (curve[i].sinistra ? -1 : 1) * tasso_classe(classe), 1e-9) << parola;
  }
}

// Every class in both directions, and the cases where the plan cannot tell
// the records apart or the compiler turned less than the record asked.
TEST(CurveDalPiano, ClassiVersiECurveCheSiToccano) {
  const std::string linea =
      "[generale]\r\nlunghezza percorso,    20000\r\n[curve]\r\n"
      "curvad1,  500,  300\r\ncurvas1,  1000,  300\r\ncurvad2,  1500,  300\r\ncurvas2,  2000,  300\r\n"
      "curvad3,  2500,  300\r\ncurvas3,  3000,  300\r\ncurvad4,  3500,  300\r\ncurvas4,  4000,  300\r\n"
      "curvad5,  4500,  300\r\ncurvas5,  5000,  300\r\ncurvad6,  5500,  300\r\ncurvas6,  6000,  300\r\n"
      // The first class digit from 1 upward counts: "51" is class 1.
      "curva51,  6500,  200\r\n"
      // Same class and direction, touching: one curve for the plan.
      "curvad3,  7000,  500\r\ncurvad3,  7500,  500\r\n"
      // Touching, but another class, then the other direction.
      "curvad3,  9000,  500\r\ncurvad4,  9500,  300\r\ncurvas4,  9800,  200\r\n"
      // Starting inside the previous one: turns only from its end.
      "curvas2,  11000,  1000\r\ncurvas5,  11500,  1000\r\n"
      "[fine]\r\n";
  const std::vector<curva_ricostruita> curve = curve_dal_piano(piano_di(linea, fixture("treno.txt")));
  struct attesa {
    int32_t inizio, lunghezza;
    int classe;
    bool sinistra;
  };
  const std::vector<attesa> attese = {
      {500, 300, 1, false},  {1000, 300, 1, true},  {1500, 300, 2, false}, {2000, 300, 2, true},
      {2500, 300, 3, false}, {3000, 300, 3, true},  {3500, 300, 4, false}, {4000, 300, 4, true},
      {4500, 300, 5, false}, {5000, 300, 5, true},  {5500, 300, 6, false}, {6000, 300, 6, true},
      {6500, 200, 1, false}, {7000, 1000, 3, false}, {9000, 500, 3, false}, {9500, 300, 4, false},
      {9800, 200, 4, true},  {11000, 1000, 2, true}, {12000, 500, 5, true}};
  ASSERT_EQ(curve.size(), attese.size());
  for (std::size_t i = 0; i < attese.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(curve[i].inizio, attese[i].inizio);
    EXPECT_EQ(curve[i].lunghezza, attese[i].lunghezza);
    EXPECT_EQ(curve[i].classe, attese[i].classe);
    EXPECT_EQ(curve[i].sinistra, attese[i].sinistra);
  }
}

// The curves recovered as the rows of the geometry file go by, read in
// small pieces, are those of the whole columns, rate bit for bit.
TEST(CurveDalPiano, AFlussoComeSulleColonne) {
  piattaforma_memoria p;
  const esito_compilazione e =
      compila_testi(p, identita_incorporata(), testo_righe(righe_linea(p)), testo_righe(righe_treno(p)), true);
  const geometria g = tabella_piano(e.m.piano);
  const std::vector<curva_ricostruita> colonne = curve_dal_piano(g);
  ASSERT_EQ(colonne.size(), 39u);
  const std::vector<curva_ricostruita> flusso =
      curve_dal_piano(*piano_a_pezzi(byte_in_memoria(immagine_tracciato(e.m)), 64));
  ASSERT_EQ(flusso.size(), colonne.size());
  for (std::size_t i = 0; i < colonne.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(flusso[i].inizio, colonne[i].inizio);
    EXPECT_EQ(flusso[i].lunghezza, colonne[i].lunghezza);
    EXPECT_EQ(flusso[i].classe, colonne[i].classe);
    EXPECT_EQ(flusso[i].sinistra, colonne[i].sinistra);
    EXPECT_EQ(flusso[i].tasso, colonne[i].tasso);
  }
}

TEST(CurveDalPiano, ClasseDelTasso) {
  const struct {
    double tasso;
    int classe;
  } casi[] = {{0.0001, 1}, {-0.0001, 1}, {0.0002, 2}, {0.0004, 3}, {-0.001, 4}, {0.002, 5}, {0.003, 6},
              {0.0001249, 1}, {0.00015, 0}, {0.0007, 0}, {0.005, 0}, {0, 0}};
  for (const auto& c : casi) EXPECT_EQ(classe_del_tasso(c.tasso), c.classe) << c.tasso;
  EXPECT_EQ(tasso_classe(0), 0.0);
  EXPECT_EQ(tasso_classe(7), 0.0);
}

// Points missing or not finite (a geometry file from elsewhere) end a curve
// there; nothing past them is read as a turn.
TEST(CurveDalPiano, PuntiMancantiONonFinitiInterrompono) {
  geometria g = piano_di(fixture("linea.txt"), fixture("treno.txt"));
  ASSERT_EQ(curve_dal_piano(g).size(), 2u);  // d4 at 1000, s3 at 3000
  g.x[3300] = numero_etichettato{};
  g.y[1200] = numero_etichettato::da_reale(std::numeric_limits<double>::quiet_NaN());
  const std::vector<curva_ricostruita> curve = curve_dal_piano(g);
  ASSERT_EQ(curve.size(), 4u);
  EXPECT_EQ(curve[0].inizio, 1000);
  EXPECT_EQ(curve[0].inizio + curve[0].lunghezza, 1199);
  EXPECT_EQ(curve[1].inizio, 1202);
  EXPECT_EQ(curve[1].inizio + curve[1].lunghezza, 1400);
  EXPECT_EQ(curve[2].inizio + curve[2].lunghezza, 3299);
  EXPECT_EQ(curve[3].inizio, 3302);
  for (const curva_ricostruita& c : curve) EXPECT_NE(c.classe, 0);
  // A plan of one point, or none, has no curve.
  EXPECT_TRUE(curve_dal_piano(geometria{}).empty());
}

}  // namespace
}  // namespace scenario
