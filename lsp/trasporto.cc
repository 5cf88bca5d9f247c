#include "lsp/trasporto.h"

#include <charconv>

namespace scenario::lsp {
namespace {

// Header names compare without regard to case (they are HTTP-like).
bool stesso_nome(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto basso = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (basso(a[i]) != basso(b[i])) return false;
  }
  return true;
}

std::string_view senza_spazi(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<messaggio_letto> trasporto::leggi() {
  std::optional<std::size_t> lunghezza;
  bool errata = false;
  bool qualcosa = false;
  std::string riga;
  // The header: lines up to an empty one. Blank lines before a header (a
  // client that ends its bodies with a line end) are skipped.
  while (true) {
    if (!std::getline(in_, riga)) return std::nullopt;
    if (!riga.empty() && riga.back() == '\r') riga.pop_back();
    if (riga.empty()) {
      if (!qualcosa) continue;
      break;
    }
    qualcosa = true;
    const auto due_punti = riga.find(':');
    if (due_punti == std::string::npos) {
      errata = true;
      continue;
    }
    const std::string_view nome = senza_spazi(std::string_view(riga).substr(0, due_punti));
    const std::string_view valore = senza_spazi(std::string_view(riga).substr(due_punti + 1));
    if (!stesso_nome(nome, "Content-Length")) continue;
    std::size_t n = 0;
    const auto [fine, ec] = std::from_chars(valore.data(), valore.data() + valore.size(), n);
    if (ec != std::errc() || fine != valore.data() + valore.size()) {
      errata = true;
    } else {
      lunghezza = n;
    }
  }
  if (errata || !lunghezza) return messaggio_letto{messaggio_letto::tipo::intestazione_errata, {}};
  if (*lunghezza > kMassimoMessaggio) {
    in_.ignore(static_cast<std::streamsize>(*lunghezza));
    if (static_cast<std::size_t>(in_.gcount()) != *lunghezza) return std::nullopt;
    return messaggio_letto{messaggio_letto::tipo::troppo_grande, {}};
  }
  messaggio_letto m;
  m.corpo.resize(*lunghezza);
  in_.read(m.corpo.data(), static_cast<std::streamsize>(*lunghezza));
  if (static_cast<std::size_t>(in_.gcount()) != *lunghezza) return std::nullopt;
  return m;
}

void trasporto::scrivi(const std::string& corpo) {
  std::lock_guard<std::mutex> l(scrittura_);
  out_ << "Content-Length: " << corpo.size() << "\r\n\r\n" << corpo;
  out_.flush();
}

}  // namespace scenario::lsp
