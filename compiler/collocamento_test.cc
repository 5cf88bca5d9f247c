#include "compiler/collocamento.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "compiler/esecuzione.h"
#include "tests/modello_prova.h"

namespace scenario {
namespace {

// A track of `metri` metres of line plus the usual 7000 m of slack.
modello tracciato_di(int32_t metri) {
  modello m = prova::modello_dimensionato(metri);
  m.posizione_errore = 4242;  // the procedures leave the position to the caller
  return m;
}

auto campi(const cella& c) {
  return std::tie(c.tipo, c.dato1, c.dato2, c.dato3, c.dato4, c.tempo_segnale, c.richiamo, c.montagna,
                  c.velocita_max, c.pendenza, c.aderenza);
}

bool stesse_celle(const std::vector<cella>& a, const std::vector<cella>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (campi(a[i]) != campi(b[i])) return false;
  }
  return true;
}

// Indices of the cells that carry an object.
std::vector<int> celle_con_tipo(const modello& m) {
  return prova::celle_dove(m, [](const cella& c) { return c.tipo != cella_libera; });
}
using prova::celle_con_richiamo;

void segnale(modello& m, int32_t posizione, int32_t sx, int32_t s1, int32_t s2, int32_t s3, int32_t& tempo,
             int32_t rapp = 0, int32_t dx = 0, int32_t d1 = 0, int32_t d2 = 0, int32_t d3 = 0) {
  memo_segnale(m, posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo);
}

TEST(MemoSegnale, SegnaleA6000MetriConIRichiami) {
  modello m = tracciato_di(10000);
  int32_t tempo = 230;
  segnale(m, 6000, 1, 3, 1, 0, tempo);
  EXPECT_EQ(m.codice_errore, 0);
  const cella& c = m.celle[121];
  EXPECT_EQ(c.tipo, cella_segnale);
  EXPECT_EQ(std::make_tuple(c.dato1, c.dato2, c.dato3, c.dato4), std::make_tuple(30, 10, 0, 3));
  EXPECT_EQ(c.tempo_segnale, 0);  // kept only when sx is 2
  EXPECT_EQ(tempo, 230);
  EXPECT_EQ(celle_con_tipo(m), (std::vector<int>{121}));
  EXPECT_EQ(celle_con_richiamo(m), (std::vector<int>{113, 115, 117, 119}));
  EXPECT_EQ(prova::campo_celle(m, &cella::richiamo, {119, 117, 115, 113}), (std::vector<int>{31, 32, 33, 34}));
}

TEST(MemoSegnale, ValoriImpacchettatiDelleDueParti) {
  modello m = tracciato_di(10000);
  int32_t tempo = 0;
  segnale(m, 1000, 2, 2, 4, 1, tempo, /*rapp=*/1, /*dx=*/2, /*d1=*/5, /*d2=*/6, /*d3=*/7);
  const cella& c = m.celle[21];
  EXPECT_EQ(std::make_tuple(c.dato1, c.dato2, c.dato3, c.dato4), std::make_tuple(25, 46, 17, 18));
  EXPECT_EQ(m.celle[19].richiamo, 2 * 30 + 2 * 10 + 1);
  EXPECT_EQ(m.celle[13].richiamo, 2 * 30 + 2 * 10 + 4);
}

TEST(MemoSegnale, TempoAlzatoA101ETenutoSoloConSx2) {
  struct caso {
    int32_t sx, tempo, tempo_dopo;
    uint8_t tempo_segnale;
  };
  for (const caso& k : {caso{2, 50, 101, 101}, caso{1, 50, 101, 0}, caso{2, 0, 0, 0}, caso{2, 1, 101, 101},
                        caso{2, 100, 101, 101}, caso{2, 101, 101, 101}, caso{2, 255, 255, 255},
                        caso{2, 300, 300, 300 - 256}, caso{2, -5, -5, 251}}) {
    modello m = tracciato_di(10000);
    int32_t tempo = k.tempo;
    segnale(m, 6000, k.sx, 3, 1, 0, tempo);
    EXPECT_EQ(tempo, k.tempo_dopo) << k.sx << " " << k.tempo;
    EXPECT_EQ(m.celle[121].tempo_segnale, k.tempo_segnale) << k.sx << " " << k.tempo;
  }
}

TEST(MemoSegnale, ValoriOltre16BitRipieganoMaIConti32BitFalliscono) {
  modello m = tracciato_di(10000);
  int32_t tempo = 0;
  segnale(m, 6000, 1, 4000, 0, 0, tempo);
  EXPECT_EQ(m.celle[121].dato1, static_cast<int16_t>(40000 - 65536));

  modello n = tracciato_di(10000);
  EXPECT_THROW(segnale(n, 6000, 1, 300000000, 0, 0, tempo), errore_esecuzione);
}

TEST(MemoSegnale, SostituisceIlMarcatoreDiMontagna) {
  modello m = tracciato_di(10000);
  m.celle[121].tipo = cella_montagna;
  m.celle[121].montagna = 1;
  int32_t tempo = 0;
  segnale(m, 6000, 1, 3, 1, 0, tempo);
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.celle[121].tipo, cella_segnale);
  EXPECT_EQ(m.celle[121].montagna, 1);
}

TEST(MemoSegnale, CellaOccupataDa16SenzaCambiareNulla) {
  for (uint8_t occupante : {cella_cartello, cella_segnale, cella_stazione, cella_abbattimento}) {
    modello m = tracciato_di(10000);
    m.celle[121].tipo = occupante;
    m.celle[121].dato1 = 77;
    const std::vector<cella> prima = m.celle;
    int32_t tempo = 50;
    segnale(m, 6000, 2, 3, 1, 0, tempo);
    EXPECT_EQ(m.codice_errore, 16);
    EXPECT_EQ(m.posizione_errore, 4242);
    EXPECT_EQ(tempo, 50);
    EXPECT_TRUE(stesse_celle(m.celle, prima)) << int{occupante};
    ASSERT_EQ(m.guasti.size(), 1u);
    EXPECT_EQ(m.guasti[0].codice, 16);
  }
}

TEST(MemoSegnale, RichiamiPrimaDellaCella0NonFatti) {
  modello m = tracciato_di(10000);
  int32_t tempo = 0;
  segnale(m, 100, 1, 3, 1, 0, tempo);  // cell 3: marks would go to 1, -1, -3, -5
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.celle[3].tipo, cella_segnale);
  EXPECT_EQ(celle_con_richiamo(m), (std::vector<int>{1}));
  EXPECT_EQ(m.celle[1].richiamo, 31);

  segnale(m, 300, 1, 3, 1, 0, tempo);  // cell 7: marks on 5, 3, 1; the fourth left out
  EXPECT_EQ(celle_con_richiamo(m), (std::vector<int>{1, 3, 5}));
  EXPECT_EQ(m.celle[1].richiamo, 33);

  segnale(m, 0, 1, 3, 1, 0, tempo);  // cell 1, no marks at all
  EXPECT_EQ(m.celle[1].tipo, cella_segnale);
  EXPECT_EQ(m.celle[1].richiamo, 33);
}

TEST(MemoRallentamento, AvvisoEPreavvisoSoloOltre1500Metri) {
  modello m = tracciato_di(10000);
  memo_rallentamento(m, 1500, 60, 500, 3, 1, 0);
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(celle_con_tipo(m), (std::vector<int>{31, 41}));
  EXPECT_EQ(m.celle[31].tipo, cella_inizio_rallentamento);
  EXPECT_EQ(m.celle[41].tipo, cella_fine_rallentamento);

  modello n = tracciato_di(10000);
  memo_rallentamento(n, 1550, 60, 500, 3, 1, 0);
  EXPECT_EQ(n.codice_errore, 0);
  EXPECT_EQ(celle_con_tipo(n), (std::vector<int>{4, 5, 6, 7, 8, 32, 42}));
  EXPECT_EQ(n.celle[8].tipo, cella_avviso_rallentamento);
  EXPECT_EQ(n.celle[8].dato1, 60);
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(n.celle[7 - j].tipo, cella_preavviso);
    EXPECT_EQ(n.celle[7 - j].dato1, j + 1);
    EXPECT_EQ(n.celle[7 - j].dato2, 0);
  }
  for (int i : {32, 42}) {
    EXPECT_EQ(n.celle[i].dato1, 60);
    EXPECT_EQ(n.celle[i].dato2, 0);
    EXPECT_EQ(n.celle[i].dato3, 3);
  }
}

TEST(MemoRallentamento, SenzaFtaNessunPreavviso) {
  modello m = tracciato_di(10000);
  memo_rallentamento(m, 3000, 60, 1000, 0, 0, 0);
  EXPECT_EQ(celle_con_tipo(m), (std::vector<int>{37, 61, 81}));
}

TEST(MemoRallentamento, DvScrittoSoloSeNonZero) {
  modello m = tracciato_di(10000);
  for (int i : {4, 5, 6, 7, 8, 32, 42}) m.celle[i].dato2 = 9;  // left over on free cells
  memo_rallentamento(m, 1550, 60, 500, 3, 1, 0);
  for (int i : {4, 5, 6, 7, 8, 32, 42}) EXPECT_EQ(m.celle[i].dato2, 9) << i;

  modello n = tracciato_di(10000);
  memo_rallentamento(n, 1550, 60, 500, 3, 1, 40);
  EXPECT_EQ(prova::campo_celle(n, &cella::dato2, {32, 42, 8, 7, 4}), (std::vector<int>{40, 40, 40, 1, 4}));
  EXPECT_EQ(n.celle[8].dato3, 0);
}

TEST(MemoRallentamento, RallentamentoCortoFinisceComeInizio) {
  modello m = tracciato_di(10000);
  memo_rallentamento(m, 2000, 40, 20, 5, 0, 0);
  EXPECT_EQ(celle_con_tipo(m), (std::vector<int>{17, 41}));
  EXPECT_EQ(m.celle[41].tipo, cella_inizio_rallentamento);
  EXPECT_EQ(m.celle[41].dato1, 40);
  EXPECT_EQ(m.celle[41].dato3, 5);
}

TEST(MemoRallentamento, CelleDiMontagnaSonoLibere) {
  modello m = tracciato_di(10000);
  for (int i : {4, 8, 32, 42}) m.celle[i].tipo = cella_montagna;
  memo_rallentamento(m, 1550, 60, 500, 3, 1, 0);
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.celle[4].tipo, cella_preavviso);
  EXPECT_EQ(m.celle[8].tipo, cella_avviso_rallentamento);
}

// Each refusal and exactly what it leaves: codes 17, 18, 28 and 19 before
// any write, 20 after the start, end and warning cells.
TEST(MemoRallentamento, RifiutiEStatoLasciato) {
  struct caso {
    const char* nome;
    std::vector<int> occupate;  // cells given a text sign first
    int32_t x, l;
    int32_t codice;
    std::vector<int> tipi_dopo;  // cells with a type afterwards
  };
  const std::vector<caso> casi = {
      {"avviso occupato", {8}, 1550, 500, 17, {8}},
      {"inizio occupato", {32}, 1550, 500, 18, {32}},
      {"fine occupata", {42}, 1550, 500, 19, {42}},
      {"avviso e inizio occupati: prima l'avviso", {8, 32}, 1550, 500, 17, {8, 32}},
      {"fine oltre il tracciato", {}, 16000, 1000, 28, {}},
      {"fine prima della cella 0", {}, 2000, -3000, 28, {}},
      {"preavviso occupato", {5}, 1550, 500, 20, {5, 8, 32, 42}},
  };
  for (const caso& k : casi) {
    modello m = tracciato_di(10000);
    for (int i : k.occupate) m.celle[static_cast<std::size_t>(i)].tipo = cella_cartello;
    const std::vector<cella> prima = m.celle;
    memo_rallentamento(m, k.x, 60, k.l, 3, 1, 0);
    EXPECT_EQ(m.codice_errore, k.codice) << k.nome;
    EXPECT_EQ(m.posizione_errore, 4242) << k.nome;
    EXPECT_EQ(celle_con_tipo(m), k.tipi_dopo) << k.nome;
    if (k.codice != 20) {
      EXPECT_TRUE(stesse_celle(m.celle, prima)) << k.nome;
    }
  }
}

TEST(MemoRallentamento, FineSullUltimaCellaAccettata) {
  modello m = tracciato_di(10000);  // ultima_cella 340
  memo_rallentamento(m, 16000, 60, 950, 0, 0, 0);  // end cell round(340.0) = 340
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.celle[340].tipo, cella_fine_rallentamento);
}

}  // namespace
}  // namespace scenario
