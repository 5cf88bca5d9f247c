#include "lsp/completamento.h"

#include <algorithm>
#include <string_view>

#include "lsp/documentazione.h"
#include "platform/cp1252.h"

namespace scenario::lsp {
namespace {

// Snippet text: its special characters escaped.
std::string letterale(std::string_view s) {
  std::string r;
  for (char c : s) {
    if (c == '$' || c == '}' || c == '\\' || c == ',' || c == '|') r += '\\';
    r += c;
  }
  return r;
}

std::string schema(const record_descrizione& r, bool con_valori) {
  std::string s;
  int n = 1;
  if (r.forme.size() == 1) {
    s = cp1252_in_utf8(r.forme[0]);
  } else {
    s = "${" + std::to_string(n++) + "|";
    for (std::size_t i = 0; i < r.forme.size(); ++i) s += (i ? "," : "") + letterale(cp1252_in_utf8(r.forme[i]));
    s += "|}";
  }
  if (!con_valori) return s;
  for (const valore_record& v : r.valori) s += ", ${" + std::to_string(n++) + ":" + v.nome + "}";
  return s;
}

}  // namespace

std::vector<proposta> proponi(const documento& d, int riga, std::size_t byte) {
  std::vector<proposta> p;
  if (riga < 0 || static_cast<std::size_t>(riga) >= d.righe.size()) return p;
  const riga_descrizione& r = d.righe[static_cast<std::size_t>(riga)];
  if (campo_al_byte(r, byte) != 0) return p;
  const std::size_t da = r.campi.front().da <= byte ? r.campi.front().da : byte;
  const std::size_t a = std::max(byte, r.campi.front().a);
  const bool solo_parola = r.campi.size() > 1;  // the values are there already

  // The section the cursor is in: its own line is not a header any more
  // once something else is typed there, so the header above counts.
  int sezione = r.sezione;
  if (r.intestazione) {
    for (int i = riga - 1; i >= 0; --i) {
      if (d.righe[static_cast<std::size_t>(i)].intestazione) {
        sezione = i;
        break;
      }
    }
  }
  const std::string nome = nome_sezione(d, sezione);
  bool nota = false;
  for (const record_descrizione& x : records_descrizioni()) {
    if (x.file == d.tipo && nome == x.sezione) nota = true;
  }
  for (const record_descrizione& x : records_descrizioni()) {
    if (x.file != d.tipo) continue;
    // In a known section its records, and those that belong to none; in
    // another section every record the readers take there.
    const bool offri = nota ? (nome == x.sezione || !*x.sezione) : (d.tipo == descrizione::treno || !x.generale);
    if (!offri) continue;
    proposta q;
    q.etichetta = x.parola;
    q.inserimento = schema(x, !solo_parola);
    q.snippet = q.inserimento.find('$') != std::string::npos;
    q.dettaglio = std::to_string(x.valori.size()) + (x.valori.size() == 1 ? " valore: " : " valori: ") + x.significato;
    q.documentazione = riferimento_record(x);
    q.da = da;
    q.a = a;
    p.push_back(std::move(q));
  }
  std::vector<std::string> intestazioni;
  for (const record_descrizione& x : records_descrizioni()) {
    if (x.file == d.tipo && *x.sezione &&
        std::find(intestazioni.begin(), intestazioni.end(), x.sezione) == intestazioni.end()) {
      intestazioni.push_back(x.sezione);
    }
  }
  intestazioni.push_back("[fine]");
  for (const std::string& h : intestazioni) {
    proposta q;
    q.etichetta = h;
    q.parola_chiave = false;
    q.inserimento = h;
    q.dettaglio = h == "[fine]" ? "fine della descrizione: l'ultimo campo non è mai letto come parola chiave"
                                : "intestazione di sezione";
    q.da = da;
    q.a = a;
    p.push_back(std::move(q));
  }
  return p;
}

}  // namespace scenario::lsp
