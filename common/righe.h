// The line list of the text writers: 1001 slots filled from slot 0, closed
// by the end mark, and written up to (not including) the end mark.
#ifndef COMMON_RIGHE_H_
#define COMMON_RIGHE_H_

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/piattaforma.h"

namespace scenario {

inline constexpr std::string_view kFineDelFile = "riferimento fine del file";
inline constexpr int kSlotRighe = 1001;

using lista_righe = std::array<std::string, kSlotRighe>;

// Fills slots from 0 with the lines (program text, UTF-8) converted to the
// ANSI code page, then puts the end mark after the last one.
lista_righe riempi_righe(piattaforma& p, std::initializer_list<std::string_view> righe);

// The bytes of the text file: every slot before the first one equal to the
// end mark (exactly, case respected), each followed by CR LF.
std::string testo_righe(const lista_righe& righe);

}  // namespace scenario

#endif  // COMMON_RIGHE_H_
