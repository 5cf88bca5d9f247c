// The features' results in the protocol's JSON: byte spans of lines become
// ranges in the client's columns.
#ifndef LSP_RISPOSTE_H_
#define LSP_RISPOSTE_H_

#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>
#include <vector>

#include "lsp/completamento.h"
#include "lsp/diagnostiche.h"
#include "lsp/documentazione.h"
#include "lsp/formattazione.h"
#include "lsp/protocollo.h"
#include "lsp/simboli.h"

namespace scenario::lsp {

using json = nlohmann::json;

// A text's lines and the client's way of counting columns.
struct righe_client {
  std::vector<std::string_view> righe;
  unita_colonne unita = unita_colonne::utf16;

  json posizione_json(int riga, std::size_t byte) const;
  json intervallo_json(int riga, std::size_t da, std::size_t a) const;
  // The byte of a protocol position ({"line", "character"}) and its line.
  std::size_t byte_di(const json& posizione, int& riga) const;
};

json diagnostiche_json(const std::vector<diagnostica>& d, const righe_client& r,
                       const std::vector<std::string>& uri_dei_file, const std::vector<righe_client>& righe_dei_file);
json spiegazione_json(const spiegazione& s, const righe_client& r);
json proposte_json(const std::vector<proposta>& p, int riga, const righe_client& r);
json firma_json(const firma& f);
json simboli_json(const std::vector<simbolo>& s, const righe_client& r);
json sostituzioni_json(const std::vector<sostituzione>& s, const righe_client& r);

}  // namespace scenario::lsp

#endif  // LSP_RISPOSTE_H_
