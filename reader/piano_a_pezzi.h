// The line geometry file as a plan source, read in pieces of bounded size:
// the file holds the x column of tagged numbers, then the y column, so two
// cursors walk it side by side, each with its own piece. The memory taken
// does not grow with the file.
#ifndef READER_PIANO_A_PEZZI_H_
#define READER_PIANO_A_PEZZI_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "compiler/modello.h"
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

// The tagged numbers of a geometry from `inizio` on, read a piece of
// `pezzo` bytes (at least 16) at a time and decoded by the format's reader:
// a value that runs past the end or has a wrong tag throws
// errore_decodifica with its offset.
class cursore_geometria {
 public:
  cursore_geometria(const byte_a_pezzi& b, uint64_t inizio, std::size_t pezzo = kPezzoPiano);
  uint64_t pos() const { return pos_; }
  uint64_t resto() const { return fine_ - pos_; }
  numero_etichettato prossimo();
  // Past values of `byte` bytes in all, known whole: the next value starts
  // there.
  void avanza(uint64_t byte) { pos_ += byte; }

 private:
  const byte_a_pezzi& b_;
  uint64_t fine_;
  uint64_t pos_;
  uint64_t base_ = 0;
  std::size_t caricati_ = 0;
  // No larger than what lies between the start and the end: a short file
  // takes no more than its size.
  std::size_t capienza_;
  std::unique_ptr<char[]> pezzo_;
};

// Every value of the geometry in `b` decoded once, in order, then its index
// and offset handed to `valore`; returns the values of each column.
// A file that is empty or holds an odd count of values throws
// errore_decodifica, as decodifica_geometria does.
uint64_t controlla_geometria(const byte_a_pezzi& b, std::size_t pezzo,
                             const std::function<void(uint64_t indice, uint64_t offset)>& valore);

// A plan read from a geometry file in pieces: the file and where its y
// column starts, for whoever reads its columns with cursors of their own.
class piano_in_file : public sorgente_piano {
 public:
  virtual const byte_a_pezzi& byte() const = 0;
  virtual uint64_t inizio_y() const = 0;
};

// The geometry in `b`, checked whole before the source is returned (one
// pass): the same faults as decodifica_geometria, with the same offsets and
// texts, throw errore_decodifica. Each walk reads the file again, in pieces
// of `pezzo` bytes (at least 16) per column.
std::shared_ptr<const piano_in_file> piano_a_pezzi(std::shared_ptr<const byte_a_pezzi> b,
                                                   std::size_t pezzo = kPezzoPiano);

}  // namespace scenario

#endif  // READER_PIANO_A_PEZZI_H_
