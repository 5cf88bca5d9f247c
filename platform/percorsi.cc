#include "platform/percorsi.h"

namespace scenario {

std::filesystem::path percorso(const std::string& nome) {
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(nome.data()), nome.size()));
}

bool stesso_percorso(const std::string& a, const std::string& b) {
  return percorso(a).lexically_normal() == percorso(b).lexically_normal();
}

std::unique_ptr<piattaforma> piattaforma_in_cartella(const std::string& cartella) {
  auto sistema = piattaforma_di_sistema(cartella);
  std::string c = cartella;
  const std::string sep = sistema->separatore();
  while (c.size() > sep.size() && c.compare(c.size() - sep.size(), sep.size(), sep) == 0) c.resize(c.size() - sep.size());
  return c == cartella ? std::move(sistema) : piattaforma_di_sistema(c);
}

std::string nome_in_cartella(piattaforma& p, std::string_view nome) {
  return p.cartella_programma() + p.separatore() + std::string(nome);
}

}  // namespace scenario
