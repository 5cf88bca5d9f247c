// The built-in train card, read back from the written file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "common/nomi.h"
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

bool cifre(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A cell's text right-aligned: blanks, then the text, which holds none.
std::string a_destra(const std::string& cella) {
  const std::size_t i = cella.find_first_not_of(' ');
  const std::string testo = i == std::string::npos ? "" : cella.substr(i);
  EXPECT_EQ(testo.find(' '), std::string::npos) << "\"" << cella << "\"";
  return testo;
}

// "92.540": kilometres, a point, three decimals.
bool progressiva_valida(const std::string& s) {
  const std::size_t punto = s.find('.');
  return punto != std::string::npos && punto >= 1 && punto <= 3 && s.size() == punto + 4 &&
         cifre(s.substr(0, punto)) && cifre(s.substr(punto + 1));
}

// "6.43": hour, a point, two-digit minutes, in the four positions of a time.
bool ora_valida(const std::string& s) {
  return s.size() == 4 && cifre(s.substr(0, 1)) && s[1] == '.' && cifre(s.substr(2));
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

  int con_velocita = 0, con_recupero = 0, arrivo_e_partenza = 0, transiti = 0, punti_km = 0;
  std::size_t stazione = 0;
  double progressiva_precedente = 1e9;
  int ora_precedente = 0;
  for (int slot = 16; slot <= 28; ++slot) {
    SCOPED_TRACE(r[slot]);
    const riga_orario c = celle_di(r[slot]);
    EXPECT_EQ(c.marc, "     ");
    EXPECT_EQ(c.rs, "     ");
    const std::string pk_testo = a_destra(c.progressiva);
    ASSERT_TRUE(progressiva_valida(pk_testo));
    const double pk = std::stod(pk_testo);
    EXPECT_LT(pk, progressiva_precedente);
    progressiva_precedente = pk;
    int limite = 0;
    if (c.vel != "     ") {
      // Right-aligned in the first four positions, then a blank.
      EXPECT_EQ(c.vel.back(), ' ');
      const std::string v = a_destra(c.vel.substr(0, 4));
      ASSERT_TRUE(cifre(v));
      limite = std::stoi(v);
      ++con_velocita;
    }
    if (c.rec != "     ") {
      EXPECT_TRUE(c.rec == " 0.5 " || c.rec == "  1  " || c.rec == "  2  ") << c.rec;
      ++con_recupero;
    }
    ASSERT_EQ(c.localita.front(), ' ');
    const std::string luogo = c.localita.substr(1, c.localita.find_last_not_of(' '));
    // Arrival in positions 3 to 6, a dash in 9, departure in 11 to 14.
    const std::string arrivo = c.orario.substr(2, 4), trattino = c.orario.substr(8, 1),
                      partenza = c.orario.substr(10, 4);
    EXPECT_EQ(c.orario.substr(0, 2) + c.orario.substr(6, 2) + c.orario.substr(9, 1) + c.orario.substr(14), "       ");
    EXPECT_TRUE(trattino == " " || trattino == "-");
    EXPECT_TRUE(arrivo == "    " || ora_valida(arrivo)) << arrivo;
    EXPECT_TRUE(partenza == "    " || ora_valida(partenza)) << partenza;
    if (luogo == "km " + pk_testo || luogo == "cippo km " + pk_testo) {
      // A kilometre point where the speed limit changes: the train has a
      // speed record there, to within the 50 m grid.
      ++punti_km;
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
