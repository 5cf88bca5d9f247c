#include "run/programma.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/versione.h"
#include "platform/piattaforma_memoria.h"

namespace scenario {
namespace {

TEST(Programma, AiutoEVersioneMostranoIlTestoSenzaToccareFile) {
  const std::string versione = std::string("genera_scenario ") + kVersione + "\n";
  struct caso {
    std::vector<std::string> argomenti;
    bool aiuto;  // else the version
  };
  const caso casi[] = {
      {{"--help"}, true},
      {{"-h"}, true},
      {{"--version"}, false},
      // The first of them counts, wherever it stands.
      {{"altro", "--version", "--help"}, false},
      {{"-x", "--help", "--version"}, true},
  };
  for (const caso& k : casi) {
    SCOPED_TRACE(k.argomenti.front() + " ...");
    piattaforma_memoria p;
    EXPECT_EQ(programma(p, k.argomenti), 0);
    ASSERT_EQ(p.informazioni.size(), 1u);
    if (k.aiuto) {
      EXPECT_EQ(p.informazioni[0].rfind("uso: genera_scenario [--help | --version]\n", 0), 0u) << p.informazioni[0];
    } else {
      EXPECT_EQ(p.informazioni[0], versione);
    }
    EXPECT_TRUE(p.file.empty());
    EXPECT_EQ(p.attese, 0);
    EXPECT_TRUE(p.messaggi.empty());
  }
}

TEST(Programma, GliAltriArgomentiSonoIgnorati) {
  piattaforma_memoria senza, con;
  EXPECT_EQ(programma(senza, {}), 0);
  EXPECT_EQ(programma(con, {"--out", "x", "-v", "--helpx", "version"}), 0);
  EXPECT_EQ(con.file.size(), 6u);
  EXPECT_EQ(con.file, senza.file);
  EXPECT_TRUE(con.informazioni.empty());
  EXPECT_EQ(con.attese, 1);
}

}  // namespace
}  // namespace scenario
