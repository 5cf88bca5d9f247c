#include "lsp/documentazione.h"

#include <cmath>
#include <string_view>

#include "platform/cp1252.h"

namespace scenario::lsp {
namespace {

const char* nome_file(descrizione d) { return d == descrizione::linea ? "descrizione della linea" : "descrizione del treno"; }

// A table cell's text: its bars escaped.
std::string in_cella(std::string_view s) {
  std::string r;
  for (char c : s) {
    if (c == '|') r += '\\';
    r += c;
  }
  return r;
}

bool e_posizione(const valore_record& v) {
  const std::string_view n = v.nome;
  return (n == "posizione" || n == "inizio" || n == "fine" || n == "x" || n == "P1" || n == "P2") &&
         v.significato[0] == 'm';
}

// The cell of a point at `p` metres, as the compiler places it: round(p /
// 50 + 1), halves to the even neighbour; a cut-off point at round(p / 50).
std::string cella_di(const record_descrizione& r, long long p) {
  const bool abbattimento = std::string_view(r.parola) == "abbattimento";
  const double c = std::nearbyint(static_cast<double>(p) / 50.0 + (abbattimento ? 0.0 : 1.0));
  return "cella " + std::to_string(static_cast<long long>(c)) + " (round(" + std::to_string(p) + " / 50" +
         (abbattimento ? "" : " + 1") + "))";
}

}  // namespace

std::string riferimento_record(const record_descrizione& r) {
  std::string s = "**" + std::string(r.parola) + "** — " + nome_file(r.file) + ", " + std::to_string(r.valori.size()) +
                  (r.valori.size() == 1 ? " valore" : " valori");
  if (*r.sezione) s += ", sezione `" + std::string(r.sezione) + "`";
  s += "\n\n" + std::string(r.significato) + ".\n\nForme scritte:";
  for (const char* f : r.forme) s += " `" + cp1252_in_utf8(f) + "`";
  s += r.maiuscole ? " (maiuscole rispettate)" : " (maiuscole indifferenti)";
  s += "\n\n| # | valore | significato |\n|---|---|---|\n";
  int n = 1;
  for (const valore_record& v : r.valori) {
    s += "| " + std::to_string(n++) + " | `" + v.nome + "` | " + in_cella(v.significato) + " |\n";
  }
  if (r.ultimo_testo) s += "\nL'ultimo valore è un testo fino alla fine della riga, senza virgole.\n";
  s += "\nEsempio: `" + std::string(r.esempio) + "`";
  return s;
}

std::string progressiva_di(const documento& linea, long long p) {
  struct tratto {
    const char* nome;
    long long inizio, progressiva, indicatore;
  };
  std::vector<tratto> tratti;
  for (const riga_descrizione& r : linea.righe) {
    if (!r.record || std::string_view(r.record->parola) != "progressiva chilometrica") continue;
    const std::string_view parola = r.campi.front().testo;
    const char* nome = parola.find("uno") != std::string_view::npos   ? "uno"
                       : parola.find("due") != std::string_view::npos ? "due"
                                                                      : "tre";
    const std::vector<valore_scritto> v = valori_scritti(r);
    if (v.size() < 3) continue;
    tratto t{nome, numero_scritto(v[0].testo), numero_scritto(v[1].testo), numero_scritto(v[2].testo)};
    if (t.inizio == 0 && t.progressiva == 0 && t.indicatore == 0) continue;  // not in use
    tratti.push_back(t);
  }
  const tratto* scelto = nullptr;
  for (const tratto& t : tratti) {
    if (t.inizio <= p && (!scelto || t.inizio > scelto->inizio)) scelto = &t;
  }
  if (!scelto) return "";
  // The chainage runs down the line from each stretch's start, as the
  // kilometre posts of the built-in line's signs read.
  const long long km = scelto->progressiva + (scelto->indicatore == 1 ? 100 : 0) - (p - scelto->inizio);
  const long long a = km < 0 ? -km : km;
  std::string metri = std::to_string(a % 1000);
  metri.insert(0, 3 - metri.size(), '0');
  return std::string("km ") + (km < 0 ? "-" : "") + std::to_string(a / 1000) + "+" + metri + " (tratto " +
         scelto->nome + ")";
}

std::optional<spiegazione> spiega(const documento& d, int riga, std::size_t byte, const documento* linea) {
  if (riga < 0 || static_cast<std::size_t>(riga) >= d.righe.size()) return std::nullopt;
  const riga_descrizione& r = d.righe[static_cast<std::size_t>(riga)];
  if (!r.record) return std::nullopt;
  const std::vector<valore_scritto> v = valori_scritti(r);
  const int i = valore_al_byte(r, v, byte);
  spiegazione s;
  s.riga = riga;
  if (i < 0) {
    s.markdown = riferimento_record(*r.record);
    s.da = r.campi.front().da;
    s.a = r.campi.front().a;
    return s;
  }
  if (static_cast<std::size_t>(i) >= r.record->valori.size()) {
    s.markdown = "Oltre i " + std::to_string(r.record->valori.size()) + " valori di `" + r.record->parola +
                 "`: il lettore lo prende come campo seguente.";
  } else {
    const valore_record& x = r.record->valori[static_cast<std::size_t>(i)];
    s.markdown = "**" + std::string(x.nome) + "** — valore " + std::to_string(i + 1) + " di `" + r.record->parola +
                 "`\n\n" + x.significato;
    if (e_posizione(x) && !v[static_cast<std::size_t>(i)].testo.empty()) {
      const long long p = numero_scritto(v[static_cast<std::size_t>(i)].testo);
      s.markdown += "\n\n" + std::to_string(p) + " m: " + cella_di(*r.record, p);
      if (linea) {
        if (std::string km = progressiva_di(*linea, p); !km.empty()) s.markdown += "; progressiva " + km;
      }
    }
  }
  s.da = v[static_cast<std::size_t>(i)].da;
  s.a = v[static_cast<std::size_t>(i)].a;
  return s;
}

std::optional<firma> firma_al(const documento& d, int riga, std::size_t byte) {
  if (riga < 0 || static_cast<std::size_t>(riga) >= d.righe.size()) return std::nullopt;
  const riga_descrizione& r = d.righe[static_cast<std::size_t>(riga)];
  if (!r.record) return std::nullopt;
  const std::vector<valore_scritto> v = valori_scritti(r);
  int i = valore_al_byte(r, v, byte);
  if (i < 0 && campo_al_byte(r, byte) == 0) return std::nullopt;
  if (i < 0) i = 0;
  firma f;
  f.etichetta = r.record->parola;
  for (const valore_record& x : r.record->valori) {
    f.etichetta += ", ";
    f.parametri.emplace_back(f.etichetta.size(), f.etichetta.size() + std::string_view(x.nome).size());
    f.etichetta += x.nome;
    f.significati.push_back(x.significato);
  }
  f.documentazione = r.record->significato;
  f.attivo = std::min(i, static_cast<int>(r.record->valori.size()) - 1);
  return f;
}

}  // namespace scenario::lsp
