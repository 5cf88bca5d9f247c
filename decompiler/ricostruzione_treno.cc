// The train description rebuilt: the general records, the adhesion and
// speed profiles, stations and signals in their writers' order, the
// slowdowns and the abbattimento records.
#include "decompiler/ricostruzione.h"

#include <cstddef>

namespace scenario::decompilazione {

std::vector<rallentamento_r> ricostruzione::rallentamenti() {
  std::vector<rallentamento_r> r;
  std::set<int64_t> fini_usate, preavvisi_usati;
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
    x.v = s.dato1;
    x.d_v = s.dato2;
    x.f_tt = s.dato3;
    // The start x lies within 25 m of 50·(d - 1). The warning cell is
    // d - 24 wherever x is over 1500 m, and the four pre-warning cells end
    // on cell d - 25; but where x/50 falls on a half (rounded to the even
    // cell) they end on d - 26, with x = 50·(d - 1) - 25 and d even.
    x.x = 50 * (d - 1);
    bool avviso = d >= 32;
    // At cell 31 the start may lie either side of 1500 m, where the warning
    // point begins: the warning cell tells which.
    if (d == 31 && c(7).tipo == cella_avviso_rallentamento) {
      x.x = 1510;
      avviso = true;
    }
    // Pre-warning cells numbered 1 to 4 from `a` back, not taken by a
    // slowdown before this one, with the second value this one gives them.
    auto preavvisi_da = [&](int64_t a) {
      if (a - 3 < 0 || preavvisi_usati.count(a)) return false;
      for (int64_t j = 0; j <= 3; ++j) {
        const cella& p = c(a - j);
        if (p.tipo != cella_preavviso || p.dato1 != j + 1 || p.dato2 != (x.d_v != 0 ? j + 1 : 0)) return false;
      }
      preavvisi_usati.insert(a);
      return true;
    };
    if (avviso && preavvisi_da(d - 25)) {
      x.f_ta = 1;
    } else if (avviso && d % 2 == 0 && preavvisi_da(d - 26)) {
      x.f_ta = 1;
      x.x -= 25;
    }
    // The end cell is round((x + l)/50 + 1): the length that brings it to
    // 50·(e - 1).
    x.l = e == d ? 0 : 50 * (e - 1) - x.x;
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

  const std::vector<stazione_r> stazioni = stazioni_con_segni();
  const std::vector<segnale_r> segn = segnali();
  const std::vector<int> ordine = ordine_dei_segni(stazioni, segn);
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

}  // namespace scenario::decompilazione
