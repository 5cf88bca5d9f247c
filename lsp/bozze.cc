#include "lsp/bozze.h"

#include <filesystem>

namespace scenario::lsp {
namespace {

// Two spellings of one path, as far as their text tells.
std::string normale(const std::string& p) { return std::filesystem::path(p).lexically_normal().generic_string(); }

}  // namespace

std::size_t byte_della_posizione(std::string_view testo, posizione p, unita_colonne u) {
  std::size_t inizio = 0;
  for (int r = 0; r < p.riga; ++r) {
    std::size_t i = inizio;
    while (i < testo.size() && testo[i] != '\n' && testo[i] != '\r') ++i;
    if (i >= testo.size()) return testo.size();
    if (testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') ++i;
    inizio = i + 1;
  }
  std::size_t fine = inizio;
  while (fine < testo.size() && testo[fine] != '\n' && testo[fine] != '\r') ++fine;
  return inizio + byte_della_colonna(testo.substr(inizio, fine - inizio), p.colonna, u);
}

void bozze::apri(const std::string& uri, std::string testo, int64_t versione) {
  bozza& b = bozze_[uri];
  b.uri = uri;
  b.percorso = percorso_da_uri(uri).value_or("");
  b.contenuto = std::make_shared<const std::string>(std::move(testo));
  b.versione = versione;
}

bool bozze::cambia(const std::string& uri, const std::vector<modifica>& m, int64_t versione, unita_colonne u) {
  const auto it = bozze_.find(uri);
  if (it == bozze_.end()) return false;
  std::string t = it->second.testo();
  for (const modifica& x : m) {
    if (!x.dove) {
      t = x.testo;
      continue;
    }
    std::size_t a = byte_della_posizione(t, x.dove->inizio, u);
    std::size_t b = byte_della_posizione(t, x.dove->fine, u);
    if (b < a) std::swap(a, b);
    t.replace(a, b - a, x.testo);
  }
  it->second.contenuto = std::make_shared<const std::string>(std::move(t));
  it->second.versione = versione;
  return true;
}

void bozze::chiudi(const std::string& uri) { bozze_.erase(uri); }

const bozza* bozze::trova(const std::string& uri) const {
  const auto it = bozze_.find(uri);
  return it == bozze_.end() ? nullptr : &it->second;
}

const bozza* bozze::per_percorso(const std::string& percorso) const {
  const std::string n = normale(percorso);
  for (const auto& [uri, b] : bozze_) {
    if (!b.percorso.empty() && normale(b.percorso) == n) return &b;
  }
  return nullptr;
}

}  // namespace scenario::lsp
