#include "tool/decodifica.h"

namespace scenario {
namespace {

bool finisce_con(std::string_view s, std::string_view fine) {
  return s.size() >= fine.size() && s.substr(s.size() - fine.size()) == fine;
}

}  // namespace

std::optional<tipo_file> tipo_da_nome(std::string_view nome) {
  if (finisce_con(nome, "_linea.dat")) return tipo_file::geometria;
  if (finisce_con(nome, ".sim")) return tipo_file::voci;
  if (finisce_con(nome, ".dat")) return tipo_file::celle;
  return std::nullopt;
}

std::optional<tipo_file> tipo_da_parola(std::string_view parola) {
  if (parola == "geometria" || parola == "geometry") return tipo_file::geometria;
  if (parola == "voci" || parola == "items") return tipo_file::voci;
  if (parola == "celle" || parola == "track") return tipo_file::celle;
  return std::nullopt;
}

const char* nome_tipo_file(tipo_file t) {
  switch (t) {
    case tipo_file::geometria: return "geometria";
    case tipo_file::voci: return "voci";
    case tipo_file::celle: return "celle";
  }
  return "";
}

file_decodificato decodifica(tipo_file t, std::string_view byte) {
  file_decodificato f;
  f.tipo = t;
  f.byte = byte.size();
  switch (t) {
    case tipo_file::geometria: f.piano = decodifica_geometria(byte); break;
    case tipo_file::voci: f.voci = decodifica_voci(byte); break;
    case tipo_file::celle: f.celle = decodifica_celle(byte); break;
  }
  return f;
}

}  // namespace scenario
