#include "compiler/avvisi.h"

#include <utility>

#include "platform/cp1252.h"

namespace scenario {
namespace {

constexpr std::size_t kCampoMassimo = 60;

std::string_view senza_spazi(std::string_view s) {
  const auto a = s.find_first_not_of(" \t");
  if (a == std::string_view::npos) return {};
  const auto b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

bool numerico(std::string_view s) { return !s.empty() && s[0] >= '0' && s[0] <= '9'; }

}  // namespace

void avvisa(modello& m, int32_t tipo, int32_t posizione, std::string testo) {
  avviso a;
  a.tipo = tipo;
  a.posizione = posizione;
  a.file = m.sorgente_file;
  a.riga = m.sorgente_riga;
  a.testo = std::move(testo);
  a.ordine = static_cast<int>(m.guasti.size() + m.avvisi.size());
  m.avvisi.push_back(std::move(a));
}

int tipo_in(const modello& m, int64_t i) {
  if (i < 0 || i >= static_cast<int64_t>(m.celle.size())) return -1;
  return m.celle[static_cast<std::size_t>(i)].tipo;
}

void avvisa_sostituzione(modello& m, int32_t posizione, const char* oggetto, int vecchio, int64_t i) {
  const char* nome = nome_tipo_cella(static_cast<uint8_t>(vecchio));
  avvisa(m, avviso_sostituzione, posizione,
         std::string(oggetto) + " sulla cella " + std::to_string(i) + " (" + std::to_string(i * 50) +
             " m) sostituisce " + (*nome ? std::string(nome) : "il tipo " + std::to_string(vecchio)));
}

std::string campo_citato(std::string_view ansi) {
  std::string_view s = senza_spazi(ansi);
  const bool tagliato = s.size() > kCampoMassimo;
  if (tagliato) s = s.substr(0, kCampoMassimo);
  std::string r = "\"";
  r += cp1252_in_utf8(s);
  r += tagliato ? "...\"" : "\"";
  return r;
}

bool intestazione(std::string_view campo) {
  const std::string_view s = senza_spazi(campo);
  return !s.empty() && s[0] == '[' && s.find(']') != std::string_view::npos;
}

void sorveglianza_parole::campo(modello& m, std::string_view campo, bool riconosciuta, bool valori_non_letti) {
  const std::string_view s = senza_spazi(campo);
  if (s.empty()) return;
  if (riconosciuta || intestazione(s)) {
    valori_orfani_ = riconosciuta && valori_non_letti;
    return;
  }
  if (valori_orfani_ && numerico(s)) return;
  avvisa(m, avviso_parola, 0,
         campo_citato(s) + (numerico(s) ? ": un valore in più dove si attende una parola chiave"
                                        : ": né una parola chiave di record né un'intestazione di sezione"));
  valori_orfani_ = true;
}

void sorveglianza_ordine::posizione(modello& m, int32_t p) {
  if (precedente_ && p <= *precedente_) {
    avvisa(m, avviso_ordine, p,
           std::string(cosa_) + " a " + std::to_string(p) + " m dopo quella a " + std::to_string(*precedente_) +
               " m: i record vanno in ordine crescente di posizione");
  }
  precedente_ = p;
}

}  // namespace scenario
