#include "lsp/coppia.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "common/limiti.h"
#include "lsp/analisi.h"
#include "platform/cp1252.h"
#include "platform/piattaforma.h"

namespace scenario::lsp {
namespace {

bool finisce_in_txt(const std::string& nome) {
  if (nome.size() < 4) return false;
  std::string e = nome.substr(nome.size() - 4);
  for (char& c : e) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return e == ".txt";
}

std::string normale(const std::filesystem::path& p) { return p.lexically_normal().generic_string(); }

}  // namespace

descrizione tipo_della_bozza(const bozza& b) {
  return tipo_del_testo(b.testo(), std::filesystem::path(b.percorso.empty() ? b.uri : b.percorso).filename().string());
}

coppia trova_coppia(const bozza& b, const bozze& aperte) {
  coppia c;
  const descrizione tipo = tipo_della_bozza(b);
  membro_coppia& proprio = tipo == descrizione::linea ? c.linea : c.treno;
  membro_coppia& altro = tipo == descrizione::linea ? c.treno : c.linea;
  proprio = {b.uri, b.percorso, b.contenuto, true, true};
  if (b.percorso.empty()) return c;

  const std::filesystem::path cartella = std::filesystem::path(b.percorso).parent_path();
  const std::string io = normale(b.percorso);
  // Open documents of the folder first.
  for (const auto& [uri, x] : aperte.tutte()) {
    if (x.percorso.empty() || normale(x.percorso) == io) continue;
    if (normale(std::filesystem::path(x.percorso).parent_path()) != normale(cartella)) continue;
    if (!ha_generale(x.testo()) || tipo_della_bozza(x) == tipo) continue;
    if (altro.presente && altro.percorso < x.percorso) continue;
    altro = {x.uri, x.percorso, x.contenuto, true, true};
  }
  if (altro.presente) return c;

  std::vector<std::filesystem::path> file;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(cartella, ec), fine; !ec && it != fine; it.increment(ec)) {
    std::error_code e2;
    if (!it->is_regular_file(e2) || !finisce_in_txt(it->path().filename().string())) continue;
    if (normale(it->path()) == io || aperte.per_percorso(it->path().string())) continue;
    file.push_back(it->path());
  }
  std::sort(file.begin(), file.end());
  auto sistema = piattaforma_di_sistema(cartella.string());
  for (const std::filesystem::path& f : file) {
    std::string testo;
    try {
      testo = cp1252_in_utf8(sistema->leggi(f.string(), kMassimoDescrizione));
    } catch (const errore_sistema& x) {
      if (c.errore.empty()) c.errore = f.filename().string() + ": " + x.descrizione();
      continue;
    }
    if (!ha_generale(testo) || tipo_del_testo(testo, f.filename().string()) == tipo) continue;
    altro = {uri_da_percorso(f.string()), f.string(), std::make_shared<const std::string>(std::move(testo)), true, false};
    break;
  }
  return c;
}

}  // namespace scenario::lsp
