// The approach marks: the stations' and the signals' marks, the signal
// values that only the marks show, and the order of their writers.
#include "decompiler/ricostruzione.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace scenario::decompilazione {
namespace {

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

}  // namespace

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
  const std::vector<stazione_r> stazioni = stazioni_con_segni();
  std::vector<int> scrittori(static_cast<std::size_t>(u_ + 1), 0);
  for (const stazione_r& s : stazioni) {
    for (const auto& [cc, val] : s.segni) ++scrittori[static_cast<std::size_t>(cc)];
  }
  auto e_segnale = [&](int64_t w) { return c(w).tipo == cella_segnale || segnali_sotto_stazione_.count(w) != 0; };
  for (int64_t w = 1; w <= u_; ++w) {
    if (!e_segnale(w)) continue;
    for (int k = 1; k <= 4 && w - 2 * k >= 0; ++k) ++scrittori[static_cast<std::size_t>(w - 2 * k)];
  }
  // The mark base sx·30 + dx·10 that the approach marks on the cells that
  // `conta_cella` lets count show, the most frequent first, the nearest mark
  // breaking ties; among them a plain form for any base beats an odd form
  // for the likeliest: marks written over by a neighbour can outvote the
  // signal's own, but they seldom give a base that splits dato4 into digits.
  auto parti_dai_segni = [&](const segnale_r& g, bool sx_due, auto conta_cella) {
    std::map<int, std::pair<int, int>> conta;  // base -> (count, nearest k)
    for (int k = 1; k <= 4; ++k) {
      const int64_t m = g.w - 2 * k;
      if (m < 0) break;
      if (!conta_cella(k, m)) continue;
      const int base = basso8(int64_t{c(m).richiamo} - k);
      auto& e = conta[base];
      if (e.first == 0) e.second = k;
      ++e.first;
    }
    std::vector<std::pair<std::pair<int, int>, int>> ordine;
    for (const auto& [base, e] : conta) ordine.push_back({{-e.first, e.second}, base});
    std::sort(ordine.begin(), ordine.end());
    std::optional<parti_segnale> p;
    for (auto parti : {parti_semplici, parti_qualsiasi}) {
      for (const auto& o : ordine) {
        if ((p = parti(g.c.dato4, o.second, sx_due))) return p;
      }
    }
    return p;
  };
  std::vector<segnale_r> r;
  std::vector<bool> dai_propri;  // by signal: its base came from cells only it reaches
  for (int64_t w = 1; w <= u_; ++w) {
    if (!e_segnale(w)) continue;
    segnale_r g;
    g.w = w;
    g.c = c(w);
    if (g.c.tipo == cella_stazione) {
      // The marker took its first value.
      g.stazione = g.c.dato1;
      g.c.dato1 = 0;
    }
    const bool sx_due = g.c.tempo_segnale != 0;
    // First the cells that only this signal reaches, which are its own,
    // then all of its cells.
    std::optional<parti_segnale> p =
        parti_dai_segni(g, sx_due, [&](int, int64_t m) { return scrittori[static_cast<std::size_t>(m)] == 1; });
    dai_propri.push_back(p.has_value());
    if (!p) p = parti_dai_segni(g, sx_due, [](int, int64_t) { return true; });
    g.p = p ? *p : parti_senza_base(g.c.dato4, sx_due);
    r.push_back(g);
  }
  // Then, for a signal whose base no cell of its own showed, once more
  // without the cells whose mark another writer, as found so far, makes:
  // a neighbour's marks over two of its cells must not outvote its own two.
  std::map<int64_t, std::vector<std::pair<std::size_t, uint8_t>>> segni_altrui;  // cell -> (writer, mark)
  for (const stazione_r& s : stazioni) {
    for (const auto& [cc, val] : s.segni) segni_altrui[cc].push_back({r.size(), val});
  }
  for (std::size_t i = 0; i < r.size(); ++i) {
    for (int k = 1; k <= 4 && r[i].w - 2 * k >= 0; ++k) {
      segni_altrui[r[i].w - 2 * k].push_back({i, basso8(r[i].p.sx * 30 + r[i].p.dx * 10 + k)});
    }
  }
  for (std::size_t i = 0; i < r.size(); ++i) {
    if (dai_propri[i]) continue;
    segnale_r& g = r[i];
    auto non_altrui = [&](int, int64_t m) {
      for (const auto& [chi, val] : segni_altrui[m]) {
        if (chi != i && val == c(m).richiamo) return false;
      }
      return true;
    };
    if (const std::optional<parti_segnale> p = parti_dai_segni(g, g.c.tempo_segnale != 0, non_altrui)) g.p = *p;
  }
  for (segnale_r& g : r) {
    if (auto it = parti_scelte_.find(g.w); it != parti_scelte_.end()) g.p = it->second;
    // The time: what the cell holds; 1 to 100 would be raised to 101, so
    // those values come from 257 to 356, whose low byte they are.
    const int t = g.c.tempo_segnale;
    g.tempo = g.p.sx == 2 ? (t >= 1 && t <= 100 ? t + 256 : t) : 0;
  }
  return r;
}

void ricostruzione::affina_basi() {
  std::vector<uint8_t> resi = segni_resi();
  int64_t errori = segni_sbagliati(resi);
  // Each trial finds the writers' order again; a file that no compile made
  // may miss marks everywhere, so the trials are bounded.
  int prove = 64;
  bool migliorato = errori > 0;
  while (migliorato && errori > 0 && prove > 0) {
    migliorato = false;
    for (const segnale_r& g : segnali()) {
      bool tocca = false;
      for (int k = 1; k <= 4 && g.w - 2 * k >= 0; ++k) {
        const auto m = static_cast<std::size_t>(g.w - 2 * k);
        tocca = tocca || resi[m] != c(g.w - 2 * k).richiamo;
      }
      if (!tocca) continue;
      const bool sx_due = g.c.tempo_segnale != 0;
      // The base each of its cells shows, and none: its marks may all be
      // other writers'.
      std::vector<parti_segnale> candidati;
      for (int k = 1; k <= 4 && g.w - 2 * k >= 0; ++k) {
        const int base = basso8(int64_t{c(g.w - 2 * k).richiamo} - k);
        if (auto p = parti_semplici(g.c.dato4, base, sx_due)) {
          candidati.push_back(*p);
        } else if (auto q = parti_qualsiasi(g.c.dato4, base, sx_due)) {
          candidati.push_back(*q);
        }
      }
      candidati.push_back(parti_senza_base(g.c.dato4, sx_due));
      const auto base_di = [](const parti_segnale& p) { return basso8(p.sx * 30 + p.dx * 10); };
      for (const parti_segnale& p : candidati) {
        if (base_di(p) == base_di(g.p) || prove <= 0) continue;
        --prove;
        std::map<int64_t, parti_segnale> prima = parti_scelte_;
        parti_scelte_[g.w] = p;
        std::vector<uint8_t> nuovi = segni_resi();
        if (const int64_t e = segni_sbagliati(nuovi); e < errori) {
          errori = e;
          resi = std::move(nuovi);
          migliorato = true;
          break;
        }
        parti_scelte_ = std::move(prima);
      }
      // The signals' values changed: they are found again.
      if (migliorato) break;
    }
  }
}

std::vector<int> ricostruzione::ordine_dei_segni(const std::vector<stazione_r>& stazioni,
                                                 const std::vector<segnale_r>& segn) {
  // Stations and signals both write approach marks, the later over the
  // earlier: their order is found from the last one backwards, each time
  // taking as the last of those left a writer whose marks are what the
  // track holds wherever no later writer covers them (signals before
  // stations, and the stations in their own order).
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
      // A signal under a station's marker came before that station.
      const bool dopo = segn[k].stazione == 0 || segn[k].stazione > stazioni_rimaste;
      if (!preso[k] && dopo && puo_essere_ultimo(segni_segnale[k])) {
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
  return std::vector<int>(al_contrario.rbegin(), al_contrario.rend());
}

}  // namespace scenario::decompilazione
