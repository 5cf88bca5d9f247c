// The built-in train description, read back from the written file.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/nomi.h"
#include "tests/righe_prova.h"

namespace scenario {
namespace {

using prova::intero;

std::vector<std::string> treno() { return prova::righe_scritte(file_scenario::descrizione_treno); }

TEST(DescrizioneTreno, SezioniERigheFisse) {
  const std::vector<std::string> r = treno();
  ASSERT_EQ(r.size(), 49u);
  const std::pair<int, const char*> attese[] = {
      {1, "[generale]"},
      {2, "numero vetture,    5"},
      {3, "percentuale massa frenata,    120"},
      {4, "sabbia,    0"},
      {5, "orologio,    6               39            40 "},
      {6, "[aderenze]"},
      {7, "aderenza,       0,   100"},
      {8, "[vel_limite]"},
      {24, "[stazioni]"},
      {25, "stazione,       0,  4,  600,  1, 0, 0,  4,1,0,  2,1,1,    1,   6,40, 0, VELMO"},
      {31, "stazione,   22700, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,   30,   7, 7,30, CORVAGNO"},
      {35, "[rallentamenti]"},
      {36, "[segnali]"},
      {37, "segnale,    6000,   1, 3, 1,  0, 0,    0,  0,0,0, 230"},
      {48, "[codici]"},
      {49, "[fine]"},
  };
  for (const auto& [n, testo] : attese) EXPECT_EQ(r[n - 1], testo) << "riga " << n;
  // Plural headers: none holds a record keyword, and no field holds a dash
  // (a dashed field in keyword position would be passed over).
  for (int n : {1, 6, 8, 24, 35, 36, 48, 49}) {
    for (const char* parola : {"vetture", "massa", "frenata", "sabbia", "orologio", "aderenza", "velocit",
                               "stazione", "rallentamento", "abbattimento", "segnale"}) {
      EXPECT_EQ(r[n - 1].find(parola), std::string::npos) << r[n - 1] << " contiene " << parola;
    }
  }
  for (const std::string& riga : r) EXPECT_EQ(riga.find('-'), std::string::npos) << riga;
}

TEST(DescrizioneTreno, LimitiDiVelocita) {
  const auto v = prova::record(treno(), "velocita");
  const int attesi[][2] = {{0, 30},      {700, 110},   {2150, 130},  {7200, 30},   {8750, 135},
                           {16800, 120}, {18850, 60},  {19350, 30},  {19900, 130}, {23650, 30},
                           {24050, 130}, {34550, 30},  {59350, 110}, {60000, 60},  {60850, 135}};
  ASSERT_EQ(v.size(), std::size(attesi));
  for (std::size_t i = 0; i < v.size(); ++i) {
    ASSERT_EQ(v[i].size(), 3u);
    EXPECT_EQ(intero(v[i][1]), attesi[i][0]);
    EXPECT_EQ(intero(v[i][2]), attesi[i][1]);
  }
}

TEST(DescrizioneTreno, StazioniConZoneDistantiAlmeno350m) {
  const auto s = prova::record(treno(), "stazione");
  // Values 1 to 16 of each row, then the name.
  const int attesi[10][16] = {
      {0, 4, 600, 1, 0, 0, 4, 1, 0, 2, 1, 1, 1, 6, 40, 0},
      {3250, 27, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 30, 6, 44, 0},
      {8250, 26, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 60, 6, 50, 0},
      {11100, 28, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 30, 6, 54, 0},
      {15650, 27, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 30, 6, 59, 0},
      {19200, 12, 300, 1, 0, 0, 4, 1, 0, 2, 1, 1, 60, 7, 3, 0},
      {22700, 28, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 30, 7, 7, 30},
      {23950, 22, 300, 0, 0, 1, 0, 0, 0, 4, 1, 1, 30, 7, 12, 0},
      {32550, 26, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {35800, 4, 600, 1, 0, 0, 1, 1, 0, 2, 1, 1, 0, 7, 23, 0},
  };
  const char* nomi[10] = {"VELMO",    "ZELMORIO PAESE", "TASCAVIA",      "ORBENTE", "VASCOLINO",
                          "PRIMELLA", "CORVAGNO",       "P.M. LUSTRIGO", "FENARDO", "VERDAL"};
  ASSERT_EQ(s.size(), 10u);
  int fine_precedente = 0;
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(nomi[i]);
    ASSERT_EQ(s[i].size(), 18u);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(intero(s[i][1 + k]), attesi[i][k]) << "valore " << k + 1;
    EXPECT_EQ(s[i][17], nomi[i]);
    const int p = intero(s[i][1]), l = intero(s[i][3]);
    EXPECT_EQ(p % 50, 0);
    EXPECT_EQ(l % 100, 0);
    // No kind 5 to 8 here: every zone is centred, 50 m longer with the sixth value.
    const int inizio = p - l / 2, fine = p + l / 2 + (intero(s[i][6]) != 0 ? 50 : 0);
    if (i > 0) {
      EXPECT_GE(inizio - 350, fine_precedente);
    }
    fine_precedente = fine;
  }
}

TEST(DescrizioneTreno, Segnali) {
  const auto s = prova::record(treno(), "segnale");
  // posizione, sx, s1, s2, s3, tempo; rapp, dx, d1, d2, d3 are all 0.
  const int attesi[][6] = {{6000, 1, 3, 1, 0, 230},  {7200, 2, 2, 3, 0, 230},  {8450, 2, 2, 4, 0, 255},
                           {16900, 1, 3, 4, 0, 0},   {18150, 2, 2, 3, 0, 0},   {21650, 1, 3, 1, 0, 0},
                           {22850, 2, 3, 1, 0, 255}, {30400, 1, 4, 1, 0, 0},   {31600, 2, 3, 1, 0, 0},
                           {32800, 2, 3, 1, 0, 210}, {34550, 2, 2, 3, 1, 220}};
  ASSERT_EQ(s.size(), std::size(attesi));
  for (std::size_t i = 0; i < s.size(); ++i) {
    SCOPED_TRACE(s[i][1]);
    ASSERT_EQ(s[i].size(), 12u);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(intero(s[i][1 + k]), attesi[i][k]);
    for (int k = 6; k <= 10; ++k) EXPECT_EQ(intero(s[i][k]), 0);
    EXPECT_EQ(intero(s[i][11]), attesi[i][5]);
  }
}

}  // namespace
}  // namespace scenario
