// The comparison of a recompiled line geometry with the original's, made
// as the recompile writes it: the decompiler's own, beside ricostruzione.h.
#ifndef DECOMPILER_CONFRONTO_H_
#define DECOMPILER_CONFRONTO_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
  // The next `quanti` values of that column at once, as their bytes (whole
  // values): when they are byte for byte the original's next ones, and the
  // original has that many rows left, they are taken and the result is
  // true; otherwise nothing is taken, and they go one by one to valore.
  bool valori_identici(int asse, std::string_view byte, uint64_t quanti);
  // The recompile had `metri` rows: its differences, the size first, then
  // the runs of x, then those of y; empty when the two are byte for byte
  // the same.
  std::vector<differenza> finisci(uint64_t metri);
  uint64_t metri_originali() const { return static_cast<uint64_t>(originale_.metri()); }

 private:
  struct colonna;
  colonna& di(int asse);
  const piano_in_file& originale_;
  std::unique_ptr<colonna> colonne_[2];
};

// The line geometry as the compiler writes it (pieces that say where they
// go), decoded as its pieces come and handed to a comparison, never held
// whole: the x column's pieces from offset 0 on and the y column's from
// where x ends, each column in order, as the compiler writes them; a value
// may be split between two pieces. While no piece has come apart from the
// run from offset 0, that run may be the whole file, its values past the
// original's rows then y's. Anything else (pieces out of order, a tag no
// value has, columns that do not meet or differ in length, one run that
// is not twice the original's rows) is only noted, and righe() then gives
// nothing.
class colonne_scritte {
 public:
  explicit colonne_scritte(confronto_geometria& c) : confronto_(c), originali_(c.metri_originali()) {}
  void pezzo(const pezzo_posizionato& p);
  // The rows written, when the file was two whole columns of them.
  std::optional<uint64_t> righe() const;

 private:
  struct colonna {
    bool aperta = false;
    uint64_t inizio = 0;
    uint64_t fine = 0;  // where its next piece goes
    std::string resto;  // the start of a value that the next piece ends
    uint64_t valori = 0;
  };
  std::size_t valori(colonna& k, int asse, std::string_view b);
  void decodifica(colonna& k, int asse, std::string_view b);

  confronto_geometria& confronto_;
  const uint64_t originali_;
  colonna x_, y_;
  bool in_forma_ = true;
};

}  // namespace scenario::decompilazione

#endif  // DECOMPILER_CONFRONTO_H_
