#include "chart/grafico.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/tracciato.h"
#include "platform/cp1252.h"
#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/nomi.h"
#include "common/righe.h"
#include "tests/esecuzione_strumento.h"
#include "tests/prova.h"
#include "tests/svg_prova.h"
#include "texts/testi.h"
#include "tool/comandi.h"
#include "compiler/compila_testi.h"
#include "reader/curve.h"
#include "chart/svg.h"

namespace scenario {
namespace {

using prova::cartella_temporanea;
using prova::leggi_file;
using prova::scrivi_file;

using prova::elementi;
using prova::con_classe;

// ---------------------------------------------------------------------------

using prova::fixture_autori;
std::string fixture(const std::string& nome) { return fixture_autori(nome); }

using prova::esecuzione;
using prova::esegui;

// ---------------------------------------------------------------------------
TEST(StrumentoGrafico, DaiFileBinariComeDalleDescrizioni) {
  cartella_temporanea c;
  piattaforma_memoria p;
  const std::string linea = c.file("linea.txt"), treno = c.file("treno.txt");
  scrivi_file(linea, testo_righe(righe_linea(p)));
  scrivi_file(treno, testo_righe(righe_treno(p)));
  ASSERT_EQ(esegui({"compila", linea, treno, "--out", c.percorso().string()}).stato, 0);
  const std::string sim = c.file(nome_semplice(kNomeLinea, kNumeroTreno, file_scenario::voci));
  const std::string dat = c.file(nome_semplice(kNomeLinea, kNumeroTreno, file_scenario::celle));
  const std::string geo = c.file(nome_semplice(kNomeLinea, kNumeroTreno, file_scenario::geometria_linea));

  const esecuzione incorporato = esegui({"grafico"});
  const esecuzione descrizioni = esegui({"grafico", linea, treno});
  const esecuzione binari = esegui({"chart", geo, dat, sim});
  for (const esecuzione* e : {&incorporato, &descrizioni, &binari}) {
    EXPECT_EQ(e->stato, 0) << e->err;
    EXPECT_EQ(e->out.rfind("<?xml", 0), 0u);
    EXPECT_NE(e->err.find("etichette omesse"), std::string::npos);
  }
  EXPECT_EQ(descrizioni.out, incorporato.out);
  EXPECT_EQ(binari.out, incorporato.out);

  // Without the geometry: no plan and no curves, and the chart says so.
  const esecuzione senza = esegui({"grafico", sim, dat, "--from", "1000", "--to", "9000"});
  EXPECT_EQ(senza.stato, 0) << senza.err;
  const auto v = elementi(senza.out);
  EXPECT_TRUE(con_classe(v, "curva").empty());
  EXPECT_TRUE(con_classe(v, "linea-pianta").empty());
  EXPECT_NE(senza.out.find("geometria della linea assente"), std::string::npos);
  EXPECT_EQ(con_classe(v, "etichetta-stazione").size(), 2u);  // 3250 and 8250 m

  // --out writes the same page to a file, and nothing to the output.
  const std::string svg = c.file("scenario.svg");
  const esecuzione su_file = esegui({"grafico", "--out", svg});
  EXPECT_EQ(su_file.stato, 0);
  EXPECT_TRUE(su_file.out.empty());
  EXPECT_EQ(leggi_file(svg), incorporato.out);
  EXPECT_EQ(esegui({"chart", "-o", "-"}).out, incorporato.out);
}

// Binary files are titled with the identity of their names, or of
// --line-name and --train, whatever name they were compiled under; the
// standard error says where the title comes from.
TEST(StrumentoGrafico, TitoloDaiNomiDeiFileBinari) {
  cartella_temporanea c;
  piattaforma_memoria p;
  scrivi_file(c.file("l.txt"), testo_righe(righe_linea(p)));
  scrivi_file(c.file("t.txt"), testo_righe(righe_treno(p)));
  ASSERT_EQ(esegui({"compila", c.file("l.txt"), c.file("t.txt"), "--out", c.percorso().string()}).stato, 0);
  const std::string sim = leggi_file(c.file(nome_semplice(kNomeLinea, kNumeroTreno, file_scenario::voci)));
  const std::string dat = leggi_file(c.file(nome_semplice(kNomeLinea, kNumeroTreno, file_scenario::celle)));
  // A name in bytes that are not UTF-8 exists only where names are bytes;
  // Windows keeps names in UTF-16.
  const bool nomi_in_byte = piattaforma_di_sistema()->separatore() == "/";
  for (const char* nome : {"Linea_nord_901.sim", "Linea_nord_901.dat", "Linea_nord_902.dat", "voci.sim",
                           "celle.dat", "Citt\xE0_3.sim", "Citt\xE0_3.dat"}) {
    if (!nomi_in_byte && std::string(nome).find('\xE0') != std::string::npos) continue;
    scrivi_file(c.file(nome), std::string(nome).find(".sim") != std::string::npos ? sim : dat);
  }
  const struct {
    std::vector<std::string> argomenti;
    const char* titolo;
    const char* detto;  // on the standard error
  } casi[] = {
      {{"Linea_nord_901.sim", "Linea_nord_901.dat"}, "Linea_nord · treno 901",
       "linea \"Linea_nord\" dal nome di "},
      {{"Linea_nord_901.sim", "Linea_nord_901.dat", "--train", "5"}, "Linea_nord · treno 5", "treno \"5\" da --train"},
      {{"Linea_nord_901.sim", "Linea_nord_901.dat", "--line-name", "Sud", "--train", "7"}, "Sud · treno 7",
       "linea \"Sud\" da --line-name; treno \"7\" da --train"},
      {{"Linea_nord_901.sim", "Linea_nord_902.dat"}, "Linea_nord · treno 901",
       "Linea_nord_902.dat dice treno \"902\""},
      {{"celle.dat", "Linea_nord_901.sim"}, "Linea_nord · treno 901", "dal nome di "},
      {{"voci.sim", "celle.dat"}, "Velmo - Montegrieve · treno 24817", "dal file delle voci"},
      {{"Citt\xE0_3.sim", "Citt\xE0_3.dat"}, "Città · treno 3", "linea \"Città\""},
  };
  for (const auto& k : casi) {
    if (!nomi_in_byte && k.argomenti[0].find('\xE0') != std::string::npos) continue;
    std::vector<std::string> a = {"grafico"};
    for (const std::string& x : k.argomenti) a.push_back(x.rfind("--", 0) == 0 || a.back().rfind("--", 0) == 0 ? x : c.file(x));
    SCOPED_TRACE(k.titolo);
    const esecuzione e = esegui(a);
    ASSERT_EQ(e.stato, 0) << e.err;
    const auto v = elementi(e.out);
    const auto titoli = con_classe(v, "titolo");
    ASSERT_EQ(titoli.size(), 1u);
    EXPECT_EQ(titoli[0].testo, k.titolo);
    EXPECT_NE(e.err.find(k.detto), std::string::npos) << e.err;
  }
}

TEST(StrumentoGrafico, DescrizioniConGuastiORapporto) {
  const esecuzione guasti = esegui({"grafico", fixture("guasti_linea.txt"), fixture("guasti_treno.txt")});
  EXPECT_EQ(guasti.stato, 1);
  EXPECT_NE(guasti.err.find("guasti_treno.txt:19: errore: codice 15"), std::string::npos) << guasti.err;
  EXPECT_EQ(guasti.err.find("avviso"), std::string::npos);
  EXPECT_EQ(elementi(guasti.out).empty(), false);

  cartella_temporanea c;
  scrivi_file(c.file("vuota.txt"), "nessuna sezione\r\n");
  const esecuzione rapporto = esegui({"grafico", c.file("vuota.txt"), fixture("treno.txt")});
  EXPECT_EQ(rapporto.stato, 2);
  EXPECT_TRUE(rapporto.out.empty());
  EXPECT_NE(rapporto.err.find("nessun disegno"), std::string::npos);
}

TEST(StrumentoGrafico, ArgomentiInservibili) {
  cartella_temporanea c;
  scrivi_file(c.file("corto.dat"), std::string(52, '\0'));
  scrivi_file(c.file("a.sim"), "");
  const std::string l = fixture("linea.txt"), t = fixture("treno.txt");
  const struct {
    std::vector<std::string> argomenti;
    const char* messaggio;
  } casi[] = {
      {{"grafico", l}, "servono due descrizioni"},
      {{"grafico", l, t, c.file("x.sim")}, "insieme"},
      {{"grafico", c.file("a.sim"), c.file("b.sim")}, "due file voci"},
      {{"grafico", c.file("corto.dat")}, "servono il file delle voci"},
      {{"grafico", c.file("a.sim"), c.file("corto.dat")}, "malformato all'offset"},
      {{"grafico", c.file("manca.sim"), c.file("corto.dat")}, "impossibile leggere"},
      {{"grafico", l, c.file("manca.txt")}, "impossibile leggere"},
      {{"grafico", "--from", "9000", "--to", "3000"}, "--from non è prima di --to"},
      {{"grafico", "--from", "dieci"}, "non è un numero"},
      {{"grafico", "--from", "500000"}, "oltre la fine del tracciato"},
      {{"grafico", "--out", c.file("manca/x.svg")}, "impossibile scrivere"},
  };
  for (const auto& k : casi) {
    const esecuzione e = esegui(k.argomenti);
    EXPECT_EQ(e.stato, 3) << k.messaggio;
    EXPECT_NE(e.err.find(k.messaggio), std::string::npos) << e.err;
    EXPECT_TRUE(e.out.empty()) << k.messaggio;
  }
  const esecuzione aiuto = esegui({"grafico", "--help"});
  EXPECT_EQ(aiuto.stato, 0);
  EXPECT_NE(aiuto.out.find("uso: scenario grafico"), std::string::npos);
  EXPECT_NE(esegui({"--help"}).out.find("grafico, chart"), std::string::npos);
}

}  // namespace
}  // namespace scenario
