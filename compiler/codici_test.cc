#include "compiler/codici.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/piattaforma_memoria.h"

namespace scenario {
namespace {

struct codici {
  int16_t semplice;
  int32_t pesato;
};

codici calcola(const std::string& treno, const std::string& linea, std::string* riga = nullptr) {
  piattaforma_memoria p;
  modello m;
  m.voci[86].nome = p.in_ansi(treno);
  m.voci[85].nome = p.in_ansi(linea);
  const int32_t pesato = codice_gara_st(p, m);
  const int16_t semplice = codice_gara_og(p, m);
  if (riga != nullptr) *riga = m.riga;
  return {semplice, pesato};
}

TEST(CodiciGara, EsempioConAlfabeto) {
  std::string riga;
  const codici c = calcola("1", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", &riga);
  EXPECT_EQ(c.semplice, 2653);
  EXPECT_EQ(c.pesato, 36353);
  EXPECT_EQ(riga, std::string("1abcdefghijklmnopqrstuvwxyz") + kImbottitura);
}

TEST(CodiciGara, MaiuscoleEMinuscoleDannoGliStessiCodici) {
  const codici a = calcola("24817", "Velmo - Montegrieve");
  const codici b = calcola("24817", "VELMO - MONTEGRIEVE");
  const codici c = calcola("24817", "velmo - montegrieve");
  EXPECT_EQ(a.semplice, b.semplice);
  EXPECT_EQ(a.pesato, b.pesato);
  EXPECT_EQ(a.semplice, c.semplice);
  EXPECT_EQ(a.pesato, c.pesato);
  // Accented capitals too, in the code page: È is 0xC8, è 0xE8 = 232.
  const codici d = calcola("È", "");
  const codici e = calcola("è", "");
  EXPECT_EQ(d.semplice, e.semplice);
  EXPECT_EQ(d.semplice, 2908);
  EXPECT_EQ(d.pesato, 36110);
}

TEST(CodiciGara, ContanoSoloI25PrimiCaratteri) {
  const codici a = calcola("1", "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  const codici b = calcola("1", "ABCDEFGHIJKLMNOPQRSTUVWX -- ogni altra cosa");
  EXPECT_EQ(a.semplice, b.semplice);
  EXPECT_EQ(a.pesato, b.pesato);
  const codici c = calcola("1", "ABCDEFGHIJKLMNOPQRSTUVWY");
  EXPECT_NE(a.semplice, c.semplice);
  EXPECT_NE(a.pesato, c.pesato);
}

TEST(CodiciGara, NomiCortiCompletatiDallImbottitura) {
  const codici vuoti = calcola("", "");
  EXPECT_EQ(vuoti.semplice, 2774);
  EXPECT_EQ(vuoti.pesato, 35652);
  // The train number comes first: swapping changes the weighted code.
  const codici a = calcola("1", "AB");
  const codici b = calcola("AB", "1");
  EXPECT_EQ(a.semplice, 2700);
  EXPECT_EQ(a.semplice, b.semplice);
  EXPECT_EQ(a.pesato, 35937);
  EXPECT_EQ(b.pesato, 35840);
}

TEST(CodiciGara, ValoriMassimiNelleLoroLarghezze) {
  const codici c = calcola("ÿÿÿÿÿÿÿÿÿÿÿÿÿÿÿÿÿÿÿÿÿÿÿÿÿ", "");
  EXPECT_EQ(c.semplice, 6375);
  EXPECT_EQ(c.pesato, 82875);  // beyond 16 bits
}

}  // namespace
}  // namespace scenario
