// A description as its author sees it in the editor: lines, section headers,
// and on each line the record its first field names with the spans of its
// values. The features of the server (hover, completion, signature help,
// outline, formatting) read the text through this, never through the
// compiler, so they work on a description that does not compile.
#ifndef LSP_ANALISI_H_
#define LSP_ANALISI_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/parole.h"

namespace scenario::lsp {

// A field of a line: from just after its comma (or the line's start) to the
// next comma (or the line's end). `testo` is its content without outer
// blanks; `da` and `a` are where that content sits in the line (bytes).
struct campo_riga {
  std::size_t grezzo = 0;  // where the field starts, blanks included
  std::size_t da = 0;
  std::size_t a = 0;
  std::string_view testo;
};

struct riga_descrizione {
  std::string_view testo;            // without its line end
  std::vector<campo_riga> campi;     // at least one
  bool intestazione = false;         // a section header ("[...]" in the first field)
  int sezione = -1;                  // index of the header line above, -1 before any
  const record_descrizione* record = nullptr;  // the record its first field names, if any
};

struct documento {
  descrizione tipo = descrizione::treno;
  std::vector<riga_descrizione> righe;
};

// Which description a text is (the pair rule's first half): a line
// description when a line's first field holds "lunghezza" and "percorso" (the
// line's length record); otherwise the one whose records its lines' first
// fields name more often; on a tie the file name decides ("linea" in it), and
// then it is a train description.
descrizione tipo_del_testo(std::string_view testo_utf8, std::string_view nome);

// The text has a "[generale]" field (any letter case), where the readers
// start: without one it is no description.
bool ha_generale(std::string_view testo_utf8);

// The lines of the text, each with its fields and record. Records are
// recognised as the readers do, from the first field of a line: only after
// the first "[generale]", and for the line description the general records
// only within its general section.
documento analizza(std::string_view testo_utf8, descrizione tipo);

// The header a section is known by, in lower case without blanks
// ("[stazioni]"); "" for none.
std::string nome_sezione(const documento& d, int sezione);

// A value as written on a record's line. Numbers end at a blank, so one
// field may hold several ("orologio, 6 39 40"); an empty field is one value
// (0); a text value runs to the field's end.
struct valore_scritto {
  std::size_t campo = 0;  // index of its field
  std::size_t da = 0, a = 0;
  std::string_view testo;
};

// The values of a record's line, in order (none when it names no record).
std::vector<valore_scritto> valori_scritti(const riga_descrizione& r);

// The index among `valori_scritti` of the value at a byte of the line; -1
// on the keyword.
int valore_al_byte(const riga_descrizione& r, const std::vector<valore_scritto>& v, std::size_t byte);

// A whole number as the readers take it: an optional minus and digits,
// stopping at anything else; 0 when there is none.
long long numero_scritto(std::string_view s);

// The field of a line that holds a byte (the one whose span, commas
// excluded, takes it; the last on the line's end).
std::size_t campo_al_byte(const riga_descrizione& r, std::size_t byte);

}  // namespace scenario::lsp

#endif  // LSP_ANALISI_H_
