// The line geometry file as a plan source, read in pieces of bounded size:
// the file holds the x column of tagged numbers, then the y column, so two
// cursors walk it side by side, each with its own piece. The memory taken
// does not grow with the file.
#ifndef READER_PIANO_A_PEZZI_H_
#define READER_PIANO_A_PEZZI_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "reader/piano.h"

namespace scenario {

// Bytes that can be read at any offset.
class byte_a_pezzi {
 public:
  virtual ~byte_a_pezzi() = default;
  virtual uint64_t byte() const = 0;
  // Exactly `n` bytes from `offset`, which with `n` lies within byte().
  virtual void leggi(uint64_t offset, char* dove, std::size_t n) const = 0;
};

// A file of the system, by the name given on the command line; a file that
// cannot be opened, sized or read throws errore_sistema.
std::shared_ptr<const byte_a_pezzi> byte_da_file(const std::string& nome);
// Bytes in memory, kept.
std::shared_ptr<const byte_a_pezzi> byte_in_memoria(std::string byte);

inline constexpr std::size_t kPezzoPiano = 64 * 1024;

// The geometry in `b`, checked whole before the source is returned (one
// pass): the same faults as decodifica_geometria, with the same offsets and
// texts, throw errore_decodifica. Each walk reads the file again, in pieces
// of `pezzo` bytes (at least 16) per column.
std::shared_ptr<const sorgente_piano> piano_a_pezzi(std::shared_ptr<const byte_a_pezzi> b,
                                                    std::size_t pezzo = kPezzoPiano);

}  // namespace scenario

#endif  // READER_PIANO_A_PEZZI_H_
