// The decompiler's shared internals: small helpers, the reconstruction of
// the descriptions from the cells and items, and the pieces its files share.
// Only the decompiler's own files include this header.
#ifndef DECOMPILER_RICOSTRUZIONE_H_
#define DECOMPILER_RICOSTRUZIONE_H_

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "decompiler/decompila.h"

namespace scenario::decompilazione {

inline std::string n(int64_t v) { return std::to_string(v); }

inline int64_t div_basso(int64_t a, int64_t b) {  // floor division, b > 0
  int64_t q = a / b;
  if (a % b != 0 && a < 0) --q;
  return q;
}

// Nearest whole number, halves to the even neighbour, as the compiler rounds.
inline int64_t tondo(double q) { return static_cast<int64_t>(std::nearbyint(q)); }

inline uint8_t basso8(int64_t v) { return static_cast<uint8_t>(static_cast<uint64_t>(v) & 0xFFu); }

// A text field can hold neither a comma nor a line end: they are left out
// (the recompile then shows the entry that differs).
std::string testo_scrivibile(const std::string& s);

// The lines of a description, each closed by CR LF.
class righe {
 public:
  void operator()(const std::string& r) {
    s_ += r;
    s_ += "\r\n";
  }
  // A record: the keyword, then the values separated by ", ".
  void record(const std::string& parola, std::initializer_list<std::string> valori) {
    std::string r = parola;
    for (const std::string& v : valori) r += ", " + v;
    (*this)(r);
  }
  std::string testo() && { return std::move(s_); }

 private:
  std::string s_;
};

// A step profile (gradient, speed, adhesion) as records: one at 0 for the
// value of cell 0, one at every change up to cell U-3, and for the last
// cells, which only repeated records at the highest position allowed
// (cell U-2) can reach, one to `coda` of them there.
std::vector<std::pair<int64_t, int>> profilo(const std::vector<int>& valori, int coda);


// The signal's four values that leave no other trace but the approach marks
// and the time: sx, dx and rapp, chosen so that rapp·10 + sx·3 + dx gives
// dato4 and, when the marks tell it, sx·30 + dx·10 the mark base.
struct parti_segnale {
  int64_t sx = 0, dx = 0, rapp = 0;
};

struct segnale_r {
  int64_t w = 0;  // its cell
  cella c;
  parti_segnale p;
  int64_t tempo = 0;
  int stazione = 0;  // under this station's marker, which it must precede; 0 when seen
};

struct stazione_r {
  int i = 0;
  std::vector<std::pair<int64_t, uint8_t>> segni;  // approach marks: cell, value
};

struct montagna_r {
  int64_t inizio = 0, fine = 0, tipo = 0;  // as the record gives them
};

struct rallentamento_r {
  int64_t x = 0, v = 0, l = 0, f_tt = 0, f_ta = 0, d_v = 0;
};

class ricostruzione {
 public:
  explicit ricostruzione(const scenario_binario& s) : s_(s), c_(s.celle), u_(static_cast<int64_t>(s.celle.size()) - 1) {
    // Cell 1's first two values are the fixed value and the plain code,
    // which the compiler writes itself.
    if (c_.size() > 1) {
      c_[1].dato1 = 0;
      c_[1].dato2 = 0;
    }
    voci_e_cartelli();
    oggetti_sotto_le_stazioni();
    affina_basi();
  }

  std::string linea();
  std::string treno(const std::set<int64_t>& abbattimenti_180);
  // The abbattimento cells that hold 180, the completion marker's value:
  // the track completion makes most of them again.
  std::vector<int64_t> celle_180() const;
  std::vector<std::string> note;

 private:
  const cella& c(int64_t i) const { return c_[static_cast<std::size_t>(i)]; }
  const voce& v(int i) const { return s_.voci[static_cast<std::size_t>(i)]; }

  void voci_e_cartelli();
  void oggetti_sotto_le_stazioni();
  void montagne(righe& r);
  std::vector<montagna_r> montagne_a_tratti();
  std::vector<montagna_r> montagne_a_strati() const;
  // Whether the spans give every cell's kind and marker.
  bool montagne_rese(const std::vector<montagna_r>& montagne) const;
  std::vector<segnale_r> segnali();
  std::vector<stazione_r> stazioni_con_segni();
  // The order in which stations (negative: -entry) and signals (their
  // index) wrote their approach marks, the first writer first.
  std::vector<int> ordine_dei_segni(const std::vector<stazione_r>& stazioni, const std::vector<segnale_r>& segn);
  // The approach marks that the stations and signals as found make, in the
  // order found, cell by cell.
  std::vector<uint8_t> segni_resi();
  // How many cells' approach marks those writers, or `segni`, would not make.
  int64_t segni_sbagliati();
  int64_t segni_sbagliati(const std::vector<uint8_t>& segni) const;
  // Where the writers as found miss some marks: other mark bases for the
  // signals that reach those cells, one signal at a time, each kept when
  // fewer marks are missed.
  void affina_basi();
  std::vector<rallentamento_r> rallentamenti();
  std::string record_stazione(int i);
  std::string record_segnale(const segnale_r& g);

  const scenario_binario& s_;
  std::vector<cella> c_;
  const int64_t u_;
  int ultima_stazione_ = 0;                  // stations fill entries 1 to this
  int primo_cartello_ = 81;                  // sign texts fill this to 80
  std::map<int, int64_t> cella_del_cartello_;  // sign entry -> its cell
  std::set<int64_t> vmax_sotto_stazione_;    // station markers over a speed sign
  std::set<int64_t> segnali_sotto_stazione_;  // station markers over a signal
  std::map<int64_t, parti_segnale> parti_scelte_;  // signal cell -> its values, as affina_basi chose them
};


// The abbattimento records of value 180 that the train description needs,
// judged by compiling candidates with `prova`; `senza`, when given, is the
// track of the train with none of them, compiled already.
std::set<int64_t> scegli_abbattimenti_180(const scenario_binario& s, const std::string& linea,
                                          const ricompilatore& prova, const std::vector<int64_t>& celle_180,
                                          const std::vector<cella>* senza = nullptr);

// The files decoded, with the decoder's errors named after their file, and
// none of the checks of leggi_scenario.
scenario_binario decodifica_senza_controlli(const file_scenario_binari& f);

}  // namespace scenario::decompilazione

#endif  // DECOMPILER_RICOSTRUZIONE_H_
