#include "platform/piattaforma_memoria.h"

#include <cerrno>

#include "platform/cp1252.h"

namespace scenario {

bool piattaforma_memoria::esiste(const std::string& nome) { return file.count(nome) != 0; }

void piattaforma_memoria::elimina(const std::string& nome) {
  if (file.erase(nome) == 0) throw errore_sistema(nome, ENOENT, "No such file or directory");
}

std::string piattaforma_memoria::scrivi_temporaneo(const std::string& nome,
                                                   const std::function<std::string_view()>& prossimo) {
  std::string temporaneo;
  do {
    temporaneo = nome_temporaneo(nome, "/", 0, ++temporanei_);
  } while (file.count(temporaneo) != 0);
  std::string& f = file[temporaneo];
  try {
    for (std::string_view pezzo = prossimo(); !pezzo.empty(); pezzo = prossimo()) f += pezzo;
  } catch (...) {
    file.erase(temporaneo);
    throw;
  }
  return temporaneo;
}

void piattaforma_memoria::sostituisci(const std::string& temporaneo, const std::string& nome) {
  const auto it = file.find(temporaneo);
  if (it == file.end()) throw errore_sistema(nome, ENOENT, "No such file or directory");
  std::string contenuto = std::move(it->second);
  file.erase(it);
  file[nome] = std::move(contenuto);
}

std::string piattaforma_memoria::leggi(const std::string& nome, std::size_t massimo) {
  const auto it = file.find(nome);
  if (it == file.end()) throw errore_sistema(nome, ENOENT, "No such file or directory");
  if (it->second.size() > massimo) throw errore_sistema(nome, EFBIG, descrizione_troppo_grande(massimo));
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
