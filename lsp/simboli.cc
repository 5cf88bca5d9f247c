#include "lsp/simboli.h"

#include <optional>
#include <string_view>

namespace scenario::lsp {
namespace {

std::optional<simbolo> simbolo_record(const riga_descrizione& r, int riga) {
  if (!r.record) return std::nullopt;
  const std::string_view parola = r.record->parola;
  const std::vector<valore_scritto> v = valori_scritti(r);
  if (v.empty()) return std::nullopt;
  const std::string posizione = std::to_string(numero_scritto(v[0].testo)) + " m";
  simbolo s;
  s.prima = s.ultima = s.riga_nome = riga;
  s.fine_ultima = r.testo.size();
  s.nome_da = r.campi.front().da;
  s.nome_a = r.campi.front().a;
  if (parola == "stazione") {
    s.tipo = tipo_simbolo::stazione;
    const valore_scritto& nome = v.back();
    s.nome = v.size() == r.record->valori.size() && !nome.testo.empty() ? std::string(nome.testo) : "(senza nome)";
    if (v.size() == r.record->valori.size()) {
      s.nome_da = nome.da;
      s.nome_a = nome.a;
    }
    s.dettaglio = "stazione, " + posizione;
  } else if (parola == "segnale") {
    s.tipo = tipo_simbolo::segnale;
    s.nome = "segnale " + posizione;
  } else if (parola == "rallentamento") {
    s.tipo = tipo_simbolo::rallentamento;
    s.nome = "rallentamento " + posizione;
    if (v.size() >= 3) {
      s.dettaglio = std::to_string(numero_scritto(v[1].testo)) + " km/h per " +
                    std::to_string(numero_scritto(v[2].testo)) + " m";
    }
  } else if (parola == "curva") {
    s.tipo = tipo_simbolo::curva;
    s.nome = std::string(r.campi.front().testo) + " " + posizione;
    if (v.size() >= 2) s.dettaglio = "lunga " + std::to_string(numero_scritto(v[1].testo)) + " m";
  } else {
    return std::nullopt;
  }
  return s;
}

}  // namespace

std::vector<simbolo> simboli(const documento& d) {
  std::vector<simbolo> r;
  simbolo* sezione = nullptr;
  for (std::size_t i = 0; i < d.righe.size(); ++i) {
    const riga_descrizione& x = d.righe[i];
    const int riga = static_cast<int>(i);
    if (x.intestazione) {
      simbolo s;
      s.nome = std::string(x.campi.front().testo);
      s.tipo = tipo_simbolo::sezione;
      s.prima = s.ultima = s.riga_nome = riga;
      s.fine_ultima = x.testo.size();
      s.nome_da = x.campi.front().da;
      s.nome_a = x.campi.front().a;
      r.push_back(std::move(s));
      sezione = &r.back();
      continue;
    }
    // A section runs to the last line before the next header.
    if (sezione) {
      sezione->ultima = riga;
      sezione->fine_ultima = x.testo.size();
    }
    if (std::optional<simbolo> s = simbolo_record(x, riga)) (sezione ? sezione->figli : r).push_back(std::move(*s));
  }
  return r;
}

}  // namespace scenario::lsp
