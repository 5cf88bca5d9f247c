#include "compiler/guasti.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace scenario {
namespace {

std::string sorgente(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::filesystem::path radice() { return std::filesystem::path(SCENARIO_FIXTURES).parent_path().parent_path(); }

TEST(Guasti, TabellaInOrdineECompleta) {
  int32_t precedente = 0;
  for (const significato_codice& s : significati_guasti()) {
    EXPECT_GT(s.codice, precedente) << "codes in increasing order, each once";
    precedente = s.codice;
    EXPECT_NE(std::string(s.testo), "") << s.codice;
    EXPECT_EQ(cerca_guasto(s.codice), &s);
  }
  EXPECT_EQ(cerca_guasto(14), nullptr);
  EXPECT_EQ(cerca_guasto(1250), nullptr);  // the error report, not a recorded fault
}

// Every fault the compiler records is recorded by name, and every name has
// its meaning in the table: a code added in one place cannot go without its
// meaning in the other.
TEST(Guasti, OgniCodiceRegistratoHaUnSignificato) {
  std::map<std::string, int32_t> valori;
  const std::string intestazione = sorgente(radice() / "compiler" / "guasti.h");
  const std::regex voce(R"((codice_[a-z_]+) = (\d+),)");
  for (auto it = std::sregex_iterator(intestazione.begin(), intestazione.end(), voce); it != std::sregex_iterator();
       ++it) {
    valori[(*it)[1]] = std::stoi((*it)[2]);
  }
  ASSERT_GT(valori.size(), 20u);
  for (const auto& [nome, valore] : valori) EXPECT_NE(cerca_guasto(valore), nullptr) << nome;

  // Recorded directly, or through the readers' ways out.
  const std::regex chiamata(R"((?:registra\(\s*m_?\s*,|rifiuta\(|interrompi\()\s*([A-Za-z_0-9]+)\s*[,)])");
  std::set<std::string> usati;
  for (const auto& f : std::filesystem::directory_iterator(radice() / "compiler")) {
    const std::string nome = f.path().filename().string();
    if (f.path().extension() != ".cc" || nome.find("_test") != std::string::npos) continue;
    const std::string testo = sorgente(f.path());
    for (auto it = std::sregex_iterator(testo.begin(), testo.end(), chiamata); it != std::sregex_iterator(); ++it) {
      const std::string codice = (*it)[1];
      if (codice == "codice" || codice == "precedente") continue;  // passed on by a helper
      EXPECT_TRUE(valori.count(codice)) << nome << ": " << codice << ")";
      usati.insert(codice);
    }
  }
  EXPECT_GT(usati.size(), 25u);
}

}  // namespace
}  // namespace scenario
