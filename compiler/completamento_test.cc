#include "compiler/completamento.h"

#include <gtest/gtest.h>

#include <vector>

#include "compiler/esecuzione.h"

namespace scenario {
namespace {

// 10000 m of line: cells 0 to 340.
modello tracciato() {
  modello m;
  m.lunghezza_tracciato = 17000;
  m.ultima_cella = 340;
  m.celle.assign(341, {});
  return m;
}

void poni(modello& m, int i, uint8_t tipo, int16_t dato1 = 0) {
  m.celle[static_cast<std::size_t>(i)].tipo = tipo;
  m.celle[static_cast<std::size_t>(i)].dato1 = dato1;
}

void rallentamento(modello& m, int inizio, int fine, int16_t v) {
  poni(m, inizio, cella_inizio_rallentamento, v);
  poni(m, fine, cella_fine_rallentamento, v);
}

// The cells that carry a 180 marker.
std::vector<int> marcatori(const modello& m) {
  std::vector<int> r;
  for (std::size_t i = 0; i < m.celle.size(); ++i) {
    if (m.celle[i].tipo == cella_abbattimento && m.celle[i].dato1 == 180) r.push_back(static_cast<int>(i));
  }
  return r;
}

TEST(Minimo, IlPiuPiccoloIlPrimoSeUguali) {
  EXPECT_EQ(minimo(180, 200), 180);
  EXPECT_EQ(minimo(180, 90), 90);
  EXPECT_EQ(minimo(-5, -5), -5);
  EXPECT_EQ(minimo(-32768, 32767), -32768);
}

// Rule 2 alone: a fast slowdown has no walk and nothing around it.
TEST(Completamento, GruppiPrimaDellInizio) {
  struct caso {
    int inizio;
    std::vector<int> marcate;
  };
  for (const caso& k : {caso{7, {}}, caso{8, {3}}, caso{13, {8}}, caso{14, {3, 9}}, caso{20, {9, 15}},
                        caso{21, {3, 10, 16}}, caso{200, {182, 189, 195}}}) {
    modello m = tracciato();
    rallentamento(m, k.inizio, k.inizio + 20, 120);
    completa_tracciato(m);
    EXPECT_EQ(marcatori(m), k.marcate) << k.inizio;
    EXPECT_EQ(m.codice_errore, 0) << k.inizio;
  }
}

TEST(Completamento, GruppoCercaIlPrimoCandidatoLiberoEGliErroriNonFermano) {
  modello m = tracciato();
  rallentamento(m, 200, 220, 120);
  poni(m, 195, cella_segnale);
  poni(m, 194, cella_montagna);  // free
  completa_tracciato(m);
  EXPECT_EQ(marcatori(m), (std::vector<int>{182, 189, 194}));

  modello n = tracciato();
  rallentamento(n, 200, 220, 120);
  poni(n, 195, cella_segnale);
  poni(n, 194, cella_cartello);
  poni(n, 193, cella_abbattimento, 180);  // an existing marker counts as occupied here
  completa_tracciato(n);
  EXPECT_EQ(marcatori(n), (std::vector<int>{182, 189, 193}));  // 193 was there already
  EXPECT_EQ(n.codice_errore, 12);
  EXPECT_EQ(n.posizione_errore, 10000);

  modello o = tracciato();
  rallentamento(o, 200, 220, 120);
  for (int i : {195, 194, 193, 189, 188, 187}) poni(o, i, cella_cartello);
  completa_tracciato(o);
  EXPECT_EQ(marcatori(o), (std::vector<int>{182}));
  ASSERT_EQ(o.guasti.size(), 2u);
  EXPECT_EQ(o.guasti[0].codice, 12);
  EXPECT_EQ(o.guasti[1].posizione, 10000);
}

TEST(Completamento, PercorsoNelRallentamentoLento) {
  modello m = tracciato();
  rallentamento(m, 100, 130, 100);
  completa_tracciato(m);
  EXPECT_EQ(marcatori(m), (std::vector<int>{82, 89, 95, 108, 116, 124}));
  EXPECT_EQ(m.codice_errore, 0);

  modello veloce = tracciato();
  rallentamento(veloce, 100, 130, 110);
  completa_tracciato(veloce);
  EXPECT_EQ(marcatori(veloce), (std::vector<int>{82, 89, 95}));
}

TEST(Completamento, PercorsoAggiraLeCelleOccupate) {
  struct caso {
    std::vector<int> occupate;
    std::vector<int> marcate;
  };
  for (const caso& k : {caso{{108}, {107, 115, 123}}, caso{{108, 107}, {109, 117, 125}},
                        caso{{116}, {108, 115, 123}}, caso{{124, 123}, {108, 116, 125}}}) {
    modello m = tracciato();
    rallentamento(m, 100, 130, 100);
    for (int i : k.occupate) poni(m, i, cella_segnale);
    completa_tracciato(m);
    std::vector<int> attese = {82, 89, 95};
    attese.insert(attese.end(), k.marcate.begin(), k.marcate.end());
    EXPECT_EQ(marcatori(m), attese) << k.occupate.size();
    EXPECT_EQ(m.codice_errore, 0);
  }

  // All three taken: code 13 at the walk's cell, and no further marker.
  modello m = tracciato();
  rallentamento(m, 100, 130, 100);
  for (int i : {107, 108, 109}) poni(m, i, cella_cartello);
  completa_tracciato(m);
  EXPECT_EQ(marcatori(m), (std::vector<int>{82, 89, 95}));
  EXPECT_EQ(m.codice_errore, 13);
  EXPECT_EQ(m.posizione_errore, 108 * 50);
}

TEST(Completamento, SegnaliPrimaDellAvviso) {
  // Every signal up to 20 cells back is treated; a failure does not stop
  // the look-back.
  modello m = tracciato();
  poni(m, 100, cella_avviso_rallentamento, 60);
  poni(m, 90, cella_segnale);
  poni(m, 85, cella_segnale);
  poni(m, 84, cella_cartello);
  poni(m, 83, cella_stazione);
  poni(m, 80, cella_segnale);
  completa_tracciato(m);
  EXPECT_EQ(marcatori(m), (std::vector<int>{79, 89}));
  EXPECT_EQ(m.codice_errore, 11);
  EXPECT_EQ(m.posizione_errore, 85 * 50);

  modello n = tracciato();
  poni(n, 100, cella_avviso_rallentamento, 60);
  poni(n, 79, cella_segnale);  // 21 cells back
  completa_tracciato(n);
  EXPECT_TRUE(marcatori(n).empty());
}

TEST(Completamento, SegnaleConSoloLaSecondaCellaLibera) {
  modello m = tracciato();
  poni(m, 100, cella_avviso_rallentamento, 60);
  poni(m, 95, cella_segnale);
  poni(m, 94, cella_cartello);
  completa_tracciato(m);
  EXPECT_EQ(marcatori(m), (std::vector<int>{93}));
}

TEST(Completamento, MarcatoriEsistentiLimitatiA180) {
  struct caso {
    int16_t primo, secondo;  // markers on s - 1 and s - 2
    int16_t primo_dopo, secondo_dopo;
  };
  for (const caso& k : {caso{200, 150, 180, 150}, caso{90, 150, 90, 150}, caso{180, 300, 180, 300}}) {
    modello m = tracciato();
    poni(m, 100, cella_avviso_rallentamento, 60);
    poni(m, 95, cella_segnale);
    poni(m, 94, cella_abbattimento, k.primo);
    poni(m, 93, cella_abbattimento, k.secondo);
    completa_tracciato(m);
    EXPECT_EQ(m.celle[94].dato1, k.primo_dopo);
    EXPECT_EQ(m.celle[93].dato1, k.secondo_dopo);
    EXPECT_EQ(m.codice_errore, 0);
  }
  // s - 1 taken by something else: the marker on s - 2 is capped instead.
  modello m = tracciato();
  poni(m, 100, cella_avviso_rallentamento, 60);
  poni(m, 95, cella_segnale);
  poni(m, 94, cella_cartello, 7);
  poni(m, 93, cella_abbattimento, 250);
  completa_tracciato(m);
  EXPECT_EQ(m.celle[94].dato1, 7);
  EXPECT_EQ(m.celle[93].dato1, 180);
}

TEST(Completamento, SegnaleInCella2MaiConsiderato) {
  modello m = tracciato();
  poni(m, 10, cella_avviso_rallentamento, 60);
  poni(m, 2, cella_segnale);
  completa_tracciato(m);
  EXPECT_TRUE(marcatori(m).empty());

  modello n = tracciato();
  poni(n, 10, cella_avviso_rallentamento, 60);
  poni(n, 3, cella_segnale);
  completa_tracciato(n);
  EXPECT_EQ(marcatori(n), (std::vector<int>{2}));
}

TEST(Completamento, SegnaleDopoLaFine) {
  struct caso {
    int segnale;
    std::vector<int> occupate;
    std::vector<int> marcate;  // besides rule 2's and the walk's
    int32_t codice;
  };
  for (const caso& k : {caso{135, {}, {134}, 0}, caso{142, {}, {141}, 0}, caso{143, {}, {}, 0},
                        caso{131, {}, {}, 0} /* 130 is the end cell, 129 is free */,
                        caso{135, {134}, {133}, 0}, caso{135, {134, 133}, {}, 13}}) {
    modello m = tracciato();
    rallentamento(m, 100, 130, 100);
    poni(m, k.segnale, cella_segnale);
    for (int i : k.occupate) poni(m, i, cella_cartello);
    completa_tracciato(m);
    std::vector<int> attese = {82, 89, 95, 108, 116, 124};
    if (k.segnale == 131) attese.push_back(129);
    attese.insert(attese.end(), k.marcate.begin(), k.marcate.end());
    EXPECT_EQ(marcatori(m), attese) << k.segnale;
    EXPECT_EQ(m.codice_errore, k.codice) << k.segnale;
    if (k.codice == 13) {
      EXPECT_EQ(m.posizione_errore, 130 * 50);
    }
  }
}

// The rule for a fast slowdown looks from its own end cell, not from where
// an earlier rule left the shared cursor.
TEST(Completamento, RallentamentoVeloceCercaDallaSuaFine) {
  modello m = tracciato();
  poni(m, 50, cella_avviso_rallentamento, 120);  // leaves the cursor at 21
  poni(m, 25, cella_segnale);                     // 25 cells back: not rule 1's
  rallentamento(m, 100, 130, 120);
  poni(m, 135, cella_segnale);
  completa_tracciato(m);
  EXPECT_EQ(marcatori(m), (std::vector<int>{82, 89, 95, 134}));
  EXPECT_EQ(m.codice_errore, 0);
}

TEST(Completamento, FineMancanteDa13AllInizioSenzaUscireDallaTabella) {
  for (int16_t v : {100, 120}) {
    modello m = tracciato();
    poni(m, 320, cella_inizio_rallentamento, v);
    poni(m, 340, cella_segnale);  // would be rule 4's if the slowdown had an end
    completa_tracciato(m);
    EXPECT_EQ(m.codice_errore, 13) << v;
    EXPECT_EQ(m.posizione_errore, 320 * 50) << v;
    EXPECT_EQ(m.celle[339].tipo, cella_libera) << v;
  }
  // The walk marks what it can up to the table's end.
  modello m = tracciato();
  poni(m, 330, cella_inizio_rallentamento, 100);
  completa_tracciato(m);
  EXPECT_EQ(marcatori(m), (std::vector<int>{312, 319, 325, 338}));
  EXPECT_EQ(m.posizione_errore, 330 * 50);

  // The last cell examined, with an end cell on the table's last cell.
  modello n = tracciato();
  rallentamento(n, 338, 340, 100);
  completa_tracciato(n);
  EXPECT_EQ(n.codice_errore, 0);
}

TEST(Completamento, RicercaDelSegnaleSiFermaAllUltimaCella) {
  modello m = tracciato();
  rallentamento(m, 325, 335, 100);
  poni(m, 340, cella_segnale);
  completa_tracciato(m);
  EXPECT_EQ(marcatori(m), (std::vector<int>{307, 314, 320, 333, 339}));
  EXPECT_EQ(m.codice_errore, 0);
}

TEST(Completamento, CelleEstremeNonEsaminate) {
  modello m = tracciato();
  poni(m, 339, cella_inizio_rallentamento, 100);  // U - 1: no rule, so no missing end
  poni(m, 0, cella_avviso_rallentamento, 100);
  completa_tracciato(m);
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_TRUE(marcatori(m).empty());
}

}  // namespace
}  // namespace scenario
