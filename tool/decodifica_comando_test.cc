#include "reader/decodifica.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/file_uscita.h"
#include "compiler/tracciato.h"
#include "platform/piattaforma_memoria.h"
#include "common/nomi.h"
#include "common/righe.h"
#include "tests/prova.h"
#include "texts/testi.h"
#include "tool/comandi.h"
#include "compiler/compila_testi.h"
#include "reader/piano_a_pezzi.h"

namespace scenario {
namespace {
// `decodifica` checks a file's size against the largest its kind can be
// before reading it, and reads what has no size (a device) through that
// limit: too large is refused with status 3 and a message that says so.
TEST(Decodifica, FileTroppoGrandiRifiutati) {
  prova::cartella_temporanea c;
  const auto esegui = [](std::vector<std::string> argomenti) {
    std::ostringstream out, err;
    const int stato = strumento_scenario(argomenti, out, err);
    return std::pair{stato, err.str()};
  };
  const auto vuoto = [&](const std::string& nome, uint64_t byte) {
    prova::scrivi_file(c.file(nome), "");
    std::filesystem::resize_file(c.file(nome), byte);  // sparse where the system can
    return c.file(nome);
  };
  EXPECT_EQ(byte_massimi(tipo_file::geometria), 2u * 1007001u * 10u);
  EXPECT_EQ(byte_massimi(tipo_file::celle), 20141u * 15u);
  EXPECT_EQ(byte_massimi(tipo_file::voci), 87u * (34u + 65535u));

  // A track of exactly the most cells decodes; one byte more is refused.
  const auto [s1, e1] = esegui({"decodifica", vuoto("piena.dat", 20141 * 15)});
  EXPECT_EQ(s1, kStatoPulito) << e1;
  for (const auto& [nome, byte] : {std::pair<std::string, uint64_t>{"oltre.dat", 20141 * 15 + 1},
                                   {"oltre.sim", 87 * (34 + 65535) + 1},
                                   {"oltre_linea.dat", 2 * 1007001 * 10 + 1},
                                   {"enorme_linea.dat", uint64_t{1} << 34}}) {
    SCOPED_TRACE(nome);
    const auto [s, e] = esegui({"decodifica", "--json", vuoto(nome, byte)});
    EXPECT_EQ(s, kStatoArgomenti);
    EXPECT_NE(e.find("troppo grande: " + std::to_string(byte) + " byte, al massimo"), std::string::npos) << e;
  }
  // Within the size, a geometry of more empty values than the longest track
  // has rows.
  const auto [s2, e2] = esegui({"decodifica", vuoto("vuoti_linea.dat", 2 * (1007001 + 1) * 2)});
  EXPECT_EQ(s2, kStatoArgomenti);
  EXPECT_NE(e2.find("più di 1007001 valori per coordinata"), std::string::npos) << e2;

  if (!std::filesystem::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero here";
  for (const char* tipo : {"geometria", "celle", "voci"}) {
    SCOPED_TRACE(tipo);
    const auto [s, e] = esegui({"decodifica", "--kind", tipo, "/dev/zero"});
    EXPECT_EQ(s, kStatoArgomenti);
    EXPECT_NE(e.find("troppo grande: più di"), std::string::npos) << e;
  }
  // A device that ends is read to its end and decoded.
  const auto [s3, e3] = esegui({"decodifica", "--kind", "celle", "/dev/null"});
  EXPECT_EQ(s3, kStatoArgomenti);
  EXPECT_NE(e3.find("file vuoto"), std::string::npos) << e3;
}


}  // namespace
}  // namespace scenario
