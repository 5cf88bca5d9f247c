#include "lsp/risposte.h"

#include <cstdio>

namespace scenario::lsp {
namespace {

std::string_view riga_o_vuota(const std::vector<std::string_view>& righe, int riga) {
  return riga >= 0 && static_cast<std::size_t>(riga) < righe.size() ? righe[static_cast<std::size_t>(riga)]
                                                                     : std::string_view();
}

}  // namespace

json righe_client::posizione_json(int riga, std::size_t byte) const {
  return {{"line", riga}, {"character", colonna_del_byte(riga_o_vuota(righe, riga), byte, unita)}};
}

json righe_client::intervallo_json(int riga, std::size_t da, std::size_t a) const {
  return {{"start", posizione_json(riga, da)}, {"end", posizione_json(riga, a)}};
}

std::size_t righe_client::byte_di(const json& p, int& riga) const {
  riga = p.at("line").get<int>();
  return byte_della_colonna(riga_o_vuota(righe, riga), p.at("character").get<int>(), unita);
}

json diagnostiche_json(const std::vector<diagnostica>& d, const righe_client& r,
                       const std::vector<std::string>& uri_dei_file, const std::vector<righe_client>& righe_dei_file) {
  json a = json::array();
  for (const diagnostica& x : d) {
    json j = {{"range", r.intervallo_json(x.riga, x.da, x.a)},
              {"severity", static_cast<int>(x.g)},
              {"source", "scenario"},
              {"message", x.messaggio}};
    if (x.codice_numerico) {
      j["code"] = std::stoi(x.codice);
    } else if (!x.codice.empty()) {
      j["code"] = x.codice;
    }
    if (!x.collegati.empty()) {
      json c = json::array();
      for (const luogo_collegato& l : x.collegati) {
        const auto f = static_cast<std::size_t>(l.file);
        if (f >= uri_dei_file.size()) continue;
        const std::string_view t = riga_o_vuota(righe_dei_file[f].righe, l.riga);
        c.push_back({{"location", {{"uri", uri_dei_file[f]}, {"range", righe_dei_file[f].intervallo_json(l.riga, 0, t.size())}}},
                     {"message", l.messaggio}});
      }
      j["relatedInformation"] = c;
    }
    a.push_back(std::move(j));
  }
  return a;
}

json spiegazione_json(const spiegazione& s, const righe_client& r) {
  return {{"contents", {{"kind", "markdown"}, {"value", s.markdown}}}, {"range", r.intervallo_json(s.riga, s.da, s.a)}};
}

json proposte_json(const std::vector<proposta>& p, int riga, const righe_client& r) {
  json items = json::array();
  int ordine = 0;
  for (const proposta& x : p) {
    char chiave[16];
    std::snprintf(chiave, sizeof chiave, "%04d", ordine++);
    json j = {{"label", x.etichetta},
              {"kind", x.parola_chiave ? 14 : 9},
              {"detail", x.dettaglio},
              {"sortText", chiave},
              {"filterText", x.etichetta},
              {"insertTextFormat", x.snippet ? 2 : 1},
              {"textEdit", {{"range", r.intervallo_json(riga, x.da, x.a)}, {"newText", x.inserimento}}}};
    if (!x.documentazione.empty()) j["documentation"] = {{"kind", "markdown"}, {"value", x.documentazione}};
    items.push_back(std::move(j));
  }
  return {{"isIncomplete", false}, {"items", items}};
}

json firma_json(const firma& f) {
  json parametri = json::array();
  for (std::size_t i = 0; i < f.parametri.size(); ++i) {
    parametri.push_back({{"label", {f.parametri[i].first, f.parametri[i].second}}, {"documentation", f.significati[i]}});
  }
  return {{"signatures",
           {{{"label", f.etichetta}, {"documentation", f.documentazione}, {"parameters", parametri},
             {"activeParameter", f.attivo}}}},
          {"activeSignature", 0},
          {"activeParameter", f.attivo}};
}

json simboli_json(const std::vector<simbolo>& s, const righe_client& r) {
  json a = json::array();
  for (const simbolo& x : s) {
    json j = {{"name", x.nome},
              {"kind", static_cast<int>(x.tipo)},
              {"range", {{"start", r.posizione_json(x.prima, 0)}, {"end", r.posizione_json(x.ultima, x.fine_ultima)}}},
              {"selectionRange", r.intervallo_json(x.riga_nome, x.nome_da, x.nome_a)}};
    if (!x.dettaglio.empty()) j["detail"] = x.dettaglio;
    if (!x.figli.empty()) j["children"] = simboli_json(x.figli, r);
    a.push_back(std::move(j));
  }
  return a;
}

json sostituzioni_json(const std::vector<sostituzione>& s, const righe_client& r) {
  json a = json::array();
  for (const sostituzione& x : s) a.push_back({{"range", r.intervallo_json(x.riga, x.da, x.a)}, {"newText", x.testo}});
  return a;
}

}  // namespace scenario::lsp
