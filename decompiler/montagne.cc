// The mountain spans rebuilt from the cells' kinds and markers. The spans
// of the first draft follow the runs of cells of one kind; where spans were
// written over one another that draft misses, and a second one in layers
// takes its place: spans with markers that make every marker, then spans
// without, one a run, that give every cell its kind. Each draft is run
// through the compiler's rule here, and the first that gives the cells back
// is written.
#include "decompiler/ricostruzione.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <utility>

namespace scenario::decompilazione {
namespace {

// The kinds and markers that spans give, by the compiler's rule: a span
// whose start lies 150 m or less after the end of the one before takes
// kind 3; a marked one (kind above 10) puts a marker on every fourth cell
// from its start that is still empty. Every cell is empty when the spans
// come, as in the descriptions written here, where the line's objects
// follow them.
struct effetto_montagne {
  std::vector<uint8_t> tipo;
  std::vector<bool> segno;
};

effetto_montagne simula(const std::vector<montagna_r>& montagne, int64_t u) {
  effetto_montagne e{std::vector<uint8_t>(static_cast<std::size_t>(u + 1), 0),
                     std::vector<bool>(static_cast<std::size_t>(u + 1), false)};
  bool prima = true;
  int64_t fine_prec = 0;
  for (const montagna_r& m : montagne) {
    int64_t tipo = m.tipo;
    const bool marcata = tipo > 10;
    if (marcata) tipo -= 10;
    if (!prima && m.inizio - fine_prec <= 150) tipo = 3;
    prima = false;
    fine_prec = m.fine;
    const int64_t da = tondo(m.inizio / 50.0);
    const int64_t a = std::min(tondo(m.fine / 50.0 - 1), u);
    int64_t conta = 0;
    for (int64_t i = da; i <= a; ++i) {
      ++conta;
      if (i < 0) continue;
      e.tipo[static_cast<std::size_t>(i)] = basso8(tipo);
      if (marcata && conta % 4 == 0) e.segno[static_cast<std::size_t>(i)] = true;
    }
  }
  return e;
}

// The same spans in fewer records. A span of another kind than 3 that
// starts 150 m or less after the end of the one written before it needs a
// span of no cells in between; written after a span that ends further back
// it needs none. So the spans go into chains, each span at the end of the
// chain whose last span ends latest among those it may follow, and the
// chains one after the other; spans that share cells keep their order.
std::vector<montagna_r> compatta(const std::vector<montagna_r>& montagne, int64_t u) {
  std::vector<montagna_r> spans;
  for (const montagna_r& m : montagne) {
    if (m.fine != -200) spans.push_back(m);
  }
  auto di_tipo_3 = [](const montagna_r& m) { return basso8(m.tipo > 10 ? m.tipo - 10 : m.tipo) == 3; };
  auto celle = [u](const montagna_r& m) {
    return std::pair<int64_t, int64_t>{tondo(m.inizio / 50.0), std::min(tondo(m.fine / 50.0 - 1), u)};
  };
  std::vector<std::vector<std::size_t>> catene;
  std::vector<std::size_t> catena_di(spans.size(), 0);
  for (std::size_t i = 0; i < spans.size(); ++i) {
    const auto [a, b] = celle(spans[i]);
    std::size_t dopo = 0;  // the first chain it may join: none before one that holds a span sharing its cells
    for (std::size_t j = 0; j < i; ++j) {
      const auto [aj, bj] = celle(spans[j]);
      if (a <= b && aj <= bj && a <= bj && aj <= b) dopo = std::max(dopo, catena_di[j]);
    }
    std::optional<std::size_t> scelta;
    for (std::size_t k = dopo; k < catene.size(); ++k) {
      const int64_t fine = spans[catene[k].back()].fine;
      if (!di_tipo_3(spans[i]) && spans[i].inizio - fine <= 150) continue;
      if (!scelta || fine > spans[catene[*scelta].back()].fine) scelta = k;
    }
    if (!scelta) {
      scelta = catene.size();
      catene.emplace_back();
    }
    catene[*scelta].push_back(i);
    catena_di[i] = *scelta;
  }
  std::vector<montagna_r> r;
  for (const std::vector<std::size_t>& catena : catene) {
    for (std::size_t i : catena) {
      const montagna_r& m = spans[i];
      if (!r.empty() && !di_tipo_3(m) && m.inizio - r.back().fine <= 150) r.push_back({m.inizio, -200, 0});
      r.push_back(m);
    }
  }
  return r;
}

// The fewest spans that give the same kinds, in layers: spans of one
// unmarked kind with others between them become one span written first,
// the others over it, and a stretch of no span that it covers then needs a
// span of kind 0. This is the fewest strokes of a printer that paints over,
// found over the spans and the stretches between them in order of
// position; a marked span is never stretched, its markers would move. The
// spans must not share cells; otherwise nothing is returned.
std::vector<montagna_r> a_strati_minimi(const std::vector<montagna_r>& montagne) {
  struct unita {
    int64_t inizio, fine, tipo;
    bool vuota;  // a stretch between spans
  };
  std::vector<unita> x;
  for (const montagna_r& m : montagne) {
    if (m.fine == -200) continue;
    if (!x.empty() && m.inizio < x.back().fine) return {};
    if (!x.empty() && m.inizio > x.back().fine) x.push_back({x.back().fine, m.inizio, 0, true});
    x.push_back({m.inizio, m.fine, m.tipo, false});
  }
  const int n = static_cast<int>(x.size());
  auto unisce = [&](int i, int k) { return x[i].tipo == x[k].tipo && x[i].tipo <= 10; };
  // p(i, j): units i to j painted whole over anything; t(i): units i to
  // the last over nothing, where a stretch needs no span. Each remembers
  // the unit whose span unit i's is stretched to, or -1.
  const auto idx = [n](int i, int j) { return static_cast<std::size_t>(i) * static_cast<std::size_t>(n + 1) + static_cast<std::size_t>(j + 1); };
  std::vector<int> p(static_cast<std::size_t>(n + 1) * static_cast<std::size_t>(n + 1), 0), sp(p.size(), -1);
  auto P = [&](int i, int j) { return i > j ? 0 : p[idx(i, j)]; };
  for (int lung = 1; lung <= n; ++lung) {
    for (int i = 0; i + lung - 1 < n; ++i) {
      const int j = i + lung - 1;
      int meglio = 1 + P(i + 1, j), scelta = -1;
      for (int k = i + 1; k <= j; ++k) {
        if (unisce(i, k) && P(i + 1, k - 1) + P(k, j) < meglio) {
          meglio = P(i + 1, k - 1) + P(k, j);
          scelta = k;
        }
      }
      p[idx(i, j)] = meglio;
      sp[idx(i, j)] = scelta;
    }
  }
  std::vector<int> t(static_cast<std::size_t>(n + 1), 0), st(static_cast<std::size_t>(n + 1), -1);
  for (int i = n - 1; i >= 0; --i) {
    const auto ii = static_cast<std::size_t>(i);
    if (x[ii].vuota) {
      t[ii] = t[ii + 1];
      continue;
    }
    t[ii] = 1 + t[ii + 1];
    for (int k = i + 1; k < n; ++k) {
      if (unisce(i, k) && P(i + 1, k - 1) + t[static_cast<std::size_t>(k)] < t[ii]) {
        t[ii] = P(i + 1, k - 1) + t[static_cast<std::size_t>(k)];
        st[ii] = k;
      }
    }
  }
  // The spans in the order written, each as its first and last unit; the
  // second value is the span that paints unit i.
  struct tratto {
    int a, b;
  };
  using stesura = std::pair<std::vector<tratto>, std::size_t>;
  std::function<stesura(int, int, bool)> stendi = [&](int i, int j, bool su_niente) -> stesura {
    if (i > j) return {};
    if (su_niente && x[static_cast<std::size_t>(i)].vuota) return stendi(i + 1, j, true);
    const int k = su_niente ? st[static_cast<std::size_t>(i)] : sp[idx(i, j)];
    if (k < 0) {
      stesura r = stendi(i + 1, j, su_niente);
      r.first.insert(r.first.begin(), tratto{i, i});
      r.second = 0;
      return r;
    }
    stesura r = stendi(k, j, su_niente);
    r.first[r.second].a = i;
    const std::vector<tratto> dentro = stendi(i + 1, k - 1, false).first;
    r.first.insert(r.first.begin() + static_cast<std::ptrdiff_t>(r.second) + 1, dentro.begin(), dentro.end());
    return r;
  };
  std::vector<montagna_r> r;
  for (const tratto& z : stendi(0, n - 1, true).first) {
    const unita& a = x[static_cast<std::size_t>(z.a)];
    const unita& b = x[static_cast<std::size_t>(z.b)];
    r.push_back({a.inizio, b.fine, a.tipo});
  }
  return r;
}

// The layers' draft with its second layer, the runs painted over the
// marked spans, in the fewest spans. The marked spans, and the runs past
// cell U - 2 that come first, stay as they are; nothing when the runs do
// not follow one another.
std::vector<montagna_r> strati_ridotti(const std::vector<montagna_r>& strati, int64_t u) {
  std::vector<montagna_r> r;
  std::size_t i = 0;
  for (; i < strati.size() && strati[i].tipo == 11 && strati[i].fine != -200; ++i) r.push_back(strati[i]);
  for (; i < strati.size() && (strati[i].fine == -200 || strati[i].inizio >= 50 * (u - 2)); ++i) r.push_back(strati[i]);
  const std::vector<montagna_r> resto(strati.begin() + static_cast<std::ptrdiff_t>(i), strati.end());
  const std::vector<montagna_r> pochi = a_strati_minimi(resto);
  if (pochi.empty() && !resto.empty()) return {};
  r.insert(r.end(), pochi.begin(), pochi.end());
  return r;
}

}  // namespace

bool ricostruzione::montagne_rese(const std::vector<montagna_r>& montagne) const {
  if (montagne.size() > 80) return false;
  // The reader takes no record starting before the origin or within 100 m
  // of the last cell.
  for (const montagna_r& m : montagne) {
    if (m.inizio < 0 || m.inizio + 100 > 50 * u_) return false;
  }
  const effetto_montagne e = simula(montagne, u_);
  for (int64_t i = 0; i <= u_; ++i) {
    const cella& x = c(i);
    const auto k = static_cast<std::size_t>(i);
    if (e.tipo[k] != x.montagna) return false;
    // A cell that holds an object shows no marker, whether the object came
    // before the span or over its marker.
    if ((x.tipo == cella_libera || x.tipo == cella_montagna) && e.segno[k] != (x.tipo == cella_montagna)) return false;
  }
  return true;
}

std::vector<montagna_r> ricostruzione::montagne_a_strati() const {
  std::vector<montagna_r> r;
  auto segno_o_oggetto = [&](int64_t i) { return c(i).tipo == cella_montagna || (c(i).tipo != cella_libera); };
  // The markers in chains four cells apart, a chain going on over cells
  // that hold an object: one marked span each, from three cells before its
  // first marker to its last.
  std::vector<bool> preso(static_cast<std::size_t>(u_ + 1), false);
  std::vector<std::pair<int64_t, int64_t>> coperte;  // cells the marked spans cover
  for (int64_t i = 3; i <= u_; ++i) {
    if (c(i).tipo != cella_montagna || preso[static_cast<std::size_t>(i)]) continue;
    int64_t ultimo = i;
    for (int64_t k = i + 4; k <= u_ && segno_o_oggetto(k); k += 4) {
      if (c(k).tipo == cella_montagna) ultimo = k;
    }
    for (int64_t k = i; k <= ultimo; k += 4) preso[static_cast<std::size_t>(k)] = true;
    r.push_back({50 * (i - 3), 50 * (ultimo + 1), 11});
    coperte.emplace_back(i - 3, ultimo);
  }
  // Then every run of one kind, and every run of kind 0 that a marked span
  // covered, unmarked; a span that would take kind 3 from the one before
  // and is of another kind follows a span of no cells.
  std::vector<bool> da_rendere(static_cast<std::size_t>(u_ + 1), false);
  for (const auto& [a, b] : coperte) {
    for (int64_t i = a; i <= b; ++i) da_rendere[static_cast<std::size_t>(i)] = true;
  }
  // A run past cell U - 2 is written from U - 2 (below), over the cells
  // before it: those of kind 0 need a span of their own after it.
  bool coda = false;
  for (int64_t i = std::max<int64_t>(0, u_ - 1); i <= u_; ++i) coda = coda || c(i).montagna != 0;
  for (int64_t i = std::max<int64_t>(0, u_ - 2); coda && i <= u_; ++i) da_rendere[static_cast<std::size_t>(i)] = true;
  struct tratto {
    int64_t a, b;
    int t;
  };
  std::vector<tratto> tratti, code;  // code: runs starting past cell U - 2
  for (int64_t a = 0; a <= u_; ++a) {
    const int t = c(a).montagna;
    if (t == 0 && !da_rendere[static_cast<std::size_t>(a)]) continue;
    int64_t b = a;
    while (b + 1 <= u_ && c(b + 1).montagna == t && (t != 0 || da_rendere[static_cast<std::size_t>(b + 1)])) ++b;
    (a > u_ - 2 ? code : tratti).push_back({a, b, t});
    a = b;
  }
  // No record starts past cell U - 2: a run there starts at U - 2 and comes
  // first, the last one first, so that the runs after it cut it back.
  std::vector<tratto> ordine(code.rbegin(), code.rend());
  for (tratto& x : ordine) x.a = std::max<int64_t>(0, u_ - 2);
  ordine.insert(ordine.end(), tratti.begin(), tratti.end());
  int64_t fine_prec = r.empty() ? 0 : r.back().fine;
  bool prima = r.empty();
  for (const tratto& x : ordine) {
    const int64_t inizio = 50 * x.a, fine = 50 * (x.b + 1);
    if (!prima && inizio - fine_prec <= 150 && x.t != 3) r.push_back({inizio, -200, 0});
    r.push_back({inizio, fine, x.t <= 10 ? x.t : x.t - 256});
    prima = false;
    fine_prec = fine;
  }
  return r;
}

void ricostruzione::montagne(righe& r) {
  // A draft that needs more records than a description may hold may fit
  // in another order, or, with `riduci`, in fewer spans.
  auto resa = [&](std::vector<montagna_r>& bozza, auto riduci) {
    if (montagne_rese(bozza)) return true;
    if (bozza.size() <= 80) return false;
    auto prendi = [&](std::vector<montagna_r> corta) {
      if (corta.empty() || !montagne_rese(corta)) return false;
      bozza = std::move(corta);
      note.push_back("montagne scritte fuori ordine di posizione, perché in ordine servirebbero più degli 80 "
                     "record ammessi");
      return true;
    };
    return prendi(compatta(bozza, u_)) || prendi(compatta(riduci(bozza), u_));
  };
  std::vector<montagna_r> m = montagne_a_tratti();
  if (!resa(m, a_strati_minimi)) {
    std::vector<montagna_r> strati = montagne_a_strati();
    if (resa(strati, [&](const std::vector<montagna_r>& x) { return strati_ridotti(x, u_); })) {
      m = std::move(strati);
      note.push_back("montagne scritte a strati: prima le montagne con i segni, poi una senza segni per ogni tratto "
                     "di un tipo");
    }
  }
  for (std::size_t k = 0; k < m.size(); ++k) {
    if (m[k].fine == -200 && k + 1 < m.size()) {
      note.push_back("montagna a " + n(m[k + 1].inizio) + " m: preceduta da una montagna senza celle (fine -200), "
                     "perché accanto alla precedente prenderebbe il tipo 3");
    }
    r.record("montagna", {n(m[k].inizio), n(m[k].fine), n(m[k].tipo)});
  }
}

// The first draft: the spans from the runs of cells of one kind. A span with
// markers puts one on every fourth cell from its start that was still
// empty; so a run whose markers do not fall from its own start is a span
// without markers followed by one with them, starting where the markers'
// step says.
std::vector<montagna_r> ricostruzione::montagne_a_tratti() {
  std::vector<montagna_r> r;
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
      } else if (da == a && c(da).tipo == cella_montagna && !tratti.empty() && !tratti.back().marcata &&
                 tratti.back().b == da - 1 && (da - tratti.back().a) % 4 == 3) {
        // The same where the span before shows no marker of its own: every
        // step cell it has before this one holds an object.
        bool senza_passi_liberi = true;
        for (int64_t x = tratti.back().a + 3; x < da; x += 4) {
          if (c(x).tipo == cella_libera) senza_passi_liberi = false;
        }
        if (senza_passi_liberi) {
          tratti.back().marcata = true;
          tratti.back().b = da;
          tratti.back().ultimo_segno = da;
          condivisa = true;
          ++k;
        }
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
    if (!prima && inizio - fine_prec <= 150 && x.t != 3) r.push_back({inizio, -200, 0});
    r.push_back({inizio, fine, tipo});
    prima = false;
    fine_prec = fine;
  }
  return r;
}


}  // namespace scenario::decompilazione
