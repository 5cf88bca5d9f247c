// The pair rule: which two descriptions compile together. A train
// description compiles only with its line, and an editor opens one file at a
// time, so the server finds the other by one rule:
//
//   the partner of a description is the other description of the same
//   folder, told by its content (lsp/analisi.h, tipo_del_testo: a line
//   description has the "lunghezza percorso" record). The candidates are
//   the folder's files ending in ".txt" (any letter case) and the documents
//   open in the editor in that folder; an open document counts over the
//   file on disk. With several candidates, an open one comes first, then
//   the first by name.
//
// A description with no partner is compiled alone: a line against an empty
// train (its own diagnostics only), a train not at all (it cannot be read
// without its line), and the author is told.
#ifndef LSP_COPPIA_H_
#define LSP_COPPIA_H_

#include <memory>
#include <optional>
#include <string>

#include "compiler/parole.h"
#include "lsp/bozze.h"

namespace scenario::lsp {

struct membro_coppia {
  std::string uri;       // the open document's URI, or the file's
  std::string percorso;  // "" for a document that is no file
  std::shared_ptr<const std::string> contenuto = std::make_shared<const std::string>();  // UTF-8
  bool presente = false;
  bool aperto = false;
};

struct coppia {
  membro_coppia linea;
  membro_coppia treno;
  std::string errore;  // a partner that could not be read: why
};

// The pair of an open document.
coppia trova_coppia(const bozza& b, const bozze& aperte);

// The kind of an open document, by the rule above.
descrizione tipo_della_bozza(const bozza& b);

}  // namespace scenario::lsp

#endif  // LSP_COPPIA_H_
