// The decoder of the three binary files: the readers of the formats
// (compiler/formato_*.h), the kind of a file told by its name, and the
// decoded tables together. The files come from anywhere, so every size is
// checked before it is used; a file that does not fit its format is refused
// with the offset at which it stops fitting, and nothing is ever read past
// the end.
#ifndef TOOL_DECODIFICA_H_
#define TOOL_DECODIFICA_H_

#include <array>
#include <cstddef>
#include <optional>
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

}  // namespace scenario

#endif  // TOOL_DECODIFICA_H_
