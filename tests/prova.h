// Helpers shared by the tests: a temporary folder per test and a platform
// that works in it and turns the end of the process into an exception.
#ifndef TESTS_PROVA_H_
#define TESTS_PROVA_H_

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/piattaforma.h"
#include "common/nomi.h"
#include "platform/piattaforma_memoria.h"

namespace scenario::prova {

// A fresh empty folder, removed with everything in it at destruction.
class cartella_temporanea {
 public:
  cartella_temporanea();
  ~cartella_temporanea();
  cartella_temporanea(const cartella_temporanea&) = delete;
  cartella_temporanea& operator=(const cartella_temporanea&) = delete;
  const std::filesystem::path& percorso() const { return percorso_; }
  std::string file(const std::string& nome) const { return (percorso_ / nome).string(); }
  // Names of the files in the folder, sorted.
  std::vector<std::string> elenco() const;

 private:
  std::filesystem::path percorso_;
};

struct con_sistema {
  std::unique_ptr<piattaforma> sistema;
};

// The system's platform in a temporary folder; messages are recorded and the
// end of the process throws `terminazione`, as with the memory platform.
class piattaforma_di_prova : private con_sistema, public con_registro<piattaforma_inoltro> {
 public:
  explicit piattaforma_di_prova(const cartella_temporanea& c);
};

std::string leggi_file(const std::string& percorso);
void scrivi_file(const std::string& percorso, const std::string& contenuto);

// The bytes of these values, each taken modulo 256.
inline std::string byte(std::initializer_list<int> b) {
  std::string s;
  for (int x : b) s.push_back(static_cast<char>(x));
  return s;
}

// The path of a file of the authors' fixtures (tests/fixtures/autori).
std::string fixture_autori(const std::string& nome);

// The eight files of a run, in the order the run writes them.
inline constexpr file_scenario kFileDellaCorsa[] = {
    file_scenario::descrizione_linea, file_scenario::descrizione_treno, file_scenario::note,
    file_scenario::rallentamenti,     file_scenario::scheda_treno,      file_scenario::geometria_linea,
    file_scenario::voci,              file_scenario::celle};

// The test platform that also keeps every error it is told to report.
class piattaforma_con_rapporti : public piattaforma_di_prova {
 public:
  using piattaforma_di_prova::piattaforma_di_prova;
  void rapporto_errore(const errore_sistema& e) override {
    errori.push_back(e);
    piattaforma_di_prova::rapporto_errore(e);
  }
  std::vector<errore_sistema> errori;
};

}  // namespace scenario::prova

#endif  // TESTS_PROVA_H_
