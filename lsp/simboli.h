// The outline of a description: its sections, and in them the stations by
// name, the signals, the slowdowns and the curves, each with its position.
#ifndef LSP_SIMBOLI_H_
#define LSP_SIMBOLI_H_

#include <cstddef>
#include <string>
#include <vector>

#include "lsp/analisi.h"

namespace scenario::lsp {

// The protocol's kinds of symbol that the outline uses.
enum class tipo_simbolo { sezione = 3, curva = 12, segnale = 14, stazione = 19, rallentamento = 24 };

struct simbolo {
  std::string nome;
  std::string dettaglio;
  tipo_simbolo tipo = tipo_simbolo::sezione;
  int prima = 0, ultima = 0;          // the lines it spans
  std::size_t fine_ultima = 0;        // the byte where it ends on its last line
  int riga_nome = 0;
  std::size_t nome_da = 0, nome_a = 0;  // what names it, on riga_nome
  std::vector<simbolo> figli;
};

std::vector<simbolo> simboli(const documento& d);

}  // namespace scenario::lsp

#endif  // LSP_SIMBOLI_H_
