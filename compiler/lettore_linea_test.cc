#include "compiler/lettore_linea.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/esecuzione.h"
#include "compiler/lettori.h"
#include "compiler/memorizza.h"
#include "compiler/tracciato.h"
#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/nomi.h"
#include "common/righe.h"
#include "tests/banco_linea.h"
#include "tests/righe_prova.h"  // the built-in descriptions

#include "tests/modello_prova.h"

namespace scenario {
namespace {

using prova::banco;
using prova::kTrenoIntatto;
using prova::generale;
using prova::testo;

// ---------------------------------------------------------------------------
// The built-in line.

// A line with the built-in general section and records that give the facts
// the built-in line must give: 56 text signs, the mountain, the first
// gradients and maximum-speed signs.
std::string linea_di_prova() {
  std::string t = testo({
      "[generale]",
      "lunghezza percorso,    104300",
      "progressiva chilometrica uno,    0,    100800,    1",
      "progressiva chilometrica due,    100800,    190300,    1",
      "progressiva chilometrica tre,    0,    0,    0",
      "sfondo uno,    1",
      "sfondo due,    0",
      "sfondo tre,    0",
      "ripetizione segnali 4 codici,    0    ,0",
      "[curve]",
      "curvad5,  650,  600",
      "curvas5,  1350,  800",
      "curvad4,  100900,  600",
      "[pendenze]",
      "pendenza,   0,    0",
      "pendenza,  700,   4",
      "pendenza,  800,   9",
      "pendenza,  11200,   -1",
      "pendenza,  11300,   -9",
      "pendenza,  101500,   0",
      "[montagne]",
      "montagna,   91050,  93400,  11",
      "[cartelli]",
      "indicatori_vmax,  700,  90,  110,  110,  0,  ,  ,  ,  0",
      "indicatori_vmax,  2150,  120,  130,  130,  0,  ,  ,  ,  0",
      "[indicazioni]",
  });
  for (int k = 0; k < 55; ++k) {
    t += "cartello_indicatore,  " + std::to_string(650 + 1800 * k) + ",   (PL km )(" + std::to_string(k) + "+200)\r\n";
  }
  t += testo({"cartello_indicatore,  101500,   (confluenza)(di  LINEA)", "[fine]"});
  return t;
}

// What any line with the built-in general section, mountain, first
// gradients, first speed sign and 56 text signs must give.
void verifica_fatti_della_linea(const banco& b) {
  const modello& m = b.m;
  EXPECT_EQ(m.voci[84].fine, 104300);
  EXPECT_EQ(m.lunghezza_tracciato, 111300);
  EXPECT_EQ(m.ultima_cella, 2226);
  ASSERT_EQ(m.celle.size(), 2227u);
  struct terna {
    int32_t inizio, fine, posizione;
  };
  const terna progressive[] = {{100800, 190400, 1}, {0, 100900, 1}, {0, 0, 0}};
  for (int i = 0; i < 3; ++i) {
    const voce& v = m.voci[static_cast<std::size_t>(81 + i)];
    EXPECT_EQ(v.inizio, progressive[i].inizio) << 81 + i;
    EXPECT_EQ(v.fine, progressive[i].fine) << 81 + i;
    EXPECT_EQ(v.posizione, progressive[i].posizione) << 81 + i;
  }
  EXPECT_EQ(m.voci[85].nome, "Velmo - Montegrieve");
  EXPECT_EQ(m.voci[85].inizio, 1);
  EXPECT_EQ(m.voci[85].fine, 0);
  EXPECT_EQ(m.voci[85].posizione, 0);
  EXPECT_EQ(m.voci[86].nome, "24817");
  EXPECT_EQ(m.voci[86].inizio, 0);
  EXPECT_EQ(m.voci[86].fine, 0);
  EXPECT_EQ(m.voci[86].posizione, 0);

  // Sign texts from 80 down to 25, each pointed at by one type-14 cell.
  EXPECT_EQ(b.limite_cartelli, 24);
  for (int e = 25; e <= 80; ++e) EXPECT_FALSE(m.voci[static_cast<std::size_t>(e)].nome.empty()) << e;
  EXPECT_TRUE(m.voci[24].nome.empty());
  std::vector<int> puntate;
  for (const cella& c : m.celle) {
    if (c.tipo == cella_cartello) puntate.push_back(c.dato1);
  }
  ASSERT_EQ(puntate.size(), 56u);
  EXPECT_EQ(puntate.front(), 80);
  EXPECT_EQ(puntate.back(), 25);

  for (int i = 0; i <= 13; ++i) EXPECT_EQ(m.celle[static_cast<std::size_t>(i)].pendenza, 100) << i;
  EXPECT_EQ(m.celle[14].pendenza, 104);
  EXPECT_EQ(m.celle[15].pendenza, 104);
  EXPECT_EQ(m.celle[16].pendenza, 109);
  for (int i = 2224; i <= 2226; ++i) EXPECT_EQ(m.celle[static_cast<std::size_t>(i)].pendenza, 0) << i;
  EXPECT_NE(m.celle[2223].pendenza, 0);

  int marcatori = 0;
  for (int i = 0; i <= 2226; ++i) {
    const cella& c = m.celle[static_cast<std::size_t>(i)];
    const bool dentro = i >= 1821 && i <= 1867;
    EXPECT_EQ(c.montagna, dentro ? 1 : 0) << i;
    const bool marcatore = dentro && (i - 1820) % 4 == 0;
    EXPECT_EQ(c.tipo == cella_montagna, marcatore) << i;
    marcatori += marcatore;
  }
  EXPECT_EQ(marcatori, 11);
  EXPECT_EQ(m.celle[1824].tipo, cella_montagna);
  EXPECT_EQ(m.celle[1864].tipo, cella_montagna);
  EXPECT_EQ(m.conta_montagne, 1);
  EXPECT_EQ(m.montagne_inizio[1], 91050);
  EXPECT_EQ(m.montagne_fine[1], 93400);

  const cella& v = m.celle[15];
  EXPECT_EQ(v.tipo, cella_indicatore_v_max);
  EXPECT_EQ(v.dato1, 1800);
  EXPECT_EQ(v.dato2, 2200);
  EXPECT_EQ(v.dato3, 2200);
  EXPECT_EQ(v.dato4, 0);

  // The plan is computed to row 111298 and its last two rows are empty.
  const geometria piano = tabella_piano(m.piano);
  ASSERT_EQ(piano.x.size(), 111301u);
  EXPECT_EQ(piano.y[111298].etichetta, numero_etichettato::reale);
  EXPECT_EQ(piano.y[111299].etichetta, numero_etichettato::vuoto);
  EXPECT_EQ(m.codice_errore, 0);
}

TEST(LetturaLinea, LineaDiProvaComeLaIncorporata) {
  banco b(linea_di_prova());
  ASSERT_TRUE(b.leggi());
  verifica_fatti_della_linea(b);
  // Gradients of the fixture beyond the first ones.
  EXPECT_EQ(prova::campo_celle(b.m, &cella::pendenza, {223, 224, 226, 2029, 2030, 2223}),
            (std::vector<int>{109, 99, 91, 91, 100, 100}));
  EXPECT_EQ(b.m.celle[44].tipo, cella_indicatore_v_max);
  EXPECT_EQ(b.m.voci[80].nome, "(PL km )(0+200)");
  EXPECT_EQ(b.m.voci[25].nome, "(confluenza)(di  LINEA)");
  EXPECT_FALSE(b.p.esiste(b.file_linea()));
  EXPECT_EQ(b.p.file.at(b.file_treno()), kTrenoIntatto);
}

TEST(LetturaLinea, LineaIncorporata) {
  piattaforma_memoria p;
  const std::string incorporata = testo_righe(righe_linea(p));
  if (incorporata.empty()) GTEST_SKIP() << "the built-in line description is still empty";
  banco b(incorporata);
  ASSERT_TRUE(b.leggi());
  verifica_fatti_della_linea(b);
}

// ---------------------------------------------------------------------------
// Fault codes: each with the smallest description that shows it, and what
// becomes of the two descriptions.

struct caso_guasto {
  const char* nome;
  std::string linea;       // empty: no line description at all
  int32_t codice;
  int32_t posizione;       // posizione_errore afterwards (starts at 0)
  bool segue_treno;        // the train half would follow
  bool treno_eliminato;    // only the failure exit deletes the train description
};

std::string cartelli(int n) {
  std::string t = generale(100000);
  for (int k = 0; k < n; ++k) t += "cartello_indicatore, " + std::to_string(1000 * k) + ", (x)\r\n";
  return t + "[fine]\r\n";
}

std::string montagne(int n) {
  std::string t = generale(100000);
  for (int k = 0; k < n; ++k) {
    t += "montagna, " + std::to_string(1000 * k) + ", " + std::to_string(1000 * k + 500) + ", 1\r\n";
  }
  return t + "[fine]\r\n";
}

std::vector<caso_guasto> casi_guasto() {
  const std::string g = generale(1000);  // ultima_cella 160
  const std::string sezione = testo({"[generale]", "lunghezza percorso, 1000"});
  return {
      {"linea assente", "", 101, 0, false, false},
      {"nessun [generale]", testo({"lunghezza percorso, 1000", "[curve]"}), 102, 0, false, false},
      {"[generale] ultimo campo", testo({"x", "[GENERALE]"}), 102, 0, false, false},
      {"lunghezza oltre 1000000", generale(1000001) + "[fine]\r\n", 1, 0, false, false},
      {"lunghezza negativa", generale(-1) + "[fine]\r\n", 107, 0, false, false},
      {"ripetizione inizio", sezione + testo({"ripetizione segnali 4 codici, 30, 50", "[fine]"}), 3, 0, false, false},
      {"ripetizione fine", sezione + testo({"ripetizione segnali 9 codici, 50, 70", "[fine]"}), 4, 0, false, false},
      {"ripetizione senza 4 ne 9", sezione + testo({"ripetizione segnali codici, 0, 0", "[fine]"}), 5, 0, false, false},
      {"curva senza classe", g + testo({"[curve]", "curvad, 100, 100", "[fine]"}), 103, 0, false, false},
      {"cursore del piano oltre 1000000",
       generale(1000000) + testo({"[curve]", "curvad1, 1000000, 0", "[fine]"}), 103, 0, false, false},
      {"oltre le celle", g + testo({"[pendenze]", "pendenza, 8000, 1", "pendenza, 100, 2", "[fine]"}), 15, 8000,
       true, false},
      {"ultima posizione ammessa", g + testo({"[pendenze]", "pendenza, 7900, 1", "[fine]"}), 0, 0, true, false},
      {"cartello su cella presa",
       g + testo({"indicatori_vmax, 700, 90, 110, 110, 0, , , , 0", "cartello_indicatore, 700, (x)", "[fine]"}), 6,
       700, false, false},
      {"indicatore su cella presa",
       g + testo({"cartello_indicatore, 650, (x)", "indicatori_vmax, 650, 90, 110, 110, 0, , , , 0", "[fine]"}), 21,
       650, false, false},
      {"pendenza negativa", g + testo({"pendenza, -50, 1", "[fine]"}), 104, -50, false, false},
      {"curva negativa", g + testo({"curvad3, -100, 200", "[fine]"}), 104, -100, false, false},
      {"montagna negativa", g + testo({"montagna, -1, 500, 1", "[fine]"}), 104, -1, false, false},
      {"indicatore negativo", g + testo({"indicatori_vmax, -50, 90, 110, 110, 0, , , , 0", "[fine]"}), 104, -50,
       false, false},
      {"cartello negativo", g + testo({"cartello_indicatore, -50, (x)", "[fine]"}), 104, -50, false, false},
      {"80 cartelli", cartelli(80), 0, 0, true, false},
      {"81 cartelli", cartelli(81), 105, 0, false, false},
      {"80 montagne", montagne(80), 0, 0, true, false},
      {"81 montagne", montagne(81), 106, 0, false, false},
      {"record troncato dalla fine", g + "pendenza, 100\r\n", 25, 0, false, true},
      {"generale senza lunghezza", testo({"[generale]", "sfondo uno, 1", "[pendenze]", "pendenza, 0, 0", "[fine]"}),
       25, 0, false, true},
      {"posizione + 100 oltre 32 bit", g + testo({"pendenza, 2147483600, 1", "[fine]"}), 25, 0, false, true},
      {"fine della curva oltre 32 bit", g + testo({"curvad1, 100, 2147483600", "[fine]"}), 25, 0, false, true},
      {"pendenza + 100 oltre 32 bit", g + testo({"pendenza, 0, 2147483600", "pendenza, 100, 0", "[fine]"}), 25, 0,
       false, true},
      {"velocita oltre 16 bit", g + testo({"indicatori_vmax, 700, 2000, 0, 0, 0, , , , 0", "[fine]"}), 25, 0, false,
       true},
      {"numero oltre 32 bit", sezione + "sfondo due, 99999999999\r\n[fine]\r\n", 25, 0, false, true},
  };
}

TEST(LetturaLinea, CodiciDiGuastoEFileCheRestano) {
  for (const caso_guasto& c : casi_guasto()) {
    SCOPED_TRACE(c.nome);
    const bool con_linea = !c.linea.empty();
    if (!c.segue_treno) {
      // The code comes from the line half itself, not from the train half
      // that would follow it.
      banco solo(c.linea, 1, con_linea);
      if (c.codice == 25) {
        EXPECT_THROW(solo.leggi(), errore_esecuzione);
      } else {
        EXPECT_FALSE(solo.leggi());
      }
    }
    banco b(c.linea, 1, con_linea);
    if (c.segue_treno) {
      // The train half is not the line's: stop where it would begin.
      EXPECT_TRUE(b.leggi());
    } else {
      memorizza_dati(b.p, b.m);
    }
    EXPECT_EQ(b.m.codice_errore, c.codice);
    EXPECT_EQ(b.m.posizione_errore, c.posizione);
    EXPECT_FALSE(b.p.esiste(b.file_linea()));
    EXPECT_EQ(b.p.esiste(b.file_treno()), !c.treno_eliminato);
    if (!c.treno_eliminato) {
      EXPECT_EQ(b.p.file.at(b.file_treno()), kTrenoIntatto);
    }
    if (c.codice == 0) {
      EXPECT_TRUE(b.m.guasti.empty());
    } else {
      ASSERT_FALSE(b.m.guasti.empty());
      EXPECT_EQ(b.m.guasti.back().codice, c.codice);
    }
  }
}

TEST(LetturaLinea, DopoIl15SiCompletaNonSiLeggeOltre) {
  banco b(generale(1000) +
          testo({"pendenza, 100, 3", "pendenza, 8000, 1", "montagna, 200, 400, 2", "[fine]"}));
  ASSERT_TRUE(b.leggi());
  EXPECT_EQ(b.m.codice_errore, 15);
  EXPECT_EQ(b.m.conta_montagne, 0);  // the record after the fault is not read
  EXPECT_EQ(b.m.celle[1].pendenza, 100);
  EXPECT_EQ(b.m.celle[2].pendenza, 103);
  EXPECT_EQ(b.m.celle[157].pendenza, 103);
  EXPECT_EQ(b.m.celle[158].pendenza, 0);
  EXPECT_EQ(tabella_piano(b.m.piano).y[7998].valore_reale, 7998.0);
  ASSERT_EQ(b.m.guasti.size(), 1u);
  EXPECT_EQ(b.m.guasti[0].file, 1);
  EXPECT_EQ(b.m.guasti[0].riga, 5);  // "pendenza, 8000, 1" is on line 5
}

TEST(LetturaLinea, DopoIl15LaDescrizioneDelTrenoELetta) {
  banco b(generale(1000) + testo({"pendenza, 8000, 1", "[fine]"}));
  memorizza_dati(b.p, b.m);
  EXPECT_EQ(b.m.codice_errore, 15);
  EXPECT_EQ(b.m.posizione_errore, 8000);
  EXPECT_FALSE(b.p.esiste(b.file_linea()));
  EXPECT_FALSE(b.p.esiste(b.file_treno()));
}

TEST(LetturaLinea, CompilazioneCompletaScriveITreFile) {
  banco b(linea_di_prova());
  EXPECT_FALSE(memorizza_percorso(b.p, b.m, 1).has_value());
  EXPECT_EQ(b.m.codice_errore, 0);
  const auto dimensione = [&](file_scenario f) {
    const std::string nome = nome_file(b.p, b.m.nome_linea, b.m.numero_treno, f);
    return b.p.esiste(nome) ? b.p.file.at(nome).size() : std::size_t{0};
  };
  EXPECT_EQ(dimensione(file_scenario::geometria_linea), 20u * 111300 - 36);
  EXPECT_EQ(dimensione(file_scenario::celle), 15u * 2227);
  std::size_t testi = 0;
  for (const voce& v : b.m.voci) testi += v.nome.size();
  EXPECT_EQ(dimensione(file_scenario::voci), 87u * 34 + testi);
  EXPECT_EQ(b.p.file.size(), 3u);  // both descriptions are gone
}

TEST(LetturaLinea, GuastiPortanoLaRigaDelRecord) {
  banco b(generale(1000) + testo({"[curve]", "", "curvad, 100, 100", "[fine]"}));
  memorizza_dati(b.p, b.m);
  ASSERT_EQ(b.m.guasti.size(), 1u);
  EXPECT_EQ(b.m.guasti[0].codice, 103);
  EXPECT_EQ(b.m.guasti[0].file, 1);
  EXPECT_EQ(b.m.guasti[0].riga, 6);
}

// ---------------------------------------------------------------------------
// Field rules in context.

TEST(LetturaLinea, NumeriSeparatiDaSpaziECampiVuoti) {
  banco b(testo({"[generale]", "lunghezza percorso    ,1000", "sfondo uno,  ,", "sfondo tre,7",
                 "[pendenze]", "pendenza,  700   4", "PENDENZA, 800 , 9",
                 "indicatori_vmax,  1000,  90,  110,  ,  2,  ,  20,  ,  ", "[fine]"}));
  ASSERT_TRUE(b.leggi());
  EXPECT_EQ(b.m.voci[84].fine, 1000);
  EXPECT_EQ(b.m.voci[85].inizio, 0);
  EXPECT_EQ(b.m.voci[85].fine, 7);
  EXPECT_EQ(prova::campo_celle(b.m, &cella::pendenza, {13, 14, 16}), (std::vector<int>{100, 104, 109}));
  const cella& c = b.m.celle[21];
  EXPECT_EQ(c.tipo, cella_indicatore_v_max);
  EXPECT_EQ(c.dato1, 1800);
  EXPECT_EQ(c.dato2, 2204);
  EXPECT_EQ(c.dato3, 0);
  EXPECT_EQ(c.dato4, 20);
}

TEST(LetturaLinea, ParoleChiaveEMaiuscole) {
  // A general header in capitals is found; the length ignores case; the
  // chainage, scenery and repetition keywords respect it, and an
  // unrecognised keyword's numbers are skipped as keyword fields.
  banco b(testo({"intestazione", "[GENERALE]", "LUNGHEZZA Percorso, 2000",
                 "Progressiva chilometrica uno, 50, 1000, 1", "progressiva chilometrica due, 100, 2000, 0",
                 "sfondo UNO, 5", "sfondo due, 6", "Ripetizione segnali 9 codici, 100, 200",
                 "ripetizione segnali 9 codici, 150, 250", "[fine]"}));
  ASSERT_TRUE(b.leggi());
  EXPECT_EQ(b.m.voci[84].fine, 2000);
  EXPECT_EQ(b.m.voci[81].inizio, 100);  // "due" alone, sorted first
  EXPECT_EQ(b.m.voci[81].fine, 2000);
  EXPECT_EQ(b.m.voci[82].inizio, 0);
  EXPECT_EQ(b.m.voci[85].inizio, 0);
  EXPECT_EQ(b.m.voci[85].posizione, 6);
  EXPECT_EQ(b.m.voci[86].inizio, 150);
  EXPECT_EQ(b.m.voci[86].fine, 250);
  EXPECT_EQ(b.m.voci[86].posizione, 9);
}

TEST(LetturaLinea, RegolaDelTrattinoNellaSezioneGenerale) {
  // A dashed field is dropped and the next one taken in its place.
  banco a(testo({"[generale]", "- nota -", "lunghezza percorso, 1000", "[fine]"}));
  ASSERT_TRUE(a.leggi());
  EXPECT_EQ(a.m.voci[84].fine, 1000);

  // A header that begins with a dash does not close the section.
  banco h(testo({"[generale]", "lunghezza percorso, 1000", "-[x]", "-[y]", "sfondo uno, 3", "[fine]"}));
  ASSERT_TRUE(h.leggi());
  EXPECT_EQ(h.m.voci[85].inizio, 3);
  banco chiusa(testo({"[generale]", "lunghezza percorso, 1000", "[x]", "sfondo uno, 3", "[fine]"}));
  ASSERT_TRUE(chiusa.leggi());
  EXPECT_EQ(chiusa.m.voci[85].inizio, 0);

  // Up to ten dashed fields are dropped without an end-of-file test: ten
  // dashed fields at the end read past the end (code 25, both deleted);
  // eleven stop the dropping on the last field, and the section ends there.
  const std::string base = testo({"[generale]", "lunghezza percorso, 1000"});
  std::string dieci = base, undici = base;
  for (int k = 0; k < 10; ++k) dieci += "-\r\n";
  for (int k = 0; k < 11; ++k) undici += "-\r\n";
  banco d(dieci);
  memorizza_dati(d.p, d.m);
  EXPECT_EQ(d.m.codice_errore, 25);
  EXPECT_FALSE(d.p.esiste(d.file_treno()));
  banco u(undici);
  EXPECT_TRUE(u.leggi());
  EXPECT_EQ(u.m.codice_errore, 0);
}

TEST(LetturaLinea, RegolaDelTrattinoNeiRecordDiLinea) {
  // Two dashed fields are dropped; a third one is tested as the keyword.
  banco due(generale(1000) + testo({"- a -", "pendenza - b", "pendenza, 700, 4", "[fine]"}));
  ASSERT_TRUE(due.leggi());
  EXPECT_EQ(due.m.celle[13].pendenza, 100);
  EXPECT_EQ(due.m.celle[14].pendenza, 104);
  banco tre(generale(1000) + testo({"- a -", "- b -", "pendenza - c", "700, 4", "[fine]"}));
  ASSERT_TRUE(tre.leggi());
  EXPECT_EQ(tre.m.celle[14].pendenza, 104);
  // The field that follows a dropped dash field at the end of the file is
  // the last one, never a keyword.
  banco fine(generale(1000) + testo({"- a -", "pendenza"}));
  ASSERT_TRUE(fine.leggi());
  EXPECT_EQ(fine.m.codice_errore, 0);
}

TEST(LetturaLinea, SpostareGliACapoNonCambiaNulla) {
  const std::string righe = linea_di_prova();
  std::string su_una_riga;
  for (std::size_t i = 0; i < righe.size(); ++i) {
    if (righe.compare(i, 2, "\r\n") == 0) {
      su_una_riga += ',';
      ++i;
    } else {
      su_una_riga += righe[i];
    }
  }
  banco a(righe), b(su_una_riga);
  ASSERT_TRUE(a.leggi());
  ASSERT_TRUE(b.leggi());
  ASSERT_EQ(a.m.celle.size(), b.m.celle.size());
  for (std::size_t i = 0; i < a.m.celle.size(); ++i) {
    ASSERT_EQ(a.m.celle[i].pendenza, b.m.celle[i].pendenza) << i;
    ASSERT_EQ(a.m.celle[i].tipo, b.m.celle[i].tipo) << i;
    ASSERT_EQ(a.m.celle[i].dato1, b.m.celle[i].dato1) << i;
  }
  for (std::size_t e = 0; e < a.m.voci.size(); ++e) EXPECT_EQ(a.m.voci[e].nome, b.m.voci[e].nome) << e;
}

}  // namespace
}  // namespace scenario
