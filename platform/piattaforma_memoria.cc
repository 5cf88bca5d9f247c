#include "platform/piattaforma_memoria.h"

#include <cerrno>
#include <functional>

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
  if (aperti.count(nome) != 0 || aperti.count(temporaneo) != 0) {
    throw errore_sistema(nome, EBUSY, "Device or resource busy");
  }
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

std::vector<std::string> piattaforma_memoria::crea_cartella(const std::string& nome) {
  for (std::size_t fine = 0; fine != std::string::npos;) {
    fine = nome.find('/', fine + 1);
    const std::string parte = nome.substr(0, fine);
    if (file.count(parte) != 0) throw errore_sistema(parte, ENOTDIR, "Not a directory");
  }
  return {};
}

void piattaforma_memoria::metti_da_parte(const std::string& nome, const std::string& copia) {
  const auto it = file.find(nome);
  if (it == file.end()) throw errore_sistema(nome, ENOENT, "No such file or directory");
  if (file.count(copia) != 0) throw errore_sistema(copia, EEXIST, "File exists");
  if (aperti.count(nome) != 0) throw errore_sistema(nome, EBUSY, "Device or resource busy");
  file[copia] = it->second;
  if (sposta_da_parte) file.erase(nome);
}

void piattaforma_memoria::verifica_sostituibile(const std::string& nome) {
  if (aperti.count(nome) != 0) throw errore_sistema(nome, EBUSY, "Device or resource busy");
}

std::vector<std::string> piattaforma_memoria::elenca(const std::string& cartella) {
  std::vector<std::string> nomi;
  const std::string inizio = cartella + "/";
  for (auto it = file.lower_bound(inizio); it != file.end() && it->first.compare(0, inizio.size(), inizio) == 0;
       ++it) {
    const std::string resto = it->first.substr(inizio.size());
    if (resto.find('/') == std::string::npos) nomi.push_back(resto);
  }
  return nomi;
}

std::optional<identita_file> piattaforma_memoria::identita(const std::string& nome, bool) {
  const auto it = file.find(nome);
  if (it == file.end()) return std::nullopt;
  return identita_file{1, static_cast<uint64_t>(std::hash<std::string>{}(nome))};
}

std::unique_ptr<blocco_cartella> piattaforma_memoria::blocca(const std::string& cartella, int) {
  if (!bloccate_->insert(cartella).second) {
    throw errore_cartella_occupata(cartella, EWOULDBLOCK, "Resource temporarily unavailable");
  }
  struct blocco : blocco_cartella {
    blocco(std::shared_ptr<std::set<std::string>> b, std::string c) : bloccate(std::move(b)), cartella(std::move(c)) {}
    ~blocco() override { bloccate->erase(cartella); }
    std::shared_ptr<std::set<std::string>> bloccate;
    std::string cartella;
  };
  return std::make_unique<blocco>(bloccate_, cartella);
}

std::string piattaforma_memoria::in_ansi(std::string_view testo) { return utf8_in_cp1252(testo); }

std::string piattaforma_memoria::minuscole(std::string_view ansi) { return cp1252_minuscole(ansi); }

}  // namespace scenario
