#include "common/righe.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/piattaforma_memoria.h"

namespace scenario {
namespace {

TEST(TestoRighe, SiFermaAlSegnoDiFineSenzaScriverlo) {
  lista_righe l;
  l[0] = "prima";
  l[1] = "";  // an empty slot before the end mark is an empty line
  l[2] = "terza ";
  l[3] = std::string(kFineDelFile);
  l[4] = "dopo il segno";
  l[5] = std::string(kFineDelFile);
  EXPECT_EQ(testo_righe(l), "prima\r\n\r\nterza \r\n");
}

TEST(TestoRighe, SoloIlSegnoEsattoFerma) {
  // Case and blanks count: these are ordinary lines.
  const std::vector<std::string> quasi = {"Riferimento fine del file", "riferimento fine del file ",
                                          " riferimento fine del file", "riferimento fine del"};
  for (const std::string& q : quasi) {
    lista_righe l;
    l[0] = q;
    l[1] = std::string(kFineDelFile);
    EXPECT_EQ(testo_righe(l), q + "\r\n") << q;
  }
}

TEST(TestoRighe, SegnoInTestaNonScriveNulla) {
  lista_righe l;
  l[0] = std::string(kFineDelFile);
  l[1] = "mai";
  EXPECT_EQ(testo_righe(l), "");
}

TEST(TestoRighe, SenzaSegnoScriveTutteLeCaselle) {
  lista_righe l;
  l.fill("r");
  const std::string t = testo_righe(l);
  EXPECT_EQ(t.size(), static_cast<std::size_t>(kSlotRighe) * 3);
  EXPECT_EQ(t.substr(t.size() - 3), "r\r\n");
}

TEST(RiempiRighe, ConvertePerLaCodePageEChiudeColSegno) {
  piattaforma_memoria p;
  const lista_righe l = riempi_righe(p, {"è", "", "città"});
  EXPECT_EQ(l[0], "\xE8");
  EXPECT_EQ(l[1], "");
  EXPECT_EQ(l[2], "citt\xE0");
  EXPECT_EQ(l[3], kFineDelFile);
  EXPECT_EQ(l[4], "");
  EXPECT_EQ(testo_righe(l), "\xE8\r\n\r\ncitt\xE0\r\n");
}

// A list of n lines "x", built as the writers build theirs.
template <std::size_t... I>
lista_righe riempi_x(piattaforma& p, std::index_sequence<I...>) {
  return riempi_righe(p, {((void)I, std::string_view("x"))...});
}

TEST(RiempiRighe, MilleRigheSonoIlMassimo) {
  piattaforma_memoria p;
  const lista_righe l = riempi_x(p, std::make_index_sequence<1000>());
  EXPECT_EQ(l[999], "x");
  EXPECT_EQ(l[1000], kFineDelFile);
  EXPECT_EQ(testo_righe(l).size(), 1000u * 3);
  // The end mark needs a slot of its own.
  EXPECT_THROW(riempi_x(p, std::make_index_sequence<1001>()), std::length_error);
}

TEST(RiempiRighe, UnCarattereFuoriDallaCodePageEUnErrore) {
  piattaforma_memoria p;
  EXPECT_THROW(riempi_righe(p, {"ok", "Ω"}), std::invalid_argument);
}

}  // namespace
}  // namespace scenario
