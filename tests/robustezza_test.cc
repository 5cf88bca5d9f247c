// Descriptions that no writer of this program produces, through the whole
// compiler driver: every one ends in a fault code or a clean compile, and a
// clean compile writes files of the sizes its model gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "compiler/compilazione.h"
#include "compiler/modello.h"
#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/nomi.h"
#include "common/righe.h"
#include "tests/prova.h"
#include "texts/testi.h"

namespace scenario {
namespace {

struct compilazione {
  piattaforma_memoria p;
  modello m;
  bool terminata = false;

  std::string nome(file_scenario f) { return nome_file(p, kNomeLinea, kNumeroTreno, f); }

  // A train description of nullopt is missing from the folder.
  void esegui(const std::string& linea, const std::optional<std::string>& treno) {
    p.file[nome(file_scenario::descrizione_linea)] = linea;
    if (treno) p.file[nome(file_scenario::descrizione_treno)] = *treno;
    const risultato_compilazione r = compila(p, identita_incorporata(), true);
    m = r.m;
    terminata = r.rapporto.has_value();
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

// What every fixture found by fuzzing must give through the driver: the
// error report, or a clean compile whose files have the sizes of its model.
void verifica_esito(compilazione& c) {
  EXPECT_FALSE(c.p.esiste(c.nome(file_scenario::descrizione_linea)));
  if (c.terminata) {
    EXPECT_EQ(c.p.messaggi.size(), 1u);
    EXPECT_FALSE(c.p.esiste(c.nome(file_scenario::voci)));
    EXPECT_FALSE(c.p.esiste(c.nome(file_scenario::celle)));
    return;
  }
  ASSERT_EQ(c.m.celle.size(), static_cast<std::size_t>(c.m.ultima_cella) + 1);
  EXPECT_EQ(c.p.file.at(c.nome(file_scenario::celle)).size(), 15 * c.m.celle.size());
  std::size_t nomi = 0;
  for (const voce& v : c.m.voci) nomi += v.nome.size();
  EXPECT_EQ(c.p.file.at(c.nome(file_scenario::voci)).size(), 2958 + nomi);
}

// The inputs that once crashed, hung or broke a check in a fuzz target
// (tests/fixtures/fuzz/TARGET), each fed as that target feeds it.
TEST(Robustezza, InputTrovatiDalFuzzing) {
  const std::filesystem::path radice = std::filesystem::path(SCENARIO_FIXTURES) / "fuzz";
  const std::string separatore = "\n==treno==\n";
  int visti = 0;
  for (const char* bersaglio : {"linea", "treno", "coppia"}) {
    if (!std::filesystem::is_directory(radice / bersaglio)) continue;
    for (const auto& f : std::filesystem::directory_iterator(radice / bersaglio)) {
      SCOPED_TRACE(f.path().string());
      const std::string dati = prova::leggi_file(f.path().string());
      compilazione c;
      const std::string b = bersaglio;
      if (b == "linea") {
        c.esegui(dati, treno_incorporato());
      } else if (b == "treno") {
        c.esegui(linea_incorporata(), dati);
      } else {
        const auto s = dati.find(separatore);
        if (s == std::string::npos) {
          c.esegui(dati, std::nullopt);
        } else {
          c.esegui(dati.substr(0, s), dati.substr(s + separatore.size()));
        }
      }
      verifica_esito(c);
      ++visti;
    }
  }
  EXPECT_GT(visti, 0) << "no fixture under " << radice;
}

// A file of length records: each one makes the tables anew, and the last
// one's are the ones compiled. The fixture holds 150 of the longest length;
// made at every record, their tables once took the fuzz target past its
// time limit for one input (the fuzz run in CI starts from this fixture).
TEST(Robustezza, MolteLunghezzeCompilanoLUltima) {
  compilazione c;
  c.esegui(prova::leggi_file(std::string(SCENARIO_FIXTURES) + "/fuzz/linea/lunghezze_ripetute.txt"),
           treno_incorporato());
  EXPECT_FALSE(c.terminata);
  EXPECT_EQ(c.m.ultima_cella, 20140);
  EXPECT_EQ(c.m.piano.righe, 1007001);
  verifica_esito(c);
}

}  // namespace
}  // namespace scenario
