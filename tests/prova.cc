#include "tests/prova.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace scenario::prova {

cartella_temporanea::cartella_temporanea() {
  static std::atomic<int> contatore{0};
  const auto base = std::filesystem::temp_directory_path();
  for (int tentativo = 0; tentativo < 1000; ++tentativo) {
    auto p = base / ("scenario_prova_" + std::to_string(static_cast<long>(std::hash<std::string>{}(
                                              std::to_string(reinterpret_cast<std::uintptr_t>(this)))) %
                                          100000) +
                     "_" + std::to_string(contatore++));
    if (std::filesystem::create_directory(p)) {
      percorso_ = p;
      return;
    }
  }
  throw std::runtime_error("nessuna cartella temporanea");
}

cartella_temporanea::~cartella_temporanea() {
  std::error_code ec;
  std::filesystem::remove_all(percorso_, ec);
}

std::vector<std::string> cartella_temporanea::elenco() const {
  std::vector<std::string> nomi;
  for (const auto& e : std::filesystem::directory_iterator(percorso_)) nomi.push_back(e.path().filename().string());
  std::sort(nomi.begin(), nomi.end());
  return nomi;
}

piattaforma_di_prova::piattaforma_di_prova(const cartella_temporanea& c)
    : con_sistema{piattaforma_di_sistema(c.percorso().string())}, con_registro<piattaforma_inoltro>(*sistema) {}

std::string leggi_file(const std::string& percorso) {
  std::ifstream f(percorso, std::ios::binary);
  if (!f) throw std::runtime_error("impossibile leggere " + percorso);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void scrivi_file(const std::string& percorso, const std::string& contenuto) {
  std::ofstream f(percorso, std::ios::binary | std::ios::trunc);
  if (!f) throw std::runtime_error("impossibile scrivere " + percorso);
  f << contenuto;
}

std::string fixture_autori(const std::string& nome) { return std::string(SCENARIO_FIXTURES) + "/autori/" + nome; }

}  // namespace scenario::prova
