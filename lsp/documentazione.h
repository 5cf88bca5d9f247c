// What the editor shows over a description: the reference of a record under
// its keyword, the meaning and range of a value, where a position falls
// (cell and kilometre chainage), and which value of its record the cursor is
// on. All from the format table of compiler/parole.h.
#ifndef LSP_DOCUMENTAZIONE_H_
#define LSP_DOCUMENTAZIONE_H_

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "lsp/analisi.h"

namespace scenario::lsp {

struct spiegazione {
  std::string markdown;
  int riga = 0;
  std::size_t da = 0, a = 0;  // the word explained, bytes of its line
};

// The hover at a byte of a line. `linea` is the line description of the
// pair (the document itself when it is one), for the chainage; may be null.
std::optional<spiegazione> spiega(const documento& d, int riga, std::size_t byte, const documento* linea);

// The reference of a record in Markdown: what it is, its values in order
// with their meanings, and the example.
std::string riferimento_record(const record_descrizione& r);

struct firma {
  std::string etichetta;  // "segnale, posizione, sx, ..."
  std::vector<std::pair<std::size_t, std::size_t>> parametri;  // spans of the values' names in it
  std::vector<std::string> significati;
  std::string documentazione;
  int attivo = 0;
};

// The signature of the record of a line with the value at a byte active;
// nothing off a record's values.
std::optional<firma> firma_al(const documento& d, int riga, std::size_t byte);

// The kilometre chainage of a position by the line's "progressiva
// chilometrica" records ("km 100+250 (tratto uno)"); "" when none applies.
std::string progressiva_di(const documento& linea, long long posizione);

}  // namespace scenario::lsp

#endif  // LSP_DOCUMENTAZIONE_H_
