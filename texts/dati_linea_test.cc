// The built-in line description, read back from the written file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/nomi.h"
#include "tests/righe_prova.h"

namespace scenario {
namespace {

using prova::intero;

std::vector<std::string> linea() { return prova::righe_scritte(file_scenario::descrizione_linea); }

std::string minuscolo(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(DescrizioneLinea, RigheFisseAlLoroPosto) {
  const std::vector<std::string> r = linea();
  ASSERT_EQ(r.size(), 154u);
  const std::pair<int, const char*> attese[] = {
      {1, "[generale]"},
      {2, "lunghezza percorso,    104300"},
      {3, "progressiva chilometrica uno,    0,    100800,    1"},
      {4, "progressiva chilometrica due,    100800,    190300,    1"},
      {5, "progressiva chilometrica tre,    0,    0,    0"},
      {6, "sfondo uno,    1"},
      {7, "sfondo due,    0"},
      {8, "sfondo tre,    0"},
      {9, "ripetizione segnali 4 codici,    0    ,0"},
      {10, "[curve]"},
      {11, "curvad5,  650,  600"},
      {12, "curvas5,  1350,  800"},
      {49, "curvad4,  100900,  600"},
      {50, "[pendenze]"},
      {51, "pendenza,   0,    0"},
      {81, "pendenza,  101500,   0"},
      {82, "[montagne]"},
      {83, "montagna,   91050,  93400,  11"},
      {84, "[cartelli]"},
      {85, "indicatori_vmax,  700,  90,  110,  110,  0,  ,  ,  ,  0"},
      {97, "[indicazioni]"},
      {154, "[fine]"},
  };
  for (const auto& [n, testo] : attese) EXPECT_EQ(r[n - 1], testo) << "riga " << n;
  for (const char* testo : {"pendenza,  700,   4", "pendenza,  11200,   -1", "pendenza,  11300,   -9",
                            "cartello_indicatore,  36300,   (diramazione)(per  BRENTALUCE)"}) {
    EXPECT_EQ(std::count(r.begin(), r.end(), testo), 1) << testo;
  }
}

TEST(DescrizioneLinea, OgniSezioneHaSoloISuoiRecordEleIntestazioniNessunaParolaChiave) {
  const std::vector<std::string> r = linea();
  ASSERT_EQ(r.size(), 154u);
  struct sezione {
    int da, a;  // lines, from 1
    const char* parola;
  };
  for (const sezione& s : {sezione{11, 49, "curva"}, sezione{51, 81, "pendenza,"}, sezione{83, 83, "montagna,"},
                           sezione{85, 96, "indicatori_vmax,"}, sezione{98, 153, "cartello_indicatore,"}}) {
    for (int n = s.da; n <= s.a; ++n) EXPECT_EQ(r[n - 1].rfind(s.parola, 0), 0u) << "riga " << n << ": " << r[n - 1];
  }
  // A header that held a record keyword would be read as a record.
  for (int n : {1, 10, 50, 82, 84, 97, 154}) {
    const std::string h = minuscolo(r[n - 1]);
    EXPECT_EQ(h.front(), '[');
    EXPECT_EQ(h.back(), ']');
    for (const char* parola : {"curva", "pendenza", "montagna", "indicatori_v", "lunghezza", "progressiva", "sfondo",
                               "ripetizione"}) {
      EXPECT_EQ(h.find(parola), std::string::npos) << h << " contiene " << parola;
    }
    EXPECT_FALSE(h.find("cartello") != std::string::npos && h.find("indicat") != std::string::npos) << h;
  }
  // A field with a dash where a keyword is expected would be dropped: the
  // only dashes are the minus signs of falling gradients.
  for (int n = 1; n <= 154; ++n) {
    const std::vector<std::string> c = prova::campi(r[n - 1]);
    for (std::size_t k = 0; k < c.size(); ++k) {
      if (c[k].find('-') == std::string::npos) continue;
      EXPECT_TRUE(c[0] == "pendenza" && k == 2 && intero(c[k]) < 0) << "riga " << n << ": " << r[n - 1];
    }
  }
}

TEST(DescrizioneLinea, CurvePerClasseEVersoInOrdineESenzaSovrapposizioni) {
  const auto curve = prova::record(linea(), "curva");
  ASSERT_EQ(curve.size(), 39u);
  std::map<std::string, int> conta;
  int fine_precedente = -1;
  for (const auto& c : curve) {
    ASSERT_EQ(c.size(), 3u);
    const std::string& k = c[0];
    ASSERT_TRUE(k.size() == 7 && k.rfind("curva", 0) == 0 && (k[5] == 'd' || k[5] == 's') && k[6] >= '1' &&
                k[6] <= '6')
        << k;
    ++conta[k.substr(5)];
    const int inizio = intero(c[1]), lunghezza = intero(c[2]);
    EXPECT_EQ(inizio % 50, 0) << k << " " << inizio;
    EXPECT_EQ(lunghezza % 50, 0) << k << " " << inizio;
    EXPECT_GT(lunghezza, 0);
    EXPECT_GT(inizio, fine_precedente) << k << " " << inizio;
    fine_precedente = inizio + lunghezza;
  }
  EXPECT_EQ(fine_precedente, 101500);
  const std::map<std::string, int> attese = {{"d3", 11}, {"d4", 9}, {"d5", 2},
                                             {"s2", 3},  {"s3", 5}, {"s4", 8}, {"s5", 1}};
  EXPECT_EQ(conta, attese);
}

TEST(DescrizioneLinea, PendenzeInOrdineDaMenoNoveANove) {
  const auto pendenze = prova::record(linea(), "pendenza");
  ASSERT_EQ(pendenze.size(), 31u);
  int precedente = -1, minima = 0, massima = 0;
  std::map<int, int> per_posizione;
  for (const auto& p : pendenze) {
    ASSERT_EQ(p.size(), 3u);
    const int posizione = intero(p[1]), valore = intero(p[2]);
    EXPECT_EQ(posizione % 50, 0) << posizione;
    EXPECT_GT(posizione, precedente);
    precedente = posizione;
    minima = std::min(minima, valore);
    massima = std::max(massima, valore);
    per_posizione[posizione] = valore;
  }
  EXPECT_EQ(minima, -9);
  EXPECT_EQ(massima, 9);
  EXPECT_EQ(intero(pendenze.front()[1]), 0);
  EXPECT_EQ(intero(pendenze.back()[1]), 101500);
  EXPECT_EQ(per_posizione[101500], 0);
  // Cells 14 and 15 climb at 4 per mille, cell 16 onward at 9.
  EXPECT_EQ(per_posizione[700], 4);
  EXPECT_EQ(intero(pendenze[2][1]), 800);
  EXPECT_EQ(per_posizione[800], 9);
  EXPECT_EQ(per_posizione[11200], -1);
  EXPECT_EQ(per_posizione[11300], -9);
}

TEST(DescrizioneLinea, CartelliDiVelocitaMassima) {
  const auto cartelli = prova::record(linea(), "indicatori_vmax");
  const int attesi[][4] = {{700, 90, 110, 110},    {2150, 120, 130, 130},  {8400, 125, 135, 135},
                           {16100, 120, 120, 120}, {18050, 60, 60, 60},    {19500, 120, 130, 130},
                           {32600, 125, 130, 130}, {34900, 75, 80, 80},    {36500, 125, 135, 135},
                           {58300, 100, 110, 110}, {60850, 125, 135, 135}, {99900, 75, 80, 80}};
  ASSERT_EQ(cartelli.size(), std::size(attesi));
  for (std::size_t i = 0; i < cartelli.size(); ++i) {
    const auto& c = cartelli[i];
    ASSERT_EQ(c.size(), 10u);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(intero(c[1 + k]), attesi[i][k]) << "cartello " << i + 1;
    // strisces 0, the "d" group empty, strisced 0.
    EXPECT_EQ(c[5], "0");
    EXPECT_EQ(c[6], "");
    EXPECT_EQ(c[7], "");
    EXPECT_EQ(c[8], "");
    EXPECT_EQ(c[9], "0");
  }
}

// The groups "(...)" of a sign text, without their brackets; a text that is
// not a run of such groups fails the test.
std::vector<std::string> gruppi(const std::string& testo) {
  std::vector<std::string> g;
  std::size_t i = 0;
  while (i < testo.size()) {
    const std::size_t chiusa = testo.find(')', i);
    if (testo[i] != '(' || chiusa == std::string::npos || testo.find('(', i + 1) < chiusa) {
      ADD_FAILURE() << "testo non fatto di gruppi: " << testo;
      return {};
    }
    g.push_back(testo.substr(i + 1, chiusa - i - 1));
    i = chiusa + 1;
  }
  return g;
}

bool cifre(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A kilometre post "88+016" in metres, or -1 when the group is not one.
int chilometrica(const std::string& g) {
  const std::size_t piu = g.find('+');
  if (piu == std::string::npos || piu == 0 || piu > 3 || g.size() != piu + 4) return -1;
  const std::string km = g.substr(0, piu), m = g.substr(piu + 1);
  return cifre(km) && cifre(m) ? std::stoi(km) * 1000 + std::stoi(m) : -1;
}

TEST(DescrizioneLinea, CartelliIndicatoriPerTipoEPosizione) {
  const auto cartelli = prova::record(linea(), "cartello_indicatore");
  ASSERT_EQ(cartelli.size(), 56u);
  std::map<std::string, int> conta;
  int precedente = 0;
  for (const auto& c : cartelli) {
    ASSERT_EQ(c.size(), 3u);
    const int posizione = intero(c[1]);
    const std::string& testo = c[2];
    SCOPED_TRACE(testo);
    EXPECT_EQ(posizione % 50, 0);
    EXPECT_GT(posizione, precedente);
    precedente = posizione;
    const std::vector<std::string> g = gruppi(testo);
    ASSERT_GE(g.size(), 2u);
    if (g[0] == "PL km " || g[0] == "PL km" || g[0] == "PLA km") {
      ++conta[g[0] == "PLA km" ? "PLA" : "PL"];
      ASSERT_EQ(g.size(), 2u);
      const int km = chilometrica(g[1]);
      ASSERT_GE(km, 0);
      // The post agrees with the first chainage stretch, which falls from
      // 100800 m at position 0, to within the 50 m grid.
      EXPECT_LE(std::abs(100800 - km - posizione), 25) << posizione;
      EXPECT_LT(posizione, 100800);
    } else if (g[0].rfind("diramazione", 0) == 0) {
      ++conta["diramazione"];
      EXPECT_LE(g.size(), 3u);
      for (std::size_t k = 1; k < g.size(); ++k) EXPECT_EQ(g[k].rfind("per ", 0), 0u);
    } else if (g[0].rfind("confluenza", 0) == 0) {
      ++conta["confluenza"];
      EXPECT_LE(g.size(), 3u);
    } else if (g[0] == "ponte fiume") {
      ++conta["ponte"];
      EXPECT_EQ(g.size(), 2u);
    } else if (g[0] == " galleria ") {
      ++conta["galleria"];
      EXPECT_EQ(g.size(), 2u);
      EXPECT_EQ(g[1].rfind("di", 0), 0u);
      // 50 m before the tunnel's mountain span.
      EXPECT_EQ(posizione, 91000);
    } else {
      ADD_FAILURE() << "cartello di tipo sconosciuto";
    }
  }
  const std::map<std::string, int> attesi = {{"PL", 28},        {"PLA", 14}, {"diramazione", 4},
                                             {"confluenza", 7}, {"ponte", 2}, {"galleria", 1}};
  EXPECT_EQ(conta, attesi);
  EXPECT_EQ(intero(cartelli.front()[1]), 650);
  EXPECT_EQ(intero(cartelli.back()[1]), 101500);

  // The posts named in the notes on the chainage, and the junction where the
  // second stretch begins.
  std::map<int, std::string> per_posizione;
  for (const auto& c : cartelli) per_posizione[intero(c[1])] = c[2];
  EXPECT_EQ(per_posizione[12800], "(PLA km)(88+016)");
  EXPECT_NE(per_posizione[99300].find("(1+522)"), std::string::npos);
  EXPECT_EQ(per_posizione[100800].rfind("(confluenza", 0), 0u);
}

}  // namespace
}  // namespace scenario
