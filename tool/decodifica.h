// The decoder of the three binary files, over bytes in memory: the inverse
// of the images that compiler/file_uscita.h writes. The files come from
// anywhere, so every size is checked before it is used; a file that does not
// fit its format is refused with the offset at which it stops fitting, and
// nothing is ever read past the end.
#ifndef TOOL_DECODIFICA_H_
#define TOOL_DECODIFICA_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/modello.h"

namespace scenario {

// A file that does not fit its format: where (byte offset) and why.
class errore_decodifica : public std::runtime_error {
 public:
  errore_decodifica(std::size_t offset, std::string motivo);
  std::size_t offset() const { return offset_; }
  const std::string& motivo() const { return motivo_; }

 private:
  std::size_t offset_;
  std::string motivo_;
};

enum class tipo_file { geometria, voci, celle };

// The kind told by the name: "_linea.dat" the line geometry, ".sim" the
// items, any other ".dat" the track; none for any other name.
std::optional<tipo_file> tipo_da_nome(std::string_view nome);
// The kind named on the command line: "geometria"/"geometry",
// "voci"/"items", "celle"/"track".
std::optional<tipo_file> tipo_da_parola(std::string_view parola);
const char* nome_tipo_file(tipo_file t);

// The line geometry: x and y of metres 0 to N, as tagged numbers.
struct geometria {
  std::vector<numero_etichettato> x;
  std::vector<numero_etichettato> y;
};

// The item file: exactly 87 records, names as the ANSI bytes they are.
std::array<voce, kNumeroVoci> decodifica_voci(std::string_view byte);
// Offset of each record in the item file; call only on bytes that decode.
std::array<std::size_t, kNumeroVoci> offset_voci(const std::array<voce, kNumeroVoci>& voci);

// The track file: a whole, non-zero number of 15-byte records.
std::vector<cella> decodifica_celle(std::string_view byte);

// The line geometry file: tagged numbers (tags 0, 2 and 5 only), an even
// count of them, the first half x and the second half y.
geometria decodifica_geometria(std::string_view byte);

// The kind of file decoded and its tables, for whoever holds any of them.
struct file_decodificato {
  tipo_file tipo = tipo_file::celle;
  std::size_t byte = 0;
  std::array<voce, kNumeroVoci> voci{};
  std::vector<cella> celle;
  geometria piano;
};
file_decodificato decodifica(tipo_file t, std::string_view byte);

}  // namespace scenario

#endif  // TOOL_DECODIFICA_H_
