// The program's run and its folder: held for the whole run, a killed run's
// leftovers dealt with first, every name checked before the first write.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/identita.h"
#include "common/nomi.h"
#include "run/generazione.h"
#include "tests/prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

std::string semplice(file_scenario f) { return nome_semplice(kNomeLinea, kNumeroTreno, f); }

using prova::piattaforma_con_rapporti;

// A folder at any of the eight names: refused before anything is written,
// the earlier files as they were.
TEST(GenerazioneInsieme, UnaCartellaAUnNomeRifiutaPrimaDiScrivere) {
  for (file_scenario f : {file_scenario::note, file_scenario::geometria_linea, file_scenario::celle}) {
    SCOPED_TRACE(semplice(f));
    prova::cartella_temporanea c;
    prova::scrivi_file(c.file(semplice(file_scenario::note)), "note di prima");
    fs::remove(c.file(semplice(f)));
    fs::create_directory(c.file(semplice(f)));
    piattaforma_con_rapporti p(c);
    EXPECT_EQ(esegui(p), 1);
    ASSERT_EQ(p.errori.size(), 1u);
    EXPECT_EQ(p.errori[0].file(), c.file(semplice(f)));
    EXPECT_NE(p.errori[0].descrizione().find("nessun file scritto"), std::string::npos) << p.errori[0].descrizione();
    std::vector<std::string> attesi = {semplice(f)};
    if (f != file_scenario::note) attesi.push_back(semplice(file_scenario::note));
    std::sort(attesi.begin(), attesi.end());
    EXPECT_EQ(c.elenco(), attesi);
    if (f != file_scenario::note) {
      EXPECT_EQ(prova::leggi_file(c.file(semplice(file_scenario::note))), "note di prima");
    }
  }
}

// Another run holds the folder: this one refuses (status 3) and writes
// nothing, so neither reads the other's descriptions.
TEST(GenerazioneInsieme, UnaCartellaTenutaRifiutaLaCorsa) {
  prova::cartella_temporanea c;
  auto altra = piattaforma_di_sistema(c.percorso().string());
  const auto tenuta = altra->blocca(c.percorso().string(), 0);
  struct breve : piattaforma_con_rapporti {
    using piattaforma_con_rapporti::piattaforma_con_rapporti;
    std::unique_ptr<blocco_cartella> blocca(const std::string& cartella, int) override {
      return piattaforma_con_rapporti::blocca(cartella, 100);
    }
  } p(c);
  EXPECT_EQ(esegui(p), kStatoCartellaOccupata);
  ASSERT_EQ(p.errori.size(), 1u);
  EXPECT_NE(p.errori[0].descrizione().find("in uso da un'altra esecuzione"), std::string::npos);
  // Nothing but what holds the folder, where the system needs a file for it.
  for (const std::string& n : c.elenco()) EXPECT_EQ(n, ".scenario-blocco");
}

// A killed run left its temporaries and a journal: the next run completes
// that set first, says so in one line, and leaves its own six files only.
TEST(GenerazioneInsieme, LaCorsaSeguenteCompletaLInsiemeESiPulisce) {
  prova::cartella_temporanea c;
  prova::scrivi_file(c.file(".scenario-4-1.tmp"), "nuove");
  prova::scrivi_file(c.file(".scenario-insieme"),
                     "scenario: insieme di file\n.scenario-4-1.tmp\t" + semplice(file_scenario::voci) + "\t\nfine\n");
  prova::scrivi_file(c.file(".scenario-3-2.tmp"), "di una corsa uccisa prima del giornale");
  piattaforma_con_rapporti p(c);
  EXPECT_EQ(esegui(p), 0);
  ASSERT_EQ(p.annotazioni.size(), 1u);
  EXPECT_NE(p.annotazioni[0].find("completato"), std::string::npos) << p.annotazioni[0];
  EXPECT_NE(p.annotazioni[0].find("rimossi 1 file temporanei"), std::string::npos) << p.annotazioni[0];
  EXPECT_EQ(c.elenco().size(), 6u);
  for (const std::string& n : c.elenco()) EXPECT_NE(n[0], '.') << n;
}

}  // namespace
}  // namespace scenario
