#include "compiler/lettore_linea.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/esecuzione.h"
#include "compiler/lettori.h"
#include "compiler/memorizza.h"
#include "compiler/tracciato.h"
#include "tests/banco_linea.h"
#include "tests/modello_prova.h"

// The line reader's tables: cells at their edges, more than one length,
// gradients, mountains, maximum-speed indicators, curves skipped, and the
// ordering of chainage stretches.
namespace scenario {
namespace {

using prova::banco;
using prova::generale;
using prova::testo;

TEST(LetturaLinea, ArrotondamentoAlPariAiBordiDelleCelle) {
  // round(25/50 + 1) = round(1.5) = 2 and round(75/50 + 1) = round(2.5) = 2:
  // the second sign finds the cell taken.
  banco a(generale(1000) + testo({"cartello_indicatore, 25, (a)", "[fine]"}));
  ASSERT_TRUE(a.leggi());
  EXPECT_EQ(a.m.celle[2].tipo, cella_cartello);
  banco b(generale(1000) + testo({"cartello_indicatore, 75, (b)", "[fine]"}));
  ASSERT_TRUE(b.leggi());
  EXPECT_EQ(b.m.celle[2].tipo, cella_cartello);
  banco c(generale(1000) + testo({"cartello_indicatore, 25, (a)", "cartello_indicatore, 75, (b)", "[fine]"}));
  memorizza_dati(c.p, c.m);
  EXPECT_EQ(c.m.codice_errore, 6);
  EXPECT_EQ(c.m.posizione_errore, 75);

  // Gradients: round(25/50) = 0 writes nothing; round(125/50) = 2.
  banco g(generale(1000) + testo({"pendenza, 25, 5", "pendenza, 125, 7", "[fine]"}));
  ASSERT_TRUE(g.leggi());
  EXPECT_EQ(g.m.celle[0].pendenza, 105);
  EXPECT_EQ(g.m.celle[1].pendenza, 105);
  EXPECT_EQ(g.m.celle[2].pendenza, 107);

  // Table sizes: 107025 / 50 = 2140.5 gives 2140, 107075 / 50 = 2141.5
  // gives 2142.
  for (auto [lunghezza, ultima] : {std::pair{100000, 2140}, std::pair{100025, 2140}, std::pair{100075, 2142}}) {
    banco t(generale(lunghezza) + "[fine]\r\n");
    ASSERT_TRUE(t.leggi());
    EXPECT_EQ(t.m.lunghezza_tracciato, lunghezza + 7000);
    EXPECT_EQ(t.m.ultima_cella, ultima) << lunghezza;
    EXPECT_EQ(t.m.celle.size(), static_cast<std::size_t>(ultima) + 1);
  }
}

// Several length records: the tables are those of the last length read,
// empty, whether the section ends at a header, with a code of its own or
// with a run-time failure.
TEST(LetturaLinea, PiuLunghezzeLasciaLeTabelleDellUltima) {
  const std::string due = testo({"[generale]", "lunghezza percorso, 5000", "lunghezza percorso, 1000"});
  banco a(due + testo({"[linea]", "[fine]"}));
  ASSERT_TRUE(a.leggi());
  EXPECT_EQ(a.m.ultima_cella, 160);
  EXPECT_EQ(a.m.celle.size(), 161u);
  EXPECT_EQ(a.m.piano.righe, 8001);

  banco troppo(due + testo({"lunghezza percorso, 1000001", "[fine]"}));
  EXPECT_FALSE(troppo.leggi());
  EXPECT_EQ(troppo.m.codice_errore, 1);
  EXPECT_EQ(troppo.m.celle.size(), 161u);
  EXPECT_EQ(troppo.m.piano.righe, 8001);

  banco fallito(due + testo({"sfondo due, 99999999999", "[fine]"}));
  EXPECT_THROW(fallito.leggi(), errore_esecuzione);
  EXPECT_EQ(fallito.m.celle.size(), 161u);
  EXPECT_EQ(fallito.m.piano.righe, 8001);

  banco senza_piano(due + testo({"[linea]", "[fine]"}), 0);
  ASSERT_TRUE(senza_piano.leggi());
  EXPECT_EQ(senza_piano.m.celle.size(), 161u);
  EXPECT_EQ(senza_piano.m.piano.righe, 0);
}

TEST(LetturaLinea, Pendenze) {
  // Two records at one position: the cell there gets the first, the second
  // takes effect one cell later. Out of order, a record still writes one cell.
  banco b(generale(1000) +
          testo({"pendenza, 100, 3", "pendenza, 200, -9", "pendenza, 200, 5", "pendenza, 100, 7", "[fine]"}));
  ASSERT_TRUE(b.leggi());
  const int attese[] = {100, 100, 103, 103, 91, 105, 107};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(b.m.celle[static_cast<std::size_t>(i)].pendenza, attese[i]) << i;
  // Gradients keep their low 8 bits: 155 + 100 = 255, 200 + 100 = 44.
  banco o(generale(1000) + testo({"pendenza, 0, 155", "pendenza, 100, 200", "pendenza, 200, 0", "[fine]"}));
  ASSERT_TRUE(o.leggi());
  EXPECT_EQ(o.m.celle[0].pendenza, 255);
  EXPECT_EQ(o.m.celle[2].pendenza, 44);
}

TEST(LetturaLinea, IlCursoreDellePendenzeNonSuperaLUltimaCella) {
  // Each record at the last position allowed writes one more cell; the fill
  // stops below the last cell, as the completion does.
  std::string t = generale(0);  // cells 0 to 140
  for (int k = 0; k < 10; ++k) t += "pendenza, 6900, " + std::to_string(k) + "\r\n";
  banco b(t + "[fine]\r\n");
  ASSERT_TRUE(b.leggi());
  EXPECT_EQ(b.m.ultima_cella, 140);
  EXPECT_EQ(b.m.celle[137].pendenza, 100);
  EXPECT_EQ(b.m.celle[138].pendenza, 100);
  EXPECT_EQ(b.m.celle[139].pendenza, 101);
  EXPECT_EQ(b.m.celle[140].pendenza, 0);
  EXPECT_EQ(b.m.codice_errore, 0);
}

TEST(LetturaLinea, Montagne) {
  // A span 150 m after the previous end gets kind 3, one 200 m after keeps
  // its own; a marked span stays marked; the last span is cut at the table.
  banco b(generale(0) +
          testo({"montagna, 100, 600, 12", "montagna, 750, 1050, 14", "montagna, 1250, 1500, 2",
                 "montagna, 6800, 99999, 5", "[fine]"}));
  ASSERT_TRUE(b.leggi());
  EXPECT_EQ(b.m.conta_montagne, 4);
  EXPECT_EQ(b.m.celle[1].montagna, 0);
  EXPECT_EQ(b.m.celle[2].montagna, 2);
  EXPECT_EQ(b.m.celle[11].montagna, 2);
  EXPECT_EQ(b.m.celle[5].tipo, cella_montagna);
  EXPECT_EQ(b.m.celle[9].tipo, cella_montagna);
  EXPECT_EQ(b.m.celle[15].montagna, 3);
  EXPECT_EQ(b.m.celle[18].tipo, cella_montagna);
  EXPECT_EQ(b.m.celle[25].montagna, 2);
  EXPECT_EQ(b.m.celle[29].montagna, 2);
  EXPECT_EQ(b.m.celle[30].montagna, 0);
  EXPECT_EQ(b.m.celle[136].montagna, 5);
  EXPECT_EQ(b.m.celle[140].montagna, 5);
  EXPECT_EQ(b.m.montagne_fine[4], 99999);

  // A speed sign replaces a mountain marker; a text sign takes a marker's
  // cell too.
  banco s(generale(1000) + testo({"montagna, 0, 1000, 11", "indicatori_vmax, 100, 60, 60, 60, 0, , , , 0",
                                  "cartello_indicatore, 300, (galleria)", "[fine]"}));
  ASSERT_TRUE(s.leggi());
  EXPECT_EQ(s.m.celle[3].tipo, cella_indicatore_v_max);
  EXPECT_EQ(s.m.celle[7].tipo, cella_cartello);
  EXPECT_EQ(s.m.celle[11].tipo, cella_montagna);
}

TEST(LetturaLinea, IndicatoriVMax) {
  modello m;
  m.ultima_cella = 100;
  m.celle.assign(101, cella{});
  int32_t vas = 90, vbs = 110, vcs = 130, strisces = 3, vad = 85, vbd = 0, vcd = 12, strisced = 2;
  ASSERT_TRUE(memo_indicatori_v_max(m, 700, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced));
  EXPECT_EQ(m.celle[15].dato1, 1817);  // 1800 + 17
  EXPECT_EQ(m.celle[15].dato3, 2602);  // 2600 + 2.4 rounded
  EXPECT_EQ(m.celle[15].dato4, 32);
  // Stripes wrap in 16 bits; a second sign on the same cell is refused.
  int32_t grandi = 6554;
  ASSERT_TRUE(memo_indicatori_v_max(m, 800, vas, vbs, vcs, grandi, vad, vbd, vcd, strisced));
  EXPECT_EQ(m.celle[17].dato4, a16(65542));
  EXPECT_FALSE(memo_indicatori_v_max(m, 800, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced));
  EXPECT_EQ(m.codice_errore, 21);
  EXPECT_EQ(m.posizione_errore, 800);
  EXPECT_EQ(m.celle[17].dato4, a16(65542));
  // Half-way speeds round to even: 90 * 20 + 12.5 = 1812.5 gives 1812.
  int32_t mezzo = 62;
  int32_t q = 0;
  ASSERT_TRUE(memo_indicatori_v_max(m, 1000, vas, q, q, q, mezzo, q, q, q));
  EXPECT_EQ(m.celle[21].dato1, 1812);
}

TEST(LetturaLinea, SenzaCalcoloDelTracciatoLeCurveSonoSaltate) {
  banco b(generale(1000) + testo({"curvad, 100, 100", "pendenza, 700, 4", "[fine]"}), 0);
  ASSERT_TRUE(b.leggi());
  EXPECT_EQ(b.m.codice_errore, 0);  // the classless curve is never applied
  EXPECT_EQ(b.m.piano.righe, 0);
  EXPECT_EQ(b.m.celle[14].pendenza, 104);
}

// ---------------------------------------------------------------------------
// Ordering of the chainage stretches.

TEST(ProgressiveOrdina, Casi) {
  struct terna {
    int32_t inizio, fine, posizione;
  };
  struct caso {
    const char* nome;
    terna t, d, u;             // as read into entries 81, 82, 83
    terna e81, e82, e83;       // after ordering
  };
  const caso casi[] = {
      {"incorporata", {0, 0, 0}, {100800, 190300, 1}, {0, 100800, 1},
       {100800, 190400, 1}, {0, 100900, 1}, {0, 0, 0}},
      {"tre distinte", {100, 1, 0}, {300, 3, 0}, {200, 2, 0}, {300, 3, 0}, {200, 2, 0}, {100, 1, 0}},
      {"massima T, poi U prima di D", {500, 1, 0}, {0, 2, 0}, {0, 3, 0}, {500, 1, 0}, {0, 3, 0}, {0, 2, 0}},
      {"massima U, poi D prima di T", {0, 1, 0}, {0, 2, 0}, {500, 3, 0}, {500, 3, 0}, {0, 2, 0}, {0, 1, 0}},
      {"massima D, poi U prima di T", {50, 1, 0}, {500, 2, 0}, {50, 3, 0}, {500, 2, 0}, {50, 3, 0}, {50, 1, 0}},
      {"massima T, D maggiore di U", {900, 1, 0}, {300, 2, 0}, {100, 3, 0}, {900, 1, 0}, {300, 2, 0}, {100, 3, 0}},
      {"massime uguali", {500, 1, 1}, {500, 2, 1}, {0, 3, 1}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
      {"tutte uguali", {500, 1, 1}, {500, 2, 1}, {500, 3, 1}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
      {"somma zero, U", {0, 7, 0}, {0, 8, 0}, {0, 9, 1}, {0, 109, 1}, {0, 8, 0}, {0, 7, 0}},
      {"somma zero, D", {0, 7, 0}, {0, 8, 0}, {0, 0, 0}, {0, 8, 0}, {0, 7, 0}, {0, 0, 0}},
      {"somma zero, T", {0, 7, 1}, {0, -8, 0}, {0, 0, 0}, {0, 107, 1}, {0, -8, 0}, {0, 0, 0}},
      {"somma zero, nessuna", {0, -7, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
      {"somma zero con inizi", {-50, 1, 0}, {50, 2, 0}, {0, 3, 2}, {0, 3, 2}, {50, 2, 0}, {-50, 1, 0}},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    modello m;
    const terna letti[] = {c.t, c.d, c.u};
    for (int i = 0; i < 3; ++i) {
      voce& v = m.voci[static_cast<std::size_t>(81 + i)];
      v.inizio = letti[i].inizio;
      v.fine = letti[i].fine;
      v.posizione = letti[i].posizione;
    }
    progressive_ordina(m);
    const terna attesi[] = {c.e81, c.e82, c.e83};
    for (int i = 0; i < 3; ++i) {
      const voce& v = m.voci[static_cast<std::size_t>(81 + i)];
      EXPECT_EQ(v.inizio, attesi[i].inizio) << 81 + i;
      EXPECT_EQ(v.fine, attesi[i].fine) << 81 + i;
      EXPECT_EQ(v.posizione, attesi[i].posizione) << 81 + i;
    }
  }
}

}  // namespace
}  // namespace scenario
