// What the line and the train share in the reconstruction: the entries
// that hold stations and sign texts, the objects under station markers,
// and the step profiles.
#include "decompiler/ricostruzione.h"

#include <cstddef>
#include <map>
#include <optional>
#include <set>

namespace scenario::decompilazione {
namespace {

bool voce_con_numeri(const voce& v) {
  return v.tipo || v.inizio || v.fine || v.posizione || v.attributo_1 || v.gruppo_1a || v.gruppo_1b ||
         v.gruppo_2a || v.gruppo_2b || v.gruppo_2c || v.gruppo_1c || v.attributo_4 || v.attributo_3 ||
         v.attributo_2 || v.orario;
}

}  // namespace

std::string testo_scrivibile(const std::string& s) {
  std::string r;
  for (char c : s) {
    if (c != ',' && c != '\r' && c != '\n') r += c;
  }
  return r;
}

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

std::vector<int64_t> ricostruzione::celle_180() const {
  std::vector<int64_t> r;
  for (int64_t i = 0; i <= u_; ++i) {
    if (c(i).tipo == cella_abbattimento && c(i).dato1 == 180) r.push_back(i);
  }
  return r;
}

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
// other values: a signal left under it shows in its time and in approach
// marks that no other writer makes, a speed sign in dato2 to dato4, and a
// sign text that no cell points to any more stood on one of them.
void ricostruzione::oggetti_sotto_le_stazioni() {
  // The marks that the stations and the signals in sight make, cell by
  // cell: a mark that none of them makes, on a cell that a signal under a
  // marker would reach, is that signal's.
  std::map<int64_t, std::set<uint8_t>> spiegati;
  for (const stazione_r& s : stazioni_con_segni()) {
    for (const auto& [cc, val] : s.segni) spiegati[cc].insert(val);
  }
  for (const segnale_r& g : segnali()) {
    for (int k = 1; k <= 4 && g.w - 2 * k >= 0; ++k) {
      spiegati[g.w - 2 * k].insert(basso8(g.p.sx * 30 + g.p.dx * 10 + k));
    }
  }
  auto segni_propri = [&](int64_t m) {
    for (int k = 1; k <= 4 && m - 2 * k >= 0; ++k) {
      const int64_t cc = m - 2 * k;
      const uint8_t r = c(cc).richiamo;
      // A 0 is no mark where no writer in sight reaches, and a wrapped
      // one where some does and none writes it.
      const auto it = spiegati.find(cc);
      if (it == spiegati.end() ? r == 0 : it->second.count(r) != 0) continue;
      return true;
    }
    return false;
  };
  // The two farthest marks of a signal on m, beyond the station's own
  // marks, agree on one base. Two marks two cells apart agree so otherwise
  // only as the marks of a signal on m - 2 or m - 4 do: none may stand on
  // m - 2, and one on m - 4 must show another base of its own, in its two
  // farthest marks, which no signal two or four cells before it explains.
  auto e_scrittore = [&](int64_t w) { return w >= 0 && (c(w).tipo == cella_segnale || c(w).tipo == cella_stazione); };
  // A mark of 0 is a base that wrapped (252 + 4, 253 + 3) as much as an
  // empty cell: with `zero`, it counts when the other mark agrees with it.
  auto coppia = [&](int64_t w, bool zero = false) -> std::optional<uint8_t> {  // the base of w's farthest marks
    if (w - 8 < 0) return std::nullopt;
    const uint8_t r6 = c(w - 6).richiamo, r8 = c(w - 8).richiamo;
    if ((r6 == 0 && r8 == 0) || (!zero && (r6 == 0 || r8 == 0))) return std::nullopt;
    const uint8_t b = basso8(int64_t{r6} - 3);
    if (b != basso8(int64_t{r8} - 4)) return std::nullopt;
    return b;
  };
  // Two marks that the writers in sight make agree by chance (a signal's
  // last and another's first, both two cells from their own): the
  // comparison below judges them.
  auto spiegato = [&](int64_t cc) {
    const auto it = spiegati.find(cc);
    return it != spiegati.end() && it->second.count(c(cc).richiamo) != 0;
  };
  auto segni_coerenti = [&](int64_t m) {
    if (!coppia(m) || e_scrittore(m - 2) || (spiegato(m - 6) && spiegato(m - 8))) return false;
    if (!e_scrittore(m - 4)) return true;
    const int64_t w = m - 4;
    const std::optional<uint8_t> sua = coppia(w);
    return sua && !e_scrittore(w - 2) && !e_scrittore(w - 4) &&
           *sua != basso8(int64_t{c(m - 6).richiamo} - 1);
  };
  // Markers whose two farthest marks agree, but a neighbour may make them,
  // and markers over dato2 to dato4 (a signal's or a speed sign's), whose
  // signal may show in one mark only, its others written over.
  std::vector<int64_t> dubbi;
  for (int64_t i = 2; i <= u_; ++i) {
    const cella& x = c(i);
    if (x.tipo != cella_stazione) continue;
    if (x.tempo_segnale != 0 || segni_propri(i) || segni_coerenti(i)) {
      segnali_sotto_stazione_.insert(i);
    } else if (coppia(i, true) || x.dato2 || x.dato3 || x.dato4) {
      dubbi.push_back(i);
    }
  }
  // A doubtful one covers a signal when the approach marks then come out
  // nearer to the track's: with it, writers in some order make marks that
  // they cannot make without it.
  for (int64_t m : dubbi) {
    const int64_t senza = segni_sbagliati();
    segnali_sotto_stazione_.insert(m);
    if (segni_sbagliati() >= senza) segnali_sotto_stazione_.erase(m);
  }
  std::vector<int64_t> libere;
  for (int64_t i = 2; i <= u_; ++i) {
    const cella& x = c(i);
    if (x.tipo != cella_stazione) continue;
    if (segnali_sotto_stazione_.count(i)) {
      note.push_back("cella " + n(i) + " (" + n(50 * i) +
                     " m): il segnaposto di stazione copre un segnale, ricostruito con la prima coppia di "
                     "aspetti a 0 e scritto prima della stazione");
    } else if (x.dato2 || x.dato3 || x.dato4) {
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

std::vector<uint8_t> ricostruzione::segni_resi() {
  const std::vector<stazione_r> stazioni = stazioni_con_segni();
  const std::vector<segnale_r> segn = segnali();
  const std::size_t note_prima = note.size();
  const std::vector<int> ordine = ordine_dei_segni(stazioni, segn);
  note.resize(note_prima);
  std::vector<uint8_t> segni(static_cast<std::size_t>(u_ + 1), 0);
  for (int chi : ordine) {
    if (chi < 0) {
      for (const auto& [cc, val] : stazioni[static_cast<std::size_t>(-chi - 1)].segni) segni[static_cast<std::size_t>(cc)] = val;
    } else {
      const segnale_r& g = segn[static_cast<std::size_t>(chi)];
      for (int k = 1; k <= 4 && g.w - 2 * k >= 0; ++k) {
        segni[static_cast<std::size_t>(g.w - 2 * k)] = basso8(g.p.sx * 30 + g.p.dx * 10 + k);
      }
    }
  }
  return segni;
}

int64_t ricostruzione::segni_sbagliati() { return segni_sbagliati(segni_resi()); }

int64_t ricostruzione::segni_sbagliati(const std::vector<uint8_t>& segni) const {
  int64_t sbagliati = 0;
  for (int64_t i = 0; i <= u_; ++i) sbagliati += segni[static_cast<std::size_t>(i)] != c(i).richiamo;
  return sbagliati;
}

}  // namespace scenario::decompilazione
