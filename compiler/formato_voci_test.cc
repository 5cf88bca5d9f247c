#include "compiler/formato_voci.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "compiler/codifica.h"

namespace scenario {
namespace {

auto tutti(const voce& v) {
  return std::tie(v.tipo, v.inizio, v.fine, v.posizione, v.attributo_1, v.nome, v.gruppo_1a, v.gruppo_1b,
                  v.gruppo_2a, v.gruppo_2b, v.gruppo_2c, v.gruppo_1c, v.attributo_4, v.attributo_3, v.attributo_2,
                  v.orario);
}

// Every field distinct, each width's minimum and maximum among them, and a
// name of ANSI bytes.
voce piena(std::string nome) {
  return {0xFF,   std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), -2, 0x00,
          nome,   -32768, 32767, -3, 0x0102, 1, 0x80, 0x7F, 0x01, 0xFE, 0x01020304};
}

TEST(FormatoVoci, RecordConOgniCampoAlSuoOffset) {
  const voce v = piena("Ol\xECna");
  std::string b(bytes_voce(v) + 1, '\x55');  // nothing written past the record
  ASSERT_EQ(b.size() - 1, 34u + 5u);
  EXPECT_EQ(codifica_voce(b.data(), v), b.data() + 39);
  EXPECT_EQ(b.substr(0, 39), std::string("\xFF"
                                         "\x00\x00\x00\x80"
                                         "\xFF\xFF\xFF\x7F"
                                         "\xFE\xFF\xFF\xFF"
                                         "\x00"
                                         "\x05\x00"
                                         "Ol\xECna"
                                         "\x00\x80"
                                         "\xFF\x7F"
                                         "\xFD\xFF"
                                         "\x02\x01"
                                         "\x01\x00"
                                         "\x80\x7F\x01\xFE"
                                         "\x04\x03\x02\x01",
                                         39));
  EXPECT_EQ(b.back(), '\x55');

  namespace o = formato::voce;
  const char* p = b.data();
  EXPECT_EQ(decodifica_8(p + o::tipo), 0xFF);
  EXPECT_EQ(decodifica_32(p + o::inizio), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(decodifica_32(p + o::fine), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(decodifica_32(p + o::posizione), -2);
  EXPECT_EQ(decodifica_8(p + o::attributo_1), 0);
  EXPECT_EQ(decodifica_u16(p + o::nome), 5);
  const char* d = p + o::dopo_nome + 5;
  EXPECT_EQ(decodifica_16(d + o::gruppo_1a), -32768);
  EXPECT_EQ(decodifica_16(d + o::gruppo_1b), 32767);
  EXPECT_EQ(decodifica_16(d + o::gruppo_2a), -3);
  EXPECT_EQ(decodifica_16(d + o::gruppo_2b), 0x0102);
  EXPECT_EQ(decodifica_16(d + o::gruppo_2c), 1);
  EXPECT_EQ(decodifica_8(d + o::gruppo_1c), 0x80);
  EXPECT_EQ(decodifica_8(d + o::attributo_4), 0x7F);
  EXPECT_EQ(decodifica_8(d + o::attributo_3), 0x01);
  EXPECT_EQ(decodifica_8(d + o::attributo_2), 0xFE);
  EXPECT_EQ(decodifica_32(d + o::orario), 0x01020304);

  voce letta;
  EXPECT_EQ(decodifica_voce(std::string_view(b).substr(0, 39), 0, 1, letta), 39u);
  EXPECT_EQ(tutti(letta), tutti(v));
}

// The fields after the name move with its length: an empty name and the
// longest one (its count at the top of 16 bits) both come back whole.
TEST(FormatoVoci, NomeVuotoENomePiuLungo) {
  for (const std::string& nome : {std::string(), std::string(65535, '\xE8')}) {
    SCOPED_TRACE(nome.size());
    const voce v = piena(nome);
    std::string b(bytes_voce(v), '\0');
    codifica_voce(b.data(), v);
    EXPECT_EQ(decodifica_u16(b.data() + formato::voce::nome), nome.size());
    EXPECT_EQ(decodifica_32(b.data() + formato::voce::dopo_nome + nome.size() + formato::voce::orario), 0x01020304);
    voce letta;
    EXPECT_EQ(decodifica_voce(b, 0, 0, letta), b.size());
    EXPECT_EQ(tutti(letta), tutti(v));
  }
}

// The list of fields names each field once, in file order: those before
// the name run up to its count, those after it from its end, each where the
// one before it ends, and together they fill the 34 bytes of an empty record.
TEST(FormatoVoci, CampiInOrdineDiFile) {
  std::vector<std::string> nomi;
  std::size_t fine = 0;
  bool dopo = false;
  const voce v;
  campi_voce(v, [&](const campo_record& k, const auto& x) {
    nomi.push_back(k.nome);
    if (k.dopo_nome && !dopo) {
      dopo = true;
      fine = 0;
    }
    EXPECT_EQ(k.offset, fine) << k.nome;
    EXPECT_EQ(k.dopo_nome, dopo) << k.nome;
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(x)>, std::string>) {
      fine = formato::voce::dopo_nome;
    } else {
      fine = k.offset + sizeof x;
    }
  });
  EXPECT_EQ(formato::voce::dopo_nome + fine, formato::kBytesVoceVuota);
  EXPECT_EQ(nomi, (std::vector<std::string>{"tipo", "inizio", "fine", "posizione", "attributo_1", "nome",
                                            "gruppo_1a", "gruppo_1b", "gruppo_2a", "gruppo_2b", "gruppo_2c",
                                            "gruppo_1c", "attributo_4", "attributo_3", "attributo_2", "orario"}));
}

TEST(FormatoVoci, FileDelleVociAndataERitorno) {
  std::array<voce, kNumeroVoci> voci{};
  voci[1] = piena("STAZIONE");
  voci[80] = piena("(ponte)");
  voci[86].nome = "24817";
  const std::string f = immagine_voci(voci);
  ASSERT_EQ(f.size(), 87 * formato::kBytesVoceVuota + 8 + 7 + 5);
  const auto offset = offset_voci(voci);
  EXPECT_EQ(offset[2], 34u + 42u);
  EXPECT_EQ(decodifica_u16(f.data() + offset[86] + formato::voce::nome), 5);
  const auto di_nuovo = decodifica_voci(f);
  for (std::size_t i = 0; i < voci.size(); ++i) EXPECT_EQ(tutti(di_nuovo[i]), tutti(voci[i])) << i;
}

}  // namespace
}  // namespace scenario
