#include "compiler/formato_geometria.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <string>
#include <vector>

#include "compiler/codifica.h"

#include "tests/prova.h"

namespace scenario {
namespace {

using prova::byte;

bool stesso(const numero_etichettato& a, const numero_etichettato& b) {
  if (a.etichetta != b.etichetta) return false;
  if (a.etichetta == numero_etichettato::intero) return a.valore_intero == b.valore_intero;
  if (a.etichetta == numero_etichettato::reale) {
    return std::bit_cast<uint64_t>(a.valore_reale) == std::bit_cast<uint64_t>(b.valore_reale);
  }
  return true;
}

// Each tag with the ends of its value's range: the tag at offset 0, the
// value at offset 2, binary64 bit for bit.
TEST(FormatoGeometria, NumeroEtichettatoConValoreAlSuoOffset) {
  struct caso {
    numero_etichettato n;
    std::string atteso;
  };
  const double minimo_denormale = std::numeric_limits<double>::denorm_min();
  const caso casi[] = {
      {numero_etichettato{}, byte({0, 0})},
      {numero_etichettato::da_intero(-32768), byte({2, 0, 0x00, 0x80})},
      {numero_etichettato::da_intero(32767), byte({2, 0, 0xFF, 0x7F})},
      {numero_etichettato::da_intero(1), byte({2, 0, 1, 0})},
      {numero_etichettato::da_reale(-0.0), byte({5, 0, 0, 0, 0, 0, 0, 0, 0, 0x80})},
      {numero_etichettato::da_reale(std::numeric_limits<double>::max()),
       byte({5, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xEF, 0x7F})},
      {numero_etichettato::da_reale(minimo_denormale), byte({5, 0, 1, 0, 0, 0, 0, 0, 0, 0})},
      {numero_etichettato::da_reale(std::bit_cast<double>(uint64_t{0xFFF8000000000123})),
       byte({5, 0, 0x23, 0x01, 0, 0, 0, 0, 0xF8, 0xFF})},
      {numero_etichettato::da_reale(0.5), byte({5, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0x3F})},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(testing::PrintToString(c.atteso));
    char b[formato::kBytesReale + 1];
    b[formato::kBytesReale] = '\x55';
    EXPECT_EQ(std::string(b, codifica_etichettato(b, c.n)), c.atteso);
    EXPECT_EQ(b[formato::kBytesReale], '\x55');
    EXPECT_EQ(bytes_etichettato(c.n), c.atteso.size());
    EXPECT_EQ(decodifica_u16(b + formato::etichettato::etichetta), c.n.etichetta);
    numero_etichettato letto;
    EXPECT_EQ(decodifica_etichettato(c.atteso, 0, letto), c.atteso.size());
    EXPECT_TRUE(stesso(letto, c.n));
  }
  // An unknown tag carries no value that could be written faithfully.
  char b[formato::kBytesReale];
  EXPECT_EQ(std::string(b, codifica_etichettato(b, numero_etichettato{7, 3, 1.0})), byte({0, 0}));
}

// The file holds every x, then every y, over as many pieces as it takes;
// the y block starts where the x values end.
TEST(FormatoGeometria, FileAPezziAndataERitorno) {
  geometria g;
  const std::size_t righe = 100000;  // more than one piece per column
  for (std::size_t j = 0; j < righe; ++j) {
    const numero_etichettato tipi[] = {numero_etichettato::da_intero(static_cast<int16_t>(j)),
                                       numero_etichettato::da_reale(-static_cast<double>(j) / 3), {}};
    g.x.push_back(tipi[j % 3]);
    g.y.push_back(tipi[(j + 1) % 3]);
  }
  geometria_in_tabella righe_g(g.x, g.y);
  std::size_t x = 0;
  for (const numero_etichettato& n : g.x) x += bytes_etichettato(n);
  pezzi_geometria_posizionati pezzi(righe_g);
  int quanti = 0;
  for (pezzo_posizionato p = pezzi.prossimo(); !p.byte.empty(); p = pezzi.prossimo(), ++quanti) {
    // A piece of x ends by the y block; one of y starts in it.
    EXPECT_TRUE(p.posizione + p.byte.size() <= x || p.posizione >= x) << p.posizione;
  }
  EXPECT_GT(quanti, 4);
  EXPECT_TRUE(pezzi.prossimo().byte.empty());

  const std::string f = immagine_geometria(righe_g);
  numero_etichettato primo_y;
  decodifica_etichettato(f, x, primo_y);
  EXPECT_TRUE(stesso(primo_y, g.y[0]));

  const geometria di_nuovo = decodifica_geometria(f);
  ASSERT_EQ(di_nuovo.x.size(), righe);
  ASSERT_EQ(di_nuovo.y.size(), righe);
  for (std::size_t j = 0; j < righe; ++j) {
    ASSERT_TRUE(stesso(di_nuovo.x[j], g.x[j])) << j;
    ASSERT_TRUE(stesso(di_nuovo.y[j], g.y[j])) << j;
  }
}

}  // namespace
}  // namespace scenario
