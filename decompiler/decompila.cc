#include "decompiler/decompila.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <type_traits>
#include <utility>

#include "compiler/voci.h"
#include "compiler/formato.h"
#include "compiler/formato_celle.h"
#include "compiler/formato_voci.h"
#include "platform/cp1252.h"
#include "platform/piattaforma_memoria.h"
#include "common/nomi.h"
#include "compiler/compila_testi.h"
#include "reader/curve.h"
#include "common/json.h"
#include "reader/stampa.h"

namespace scenario {
namespace {

// ---------------------------------------------------------------------------
// Small helpers

std::string n(int64_t v) { return std::to_string(v); }

int64_t div_basso(int64_t a, int64_t b) {  // floor division, b > 0
  int64_t q = a / b;
  if (a % b != 0 && a < 0) --q;
  return q;
}

// Nearest whole number, halves to the even neighbour, as the compiler rounds.
int64_t tondo(double q) { return static_cast<int64_t>(std::nearbyint(q)); }

uint8_t basso8(int64_t v) { return static_cast<uint8_t>(static_cast<uint64_t>(v) & 0xFFu); }

// The cell count the compiler makes for a line length.
int64_t celle_per_lunghezza(int32_t lunghezza) {
  return tondo((static_cast<double>(lunghezza) + kMargineTracciato) / 50.0) + 1;
}

bool tipo_scritto(uint8_t t) {
  switch (t) {
    case cella_libera:
    case cella_segnale:
    case cella_fine_rallentamento:
    case cella_inizio_rallentamento:
    case cella_avviso_rallentamento:
    case cella_preavviso:
    case cella_indicatore_v_max:
    case cella_stazione:
    case cella_montagna:
    case cella_abbattimento:
    case cella_abbattimento_zero:
    case cella_cartello: return true;
    default: return false;
  }
}

// A text field can hold neither a comma nor a line end: they are left out
// (the recompile then shows the entry that differs).
std::string testo_scrivibile(const std::string& s) {
  std::string r;
  for (char c : s) {
    if (c != ',' && c != '\r' && c != '\n') r += c;
  }
  return r;
}

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

bool voce_con_numeri(const voce& v) {
  return v.tipo || v.inizio || v.fine || v.posizione || v.attributo_1 || v.gruppo_1a || v.gruppo_1b ||
         v.gruppo_2a || v.gruppo_2b || v.gruppo_2c || v.gruppo_1c || v.attributo_4 || v.attributo_3 ||
         v.attributo_2 || v.orario;
}

// ---------------------------------------------------------------------------
// Reading of the reconstruction

// A step profile (gradient, speed, adhesion) as records: one at 0 for the
// value of cell 0, one at every change up to cell U-3, and for the last
// cells, which only repeated records at the highest position allowed
// (cell U-2) can reach, one to `coda` of them there.
std::vector<std::pair<int64_t, int>> profilo(const std::vector<int>& valori, int coda) {
  std::vector<std::pair<int64_t, int>> r;
  const int64_t u = static_cast<int64_t>(valori.size()) - 1;
  r.emplace_back(0, valori[0]);
  for (int64_t c = 1; c <= u - 3; ++c) {
    if (valori[static_cast<std::size_t>(c)] != valori[static_cast<std::size_t>(c - 1)]) {
      r.emplace_back(50 * c, valori[static_cast<std::size_t>(c)]);
    }
  }
  int ultime = 0;  // how many of the cells U-2, U-1, U must be written
  for (int k = coda; k >= 1; --k) {
    if (valori[static_cast<std::size_t>(u - 3 + k)] != 0) {
      ultime = k;
      break;
    }
  }
  for (int k = 1; k <= ultime; ++k) r.emplace_back(50 * (u - 2), valori[static_cast<std::size_t>(u - 3 + k)]);
  return r;
}

// The signal's four values that leave no other trace but the approach marks
// and the time: sx, dx and rapp, chosen so that rapp·10 + sx·3 + dx gives
// dato4 and, when the marks tell it, sx·30 + dx·10 the mark base.
struct parti_segnale {
  int64_t sx = 0, dx = 0, rapp = 0;
};

// The plain forms: sx and dx single digits, rapp a whole tenth.
std::optional<parti_segnale> parti_semplici(int64_t dato4, int base, bool sx_due) {
  for (int64_t dx = 0; dx <= 9; ++dx) {
    for (int64_t sx : sx_due ? std::vector<int64_t>{2} : std::vector<int64_t>{1, 2, 0, 3, 4, 5, 6, 7, 8}) {
      if ((dato4 - 3 * sx - dx) % 10 != 0) continue;
      if (basso8(30 * sx + 10 * dx) != base) continue;
      return parti_segnale{sx, dx, (dato4 - 3 * sx - dx) / 10};
    }
  }
  return std::nullopt;
}

std::optional<parti_segnale> parti_qualsiasi(int64_t dato4, int base, bool sx_due) {
  // Any form: the mark base is 10·dato4 - 100·rapp whatever sx, so rapp
  // solves 100·rapp = 10·dato4 - base (mod 256), and dx takes the rest.
  const int64_t t = ((10 * dato4 - base) % 256 + 256) % 256;
  if (t % 4 != 0) return std::nullopt;
  const int64_t rapp = (41 * (t / 4)) % 64;  // 41 is the inverse of 25 mod 64
  const int64_t sx = sx_due ? 2 : 1;
  return parti_segnale{sx, dato4 - 10 * rapp - 3 * sx, rapp};
}

parti_segnale parti_senza_base(int64_t dato4, bool sx_due) {
  int64_t sx = sx_due ? 2 : 1;
  if (!sx_due && (dato4 - 3) % 10 != 0 && (dato4 - 6) % 10 == 0) sx = 2;
  const int64_t rapp = div_basso(dato4 - 3 * sx, 10);
  return parti_segnale{sx, dato4 - 3 * sx - 10 * rapp, rapp};
}

struct segnale_r {
  int64_t w = 0;  // its cell
  cella c;
  parti_segnale p;
  int64_t tempo = 0;
};

struct stazione_r {
  int i = 0;
  std::vector<std::pair<int64_t, uint8_t>> segni;  // approach marks: cell, value
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
  }

  std::string linea();
  std::string treno(const std::set<int64_t>& abbattimenti_180);
  // The abbattimento cells that hold 180, the completion marker's value:
  // the track completion makes most of them again.
  std::vector<int64_t> celle_180() const {
    std::vector<int64_t> r;
    for (int64_t i = 0; i <= u_; ++i) {
      if (c(i).tipo == cella_abbattimento && c(i).dato1 == 180) r.push_back(i);
    }
    return r;
  }
  std::vector<std::string> note;

 private:
  const cella& c(int64_t i) const { return c_[static_cast<std::size_t>(i)]; }
  const voce& v(int i) const { return s_.voci[static_cast<std::size_t>(i)]; }

  void voci_e_cartelli();
  void oggetti_sotto_le_stazioni();
  void montagne(righe& r);
  std::vector<segnale_r> segnali();
  std::vector<stazione_r> stazioni_con_segni();
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
};

void ricostruzione::voci_e_cartelli() {
  std::map<int, int64_t> puntati;
  for (int64_t i = 0; i <= u_; ++i) {
    if (c(i).tipo == cella_cartello && c(i).dato1 >= 1 && c(i).dato1 <= 80) puntati.try_emplace(c(i).dato1, i);
  }
  for (int e = 1; e <= 80; ++e) {
    if (voce_con_numeri(v(e))) ultima_stazione_ = e;
  }
  for (int e = ultima_stazione_ + 1; e <= 80; ++e) {
    if (!v(e).nome.empty() || puntati.count(e)) {
      primo_cartello_ = e;
      break;
    }
  }
  for (int e = primo_cartello_; e <= 80; ++e) {
    if (auto it = puntati.find(e); it != puntati.end()) cella_del_cartello_[e] = it->second;
  }
}

// A station marker is written over whatever its cell holds and keeps the
// other values: a speed sign left under it shows in dato2 to dato4, and a
// sign text that no cell points to any more stood on one of them.
void ricostruzione::oggetti_sotto_le_stazioni() {
  std::vector<int64_t> libere;
  for (int64_t i = 2; i <= u_; ++i) {
    const cella& x = c(i);
    if (x.tipo != cella_stazione) continue;
    if ((x.dato2 || x.dato3 || x.dato4) && x.tempo_segnale == 0) {
      vmax_sotto_stazione_.insert(i);
      note.push_back("cella " + n(i) + " (" + n(50 * i) +
                     " m): il segnaposto di stazione copre un cartello di velocità massima (dato2-dato4), "
                     "ricostruito con la prima coppia di velocità a 0");
    } else {
      libere.push_back(i);
    }
  }
  std::size_t prossima = 0;
  for (int e = primo_cartello_; e <= 80; ++e) {
    if (cella_del_cartello_.count(e)) continue;
    if (prossima < libere.size()) {
      cella_del_cartello_[e] = libere[prossima++];
      note.push_back("voce " + n(e) + ": il testo di cartello a cui nessuna cella rimanda sta sotto il segnaposto "
                     "di stazione della cella " + n(cella_del_cartello_[e]));
    } else {
      note.push_back("voce " + n(e) + ": testo di cartello senza cella, e nessun segnaposto di stazione libero "
                     "sotto cui porlo");
    }
  }
}

// The mountains come back from the runs of cells of one kind. A span with
// markers puts one on every fourth cell from its start that was still
// empty; so a run whose markers do not fall from its own start is a span
// without markers followed by one with them, starting where the markers'
// step says.
void ricostruzione::montagne(righe& r) {
  struct tratto {
    int64_t a, b;
    int t;
    bool marcata;
    int64_t ultimo_segno;  // the last marker cell of a span with markers
  };
  std::vector<tratto> tratti;
  auto aggiungi = [&](int64_t a, int64_t b, int t, bool marcata, int64_t ultimo = 0) {
    tratti.push_back({a, b, t, marcata, ultimo});
  };
  for (int64_t a = 0; a <= u_; ++a) {
    const int t = c(a).montagna;
    if (t == 0) continue;
    int64_t b = a;
    while (b + 1 <= u_ && c(b + 1).montagna == t) ++b;
    int64_t da = a;
    while (da <= b) {
      int64_t k = da;
      bool condivisa = false;  // the span's first cell is the last marker of the one before
      if (da == a && c(da).tipo == cella_montagna && !tratti.empty() && tratti.back().marcata &&
          tratti.back().b == da - 1 && tratti.back().t != t && da - tratti.back().ultimo_segno == 4) {
        // The marker on the run's first cell is the last of the span
        // before, whose kind this run's span wrote over it: the two spans
        // share the cell.
        tratti.back().b = da;
        tratti.back().ultimo_segno = da;
        condivisa = true;
        ++k;
      }
      while (k <= b && c(k).tipo != cella_montagna) ++k;
      if (!condivisa && k <= b && k - 3 < da && !tratti.empty() && tratti.back().marcata &&
          tratti.back().b == da - 1) {
        if (tratti.back().ultimo_segno < k - 3) {
          // The span before ends sooner, so that this marker's span starts
          // on its step.
          tratti.back().b = k - 4;
          da = k - 3;
        } else if (tratti.back().ultimo_segno == k - 3) {
          // Two spans share a cell: the one before ends on its marker, and
          // this one starts there, its first step three cells on.
          tratti.back().b = k - 3;
          da = k - 3;
          condivisa = true;
        }
      }
      if (k > b || k - 3 < da) {
        // No marker, or one that no span starting in this run can place.
        aggiungi(da, b, t, false);
        break;
      }
      // The earliest start on the markers' step whose marker cells before
      // k all hold an object (which replaced the marker).
      int64_t inizio = k - 3;
      while (inizio - 4 >= da && c(inizio - 1).tipo != cella_libera) inizio -= 4;
      if (inizio > da) aggiungi(da, inizio - 1, t, false);
      int64_t fine = b, ultimo = k;
      for (int64_t x = condivisa && inizio == da ? inizio + 1 : inizio; x <= b; ++x) {
        const bool passo = (x - inizio) % 4 == 3;
        if ((passo && c(x).tipo == cella_libera) || (!passo && c(x).tipo == cella_montagna)) {
          fine = x - 1;
          break;
        }
        // Only a marker still there shows for sure that the span reaches
        // its cell: an object on a step cell may stand past the span's end.
        if (passo && c(x).tipo == cella_montagna) ultimo = x;
      }
      aggiungi(inizio, fine, t, true, ultimo);
      da = fine + 1;
    }
    a = b;
  }
  bool prima = true;
  int64_t fine_prec = 0;
  for (const tratto& x : tratti) {
    const int64_t tipo = x.marcata ? x.t + 10 : (x.t <= 10 ? x.t : x.t - 256);
    const int64_t inizio = 50 * x.a;
    const int64_t fine = 50 * (x.b + 1);
    // A span starting 150 m or less after the previous one's end becomes
    // kind 3: a span of no cells in between, ending before the origin,
    // keeps this one's own kind.
    if (!prima && inizio - fine_prec <= 150 && x.t != 3) {
      r.record("montagna", {n(inizio), "-200", "0"});
      note.push_back("montagna a " + n(inizio) + " m: preceduta da una montagna senza celle (fine -200), "
                     "perché accanto alla precedente prenderebbe il tipo 3");
    }
    r.record("montagna", {n(inizio), n(fine), n(tipo)});
    prima = false;
    fine_prec = fine;
  }
}

std::string ricostruzione::linea() {
  righe r;
  const voce& linea = v(85);
  const voce& treno = v(86);
  r("[generale]");
  r.record("lunghezza percorso", {n(v(84).fine)});
  // Entries 81 to 83 as the ordering leaves them (a flag of 1 added 100).
  // When their starts add up to something, the greatest start comes first
  // and "uno", "due", "tre" = 82, 81, 83 keeps them, as the built-in line
  // has them; otherwise the chainages decide, and 81, 82, 83 keeps them.
  const char* nomi[3] = {"uno", "due", "tre"};
  const bool somma = int64_t{v(81).inizio} + v(82).inizio + v(83).inizio != 0;
  const int voci_progressive[3] = {somma ? 82 : 81, somma ? 81 : 82, 83};
  for (int k = 0; k < 3; ++k) {
    const voce& p = v(voci_progressive[k]);
    const int64_t progressiva = p.posizione == 1 ? int64_t{p.fine} - 100 : p.fine;
    r.record(std::string("progressiva chilometrica ") + nomi[k], {n(p.inizio), n(progressiva), n(p.posizione)});
  }
  r.record("sfondo uno", {n(linea.inizio)});
  r.record("sfondo due", {n(linea.posizione)});
  r.record("sfondo tre", {n(linea.fine)});
  r.record(treno.posizione == 9 ? "ripetizione segnali 9 codici" : "ripetizione segnali 4 codici",
           {n(treno.inizio), n(treno.fine)});

  r("[curve]");
  if (s_.piano) {
    // The reader takes no record within 100 m of the last cell; a curve
    // that goes on from the one before it may start anywhere up to where
    // that one ends, since the rows before it are stepped already.
    const int64_t ultimo_inizio = 50 * u_ - 100;
    int64_t fine_prec = -1;
    for (const curva_ricostruita& k : curve_dal_piano(*s_.piano)) {
      if (k.classe < 1 || k.classe > 6) {
        note.push_back("metri " + n(k.inizio + 1) + "-" + n(k.inizio + k.lunghezza) +
                       ": la pianta gira a un tasso che nessuna classe di curva ha");
        continue;
      }
      const int64_t fine = int64_t{k.inizio} + k.lunghezza;
      const int64_t inizio = k.inizio > ultimo_inizio && fine_prec == k.inizio ? ultimo_inizio : k.inizio;
      r.record(std::string("curva") + (k.sinistra ? "s" : "d") + n(k.classe), {n(inizio), n(fine - inizio)});
      fine_prec = fine;
    }
  }

  r("[pendenze]");
  std::vector<int> pendenze;
  for (int64_t i = 0; i <= u_; ++i) pendenze.push_back(c(i).pendenza);
  for (const auto& [p, g] : profilo(pendenze, 2)) r.record("pendenza", {n(p), n(g - 100)});

  r("[montagne]");
  montagne(r);

  r("[cartelli]");
  for (int64_t i = 0; i <= u_; ++i) {
    const bool sotto = vmax_sotto_stazione_.count(i) != 0;
    if (c(i).tipo != cella_indicatore_v_max && !sotto) continue;
    const cella& x = c(i);
    // Each pair packs as round(speed_s·20 + speed_d/5): speed_d a multiple
    // of 5 below 100 gives it exactly; the stripes pack as s·10 + d.
    std::string valori[8];
    const int16_t dati[3] = {sotto ? int16_t{0} : x.dato1, x.dato2, x.dato3};
    for (int k = 0; k < 3; ++k) {
      const int64_t s = div_basso(dati[k], 20);
      const int64_t d = (dati[k] - 20 * s) * 5;
      valori[k] = n(s);
      valori[4 + k] = d == 0 ? "" : n(d);
    }
    const int64_t ss = div_basso(x.dato4, 10);
    valori[3] = n(ss);
    valori[7] = n(x.dato4 - 10 * ss);
    r.record("indicatori_vmax", {n(50 * (i - 1)), valori[0], valori[1], valori[2], valori[3], valori[4],
                                 valori[5], valori[6], valori[7]});
  }

  r("[indicazioni]");
  // In entry order, 80 first: the order in which they took their entries.
  for (int e = 80; e >= primo_cartello_; --e) {
    int64_t cella_cartello = 2;
    if (auto it = cella_del_cartello_.find(e); it != cella_del_cartello_.end()) {
      cella_cartello = it->second;
    } else {
      // Nowhere it can stay: on the first cell free of everything.
      for (int64_t i = 2; i <= u_; ++i) {
        if (c(i).tipo == cella_libera) {
          cella_cartello = i;
          break;
        }
      }
    }
    r("cartello_indicatore, " + n(50 * (cella_cartello - 1)) + ", " + testo_scrivibile(v(e).nome));
  }
  r("[fine]");
  return std::move(r).testo();
}

std::vector<stazione_r> ricostruzione::stazioni_con_segni() {
  std::vector<stazione_r> r;
  for (int i = 1; i <= ultima_stazione_; ++i) {
    stazione_r s;
    s.i = i;
    const voce& x = v(i);
    if (x.tipo < 25 && x.tipo != 5 && x.tipo != 6) {
      const double q0 = x.fine / 50.0 - 1;
      for (int k = 1; k <= 4; ++k) {
        const double q = q0 - k;
        const int64_t cq = tondo(q);
        if (q > 1 && cq <= u_) s.segni.emplace_back(cq, static_cast<uint8_t>(80 + k));
      }
    }
    r.push_back(std::move(s));
  }
  return r;
}

std::vector<segnale_r> ricostruzione::segnali() {
  // How many writers of approach marks reach each cell: a cell that only
  // one signal reaches shows that signal's marks for sure.
  std::vector<int> scrittori(static_cast<std::size_t>(u_ + 1), 0);
  for (const stazione_r& s : stazioni_con_segni()) {
    for (const auto& [cc, val] : s.segni) ++scrittori[static_cast<std::size_t>(cc)];
  }
  for (int64_t w = 1; w <= u_; ++w) {
    if (c(w).tipo != cella_segnale) continue;
    for (int k = 1; k <= 4 && w - 2 * k >= 0; ++k) ++scrittori[static_cast<std::size_t>(w - 2 * k)];
  }
  std::vector<segnale_r> r;
  for (int64_t w = 1; w <= u_; ++w) {
    if (c(w).tipo != cella_segnale) continue;
    segnale_r g;
    g.w = w;
    g.c = c(w);
    const bool sx_due = g.c.tempo_segnale != 0;
    // The mark base sx·30 + dx·10 that the approach marks show, the most
    // frequent first, the nearest mark breaking ties.
    // The bases shown by the cells that only this signal reaches first,
    // then by all of its cells.
    std::vector<std::pair<std::pair<int, int>, int>> ordine;
    for (bool solo_suoi : {true, false}) {
      std::map<int, std::pair<int, int>> conta;  // base -> (count, nearest k)
      for (int k = 1; k <= 4; ++k) {
        const int64_t m = w - 2 * k;
        if (m < 0) break;
        if (solo_suoi && scrittori[static_cast<std::size_t>(m)] != 1) continue;
        const int base = basso8(int64_t{c(m).richiamo} - k);
        auto& e = conta[base];
        if (e.first == 0) e.second = k;
        ++e.first;
      }
      std::vector<std::pair<std::pair<int, int>, int>> parte;
      for (const auto& [base, e] : conta) parte.push_back({{-e.first, e.second}, base});
      std::sort(parte.begin(), parte.end());
      ordine.insert(ordine.end(), parte.begin(), parte.end());
    }
    // A plain form for any of the bases shown beats an odd form for the
    // likeliest: marks written over by a neighbour can outvote the signal's
    // own, but they seldom give a base that splits dato4 into digits.
    std::optional<parti_segnale> p;
    for (auto parti : {parti_semplici, parti_qualsiasi}) {
      for (const auto& o : ordine) {
        if ((p = parti(g.c.dato4, o.second, sx_due))) break;
      }
      if (p) break;
    }
    g.p = p ? *p : parti_senza_base(g.c.dato4, sx_due);
    // The time: what the cell holds; 1 to 100 would be raised to 101, so
    // those values come from 257 to 356, whose low byte they are.
    const int t = g.c.tempo_segnale;
    g.tempo = g.p.sx == 2 ? (t >= 1 && t <= 100 ? t + 256 : t) : 0;
    r.push_back(g);
  }
  return r;
}

std::vector<rallentamento_r> ricostruzione::rallentamenti() {
  std::vector<rallentamento_r> r;
  std::set<int64_t> fini_usate;
  for (int64_t d = 1; d <= u_; ++d) {
    const cella& s = c(d);
    if (s.tipo != cella_inizio_rallentamento) continue;
    int64_t e = d;  // no end cell of its own: shorter than a cell
    for (int64_t k = d + 1; k <= u_; ++k) {
      const cella& f = c(k);
      if (f.tipo == cella_fine_rallentamento && !fini_usate.count(k) && f.dato1 == s.dato1 && f.dato2 == s.dato2 &&
          f.dato3 == s.dato3) {
        e = k;
        fini_usate.insert(k);
        break;
      }
    }
    rallentamento_r x;
    x.x = 50 * (d - 1);
    // At cell 31 the start may lie either side of 1500 m, where the warning
    // point begins: the warning cell tells which.
    if (d == 31 && c(7).tipo == cella_avviso_rallentamento) x.x = 1510;
    x.v = s.dato1;
    x.d_v = s.dato2;
    x.f_tt = s.dato3;
    x.l = 50 * (e - d);
    const int64_t a = d - 25;
    x.f_ta = x.x > 1500 && a >= 0 && c(a).tipo == cella_preavviso ? 1 : 0;
    r.push_back(x);
  }
  return r;
}

std::string ricostruzione::record_stazione(int i) {
  const voce& x = v(i);
  const int64_t p = x.posizione;
  int64_t zona;
  int64_t a3 = x.attributo_3;
  if (x.tipo >= 5 && x.tipo <= 8) {
    zona = p - x.inizio;
    a3 = 0;  // cleared by the compiler for these kinds
  } else {
    zona = 2 * (p - x.inizio);
    // The first station's sixth value is cleared after it has lengthened
    // the zone by 50 m: the zone's end tells it.
    if (i == 1) a3 = (int64_t{x.fine} - (p + zona / 2) == 50) ? 1 : 0;
  }
  const int64_t o = x.orario;
  std::string r = "stazione";
  for (int64_t val : {p, int64_t{x.tipo}, zona, int64_t{x.attributo_1}, int64_t{x.attributo_2}, a3,
                      int64_t{x.gruppo_1a}, int64_t{x.gruppo_1b}, int64_t{x.gruppo_1c}, int64_t{x.gruppo_2a},
                      int64_t{x.gruppo_2b}, int64_t{x.gruppo_2c}, int64_t{x.attributo_4}, o / 3600,
                      o % 3600 / 60, o % 60}) {
    r += ", " + n(val);
  }
  return r + ", " + testo_scrivibile(x.nome);
}

std::string ricostruzione::record_segnale(const segnale_r& g) {
  const int16_t dati[3] = {g.c.dato1, g.c.dato2, g.c.dato3};
  int64_t s[3], d[3];
  for (int k = 0; k < 3; ++k) {
    s[k] = div_basso(dati[k], 10);
    d[k] = dati[k] - 10 * s[k];
  }
  std::string r = "segnale";
  for (int64_t val : {50 * (g.w - 1), g.p.sx, s[0], s[1], s[2], g.p.rapp, g.p.dx, d[0], d[1], d[2], g.tempo}) {
    r += ", " + n(val);
  }
  return r;
}

std::string ricostruzione::treno(const std::set<int64_t>& abbattimenti_180) {
  righe r;
  r("[generale]");
  r.record("numero vetture", {n(v(84).posizione)});
  r.record("percentuale massa frenata", {n(v(84).inizio)});
  r.record("sabbia", {n(v(86).gruppo_1a)});
  r.record("orologio", {n(v(86).gruppo_2a), n(v(86).gruppo_2b), n(v(86).gruppo_2c)});

  std::vector<int> aderenze, velocita;
  for (int64_t i = 0; i <= u_; ++i) {
    aderenze.push_back(c(i).aderenza);
    velocita.push_back(c(i).velocita_max);
  }
  r("[aderenze]");
  for (const auto& [p, a] : profilo(aderenze, 3)) r.record("aderenza", {n(p), n(a)});
  r("[vel_limite]");
  for (const auto& [p, q] : profilo(velocita, 3)) r.record("velocita", {n(p), n(5 * q)});

  // Stations and signals both write approach marks, the later over the
  // earlier: their order is found from the last one backwards, each time
  // taking as the last of those left a writer whose marks are what the
  // track holds wherever no later writer covers them (signals before
  // stations, and the stations in their own order).
  std::vector<stazione_r> stazioni = stazioni_con_segni();
  std::vector<segnale_r> segn = segnali();
  std::vector<std::vector<std::pair<int64_t, uint8_t>>> segni_segnale;
  for (const segnale_r& g : segn) {
    std::vector<std::pair<int64_t, uint8_t>> s;
    for (int k = 1; k <= 4; ++k) {
      if (g.w - 2 * k >= 0) s.emplace_back(g.w - 2 * k, basso8(g.p.sx * 30 + g.p.dx * 10 + k));
    }
    segni_segnale.push_back(std::move(s));
  }
  std::vector<bool> coperta(static_cast<std::size_t>(u_ + 1), true);
  auto segna_possibile = [&](const std::vector<std::pair<int64_t, uint8_t>>& s) {
    for (const auto& [cc, val] : s) {
      if (c(cc).richiamo == val) coperta[static_cast<std::size_t>(cc)] = false;
    }
  };
  // A cell that no writer's mark can explain binds no order.
  for (const auto& s : stazioni) segna_possibile(s.segni);
  for (const auto& s : segni_segnale) segna_possibile(s);
  auto puo_essere_ultimo = [&](const std::vector<std::pair<int64_t, uint8_t>>& s) {
    for (const auto& [cc, val] : s) {
      if (!coperta[static_cast<std::size_t>(cc)] && c(cc).richiamo != val) return false;
    }
    return true;
  };
  auto copri = [&](const std::vector<std::pair<int64_t, uint8_t>>& s) {
    for (const auto& [cc, val] : s) coperta[static_cast<std::size_t>(cc)] = true;
  };
  // Negative: station -(i); non-negative: signal index.
  std::vector<int> al_contrario;
  std::vector<bool> preso(segn.size(), false);
  int stazioni_rimaste = static_cast<int>(stazioni.size());
  std::size_t segnali_rimasti = segn.size();
  std::size_t alto = segn.size();  // every signal from here up is taken
  while (stazioni_rimaste > 0 || segnali_rimasti > 0) {
    int scelto = 0;
    bool trovato = false;
    while (alto > 0 && preso[alto - 1]) --alto;
    for (std::size_t k = alto; k-- > 0;) {
      if (!preso[k] && puo_essere_ultimo(segni_segnale[k])) {
        scelto = static_cast<int>(k);
        trovato = true;
        break;
      }
    }
    if (!trovato && stazioni_rimaste > 0 &&
        puo_essere_ultimo(stazioni[static_cast<std::size_t>(stazioni_rimaste - 1)].segni)) {
      scelto = -stazioni_rimaste;
      trovato = true;
    }
    if (!trovato) {
      // No order makes these marks: the rest in the plain order.
      note.push_back("nessun ordine di stazioni e segnali rende i segni di richiamo di tutte le celle");
      for (std::size_t k = segn.size(); k-- > 0;) {
        if (!preso[k]) al_contrario.push_back(static_cast<int>(k));
      }
      for (int i = stazioni_rimaste; i >= 1; --i) al_contrario.push_back(-i);
      break;
    }
    if (scelto >= 0) {
      preso[static_cast<std::size_t>(scelto)] = true;
      --segnali_rimasti;
      copri(segni_segnale[static_cast<std::size_t>(scelto)]);
    } else {
      copri(stazioni[static_cast<std::size_t>(stazioni_rimaste - 1)].segni);
      --stazioni_rimaste;
    }
    al_contrario.push_back(scelto);
  }
  std::vector<int> ordine(al_contrario.rbegin(), al_contrario.rend());
  // The stations' section holds every station and the signals that must
  // come before one of them; the others go to the signals' section.
  std::size_t dopo_ultima_stazione = 0;
  for (std::size_t k = 0; k < ordine.size(); ++k) {
    if (ordine[k] < 0) dopo_ultima_stazione = k + 1;
  }

  r("[stazioni]");
  for (std::size_t k = 0; k < dopo_ultima_stazione; ++k) {
    r(ordine[k] < 0 ? record_stazione(-ordine[k]) : record_segnale(segn[static_cast<std::size_t>(ordine[k])]));
  }
  r("[rallentamenti]");
  for (const rallentamento_r& x : rallentamenti()) {
    r.record("rallentamento", {n(x.x), n(x.v), n(x.l), n(x.f_tt), n(x.f_ta), n(x.d_v)});
  }
  r("[abbattimenti]");
  for (int64_t i = 0; i <= u_; ++i) {
    const cella& x = c(i);
    if (x.tipo == cella_abbattimento_zero) {
      r.record("abbattimento", {n(50 * i), "0"});
    } else if (x.tipo == cella_abbattimento && (x.dato1 != 180 || abbattimenti_180.count(i))) {
      // A value of 1 or more is stored in 16 bits: 0 and below come from
      // 65536 more.
      r.record("abbattimento", {n(50 * i), n(x.dato1 >= 1 ? x.dato1 : x.dato1 + 65536)});
    }
  }
  r("[segnali]");
  for (std::size_t k = dopo_ultima_stazione; k < ordine.size(); ++k) {
    r(record_segnale(segn[static_cast<std::size_t>(ordine[k])]));
  }
  r("[codici]");
  r("[fine]");
  return std::move(r).testo();
}

// ---------------------------------------------------------------------------
// Comparison

std::string testo_reale(double v) {
  char b[32];
  const auto r = std::to_chars(b, b + sizeof b, v);
  return std::string(b, r.ptr);
}

std::string testo_etichettato(const numero_etichettato& x) {
  switch (x.etichetta) {
    case numero_etichettato::vuoto: return "vuoto";
    case numero_etichettato::intero: return "intero " + n(x.valore_intero);
    default: return testo_reale(x.valore_reale);
  }
}

bool stesso_etichettato(const numero_etichettato& a, const numero_etichettato& b) {
  if (a.etichetta != b.etichetta) return false;
  if (a.etichetta == numero_etichettato::intero) return a.valore_intero == b.valore_intero;
  if (a.etichetta == numero_etichettato::reale) {
    return std::memcmp(&a.valore_reale, &b.valore_reale, sizeof(double)) == 0;
  }
  return true;
}

// Every field of a record as decodifica names and shows it, in file order:
// the format's own list of fields.
std::vector<std::pair<const char*, std::string>> testi_voce(const voce& v) {
  std::vector<std::pair<const char*, std::string>> r;
  campi_voce(v, [&r](const campo_record& k, const auto& x) {
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(x)>, std::string>) {
      r.emplace_back(k.nome, "\"" + cp1252_in_utf8(x) + "\"");
    } else {
      r.emplace_back(k.nome, n(x));
    }
  });
  return r;
}

std::vector<std::pair<const char*, std::string>> testi_cella(const cella& c) {
  std::vector<std::pair<const char*, std::string>> r;
  campi_cella(c, [&r](const campo_record& k, auto x) {
    r.emplace_back(k.nome, k.offset == formato::cella::tipo ? nome_tipo(static_cast<uint8_t>(x)) : n(x));
  });
  return r;
}

// The decoder's tables, with its own error named after the file.
template <typename F>
auto decodifica_di(tipo_file t, F f) -> decltype(f()) {
  try {
    return f();
  } catch (const errore_scenario&) {
    throw;
  } catch (const errore_decodifica& e) {
    throw errore_scenario(t, e.offset(), e.motivo());
  }
}

scenario_binario decodifica_senza_controlli(const file_scenario_binari& f) {
  scenario_binario s;
  s.voci = decodifica_di(tipo_file::voci, [&] { return decodifica_voci(f.voci); });
  s.celle = decodifica_di(tipo_file::celle, [&] { return decodifica_celle(f.celle); });
  if (f.con_geometria) s.piano = decodifica_di(tipo_file::geometria, [&] { return decodifica_geometria(f.geometria); });
  return s;
}

}  // namespace

// ---------------------------------------------------------------------------

scenario_binario leggi_scenario(const file_scenario_binari& f) {
  scenario_binario s = decodifica_senza_controlli(f);
  const int32_t lunghezza = s.voci[voce_lunghezza_convoglio].fine;
  const std::size_t offset_84 = offset_voci(s.voci)[voce_lunghezza_convoglio] + formato::voce::fine;
  if (lunghezza < 0 || lunghezza > kLunghezzaMassima) {
    throw errore_scenario(tipo_file::voci, offset_84,
                          "la lunghezza della linea (voce 84, fine) è " + n(lunghezza) +
                              " m, fuori da 0-" + n(kLunghezzaMassima) + ": non viene dal compilatore");
  }
  const int64_t celle = celle_per_lunghezza(lunghezza);
  if (static_cast<int64_t>(s.celle.size()) != celle) {
    throw errore_scenario(tipo_file::celle, static_cast<std::size_t>(std::min<int64_t>(celle, s.celle.size())) * 15,
                          n(static_cast<int64_t>(s.celle.size())) + " celle, ma la lunghezza della linea (" +
                              n(lunghezza) + " m, voce 84) ne dà " + n(celle));
  }
  for (std::size_t i = 0; i < s.celle.size(); ++i) {
    if (!tipo_scritto(s.celle[i].tipo)) {
      throw errore_scenario(tipo_file::celle, i * 15,
                            "la cella " + n(static_cast<int64_t>(i)) + " ha il tipo " + n(s.celle[i].tipo) +
                                ", che il compilatore non scrive");
    }
  }
  if (s.piano) {
    const int64_t metri = int64_t{lunghezza} + kMargineTracciato + 1;
    if (static_cast<int64_t>(s.piano->x.size()) != metri) {
      throw errore_scenario(tipo_file::geometria, f.geometria.size(),
                            n(static_cast<int64_t>(s.piano->x.size())) + " valori per coordinata, ma la lunghezza "
                            "della linea (" + n(lunghezza) + " m, voce 84) ne dà " + n(metri));
    }
  }
  return s;
}

namespace {

bool marcatore_180(const cella& c) { return c.tipo == cella_abbattimento && c.dato1 == 180; }

// The abbattimento records of value 180 that the train description needs:
// the 180 markers that the track completion does not make by itself. The
// completion's walks shift around occupied cells, so a record can move the
// markers after it; each candidate set is judged by compiling it.
class scelta_abbattimenti {
 public:
  scelta_abbattimenti(const scenario_binario& s, const std::string& linea, const ricompilatore& prova)
      : s_(s), linea_(linea), prova_(prova), u_(static_cast<int64_t>(s.celle.size()) - 1) {}

  std::set<int64_t> scegli(const std::vector<int64_t>& celle_180) {
    // A first draft without them: every 180 marker that it lacks needs its
    // record. When the records do not move the walks, that is all.
    std::set<int64_t> bozza;
    const std::optional<std::vector<cella>> senza = compila({});
    if (!senza) return bozza;
    for (int64_t i : celle_180) {
      const auto k = static_cast<std::size_t>(i);
      if (ammessa(i) && (k >= senza->size() || !marcatore_180((*senza)[k]))) bozza.insert(i);
    }
    const giudizio g_bozza = giudica(bozza);
    if (g_bozza.diverse == 0) return bozza;
    // Otherwise from no record at all, along the track: at the first cell
    // whose marker differs, the record among the nearby 180 markers that
    // leaves the fewest cells differing (then: that takes the agreement
    // furthest), one record a round.
    std::set<int64_t> scelte;
    giudizio g = giudica(senza);  // no record: the first draft's compile
    for (int giro = 0; giro < kGiriMassimi && g.diverse > 0; ++giro) {
      giudizio meglio = g;
      int64_t presa = -1;
      for (int64_t c : celle_180) {
        if (c < g.prima - kFinestra || c > g.prima + kFinestra || scelte.count(c) || !ammessa(c)) continue;
        std::set<int64_t> prova = scelte;
        prova.insert(c);
        if (const giudizio gc = giudica(prova); gc.meglio_di(meglio)) {
          meglio = gc;
          presa = c;
        }
      }
      if (presa < 0) break;
      scelte.insert(presa);
      g = meglio;
    }
    return g.meglio_di(g_bozza) ? scelte : bozza;
  }

 private:
  // A marker walk steps 8 cells, one more or less around an occupied cell.
  static constexpr int64_t kFinestra = 10;
  static constexpr int kGiriMassimi = 200;

  // How far the 180 markers of a compile agree with the files': the first
  // cell that differs (past the last cell when none does) and how many do.
  struct giudizio {
    int64_t prima = 0;
    int64_t diverse = 0;
    bool meglio_di(const giudizio& g) const { return diverse < g.diverse || (diverse == g.diverse && prima > g.prima); }
  };

  // The reader refuses a point this near the track's end, and stops there.
  bool ammessa(int64_t i) const { return i + 2 <= u_; }

  std::optional<std::vector<cella>> compila(const std::set<int64_t>& scelte) const {
    ricostruzione bozza(s_);
    const ricompilato fatto = prova_(linea_, bozza.treno(scelte), false);
    if (!fatto.scritto) return std::nullopt;
    try {
      return decodifica_celle(fatto.file.celle);
    } catch (const errore_decodifica&) {
      return std::nullopt;
    }
  }

  giudizio giudica(const std::set<int64_t>& scelte) const { return giudica(compila(scelte)); }

  giudizio giudica(const std::optional<std::vector<cella>>& fatte) const {
    if (!fatte) return {-1, u_ + 2};
    giudizio g{u_ + 1, 0};
    for (int64_t i = 0; i <= u_; ++i) {
      const auto k = static_cast<std::size_t>(i);
      const bool fatto = k < fatte->size() && marcatore_180((*fatte)[k]);
      if (fatto != marcatore_180(s_.celle[k])) {
        g.prima = std::min(g.prima, i);
        ++g.diverse;
      }
    }
    return g;
  }

  const scenario_binario& s_;
  const std::string& linea_;
  const ricompilatore& prova_;
  const int64_t u_;
};

}  // namespace

descrizioni decompila(const scenario_binario& s, const ricompilatore& prova) {
  ricostruzione r(s);
  descrizioni d;
  d.linea = r.linea();
  std::set<int64_t> abbattimenti_180;
  const std::vector<int64_t> celle_180 = r.celle_180();
  if (prova && !celle_180.empty()) abbattimenti_180 = scelta_abbattimenti(s, d.linea, prova).scegli(celle_180);
  d.treno = r.treno(abbattimenti_180);
  d.note = std::move(r.note);
  return d;
}

std::vector<differenza> confronta_scenari(const scenario_binario& a, const scenario_binario& b) {
  std::vector<differenza> r;
  auto aggiungi = [&r](tipo_file f, differenza::genere g, int64_t i, int64_t fino, std::string campo,
                       std::string x, std::string y) {
    r.push_back({f, g, i, fino, std::move(campo), std::move(x), std::move(y)});
  };
  for (int e = 0; e < kNumeroVoci; ++e) {
    const auto ca = testi_voce(a.voci[static_cast<std::size_t>(e)]);
    const auto cb = testi_voce(b.voci[static_cast<std::size_t>(e)]);
    for (std::size_t k = 0; k < ca.size(); ++k) {
      if (ca[k].second != cb[k].second) {
        aggiungi(tipo_file::voci, differenza::genere::voce, e, e, ca[k].first, ca[k].second, cb[k].second);
      }
    }
  }
  if (a.celle.size() != b.celle.size()) {
    aggiungi(tipo_file::celle, differenza::genere::dimensione, 0, 0, "", n(static_cast<int64_t>(a.celle.size())) + " celle",
             n(static_cast<int64_t>(b.celle.size())) + " celle");
  }
  const std::size_t celle = std::min(a.celle.size(), b.celle.size());
  for (std::size_t i = 0; i < celle; ++i) {
    const auto ca = testi_cella(a.celle[i]);
    const auto cb = testi_cella(b.celle[i]);
    for (std::size_t k = 0; k < ca.size(); ++k) {
      if (ca[k].second != cb[k].second) {
        const auto ii = static_cast<int64_t>(i);
        aggiungi(tipo_file::celle, differenza::genere::cella, ii, ii, ca[k].first, ca[k].second, cb[k].second);
      }
    }
  }
  if (a.piano && b.piano) {
    const geometria& ga = *a.piano;
    const geometria& gb = *b.piano;
    if (ga.x.size() != gb.x.size()) {
      aggiungi(tipo_file::geometria, differenza::genere::dimensione, 0, 0, "",
               n(static_cast<int64_t>(ga.x.size())) + " metri", n(static_cast<int64_t>(gb.x.size())) + " metri");
    }
    for (int asse = 0; asse < 2; ++asse) {
      const auto& xa = asse == 0 ? ga.x : ga.y;
      const auto& xb = asse == 0 ? gb.x : gb.y;
      const std::size_t m = std::min(xa.size(), xb.size());
      for (std::size_t j = 0; j < m; ++j) {
        if (stesso_etichettato(xa[j], xb[j])) continue;
        std::size_t fino = j;
        while (fino + 1 < m && !stesso_etichettato(xa[fino + 1], xb[fino + 1])) ++fino;
        aggiungi(tipo_file::geometria, differenza::genere::geometria, static_cast<int64_t>(j),
                 static_cast<int64_t>(fino), asse == 0 ? "x" : "y", testo_etichettato(xa[j]),
                 testo_etichettato(xb[j]));
        j = fino;
      }
    }
  }
  return r;
}

esito_decompilazione decompila_e_verifica(const file_scenario_binari& f, const ricompilatore& compila) {
  const scenario_binario s = leggi_scenario(f);
  esito_decompilazione e;
  e.testi = decompila(s, compila);
  const ricompilato r = compila(e.testi.linea, e.testi.treno, f.con_geometria);
  e.guasti = r.guasti;
  if (!r.scritto) {
    e.perche = r.perche;
    return e;
  }
  e.ricompilato = true;
  e.identico = r.file.voci == f.voci && r.file.celle == f.celle &&
               (!f.con_geometria || (r.file.con_geometria && r.file.geometria == f.geometria));
  if (e.identico) return e;
  try {
    file_scenario_binari nuovi = r.file;
    nuovi.con_geometria = f.con_geometria && r.file.con_geometria;
    e.differenze = confronta_scenari(s, decodifica_senza_controlli(nuovi));
  } catch (const errore_decodifica& x) {
    e.perche = std::string("i file ricompilati non si decodificano: ") + x.what();
  }
  if (e.differenze.empty() && e.perche.empty()) e.perche = "i byte differiscono";
  return e;
}

// ---------------------------------------------------------------------------
// The seam: the only place that runs the compiler.

ricompilatore ricompilatore_in_memoria(const std::array<voce, kNumeroVoci>& voci, const nomi_sorgenti& nomi) {
  const identita id{cp1252_in_utf8(voci[voce_linea].nome), cp1252_in_utf8(voci[voce_treno].nome)};
  return [id, nomi](const std::string& linea, const std::string& treno, bool con_geometria) {
    ricompilato r;
    piattaforma_memoria memoria;
    const esito_compilazione e = compila_testi(memoria, id, linea, treno, con_geometria);
    for (const diagnosi& d : diagnosi_del_modello(e.m, nomi)) {
      if (d.errore) r.guasti.push_back(d);
    }
    if (e.stato == kStatoRapporto) {
      r.perche = "la compilazione è finita nel rapporto d'errore \"" + e.rapporto + "\": " +
                 significato_rapporto(e.codice_rapporto);
      return r;
    }
    if (e.stato == kStatoArgomenti) {
      r.perche = "l'identità delle voci 85 e 86 non si può usare: " + e.errore;
      return r;
    }
    auto leggi = [&](file_scenario f) {
      return memoria.leggi(nome_file(memoria, id.nome_linea, id.numero_treno, f));
    };
    r.file.voci = leggi(file_scenario::voci);
    r.file.celle = leggi(file_scenario::celle);
    if (con_geometria) {
      r.file.geometria = leggi(file_scenario::geometria_linea);
      r.file.con_geometria = true;
    }
    r.scritto = true;
    return r;
  };
}

}  // namespace scenario
