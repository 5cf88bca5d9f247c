#include "lsp/formattazione.h"

#include <map>
#include <utility>

namespace scenario::lsp {
namespace {

// Characters of a UTF-8 text, as an editor's columns show them.
std::size_t larghezza(std::string_view s) {
  std::size_t n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

bool allineabile(const riga_descrizione& r) {
  if (!r.record || r.campi.size() != r.record->valori.size() + 1) return false;
  // One value a field: a numeric field holding blanks holds two numbers.
  for (std::size_t k = 1; k < r.campi.size(); ++k) {
    const bool testo = r.record->ultimo_testo && k + 1 == r.campi.size();
    if (!testo && r.campi[k].testo.find_first_of(" \t") != std::string_view::npos) return false;
  }
  return true;
}

}  // namespace

std::vector<sostituzione> formatta(const documento& d) {
  // The widths of each column, by section and record.
  using gruppo = std::pair<int, const record_descrizione*>;
  std::map<gruppo, std::vector<std::size_t>> larghezze;
  for (const riga_descrizione& r : d.righe) {
    if (!allineabile(r)) continue;
    std::vector<std::size_t>& l = larghezze[{r.sezione, r.record}];
    l.resize(r.campi.size(), 0);
    for (std::size_t k = 0; k < r.campi.size(); ++k) {
      l[k] = std::max(l[k], larghezza(r.campi[k].testo) + (k == 0 ? 1 : 0));  // the keyword with its comma
    }
  }
  std::vector<sostituzione> s;
  for (std::size_t i = 0; i < d.righe.size(); ++i) {
    const riga_descrizione& r = d.righe[i];
    if (!allineabile(r)) continue;
    const std::vector<std::size_t>& l = larghezze[{r.sezione, r.record}];
    std::string t(r.campi[0].testo);
    t += ',';
    std::size_t colonna = larghezza(t);
    std::size_t fine_prevista = l[0];
    for (std::size_t k = 1; k < r.campi.size(); ++k) {
      const campo_riga& c = r.campi[k];
      const bool testo = r.record->ultimo_testo && k + 1 == r.campi.size();
      // A text keeps its trailing blanks; it starts one blank after the comma.
      if (testo) {
        t += ' ';
        t.append(r.testo.substr(c.da, r.testo.size() - c.da));
        break;
      }
      fine_prevista += 1 + l[k];
      const std::size_t w = larghezza(c.testo);
      // An empty last field gets no blanks at the line's end.
      const std::size_t spazi = w == 0 && k + 1 == r.campi.size() ? 0
                                : fine_prevista > colonna + w   ? fine_prevista - colonna - w
                                                                : 1;
      t.append(spazi, ' ');
      t += c.testo;
      colonna += spazi + w;
      if (k + 1 < r.campi.size()) {
        t += ',';
        ++colonna;
        ++fine_prevista;
      }
    }
    if (t != r.testo) s.push_back({static_cast<int>(i), 0, r.testo.size(), std::move(t)});
  }
  return s;
}

}  // namespace scenario::lsp
