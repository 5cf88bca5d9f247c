// The built-in train card, read back from the written file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "run/nomi.h"
#include "tests/righe_prova.h"

namespace scenario {
namespace {

std::vector<std::string> scheda() { return prova::righe_scritte(file_scenario::scheda_treno); }

const char* const kRigaVuota = " |     |     |          |     |                            |                |     |";
const char* const kRegolo = " |_____|_____|__________|_____|____________________________|________________|_____|";

TEST(SchedaTreno, RigheFisse) {
  const std::vector<std::string> r = scheda();
  ASSERT_EQ(r.size(), 61u);
  const std::pair<int, const char*> attese[] = {
      {0, ""},
      {1, ""},
      {2, "  ___________________                                               ______________"},
      {3, " |                   |                    SCHEDA                   |              |"},
      {4, " |   TRENO n.24817   |                   da: VELMO                 |    V160 B    |"},
      {5, " |___________________|                    a: VERDAL                |     120 %    |"},
      {6, "                                                                   |______________|"},
      {7, "  ___________________                ___________________"},
      {8, " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       "},
      {9, " |        REG        |              |      350 T        |"},
      {10, " |___________________|              |___________________|"},
      {11, ""},
      {12, "  ________________________________________________________________________________"},
      {13, " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |"},
      {14, " | Lim.|Marc.|          |  Rs |                            |                |     |"},
      {15, kRegolo},
      {59, kRegolo},
      {60, ""},
  };
  for (const auto& [slot, testo] : attese) EXPECT_EQ(r[slot], testo) << "casella " << slot;
  for (int slot = 29; slot <= 58; ++slot) EXPECT_EQ(r[slot], kRigaVuota) << "casella " << slot;
  for (int slot = 13; slot <= 59; ++slot) EXPECT_EQ(r[slot].size(), 83u) << "casella " << slot;
}

// One route row cut into its seven cells.
struct riga_orario {
  std::string vel, marc, progressiva, rs, localita, orario, rec;
};

riga_orario celle_di(const std::string& r) {
  // " |" then seven cells of 5, 5, 10, 5, 28, 16, 5 characters, each closed by "|".
  const int larghezze[7] = {5, 5, 10, 5, 28, 16, 5};
  std::vector<std::string> c;
  std::size_t i = 2;
  EXPECT_EQ(r.substr(0, 2), " |") << r;
  for (int w : larghezze) {
    c.push_back(r.substr(i, static_cast<std::size_t>(w)));
    EXPECT_EQ(r.substr(i + static_cast<std::size_t>(w), 1), "|") << r;
    i += static_cast<std::size_t>(w) + 1;
  }
  return {c[0], c[1], c[2], c[3], c[4], c[5], c[6]};
}

int minuti(const std::string& ora) {
  const std::size_t punto = ora.find('.');
  return std::stoi(ora.substr(0, punto)) * 60 + std::stoi(ora.substr(punto + 1));
}

TEST(SchedaTreno, RigheDelPercorsoConcordanoConLaDescrizioneDelTreno) {
  const std::vector<std::string> r = scheda();
  ASSERT_EQ(r.size(), 61u);
  const auto stazioni = prova::record(prova::righe_scritte(file_scenario::descrizione_treno), "stazione");
  const auto velocita = prova::record(prova::righe_scritte(file_scenario::descrizione_treno), "velocita");

  const std::regex vel(" *([0-9]{1,4}) "), progressiva(" *([0-9]{1,3}\\.[0-9]{3})");
  const std::regex orario("  ([0-9]\\.[0-9]{2}|    )  ( |-) ([0-9]\\.[0-9]{2}|    )  ");
  const std::regex km("(cippo )?km ([0-9]{1,3}\\.[0-9]{3})");
  int con_velocita = 0, con_recupero = 0, arrivo_e_partenza = 0, transiti = 0, punti_km = 0;
  std::size_t stazione = 0;
  double progressiva_precedente = 1e9;
  int ora_precedente = 0;
  for (int slot = 16; slot <= 28; ++slot) {
    SCOPED_TRACE(r[slot]);
    const riga_orario c = celle_di(r[slot]);
    EXPECT_EQ(c.marc, "     ");
    EXPECT_EQ(c.rs, "     ");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(c.progressiva, m, progressiva));
    const std::string pk_testo = m[1];
    const double pk = std::stod(pk_testo);
    EXPECT_LT(pk, progressiva_precedente);
    progressiva_precedente = pk;
    int limite = 0;
    if (c.vel != "     ") {
      ASSERT_TRUE(std::regex_match(c.vel, m, vel));
      limite = std::stoi(m[1]);
      ++con_velocita;
    }
    if (c.rec != "     ") {
      EXPECT_TRUE(c.rec == " 0.5 " || c.rec == "  1  " || c.rec == "  2  ") << c.rec;
      ++con_recupero;
    }
    ASSERT_EQ(c.localita.front(), ' ');
    const std::string luogo = c.localita.substr(1, c.localita.find_last_not_of(' '));
    ASSERT_TRUE(std::regex_match(c.orario, m, orario));
    const std::string arrivo = m[1], trattino = m[2], partenza = m[3];
    std::smatch mk;
    if (std::regex_match(luogo, mk, km)) {
      // A kilometre point where the speed limit changes: the train has a
      // speed record there, to within the 50 m grid.
      ++punti_km;
      EXPECT_EQ(mk[2], pk_testo);
      EXPECT_EQ(c.orario, std::string(16, ' '));
      EXPECT_EQ(c.rec, "     ");
      ASSERT_NE(limite, 0);
      bool trovato = false;
      for (const auto& v : velocita) {
        if (std::abs(100800 - prova::intero(v[1]) - pk * 1000) <= 50 && prova::intero(v[2]) == limite) trovato = true;
      }
      EXPECT_TRUE(trovato);
      continue;
    }
    // A place: the train description's next station, at its chainage.
    ASSERT_LT(stazione, stazioni.size());
    EXPECT_EQ(luogo, stazioni[stazione][17]);
    EXPECT_LE(std::abs(100800 - prova::intero(stazioni[stazione][1]) - pk * 1000), 50.0);
    const bool prima = stazione == 0, ultima = stazione + 1 == stazioni.size();
    ++stazione;
    const bool ha_arrivo = arrivo != "    ", ha_partenza = partenza != "    ";
    EXPECT_EQ(trattino == "-", ha_arrivo && ha_partenza);
    if (prima) {
      EXPECT_TRUE(!ha_arrivo && ha_partenza);
    } else if (ultima) {
      EXPECT_TRUE(ha_arrivo && !ha_partenza);
    } else if (!ha_arrivo) {
      EXPECT_TRUE(ha_partenza);
      EXPECT_EQ(luogo.rfind("P.M. ", 0), 0u);  // passed without stopping
      ++transiti;
    } else {
      EXPECT_TRUE(ha_partenza);
      ++arrivo_e_partenza;
    }
    for (const std::string& ora : {arrivo, partenza}) {
      if (ora == "    ") continue;
      EXPECT_GE(minuti(ora), ora_precedente) << ora;
      ora_precedente = minuti(ora);
    }
  }
  EXPECT_EQ(stazione, 10u);
  EXPECT_EQ(punti_km, 3);
  EXPECT_EQ(transiti, 1);
  EXPECT_EQ(arrivo_e_partenza, 7);
  EXPECT_EQ(con_velocita, 7);
  EXPECT_EQ(con_recupero, 6);
  EXPECT_EQ(r[16].substr(14, 10), "   100.769");
  EXPECT_EQ(r[28].substr(14, 10), "    65.028");
  for (const char* citata : {" | 135 |     |    92.540|     | TASCAVIA                   |  6.48  - 6.49  | 0.5 |",
                             " | 120 |     |    84.000|     | cippo km 84.000            |                |     |"}) {
    EXPECT_EQ(std::count(r.begin() + 16, r.begin() + 29, citata), 1) << citata;
  }
}

}  // namespace
}  // namespace scenario
