// Helpers for the tests of the written text files: the five documents as
// the writers put them into a folder, cut back into lines, and the fields of
// a description line.
#ifndef TESTS_RIGHE_PROVA_H_
#define TESTS_RIGHE_PROVA_H_

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/nomi.h"
#include "texts/testi.h"

namespace scenario::prova {

// The five text writers of the run, in the run's order.
inline void scrivi_testi(piattaforma& p) {
  dati_linea(p, kNomeLinea);
  dati_treno(p, kNomeLinea, kNumeroTreno);
  dati_note(p, kNomeLinea, kNumeroTreno);
  dati_rallentamenti(p, kNomeLinea, kNumeroTreno);
  dati_scheda(p, kNomeLinea, kNumeroTreno);
}

// The lines of a text file whose every line ends in CR LF. A bare CR or LF,
// or a last line without its CR LF, fails the calling test.
inline std::vector<std::string> righe_crlf(std::string_view byte) {
  std::vector<std::string> righe;
  std::size_t inizio = 0;
  while (inizio < byte.size()) {
    const std::size_t fine = byte.find("\r\n", inizio);
    if (fine == std::string_view::npos) {
      ADD_FAILURE() << "ultima riga senza CR LF: \"" << byte.substr(inizio) << "\"";
      righe.emplace_back(byte.substr(inizio));
      break;
    }
    std::string riga(byte.substr(inizio, fine - inizio));
    if (riga.find_first_of("\r\n") != std::string::npos) {
      ADD_FAILURE() << "CR o LF isolato nella riga " << righe.size() + 1;
    }
    righe.push_back(std::move(riga));
    inizio = fine + 2;
  }
  return righe;
}

// The lines of one document as its writer puts it into a folder.
inline std::vector<std::string> righe_scritte(file_scenario f) {
  piattaforma_memoria p;
  scrivi_testi(p);
  return righe_crlf(p.leggi(p.percorso(nome_semplice(kNomeLinea, kNumeroTreno, f))));
}

// The fields of a description line: split at the commas, leading and
// trailing blanks removed.
inline std::vector<std::string> campi(std::string_view riga) {
  std::vector<std::string> esito;
  std::size_t inizio = 0;
  for (;;) {
    const std::size_t virgola = riga.find(',', inizio);
    std::string_view campo = riga.substr(inizio, virgola == std::string_view::npos ? riga.npos : virgola - inizio);
    while (!campo.empty() && campo.front() == ' ') campo.remove_prefix(1);
    while (!campo.empty() && campo.back() == ' ') campo.remove_suffix(1);
    esito.emplace_back(campo);
    if (virgola == std::string_view::npos) break;
    inizio = virgola + 1;
  }
  return esito;
}

// A numeric field: an optional minus and decimal digits, or nothing (0).
// Anything else fails the calling test, so that a typing slip in the
// built-in data cannot pass as a zero.
inline int intero(const std::string& campo) {
  std::size_t i = campo.size() > 1 && campo[0] == '-' ? 1 : 0;
  bool cifre = i < campo.size();
  for (std::size_t k = i; k < campo.size(); ++k) cifre = cifre && std::isdigit(static_cast<unsigned char>(campo[k]));
  if (campo.empty()) return 0;
  if (!cifre) {
    ADD_FAILURE() << "campo numerico non valido: \"" << campo << "\"";
    return 0;
  }
  return std::stoi(campo);
}

// The records of a description whose keyword field contains `parola`
// (letter case respected), as fields.
inline std::vector<std::vector<std::string>> record(const std::vector<std::string>& righe, std::string_view parola) {
  std::vector<std::vector<std::string>> esito;
  for (const std::string& r : righe) {
    std::vector<std::string> c = campi(r);
    if (c[0].find(parola) != std::string::npos) esito.push_back(std::move(c));
  }
  return esito;
}

}  // namespace scenario::prova

#endif  // TESTS_RIGHE_PROVA_H_
