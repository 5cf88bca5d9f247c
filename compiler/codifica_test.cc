#include "compiler/codifica.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tests/prova.h"

namespace scenario {
namespace {

using prova::byte;

TEST(Codifica, InteriLittleEndianInComplementoADue) {
  std::string s;
  aggiungi_8(s, 0x5B);
  aggiungi_16(s, -1);
  aggiungi_16(s, 5121);
  aggiungi_16(s, 610);
  aggiungi_16(s, std::numeric_limits<int16_t>::min());
  aggiungi_32(s, -2);
  aggiungi_32(s, 0x12345678);
  aggiungi_32(s, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(s, byte({0x5B, 0xFF, 0xFF, 0x01, 0x14, 0x62, 0x02, 0x00, 0x80, 0xFE, 0xFF, 0xFF, 0xFF, 0x78, 0x56,
                     0x34, 0x12, 0x00, 0x00, 0x00, 0x80}));
}

TEST(Codifica, RealeBinary64BitPerBit) {
  std::string s;
  aggiungi_reale(s, 1.0);
  aggiungi_reale(s, -0.0);
  aggiungi_reale(s, 0.1);
  EXPECT_EQ(s, byte({0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x9A, 0x99, 0x99, 0x99, 0x99, 0x99,
                     0xB9, 0x3F}));
  EXPECT_TRUE(std::signbit(decodifica_reale(s.data() + 8)));
  EXPECT_EQ(decodifica_reale(s.data() + 16), 0.1);
}

TEST(Codifica, StringaConLunghezzaA16Bit) {
  std::string s;
  aggiungi_stringa(s, "");
  aggiungi_stringa(s, "ab\xE8");
  EXPECT_EQ(s, byte({0, 0, 3, 0, 'a', 'b', 0xE8}));
  EXPECT_EQ(misura_stringa("ab\xE8"), 5u);
  const std::string lunga(300, 'x');
  std::string t;
  aggiungi_stringa(t, lunga);
  EXPECT_EQ(t.substr(0, 2), byte({0x2C, 0x01}));
  EXPECT_EQ(t.size(), 302u);
}

TEST(Codifica, DecodificaInversa) {
  std::string s;
  aggiungi_16(s, -12345);
  aggiungi_32(s, -123456789);
  aggiungi_32(s, 2147483647);
  EXPECT_EQ(decodifica_16(s.data()), -12345);
  EXPECT_EQ(decodifica_u16(s.data()), 53191);
  EXPECT_EQ(decodifica_32(s.data() + 2), -123456789);
  EXPECT_EQ(decodifica_32(s.data() + 6), 2147483647);
  EXPECT_EQ(decodifica_8(byte({0xC8}).data()), 200);
}

}  // namespace
}  // namespace scenario
