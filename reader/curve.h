// The curves of the line, recovered from its plan: the binary files hold no
// curve records, only the track's position at every metre, whose heading
// turns by the curve's rate on every metre of a curve.
#ifndef READER_CURVE_H_
#define READER_CURVE_H_

#include <cstdint>
#include <vector>

#include "reader/decodifica.h"
#include "reader/piano.h"

namespace scenario {

// One run of metres that turn at the same class and direction.
struct curva_ricostruita {
  int32_t inizio = 0;     // metres: the curve turns on metres inizio + 1 to inizio + lunghezza
  int32_t lunghezza = 0;  // metres
  int classe = 0;         // 1 to 6; 0 for a rate that is no class's
  bool sinistra = false;  // left-hand (counter-clockwise); right-hand otherwise
  double tasso = 0.0;     // mean turn rate over the run, rad/m, positive to the right
};

// The turn rate of class 1 to 6 in rad/m (the reciprocal of the radius); 0
// for any other class.
double tasso_classe(int classe);

// The turn rate of the step that reaches metre j, in rad/m, positive to the
// right: the heading change between the steps j-1 -> j and j-2 -> j-1 over
// the length of the earlier step, as the plan's turning step makes it. False
// when a point is missing or not finite, or the earlier step has no length.
bool tasso_al_metro(const geometria& g, std::size_t j, double& tasso);

// The class whose rate `tasso` (unsigned) matches within a quarter of that
// rate; 0 when none does.
int classe_del_tasso(double tasso);

// The curves of a plan recovered as its rows go by, metre 0 first and one
// per metre, holding only the last three points and the curve being read.
// Metres whose rate is below a millionth of a radian per metre are
// straight; a missing point ends a run. Two curves of the same class and
// direction that touch come out as one.
class ricostruttore_curve {
 public:
  void aggiungi(const riga_piano& r);
  // Every curve of the rows given, in order; the recovery is then over.
  std::vector<curva_ricostruita> finisci();

 private:
  void chiudi();

  riga_piano ultime_[3];
  int64_t viste_ = 0;
  bool aperta_ = false;
  curva_ricostruita c_;
  double somma_ = 0;
  std::vector<curva_ricostruita> curve_;
};

// Every curve of the plan, in order, as ricostruttore_curve gives them.
std::vector<curva_ricostruita> curve_dal_piano(const sorgente_piano& s);
std::vector<curva_ricostruita> curve_dal_piano(const geometria& g);

}  // namespace scenario

#endif  // READER_CURVE_H_
