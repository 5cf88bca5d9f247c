// The decoder of the three binary files: the readers of the formats
// (compiler/formato_*.h), the kind of a file told by its name, and the
// decoded tables together. The files come from anywhere, so every size is
// checked before it is used; a file that does not fit its format is refused
// with the offset at which it stops fitting, and nothing is ever read past
// the end.
#ifndef READER_DECODIFICA_H_
#define READER_DECODIFICA_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/formato.h"
#include "compiler/formato_celle.h"
#include "compiler/formato_geometria.h"
#include "compiler/formato_voci.h"
#include "compiler/modello.h"

namespace scenario {

enum class tipo_file { geometria, voci, celle };

// The kind told by the name: "_linea.dat" the line geometry, ".sim" the
// items, any other ".dat" the track; none for any other name.
std::optional<tipo_file> tipo_da_nome(std::string_view nome);
// The kind named on the command line: "geometria"/"geometry",
// "voci"/"items", "celle"/"track".
std::optional<tipo_file> tipo_da_parola(std::string_view parola);
const char* nome_tipo_file(tipo_file t);

// The kind of file decoded and its tables, for whoever holds any of them.
struct file_decodificato {
  tipo_file tipo = tipo_file::celle;
  std::size_t byte = 0;
  std::array<voce, kNumeroVoci> voci{};
  std::vector<cella> celle;
  geometria piano;
};
file_decodificato decodifica(tipo_file t, std::string_view byte);

class byte_a_pezzi;  // tool/piano_a_pezzi.h
class piattaforma;   // platform/piattaforma.h

// The largest file of each kind there can be: the geometry of the longest
// track (all of its rows computed), the cells of that track, and 87 items
// whose names all have the longest length a record can give.
uint64_t byte_massimi(tipo_file t);

// A file larger than its kind can be: refused before it is decoded.
class errore_dimensione : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file `nome` (UTF-8), to be decoded as kind `t`. A regular file's size
// is checked against byte_massimi(t) before anything is read, and its bytes
// are read only when asked for, in pieces; anything else (a pipe, a device)
// is read through that limit into memory. errore_sistema when it cannot be
// read, as the platform `sistema` reports it for a missing file or a folder;
// errore_dimensione when it is too large.
std::shared_ptr<const byte_a_pezzi> apri_binario(piattaforma& sistema, const std::string& nome, tipo_file t);
// All the bytes of such a file, for the kinds that are decoded whole.
std::string leggi_binario(piattaforma& sistema, const std::string& nome, tipo_file t);

// What a line geometry holds, as the tool tells it: read through once to
// check it, and once more for the counts, never held whole.
struct conteggio_etichette {
  uint64_t vuoto = 0;
  uint64_t intero = 0;
  uint64_t reale = 0;
};
struct riassunto_geometria {
  uint64_t byte = 0;
  uint64_t valori_per_coordinata = 0;
  conteggio_etichette x;
  conteggio_etichette y;
  uint64_t inizio_y = 0;  // offset of the first y value
  // The last metre whose x or y is not empty, with both of its values.
  std::optional<int64_t> ultimo_calcolato;
  numero_etichettato ultimo_x;
  numero_etichettato ultimo_y;
};

// A line geometry as the printer reads it: its summary, and its rows of
// metres `da` to `a` in order.
class vista_geometria {
 public:
  virtual ~vista_geometria() = default;
  virtual const riassunto_geometria& riassunto() const = 0;
  virtual void righe(int64_t da, int64_t a, const std::function<void(const riga_geometria&)>& riga) const = 0;
};

// Over a file read in pieces: the whole file is checked first, with the
// faults of decodifica_geometria (errore_decodifica, same offsets and
// texts), and refused with errore_dimensione when it holds more rows than
// the longest track.
std::unique_ptr<vista_geometria> geometria_a_pezzi(std::shared_ptr<const byte_a_pezzi> b);
// Over decoded tables, which must outlive the view; `byte` is the file's
// size.
std::unique_ptr<vista_geometria> geometria_in_memoria(const geometria& g, uint64_t byte);

}  // namespace scenario

#endif  // READER_DECODIFICA_H_
