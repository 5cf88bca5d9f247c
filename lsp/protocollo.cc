#include "lsp/protocollo.h"

namespace scenario::lsp {
namespace {

int valore_esadecimale(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Bytes of the UTF-8 sequence that starts with `b` (1 for a stray byte).
std::size_t lunghezza_sequenza(unsigned char b) {
  return b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
}

}  // namespace

std::optional<std::string> percorso_da_uri(std::string_view uri) {
  constexpr std::string_view kSchema = "file://";
  if (uri.size() < kSchema.size()) return std::nullopt;
  for (std::size_t i = 0; i < kSchema.size(); ++i) {
    const char c = uri[i] >= 'A' && uri[i] <= 'Z' ? static_cast<char>(uri[i] - 'A' + 'a') : uri[i];
    if (c != kSchema[i]) return std::nullopt;
  }
  uri.remove_prefix(kSchema.size());
  // An authority other than empty or "localhost" names another machine.
  const auto barra = uri.find('/');
  if (barra == std::string_view::npos) return std::nullopt;
  const std::string_view autorita = uri.substr(0, barra);
  if (!autorita.empty() && autorita != "localhost") return std::nullopt;
  uri.remove_prefix(barra);
  std::string p;
  for (std::size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && valore_esadecimale(uri[i + 1]) >= 0 &&
        valore_esadecimale(uri[i + 2]) >= 0) {
      p += static_cast<char>(valore_esadecimale(uri[i + 1]) * 16 + valore_esadecimale(uri[i + 2]));
      i += 2;
    } else if (uri[i] == '?' || uri[i] == '#') {
      break;
    } else {
      p += uri[i];
    }
  }
  // "/C:/..." is a Windows drive.
  if (p.size() >= 3 && p[0] == '/' && p[2] == ':' &&
      ((p[1] >= 'A' && p[1] <= 'Z') || (p[1] >= 'a' && p[1] <= 'z'))) {
    p.erase(0, 1);
  }
  return p;
}

std::string uri_da_percorso(std::string_view percorso) {
  std::string p(percorso);
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  if (p.empty() || p[0] != '/') {
    std::string radice(1, '/');
    radice += p;
    p = std::move(radice);
  }
  std::string r = "file://";
  constexpr char kCifre[] = "0123456789ABCDEF";
  for (const char c : p) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || c == '/' || c == '-' ||
        c == '.' || c == '_' || c == '~' || c == ':') {
      r += c;
    } else {
      r += '%';
      r += kCifre[b >> 4];
      r += kCifre[b & 15];
    }
  }
  return r;
}

std::vector<std::string_view> righe_di(std::string_view testo) {
  std::vector<std::string_view> r;
  std::size_t inizio = 0;
  for (std::size_t i = 0; i < testo.size(); ++i) {
    if (testo[i] != '\n' && testo[i] != '\r') continue;
    r.push_back(testo.substr(inizio, i - inizio));
    if (testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') ++i;
    inizio = i + 1;
  }
  r.push_back(testo.substr(inizio));
  return r;
}

std::size_t byte_della_colonna(std::string_view riga, int colonna, unita_colonne u) {
  if (colonna <= 0) return 0;
  if (u == unita_colonne::utf8) return std::min(riga.size(), static_cast<std::size_t>(colonna));
  int contate = 0;
  std::size_t i = 0;
  while (i < riga.size() && contate < colonna) {
    const std::size_t n = lunghezza_sequenza(static_cast<unsigned char>(riga[i]));
    contate += n == 4 ? 2 : 1;  // a character beyond the BMP is two UTF-16 units
    i = std::min(riga.size(), i + n);
  }
  return i;
}

int colonna_del_byte(std::string_view riga, std::size_t byte, unita_colonne u) {
  byte = std::min(byte, riga.size());
  if (u == unita_colonne::utf8) return static_cast<int>(byte);
  int colonna = 0;
  std::size_t i = 0;
  while (i < byte) {
    const std::size_t n = lunghezza_sequenza(static_cast<unsigned char>(riga[i]));
    colonna += n == 4 ? 2 : 1;
    i += n;
  }
  return colonna;
}

}  // namespace scenario::lsp
