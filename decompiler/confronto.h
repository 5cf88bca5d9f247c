// The comparison of a recompiled line geometry with the original's, made
// as the recompile writes it: the decompiler's own, beside ricostruzione.h.
#ifndef DECOMPILER_CONFRONTO_H_
#define DECOMPILER_CONFRONTO_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "decompiler/decompila.h"

namespace scenario::decompilazione {

// The recompile's values compared with the original's as they come, column
// by column, each column in order: only the runs of differing rows are
// kept, and the original is read in pieces. A run of rows that differ in
// the same column comes as one entry, with the values of its first row.
class confronto_geometria {
 public:
  explicit confronto_geometria(const piano_in_file& originale);
  ~confronto_geometria();
  // The next value of the recompile's x (asse 0) or y (asse 1) column.
  void valore(int asse, const numero_etichettato& v);
  // The recompile had `metri` rows: its differences, the size first, then
  // the runs of x, then those of y; empty when the two are byte for byte
  // the same.
  std::vector<differenza> finisci(uint64_t metri);

 private:
  struct colonna;
  const piano_in_file& originale_;
  std::unique_ptr<colonna> colonne_[2];
};

}  // namespace scenario::decompilazione

#endif  // DECOMPILER_CONFRONTO_H_
