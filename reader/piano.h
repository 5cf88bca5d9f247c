// The plan of the line as a stream of rows, one per metre, for whoever needs
// it whole but need not hold it: the chart samples it and recovers its
// curves as the rows go by. Sources: the model's plan tables, decoded
// tables, a line geometry file read in pieces (tool/piano_a_pezzi.h), or any
// procedure that yields the rows in order.
#ifndef READER_PIANO_H_
#define READER_PIANO_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "compiler/modello.h"
#include "reader/decodifica.h"

namespace scenario {

// The track's position at one metre, in metres. A metre whose entry is
// empty has x and y NaN; readers take any value that is not finite as no
// point.
struct riga_piano {
  int64_t metro = 0;
  double x = 0;
  double y = 0;
};

// Receives the rows; returning false stops the walk.
using ricevi_riga = std::function<bool(const riga_piano&)>;

// A plan of metri() rows, metres 0 to metri() - 1. It may be walked any
// number of times and yields the same rows each time, in order of metre,
// one per metre.
class sorgente_piano {
 public:
  virtual ~sorgente_piano() = default;
  virtual int64_t metri() const = 0;
  // A source that reads from outside may throw its own errors (for a file:
  // errore_sistema, errore_decodifica).
  virtual void percorri(const ricevi_riga& riga) const = 0;
};

// The rows of two columns of tagged numbers, as the model and the decoder
// hold them: min(x.size(), y.size()) rows. The tables are not copied and
// must outlive the source.
std::shared_ptr<const sorgente_piano> piano_da_tabelle(const std::vector<numero_etichettato>& x,
                                                       const std::vector<numero_etichettato>& y);

// The same over decoded tables that the source keeps.
std::shared_ptr<const sorgente_piano> piano_da_geometria(geometria g);

// A plan produced as it is walked: `percorri` hands `metri` rows, metre 0
// first, to the receiver it is given, and stops when the receiver returns
// false. It is called once per walk.
std::shared_ptr<const sorgente_piano> piano_da_procedura(int64_t metri,
                                                         std::function<void(const ricevi_riga&)> percorri);

}  // namespace scenario

#endif  // READER_PIANO_H_
