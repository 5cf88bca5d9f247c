// The decoded files shown to a person (text) or to a program (JSON, CSV).
#ifndef READER_STAMPA_H_
#define READER_STAMPA_H_

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "reader/decodifica.h"

namespace scenario {

enum class formato_uscita { testo, json, csv };

// What to show. Items: the entries that hold anything, or all 87. Track:
// the cells that hold anything between `da` and `a` metres (cell k stands
// at 50·k), or every cell there. Geometry: the tag counts always, and the
// rows of metres `da` to `a` only when one of the two is given. `oggetti`
// keeps, of those cells, only the ones whose type is not free.
struct scelta {
  std::optional<int64_t> da;
  std::optional<int64_t> a;
  bool tutte = false;
  bool oggetti = false;
};

// Text and CSV go straight to `out`; JSON is one object, with no separator
// around it, so that several files can form one array.
void stampa_decodificato(std::ostream& out, const std::string& nome, const file_decodificato& f,
                         formato_uscita formato, const scelta& s);

// A line geometry read in pieces (or from decoded tables), in the same
// forms; its rows are read as they are printed.
void stampa_geometria(std::ostream& out, const std::string& nome, const vista_geometria& g, formato_uscita formato,
                      const scelta& s);

// A cell type by its name; one the compiler never writes as "tipo_N".
std::string nome_tipo(uint8_t t);

// True when the entry or the cell holds anything but zeros.
bool voce_piena(const voce& v);
bool cella_piena(const cella& c);

}  // namespace scenario

#endif  // READER_STAMPA_H_
