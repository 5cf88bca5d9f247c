// A line description read into a memory folder, for the tests of the line
// reader: a small text builder, the general section with only a length, and
// the folder with its fresh model.
#ifndef TESTS_BANCO_LINEA_H_
#define TESTS_BANCO_LINEA_H_

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/identita.h"
#include "common/nomi.h"
#include "compiler/lettore_linea.h"
#include "compiler/modello.h"
#include "platform/piattaforma_memoria.h"

namespace scenario::prova {

constexpr const char* kTrenoIntatto = "[generale]\r\n";

inline std::string testo(std::initializer_list<std::string_view> righe) {
  std::string t;
  for (std::string_view r : righe) {
    t += r;
    t += "\r\n";
  }
  return t;
}

// A memory folder with a line description (and a train description that
// the line half must leave alone), and a fresh model named as the program
// names it.
struct banco {
  explicit banco(const std::string& linea, int32_t calcola = 1, bool con_linea = true) {
    m.nome_linea = kNomeLinea;
    m.numero_treno = kNumeroTreno;
    m.calcola_tracciato = calcola;
    if (con_linea) p.file[file_linea()] = linea;
    p.file[file_treno()] = kTrenoIntatto;
  }
  std::string file_linea() { return nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_linea); }
  std::string file_treno() { return nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_treno); }
  bool leggi() {
    consegna_linea c;
    const bool r = leggi_linea(p, m, c);
    limite_cartelli = c.limite_cartelli;
    return r;
  }
  piattaforma_memoria p;
  modello m;
  int32_t limite_cartelli = -1;
};

// The general section with only a length, closed by a header so that the
// line records follow.
inline std::string generale(int32_t lunghezza) {
  return testo({"[generale]", "lunghezza percorso,    " + std::to_string(lunghezza), "[linea]"});
}

}  // namespace scenario::prova

#endif  // TESTS_BANCO_LINEA_H_
