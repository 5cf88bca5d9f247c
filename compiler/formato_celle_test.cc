#include "compiler/formato_celle.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "compiler/codifica.h"

namespace scenario {
namespace {

auto tutti(const cella& c) {
  return std::tie(c.tipo, c.dato1, c.dato2, c.dato3, c.dato4, c.tempo_segnale, c.richiamo, c.montagna,
                  c.velocita_max, c.pendenza, c.aderenza);
}

// Every field distinct, the 16-bit ones at the ends of their range, so that
// a field written at another's offset, in another width or with its bytes
// swapped shows in the bytes.
const cella kCellaPiena = {0xFF, -32768, 32767, -2, 0x0102, 0x00, 0x01, 0xFE, 0x80, 0x7F, 0x5B};
const std::string kBytesPiena("\xFF\x00\x80\xFF\x7F\xFE\xFF\x02\x01\x00\x01\xFE\x80\x7F\x5B", 15);

TEST(FormatoCelle, RecordConOgniCampoAlSuoOffset) {
  char b[formato::kBytesCella + 1];
  b[formato::kBytesCella] = '\x55';  // nothing written past the record
  codifica_cella(b, kCellaPiena);
  EXPECT_EQ(std::string(b, formato::kBytesCella), kBytesPiena);
  EXPECT_EQ(b[formato::kBytesCella], '\x55');

  namespace o = formato::cella;
  EXPECT_EQ(decodifica_8(b + o::tipo), 0xFF);
  EXPECT_EQ(decodifica_16(b + o::dato1), -32768);
  EXPECT_EQ(decodifica_16(b + o::dato2), 32767);
  EXPECT_EQ(decodifica_16(b + o::dato3), -2);
  EXPECT_EQ(decodifica_16(b + o::dato4), 0x0102);
  EXPECT_EQ(decodifica_8(b + o::tempo_segnale), 0x00);
  EXPECT_EQ(decodifica_8(b + o::richiamo), 0x01);
  EXPECT_EQ(decodifica_8(b + o::montagna), 0xFE);
  EXPECT_EQ(decodifica_8(b + o::velocita_max), 0x80);
  EXPECT_EQ(decodifica_8(b + o::pendenza), 0x7F);
  EXPECT_EQ(decodifica_8(b + o::aderenza), 0x5B);

  EXPECT_EQ(tutti(decodifica_cella(b)), tutti(kCellaPiena));
}

// The list of fields names each field once, in file order, with the width
// of the model's member.
TEST(FormatoCelle, CampiInOrdineDiFile) {
  std::vector<std::string> nomi;
  std::size_t byte = 0;
  campi_cella(kCellaPiena, [&](const campo_record& k, auto v) {
    nomi.push_back(k.nome);
    byte += sizeof v;
  });
  EXPECT_EQ(nomi, (std::vector<std::string>{"tipo", "dato1", "dato2", "dato3", "dato4", "tempo_segnale", "richiamo",
                                            "montagna", "velocita_max", "pendenza", "aderenza"}));
  EXPECT_EQ(byte, formato::kBytesCella);
}

TEST(FormatoCelle, FileDiCelleAndataERitorno) {
  const std::vector<cella> celle = {cella{}, kCellaPiena, cella{14, 80, 0, 0, 0, 0, 0, 0, 26, 91, 4}};
  const std::string f = immagine_celle(celle);
  ASSERT_EQ(f.size(), 3 * formato::kBytesCella);
  EXPECT_EQ(f.substr(0, 15), std::string(15, '\0'));
  EXPECT_EQ(f.substr(15, 15), kBytesPiena);
  const std::vector<cella> di_nuovo = decodifica_celle(f);
  ASSERT_EQ(di_nuovo.size(), celle.size());
  for (std::size_t k = 0; k < celle.size(); ++k) EXPECT_EQ(tutti(di_nuovo[k]), tutti(celle[k])) << k;
}

}  // namespace
}  // namespace scenario
