#include "platform/piattaforma.h"

#include <utility>

namespace scenario {

errore_sistema::errore_sistema(std::string file, int numero, std::string descrizione)
    : std::runtime_error("errore " + std::to_string(numero) + " (" + descrizione + "): " + file),
      file_(std::move(file)),
      numero_(numero),
      descrizione_(std::move(descrizione)) {}

void piattaforma::scrivi(const std::string& nome, std::string_view byte) {
  bool dato = false;
  scrivi_a_pezzi(nome, [&]() -> std::string_view {
    if (dato) return {};
    dato = true;
    return byte;
  });
}

void piattaforma::scrivi_a_pezzi(const std::string& nome, const std::function<std::string_view()>& prossimo) {
  const std::string temporaneo = scrivi_temporaneo(nome, prossimo);
  try {
    sostituisci(temporaneo, nome);
  } catch (...) {
    try {
      elimina(temporaneo);
    } catch (const errore_sistema&) {
      // The failure to report is the replacement's.
    }
    throw;
  }
}

std::string piattaforma::scrivi_temporaneo_posizionato(const std::string& nome,
                                                       const std::function<pezzo_posizionato()>& prossimo) {
  std::string tutto;
  for (pezzo_posizionato p = prossimo(); !p.byte.empty(); p = prossimo()) {
    const auto fine = static_cast<std::size_t>(p.posizione + p.byte.size());
    if (tutto.size() < fine) tutto.resize(fine);
    tutto.replace(static_cast<std::size_t>(p.posizione), p.byte.size(), p.byte);
  }
  bool dato = false;
  return scrivi_temporaneo(nome, [&]() -> std::string_view {
    if (dato) return {};
    dato = true;
    return tutto;
  });
}

std::string descrizione_troppo_grande(std::size_t massimo) {
  return "il file supera il limite di " + std::to_string(massimo) + " byte";
}

std::string nome_temporaneo(const std::string& nome, std::string_view separatori, unsigned long processo,
                            unsigned long contatore) {
  const std::size_t s = nome.find_last_of(separatori);
  const std::string cartella = s == std::string::npos ? std::string() : nome.substr(0, s + 1);
  return cartella + ".scenario-" + std::to_string(processo) + "-" + std::to_string(contatore) + ".tmp";
}

void piattaforma::sincronizza_cartella(const std::string&) {}

bool e_temporaneo(std::string_view nome) {
  constexpr std::string_view inizio = ".scenario-";
  if (nome.substr(0, inizio.size()) != inizio) return false;
  for (std::string_view fine : {std::string_view(".tmp"), std::string_view(".vecchio")}) {
    if (nome.size() > inizio.size() + fine.size() && nome.substr(nome.size() - fine.size()) == fine) {
      const std::string_view mezzo = nome.substr(inizio.size(), nome.size() - inizio.size() - fine.size());
      // process-counter, both in digits
      const std::size_t trattino = mezzo.find('-');
      if (trattino == std::string_view::npos || trattino == 0 || trattino + 1 == mezzo.size()) return false;
      for (std::size_t i = 0; i < mezzo.size(); ++i) {
        if (i != trattino && (mezzo[i] < '0' || mezzo[i] > '9')) return false;
      }
      return true;
    }
  }
  return false;
}

}  // namespace scenario
