// Completion in a description: at the start of a line, the keywords of the
// records that belong to the cursor's section (each with a snippet of its
// values), the section headers and "[fine]".
#ifndef LSP_COMPLETAMENTO_H_
#define LSP_COMPLETAMENTO_H_

#include <cstddef>
#include <string>
#include <vector>

#include "lsp/analisi.h"

namespace scenario::lsp {

struct proposta {
  std::string etichetta;
  bool parola_chiave = true;  // false: a section header
  std::string inserimento;    // the text put in place of the first field
  bool snippet = false;       // `inserimento` has ${n:...} place holders
  std::string dettaglio;
  std::string documentazione;  // Markdown
  std::size_t da = 0, a = 0;   // the bytes of the line replaced
};

std::vector<proposta> proponi(const documento& d, int riga, std::size_t byte);

}  // namespace scenario::lsp

#endif  // LSP_COMPLETAMENTO_H_
