// What a compile leaves in a real folder: the binary files it wrote under
// their own names and nothing else, whichever way it ended. A report (1250,
// 1251) leaves no binary file at all, the line geometry included, under its
// name or any other; no run leaves a file that is not one of its outputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/nomi.h"
#include "compiler/compilazione.h"
#include "tests/prova.h"

namespace scenario {
namespace {

const identita kId{"Linea", "7"};
const char* const kLinea = "[generale]\r\nlunghezza percorso,    10000\r\n[curve]\r\ncurvad3, 1000, 500\r\n[fine]\r\n";
const char* const kTreno = "[generale]\r\nvelocita, 0, 30\r\n[fine]\r\n";

std::vector<std::string> binari(bool geometria) {
  std::vector<std::string> r = {nome_semplice(kId.nome_linea, kId.numero_treno, file_scenario::celle),
                                nome_semplice(kId.nome_linea, kId.numero_treno, file_scenario::voci)};
  if (geometria) r.push_back(nome_semplice(kId.nome_linea, kId.numero_treno, file_scenario::geometria_linea));
  std::sort(r.begin(), r.end());
  return r;
}

TEST(CartellaUscita, SoloIFileDellaCompilazione) {
  struct caso {
    const char* nome;
    std::string linea;
    std::string treno;
    bool geometria;
    const char* rapporto;                 // the report's code, or nullptr
    std::vector<std::string> attesi;      // the folder afterwards, sorted
  };
  const std::vector<caso> casi = {
      {"pulita", kLinea, kTreno, true, nullptr, binari(true)},
      {"senza geometria", kLinea, kTreno, false, nullptr, binari(false)},
      {"1250", kLinea, "[generale]\r\nabbattimento, 50, 3\r\n[fine]\r\n", true, "1250", {}},
      {"1251", kLinea, "[generale]\r\nsegnale, 0, 1, 0,1,0, 0, 0, 0,0,0, 0\r\n[fine]\r\n", true, "1251", {}},
      // The plan stops at the classless curve; the files are written all
      // the same, the geometry with the rows computed so far.
      {"codice 103", "[generale]\r\nlunghezza percorso,    10000\r\n[curve]\r\ncurvad, 100, 100\r\n[fine]\r\n", kTreno,
       true, nullptr, binari(true)},
      // No length: nothing to write, the report says the reader's code.
      {"codice 102", "nessuna sezione\r\n", kTreno, true, "102", {}},
  };
  for (const caso& k : casi) {
    SCOPED_TRACE(k.nome);
    prova::cartella_temporanea c;
    prova::piattaforma_di_prova p(c);
    riscrivi(p, kId.nome_linea, kId.numero_treno, file_scenario::descrizione_linea, k.linea);
    riscrivi(p, kId.nome_linea, kId.numero_treno, file_scenario::descrizione_treno, k.treno);
    const risultato_compilazione r = compila(p, kId, k.geometria);
    EXPECT_FALSE(r.sistema.has_value());
    ASSERT_EQ(r.rapporto.has_value(), k.rapporto != nullptr);
    if (k.rapporto) {
      EXPECT_EQ(r.rapporto->codice, k.rapporto);
    }
    // The descriptions left unread (a line refused before the train) stay;
    // beside them, only the binary files expected.
    std::vector<std::string> resto;
    for (const std::string& f : c.elenco()) {
      if (f != nome_semplice(kId.nome_linea, kId.numero_treno, file_scenario::descrizione_treno)) resto.push_back(f);
    }
    EXPECT_EQ(resto, k.attesi);
  }
}

// A write that fails part way (the item file's name is taken by a folder)
// leaves no temporary file behind either.
TEST(CartellaUscita, NessunFileTemporaneoDopoUnGuasto) {
  prova::cartella_temporanea c;
  prova::piattaforma_di_prova p(c);
  const std::string sim = nome_semplice(kId.nome_linea, kId.numero_treno, file_scenario::voci);
  std::filesystem::create_directory(c.percorso() / sim);
  riscrivi(p, kId.nome_linea, kId.numero_treno, file_scenario::descrizione_linea, kLinea);
  riscrivi(p, kId.nome_linea, kId.numero_treno, file_scenario::descrizione_treno, kTreno);
  const risultato_compilazione r = compila(p, kId, true);
  ASSERT_TRUE(r.sistema.has_value());
  for (const std::string& f : c.elenco()) {
    EXPECT_TRUE(f == sim || f == nome_semplice(kId.nome_linea, kId.numero_treno, file_scenario::geometria_linea)) << f;
  }
}

}  // namespace
}  // namespace scenario
