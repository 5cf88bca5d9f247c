// The built-in slowdown order form, read back from the written file.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/nomi.h"
#include "tests/righe_prova.h"

namespace scenario {
namespace {

TEST(ModuloRallentamenti, IlModuloInBiancoRigaPerRiga) {
  const std::vector<std::string> r = prova::righe_scritte(file_scenario::rallentamenti);
  ASSERT_EQ(r.size(), 46u);
  const std::string regolo = " |___|____________________________|____________|__________|_________|____________|";
  const std::string vuota = " |   |                            |            |          |         |            |";
  const std::pair<int, std::string> attese[] = {
      {0, ""},
      {1, std::string(31, ' ') + "Modulo M. 3"},
      {2, std::string(27, ' ') + "ORDINE DI RALLENTAMENTO"},
      {3, " " + std::string(80, '_')},
      {4, "  Linea  xxxxxx xxxxxxx"},
      {5, ""},
      {6, "  Si ordina al macchinista del treno xxxxx di effettuare i seguenti rallentamenti"},
      {7, "  " + std::string(79, '_')},
      {8, " |   |                            |Inizio dopo |          |         |            |"},
      {9, " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|"},
      {10, " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |"},
      {11, regolo},
      {38, regolo},
      {39, ""},
      {40, std::string(14, ' ') + "Prescrizioni specifiche"},
      {41, " A - Da rispettare con tutto il treno (per i treni viaggiatori)"},
      {42, " B - Interessa anche la stazione di......."},
      {43, " D - Rallentamneto N. ... e N. ...  sono contigui"},
      {44, " C - Da rispettare dalle ore ....  alle ore ..... di tutti"},
      {45, "     i giorni esclusi i seguenti:........."},
  };
  for (const auto& [slot, testo] : attese) EXPECT_EQ(r[slot], testo) << "casella " << slot;
  for (int slot = 12; slot <= 37; ++slot) EXPECT_EQ(r[slot], vuota) << "casella " << slot;
  for (int slot = 8; slot <= 38; ++slot) EXPECT_EQ(r[slot].size(), 82u) << "casella " << slot;
  for (const std::string& riga : r) {
    if (!riga.empty()) {
      EXPECT_NE(riga.back(), ' ') << "\"" << riga << "\"";
    }
  }
}

}  // namespace
}  // namespace scenario
