// The search for the abbattimento records of value 180: the completion
// markers that the track completion does not make by itself.
#include "decompiler/ricostruzione.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace scenario::decompilazione {
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

  std::set<int64_t> scegli(const std::vector<int64_t>& celle_180, const std::vector<cella>* gia_senza) {
    // A first draft without them: every 180 marker that it lacks needs its
    // record. When the records do not move the walks, that is all.
    std::set<int64_t> bozza;
    const std::optional<std::vector<cella>> senza = gia_senza ? std::optional(*gia_senza) : compila({});
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
    // Then, from both, single changes near the first difference while they
    // help: a record taken away, one added, or one moved. A greedy round
    // can take a record that only a later one makes needless.
    giudizio g_da_bozza = g_bozza;
    migliora(bozza, g_da_bozza, celle_180);
    migliora(scelte, g, celle_180);
    return g.meglio_di(g_da_bozza) ? scelte : bozza;
  }

 private:
  // A marker walk steps 8 cells, one more or less around an occupied cell;
  // the record that mends the first difference may stand two steps on,
  // past a marker that only a record makes.
  static constexpr int64_t kFinestra = 16;
  static constexpr int kGiriMassimi = 200;
  static constexpr int kProveMassime = 40;
  static constexpr int64_t kDiverseDaRitoccare = 6;

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
    const ricompilato fatto = prova_(linea_, bozza.treno(scelte), nullptr);
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

  void migliora(std::set<int64_t>& scelte, giudizio& g, const std::vector<int64_t>& celle_180) const {
    // Files that a compile made leave a few markers to mend; many more is
    // a file edited by hand, where single changes seldom help.
    if (g.diverse > kDiverseDaRitoccare) return;
    for (int prove = kProveMassime; g.diverse > 0 && prove > 0;) {
      auto vicina = [&](int64_t c) { return c >= g.prima - kFinestra && c <= g.prima + kFinestra; };
      std::vector<std::set<int64_t>> mosse;
      for (int64_t r : scelte) {
        if (!vicina(r)) continue;
        std::set<int64_t> senza_r = scelte;
        senza_r.erase(r);
        mosse.push_back(senza_r);
        for (int64_t c : celle_180) {
          if (vicina(c) && !scelte.count(c) && ammessa(c)) {
            std::set<int64_t> spostata = senza_r;
            spostata.insert(c);
            mosse.push_back(std::move(spostata));
          }
        }
      }
      for (int64_t c : celle_180) {
        if (vicina(c) && !scelte.count(c) && ammessa(c)) {
          std::set<int64_t> con_c = scelte;
          con_c.insert(c);
          mosse.push_back(std::move(con_c));
        }
      }
      giudizio meglio = g;
      std::optional<std::set<int64_t>> presa;
      for (const std::set<int64_t>& m : mosse) {
        if (prove-- <= 0) break;
        if (const giudizio gm = giudica(m); gm.meglio_di(meglio)) {
          meglio = gm;
          presa = m;
        }
      }
      if (!presa) break;
      scelte = std::move(*presa);
      g = meglio;
    }
  }

  const scenario_binario& s_;
  const std::string& linea_;
  const ricompilatore& prova_;
  const int64_t u_;
};


}  // namespace

std::set<int64_t> scegli_abbattimenti_180(const scenario_binario& s, const std::string& linea,
                                          const ricompilatore& prova, const std::vector<int64_t>& celle_180,
                                          const std::vector<cella>* senza) {
  return scelta_abbattimenti(s, linea, prova).scegli(celle_180, senza);
}

}  // namespace scenario::decompilazione
