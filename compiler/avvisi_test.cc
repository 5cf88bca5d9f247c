#include "compiler/avvisi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/memorizza.h"
#include "platform/piattaforma_memoria.h"
#include "common/nomi.h"

namespace scenario {
namespace {

std::string righe(const std::vector<std::string>& r) {
  std::string t;
  for (const std::string& x : r) t += x + "\r\n";
  return t;
}

// Both descriptions read into a fresh model. The line is 10000 m long; its
// general section takes lines 1 to 3, so its first extra record is on line 4.
// The train's first extra record is on line 3.
modello leggi(const std::vector<std::string>& linea, const std::vector<std::string>& treno, int32_t calcola = 1,
              const std::vector<std::string>& generale = {}) {
  piattaforma_memoria p;
  modello m;
  m.nome_linea = "L";
  m.numero_treno = "1";
  m.calcola_tracciato = calcola;
  std::vector<std::string> l = {"[generale]", "lunghezza percorso, 10000"};
  l.insert(l.end(), generale.begin(), generale.end());
  l.push_back("[linea]");
  l.insert(l.end(), linea.begin(), linea.end());
  l.push_back("[fine]");
  std::vector<std::string> t = {"[generale]", "velocita, 0, 30"};
  t.insert(t.end(), treno.begin(), treno.end());
  t.push_back("[fine]");
  p.file[nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_linea)] = righe(l);
  p.file[nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_treno)] = righe(t);
  memorizza_dati(p, m);
  // These trains have no station on purpose; what a train lacks is tested
  // on its own below.
  std::erase_if(m.avvisi, [](const avviso& a) { return a.tipo == avviso_descrizione; });
  return m;
}

constexpr const char* kMontagna = "montagna, 4000, 5000, 11";  // markers on cells 83, 87, 91, 95, 99

// Each kind of warning from a small description, beside a close variant that
// the compiler takes as meant. `tipo` 0: no warning at all.
TEST(Avvisi, OgniTipoEIlSuoContrario) {
  struct caso {
    const char* nome;
    std::vector<std::string> linea;
    std::vector<std::string> treno;
    int32_t tipo;
    int file;
    int riga;
    int32_t posizione;
  };
  const std::vector<caso> casi = {
      {"pendenza prima della precedente", {"pendenza, 1000, 2", "pendenza, 500, 3"}, {}, avviso_ordine, 1, 5, 500},
      {"pendenza alla stessa posizione", {"pendenza, 1000, 2", "pendenza, 1000, 3"}, {}, avviso_ordine, 1, 5, 1000},
      {"pendenze in ordine", {"pendenza, 1000, 2", "pendenza, 1050, 3"}, {}, 0, 0, 0, 0},
      {"pendenza oltre 155", {"pendenza, 1000, 156"}, {}, avviso_pendenza, 1, 4, 1000},
      {"pendenza sotto -100", {"pendenza, 1000, -101"}, {}, avviso_pendenza, 1, 4, 1000},
      {"pendenze agli estremi", {"pendenza, 1000, 155", "pendenza, 2000, -100"}, {}, 0, 0, 0, 0},
      {"curva dentro la precedente", {"curvad4, 1000, 400", "curvas3, 1200, 300"}, {}, avviso_sovrapposizione, 1, 5,
       1200},
      {"curva prima della precedente", {"curvad4, 1000, 400", "curvas3, 900, 50"}, {}, avviso_ordine, 1, 5, 900},
      {"curva alla fine della precedente", {"curvad4, 1000, 400", "curvas3, 1400, 300"}, {}, 0, 0, 0, 0},
      {"cartello di velocita su un segno di montagna",
       {kMontagna, "indicatori_vmax, 4300, 90, 110, 110, 0, , , , 0"}, {}, avviso_sostituzione, 1, 5, 4300},
      {"cartello di velocita accanto", {kMontagna, "indicatori_vmax, 4250, 90, 110, 110, 0, , , , 0"}, {}, 0, 0, 0,
       0},
      {"cartello con testo su un segno di montagna", {kMontagna, "cartello_indicatore, 4300, (PL)(1+200)"}, {},
       avviso_sostituzione, 1, 5, 4300},
      {"velocita del cartello fuori passo", {"indicatori_vmax, 700, 90, 110, 112, 0, 3, , , 0"}, {}, avviso_velocita,
       1, 4, 700},
      {"velocita del cartello a passo", {"indicatori_vmax, 700, 90, 110, 115, 0, 5, , , 0"}, {}, 0, 0, 0, 0},
      {"parola sconosciuta con i suoi valori", {"pendenze, 100, 5"}, {}, avviso_parola, 1, 4, 0},
      {"un valore di troppo", {"pendenza, 100, 5, 7"}, {}, avviso_parola, 1, 4, 0},
      {"righe vuote e intestazioni", {"", "[qualunque]", "  ", "pendenza, 100, 5"}, {}, 0, 0, 0, 0},
      {"velocita prima della precedente", {}, {"velocita, 1000, 40", "velocita, 800, 50"}, avviso_ordine, 2, 4, 800},
      {"velocita fuori passo", {}, {"velocita, 1000, 42"}, avviso_velocita, 2, 3, 1000},
      {"aderenza prima della precedente", {}, {"aderenza, 1000, 40", "aderenza, 1000, 50"}, avviso_ordine, 2, 4,
       1000},
      {"segnaposto di stazione su un segnale",
       {},
       {"segnale, 7500, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0", "stazione, 7300, 4, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 7,0,0, X"},
       avviso_sostituzione, 2, 4, 7300},
      {"segnale su un segno di montagna", {kMontagna}, {"segnale, 4300, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0"},
       avviso_sostituzione, 2, 3, 4300},
      {"avviso di rallentamento su un segno di montagna", {kMontagna}, {"rallentamento, 5300, 60, 400, 0, 0, 0"},
       avviso_sostituzione, 2, 3, 5300},
      {"abbattimento su un segno di montagna", {kMontagna}, {"abbattimento, 4350, 3"}, avviso_sostituzione, 2, 3,
       4350},
      {"abbattimento accanto", {kMontagna}, {"abbattimento, 4300, 3"}, 0, 0, 0, 0},
      {"parola sconosciuta nel treno", {}, {"segnali, 100"}, avviso_parola, 2, 3, 0},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const modello m = leggi(c.linea, c.treno);
    EXPECT_TRUE(m.guasti.empty()) << m.guasti.front().codice;
    if (c.tipo == 0) {
      EXPECT_TRUE(m.avvisi.empty()) << m.avvisi.front().testo;
      continue;
    }
    ASSERT_EQ(m.avvisi.size(), 1u) << m.avvisi.back().testo;
    const avviso& a = m.avvisi[0];
    EXPECT_EQ(a.tipo, c.tipo) << a.testo;
    EXPECT_EQ(a.file, c.file);
    EXPECT_EQ(a.riga, c.riga);
    EXPECT_EQ(a.posizione, c.posizione);
    EXPECT_FALSE(a.testo.empty());
  }
}

TEST(Avvisi, SezioneGenerale) {
  const modello m = leggi({}, {}, 1, {"Progressiva chilometrica uno, 0, 100, 0", "sfondo quattro, 1", "sfondo due, 1"});
  ASSERT_EQ(m.avvisi.size(), 2u);
  EXPECT_EQ(m.avvisi[0].riga, 3);
  EXPECT_NE(m.avvisi[0].testo.find("\"Progressiva chilometrica uno\""), std::string::npos) << m.avvisi[0].testo;
  EXPECT_EQ(m.avvisi[1].riga, 4);
}

// Without the plan the curve records are not read: their values stand in
// keyword position, as the author wrote them, and are not warned about.
TEST(Avvisi, CurveSenzaPianoNonAvvisano) {
  EXPECT_TRUE(leggi({"curvad4, 1000, 400", "curvas3, 1200, 300"}, {}, 0).avvisi.empty());
}

// Warnings and faults share one order, the order of reading: here a line
// warning, a train warning, then the station's fault (its position is off
// the 50 m grid), which ends the reading.
TEST(Avvisi, OrdineInsiemeAiGuasti) {
  const modello m = leggi({"pendenze, 1, 2"},
                          {"velocita, 1000, 42", "stazione, 1025, 4, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 7,0,0, X",
                           "velocita, 900, 40"});
  ASSERT_EQ(m.avvisi.size(), 2u);
  ASSERT_EQ(m.guasti.size(), 1u);
  EXPECT_EQ(m.guasti[0].codice, 8);
  EXPECT_EQ(m.avvisi[0].ordine, 0);
  EXPECT_EQ(m.avvisi[1].ordine, 1);
  EXPECT_EQ(m.guasti[0].ordine, 2);
}

TEST(Avvisi, GuastoInEsecuzioneDiceCheCosa) {
  // The record is cut short by the end of the file.
  piattaforma_memoria p;
  modello m;
  m.nome_linea = "L";
  m.numero_treno = "1";
  m.calcola_tracciato = 1;
  p.file[nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_linea)] =
      "[generale]\r\nlunghezza percorso, 10000\r\n[linea]\r\npendenza, 100";
  p.file[nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_treno)] = "[generale]\r\n";
  memorizza_dati(p, m);
  ASSERT_EQ(m.guasti.size(), 1u);
  EXPECT_EQ(m.guasti[0].codice, 25);
  EXPECT_EQ(m.guasti[0].file, 1);
  EXPECT_EQ(m.guasti[0].riga, 4);
  EXPECT_EQ(m.guasti[0].dettaglio, "lettura oltre la fine del file");
}

// A code left by the line description stops the train's reading at its
// first signal; the fault recorded there says so, since its code is not
// this record's.
TEST(Avvisi, GuastoRipresoDalPrecedente) {
  const modello m = leggi({"pendenza, 99000, 1"}, {"segnale, 3000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0"});
  ASSERT_EQ(m.guasti.size(), 2u);
  EXPECT_EQ(m.guasti[0].codice, 15);
  EXPECT_EQ(m.guasti[0].file, 1);
  EXPECT_TRUE(m.guasti[0].dettaglio.empty());
  EXPECT_EQ(m.guasti[1].codice, 15);
  EXPECT_EQ(m.guasti[1].file, 2);
  EXPECT_EQ(m.guasti[1].riga, 3);
  EXPECT_EQ(m.guasti[1].posizione, 3000);
  EXPECT_EQ(m.guasti[1].dettaglio, "la lettura si ferma qui per il guasto precedente (codice 15)");
}

TEST(Avvisi, CampoCitato) {
  EXPECT_EQ(campo_citato("  pend\xE8nze "), "\"pend\xC3\xA8nze\"");
  EXPECT_EQ(campo_citato(std::string(70, 'a')), "\"" + std::string(60, 'a') + "...\"");
  EXPECT_TRUE(intestazione(" [fine]"));
  EXPECT_FALSE(intestazione("x[fine]"));
  EXPECT_FALSE(intestazione("[fine"));
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// A million unknown keywords: a hundred warnings kept, every one counted.
TEST(Avvisi, LimitatiPerTipoMaContatiTutti) {
  constexpr int64_t kCampi = 1000000;
  std::string linea = "[generale]\r\nlunghezza percorso, 10000\r\n[linea]\r\n";
  linea.reserve(linea.size() + kCampi * 5 + 16);
  for (int64_t i = 0; i < kCampi; ++i) linea += "xyz\r\n";
  linea += "[fine]\r\n";
  piattaforma_memoria p;
  modello m;
  m.nome_linea = "L";
  m.numero_treno = "1";
  p.file[nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_linea)] = linea;
  p.file[nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_treno)] =
      "[generale]\r\nvelocita, 0, 30\r\nstazione, 0, 26, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, A\r\n[fine]\r\n";
  memorizza_dati(p, m);
  EXPECT_EQ(m.avvisi.size(), static_cast<std::size_t>(kDiagnosiPerGenere));
  EXPECT_EQ(m.avvisi_contati[avviso_parola], kCampi);
  EXPECT_EQ(m.avvisi.back().riga, 3 + kDiagnosiPerGenere);
}

}  // namespace
}  // namespace scenario
