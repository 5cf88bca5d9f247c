// The authors' tool and the program share one compiler: on the built-in
// descriptions the tool gives the program's files, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "common/identita.h"
#include "common/nomi.h"
#include "common/righe.h"
#include "platform/piattaforma_memoria.h"
#include "run/generazione.h"
#include "texts/testi.h"
#include "compiler/compila_testi.h"

namespace scenario {
namespace {

// The tool is the program's compiler: on the built-in descriptions it gives
// the program's files, byte for byte.
TEST(StrumentoCompila, GliStessiByteDelProgramma) {
  piattaforma_memoria programma;
  Form_Load(programma);
  piattaforma_memoria strumento;
  const esito_compilazione e = compila_testi(strumento, identita_incorporata(), testo_righe(righe_linea(strumento)),
                                             testo_righe(righe_treno(strumento)), true);
  ASSERT_EQ(e.stato, kStatoPulito);
  ASSERT_EQ(e.scritti.size(), 3u);
  for (file_scenario f : {file_scenario::geometria_linea, file_scenario::voci, file_scenario::celle}) {
    const std::string nome = nome_semplice(kNomeLinea, kNumeroTreno, f);
    EXPECT_EQ(strumento.file.at(strumento.percorso(nome)), programma.file.at(programma.percorso(nome))) << nome;
  }
  // Only the three binary files: the copies of the descriptions stayed in
  // memory.
  EXPECT_EQ(strumento.file.size(), 3u);
}

}  // namespace
}  // namespace scenario
