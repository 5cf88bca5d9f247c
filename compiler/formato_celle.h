// The track file: the cell table `celle`, cell 0 first, one 15-byte record
// per 50 m cell, cell k at offset 15·k; the file is 15·(ultima_cella + 1)
// bytes long.
#ifndef COMPILER_FORMATO_CELLE_H_
#define COMPILER_FORMATO_CELLE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/formato.h"
#include "compiler/modello.h"

namespace scenario {

namespace formato {
inline constexpr std::size_t kBytesCella = 15;
namespace cella {
inline constexpr std::size_t tipo = 0;           // u8
inline constexpr std::size_t dato1 = 1;          // i16
inline constexpr std::size_t dato2 = 3;          // i16
inline constexpr std::size_t dato3 = 5;          // i16
inline constexpr std::size_t dato4 = 7;          // i16
inline constexpr std::size_t tempo_segnale = 9;  // u8
inline constexpr std::size_t richiamo = 10;      // u8
inline constexpr std::size_t montagna = 11;      // u8
inline constexpr std::size_t velocita_max = 12;  // u8
inline constexpr std::size_t pendenza = 13;      // u8
inline constexpr std::size_t aderenza = 14;      // u8
}  // namespace cella
// The largest track file: the cells of the longest line's track.
inline constexpr std::size_t kCelleMassime = (std::size_t{kLunghezzaMassima} + kMargineTracciato) / 50 + 1;
inline constexpr std::size_t kBytesCelleMassimi = kCelleMassime * kBytesCella;
static_assert((kLunghezzaMassima + kMargineTracciato) % 50 == 0, "the last cell is a whole one: no rounding");
}  // namespace formato

// Every field of a cell record in file order: `f(campo_record, member)`.
// The one list of the layout: the writer, the reader and the tool's printer
// all go through it, so a field's name, offset and width cannot part.
template <typename C, typename F>
constexpr void campi_cella(C& c, F&& f) {
  namespace o = formato::cella;
  f(campo_record{"tipo", o::tipo}, c.tipo);
  f(campo_record{"dato1", o::dato1}, c.dato1);
  f(campo_record{"dato2", o::dato2}, c.dato2);
  f(campo_record{"dato3", o::dato3}, c.dato3);
  f(campo_record{"dato4", o::dato4}, c.dato4);
  f(campo_record{"tempo_segnale", o::tempo_segnale}, c.tempo_segnale);
  f(campo_record{"richiamo", o::richiamo}, c.richiamo);
  f(campo_record{"montagna", o::montagna}, c.montagna);
  f(campo_record{"velocita_max", o::velocita_max}, c.velocita_max);
  f(campo_record{"pendenza", o::pendenza}, c.pendenza);
  f(campo_record{"aderenza", o::aderenza}, c.aderenza);
}

// One record: kBytesCella bytes at p.
void codifica_cella(char* p, const cella& c);
cella decodifica_cella(const char* p);

// The whole file.
std::string immagine_celle(const std::vector<cella>& celle);
// A whole, non-zero number of records, or errore_decodifica.
std::vector<cella> decodifica_celle(std::string_view byte);

}  // namespace scenario

#endif  // COMPILER_FORMATO_CELLE_H_
