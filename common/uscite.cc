#include "common/uscite.h"

namespace scenario {

insieme_uscite::~insieme_uscite() { scarta(); }

void insieme_uscite::aggiungi(const std::string& nome, std::string_view byte) {
  bool dato = false;
  aggiungi_a_pezzi(nome, [&]() -> std::string_view {
    if (dato) return {};
    dato = true;
    return byte;
  });
}

void insieme_uscite::aggiungi_a_pezzi(const std::string& nome, const std::function<std::string_view()>& prossimo) {
  try {
    pronti_.emplace_back(p_.scrivi_temporaneo(nome, prossimo), nome);
  } catch (...) {
    scarta();
    throw;
  }
}

void insieme_uscite::aggiungi_posizionato(const std::string& nome,
                                         const std::function<pezzo_posizionato()>& prossimo) {
  try {
    pronti_.emplace_back(p_.scrivi_temporaneo_posizionato(nome, prossimo), nome);
  } catch (...) {
    scarta();
    throw;
  }
}

void insieme_uscite::conferma() {
  try {
    while (!pronti_.empty()) {
      p_.sostituisci(pronti_.front().first, pronti_.front().second);
      pronti_.erase(pronti_.begin());
    }
  } catch (...) {
    scarta();
    throw;
  }
}

void insieme_uscite::scarta() {
  for (const auto& [temporaneo, nome] : pronti_) {
    try {
      p_.elimina(temporaneo);
    } catch (...) {
      // Nothing better to do with a temporary that will not go; the failure
      // that matters is the one being reported.
    }
  }
  pronti_.clear();
}

}  // namespace scenario
