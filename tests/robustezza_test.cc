// Descriptions that no writer of this program produces, through the whole
// compiler driver: every one ends in a fault code or a clean compile, and a
// clean compile writes files of the sizes its model gives.
#include <gtest/gtest.h>

#include <string>

#include "compiler/memorizza.h"
#include "compiler/modello.h"
#include "platform/piattaforma_memoria.h"
#include "run/generazione.h"
#include "run/nomi.h"
#include "run/righe.h"
#include "texts/testi.h"

namespace scenario {
namespace {

struct compilazione {
  piattaforma_memoria p;
  modello m;
  bool terminata = false;

  std::string nome(file_scenario f) { return nome_file(p, kNomeLinea, kNumeroTreno, f); }

  void esegui(const std::string& linea, const std::string& treno) {
    p.file[nome(file_scenario::descrizione_linea)] = linea;
    p.file[nome(file_scenario::descrizione_treno)] = treno;
    m.nome_linea = kNomeLinea;
    m.numero_treno = kNumeroTreno;
    int32_t j = 1;
    try {
      memorizza_percorso(p, m, j);
    } catch (const terminazione&) {
      terminata = true;
    }
  }
};

std::string linea_incorporata() {
  piattaforma_memoria p;
  return testo_righe(righe_linea(p));
}
std::string treno_incorporato() {
  piattaforma_memoria p;
  return testo_righe(righe_treno(p));
}

// The item file writes every name's length in 16 bits: a longer station name
// or sign text is a failure of the reading (25), never a file that cannot be
// written or an exception out of the driver.
TEST(Robustezza, NomiOltre65535CaratteriFinisconoInCodice25) {
  const std::string lungo(65536, 'N');
  std::string linea = linea_incorporata();
  std::string treno = treno_incorporato();
  struct caso {
    const char* cosa;
    std::string linea, treno;
  };
  const std::string::size_type stazione = treno.find("VELMO");
  const std::string::size_type cartello = linea.find("(PL km ");
  ASSERT_NE(stazione, std::string::npos);
  ASSERT_NE(cartello, std::string::npos);
  const caso casi[] = {
      {"nome di stazione", linea, std::string(treno).replace(stazione, 5, lungo)},
      {"testo di cartello", std::string(linea).replace(cartello, 7, lungo), treno},
  };
  for (const caso& k : casi) {
    SCOPED_TRACE(k.cosa);
    compilazione c;
    c.esegui(k.linea, k.treno);
    EXPECT_FALSE(c.terminata);
    EXPECT_EQ(c.m.codice_errore, 25);
    std::size_t nomi = 0;
    for (const voce& v : c.m.voci) {
      EXPECT_LE(v.nome.size(), 65535u);
      nomi += v.nome.size();
    }
    EXPECT_EQ(c.p.file.at(c.nome(file_scenario::voci)).size(), 87 * 34 + nomi);
    EXPECT_EQ(c.p.file.at(c.nome(file_scenario::celle)).size(), 15 * (c.m.celle.size()));
    EXPECT_FALSE(c.p.esiste(c.nome(file_scenario::descrizione_linea)));
    EXPECT_FALSE(c.p.esiste(c.nome(file_scenario::descrizione_treno)));
  }
}

}  // namespace
}  // namespace scenario
