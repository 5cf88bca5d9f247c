// Formatting of a description: in each section the values of each kind of
// record are aligned in columns, numbers to the right, as the built-in
// descriptions are written. Only the blanks before a field change (the
// readers skip them), and the blanks after a keyword or a number (they end
// the field as the comma does), so what the readers see stays the same
// byte for byte. A line whose fields do not hold exactly its record's values
// (values on more lines, numbers separated by blanks) is left as it is.
#ifndef LSP_FORMATTAZIONE_H_
#define LSP_FORMATTAZIONE_H_

#include <cstddef>
#include <string>
#include <vector>

#include "lsp/analisi.h"

namespace scenario::lsp {

struct sostituzione {
  int riga = 0;
  std::size_t da = 0, a = 0;  // bytes of the line
  std::string testo;
};

// The edits that format the document, one per changed line.
std::vector<sostituzione> formatta(const documento& d);

}  // namespace scenario::lsp

#endif  // LSP_FORMATTAZIONE_H_
