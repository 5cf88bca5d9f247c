// The line description rebuilt: the general records, the curves from the
// plan, the gradients, the mountains from the runs of cells, the speed
// signs and the sign texts.
#include "decompiler/ricostruzione.h"

#include <algorithm>
#include "reader/curve.h"

namespace scenario::decompilazione {

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

}  // namespace scenario::decompilazione
