#include "reader/identita_dai_nomi.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace scenario {
namespace {

TEST(IdentitaDaiNomi, LaRegolaDeiNomiAlContrario) {
  const std::optional<std::string> no;
  const struct {
    const char* percorso;
    tipo_file tipo;
    std::optional<std::string> linea, treno;
  } casi[] = {
      {"Velmo - Montegrieve_24817.sim", tipo_file::voci, "Velmo - Montegrieve", "24817"},
      {"/tmp/x/Velmo - Montegrieve_24817.dat", tipo_file::celle, "Velmo - Montegrieve", "24817"},
      {"uscita/Velmo - Montegrieve_linea.dat", tipo_file::geometria, "Velmo - Montegrieve", no},
      // The train number is what follows the last "_".
      {"Linea_del_nord_7.sim", tipo_file::voci, "Linea_del_nord", "7"},
      {"Linea_del_nord_linea.dat", tipo_file::geometria, "Linea_del_nord", no},
      {"Citt\xE0_3.sim", tipo_file::voci, "Citt\xE0", "3"},
      // Names that the rule cannot have made.
      {"scenario.sim", tipo_file::voci, no, no},
      {"_5.sim", tipo_file::voci, no, no},
      {"linea_.dat", tipo_file::celle, no, no},
      {"_linea.dat", tipo_file::geometria, no, no},
      {".sim", tipo_file::voci, no, no},
      {"a_1.sim", tipo_file::celle, no, no},  // not the kind's suffix
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.percorso);
    const identita_da_nome id = identita_dal_nome(c.percorso, c.tipo);
    EXPECT_EQ(id.nome_linea, c.linea);
    EXPECT_EQ(id.numero_treno, c.treno);
  }
}

}  // namespace
}  // namespace scenario
