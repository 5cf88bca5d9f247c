#include "compiler/campi.h"

#include <gtest/gtest.h>

#include <tuple>

#include "compiler/esecuzione.h"

namespace scenario {
namespace {

TEST(LettoreCampi, CampiSeparatiDaVirgoleEFineRiga) {
  lettore_campi l("lunghezza percorso,    104300\r\npendenza,  11200,   -1\n[fine]\r\n");
  EXPECT_EQ(l.testo(), "lunghezza percorso");
  EXPECT_EQ(l.numero32(), 104300);
  EXPECT_EQ(l.testo(), "pendenza");
  EXPECT_EQ(l.riga(), 2);
  EXPECT_EQ(l.numero32(), 11200);
  EXPECT_EQ(l.numero32(), -1);
  EXPECT_FALSE(l.fine());
  EXPECT_EQ(l.testo(), "[fine]");
  EXPECT_EQ(l.riga(), 3);
  EXPECT_TRUE(l.fine());
  EXPECT_THROW(l.testo(), errore_esecuzione);
}

TEST(LettoreCampi, NumeriSeparatiDaSpaziEVirgolaDopoSpazi) {
  lettore_campi l("orologio,    6               39            40 \r\nripetizione,    0    ,0\r\n");
  EXPECT_EQ(l.testo(), "orologio");
  EXPECT_EQ(l.numero16(), 6);
  EXPECT_EQ(l.numero16(), 39);
  EXPECT_EQ(l.numero16(), 40);
  EXPECT_EQ(l.testo(), "ripetizione");
  EXPECT_EQ(l.numero32(), 0);
  EXPECT_EQ(l.numero32(), 0);
  EXPECT_TRUE(l.fine());
}

TEST(LettoreCampi, CampiNumericiVuotiONonNumericiValgonoZero) {
  lettore_campi l("a,  ,  ,x12,7\r\n");
  EXPECT_EQ(l.testo(), "a");
  EXPECT_EQ(l.numero32(), 0);
  EXPECT_EQ(l.numero32(), 0);
  EXPECT_EQ(l.numero32(), 0);
  EXPECT_EQ(l.numero32(), 7);
  EXPECT_TRUE(l.fine());
}

TEST(LettoreCampi, TestoConSpaziEParentesi) {
  lettore_campi l("cartello_indicatore,  36300,   (diramazione)(per  BRENTALUCE) \r\n");
  EXPECT_EQ(l.testo(), "cartello_indicatore");
  EXPECT_EQ(l.numero32(), 36300);
  EXPECT_EQ(l.testo(), "(diramazione)(per  BRENTALUCE) ");
  EXPECT_TRUE(l.fine());
}

TEST(LettoreCampi, ValoriFuoriCampoSonoFallimenti) {
  struct caso {
    const char* testo;
    int larghezza;
  };
  for (const caso& c : {caso{"2147483648", 32}, caso{"-2147483649", 32}, caso{"99999999999999999999999", 32},
                        caso{"32768", 16}, caso{"-32769", 16}, caso{"256", 8}, caso{"-1", 8}}) {
    lettore_campi l(c.testo);
    if (c.larghezza == 32) {
      EXPECT_THROW(l.numero32(), errore_esecuzione) << c.testo;
    }
    if (c.larghezza == 16) {
      EXPECT_THROW(l.numero16(), errore_esecuzione) << c.testo;
    }
    if (c.larghezza == 8) {
      EXPECT_THROW(l.numero8(), errore_esecuzione) << c.testo;
    }
  }
  lettore_campi limiti("2147483647,-2147483648,32767,-32768,255,0");
  EXPECT_EQ(limiti.numero32(), 2147483647);
  EXPECT_EQ(limiti.numero32(), -2147483647 - 1);
  EXPECT_EQ(limiti.numero16(), 32767);
  EXPECT_EQ(limiti.numero16(), -32768);
  EXPECT_EQ(limiti.numero8(), 255);
  EXPECT_EQ(limiti.numero8(), 0);
}

TEST(LettoreCampi, ParoleChiavePerSottostringa) {
  EXPECT_TRUE(contiene_nc("  PENDENZA", "pendenza"));
  EXPECT_FALSE(contiene("Progressiva chilometrica uno", "progressiva"));
  EXPECT_TRUE(contiene("progressiva chilometrica uno", "uno"));
  EXPECT_FALSE(contiene_nc("[pendenze]", "pendenza"));
  // Against the plain definition: every case folding of ASCII letters only,
  // at every place, partial matches that restart, and the edges.
  for (const auto& [campo, parola, atteso] :
       {std::tuple{"", "", true}, std::tuple{"abc", "", true}, std::tuple{"", "a", false},
        std::tuple{"ab", "abc", false}, std::tuple{"CuRvAd4", "curvad4", true}, std::tuple{"xcurvcurva", "curva", true},
        std::tuple{"curv", "curva", false}, std::tuple{"aaab", "aab", true}, std::tuple{"\xC8", "\xE8", false},
        std::tuple{"[GENERALE]", "[generale]", true}, std::tuple{"fine]", "[fine]", false},
        std::tuple{"pendenzA", "a", true}, std::tuple{"@[`{", "`", true}, std::tuple{"@", "`", false}}) {
    EXPECT_EQ(contiene_nc(campo, parola), atteso) << campo << " / " << parola;
  }
}

}  // namespace
}  // namespace scenario
