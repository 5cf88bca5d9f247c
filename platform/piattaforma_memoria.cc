#include "platform/piattaforma_memoria.h"

#include <cerrno>

#include "platform/cp1252.h"

namespace scenario {

bool piattaforma_memoria::esiste(const std::string& nome) { return file.count(nome) != 0; }

void piattaforma_memoria::tocca(const std::string& nome) { file.try_emplace(nome); }

void piattaforma_memoria::elimina(const std::string& nome) {
  if (file.erase(nome) == 0) throw errore_sistema(nome, ENOENT, "No such file or directory");
}

void piattaforma_memoria::scrivi(const std::string& nome, std::string_view byte) {
  file[nome] = std::string(byte);
}

// Straight into the file's own string, whose room an earlier content of the
// same size already made.
void piattaforma_memoria::scrivi_a_pezzi(const std::string& nome, const std::function<std::string_view()>& prossimo) {
  std::string& f = file[nome];
  f.clear();
  for (std::string_view pezzo = prossimo(); !pezzo.empty(); pezzo = prossimo()) f += pezzo;
}

std::string piattaforma_memoria::leggi(const std::string& nome) {
  const auto it = file.find(nome);
  if (it == file.end()) throw errore_sistema(nome, ENOENT, "No such file or directory");
  return it->second;
}

void piattaforma_memoria::crea_cartella(const std::string& nome) {
  for (std::size_t fine = 0; fine != std::string::npos;) {
    fine = nome.find('/', fine + 1);
    const std::string parte = nome.substr(0, fine);
    if (file.count(parte) != 0) throw errore_sistema(parte, ENOTDIR, "Not a directory");
  }
}

std::string piattaforma_memoria::in_ansi(std::string_view testo) { return utf8_in_cp1252(testo); }

std::string piattaforma_memoria::minuscole(std::string_view ansi) { return cp1252_minuscole(ansi); }

}  // namespace scenario
