#include "compiler/guasti.h"
#include "compiler/collocamento.h"

#include "compiler/avvisi.h"
#include "compiler/esecuzione.h"
#include "compiler/occupanti.h"

namespace scenario {
namespace {

// The cell of a point object at metre p.
int64_t cella_punto(int32_t p) { return arrotonda(p / 50.0 + 1); }

void rifiuta_occupata(modello& m, int32_t codice, int64_t i) {
  const std::size_t prima = m.guasti.size();
  registra(m, codice);
  nota_occupante(m, prima, i);
}

}  // namespace

void memo_segnale(modello& m, int32_t posizione, int32_t sx, int32_t s1, int32_t s2, int32_t s3,
                  int32_t rapp, int32_t dx, int32_t d1, int32_t d2, int32_t d3, int32_t& tempo) {
  const int64_t w = cella_punto(posizione);
  cella& c = cella_a(m, w);
  if (!libera(c)) {
    const std::size_t prima = m.guasti.size();
    registra(m, codice_segnale_occupato);
    nota_occupante(m, prima, w);
    return;
  }
  if (c.tipo == cella_montagna) avvisa_sostituzione(m, posizione, "il segnale", c.tipo, w);
  c.tipo = cella_segnale;
  segna_origine(m, w, posizione);
  c.dato1 = a16(piu32(per32(s1, 10), d1));
  c.dato2 = a16(piu32(per32(s2, 10), d2));
  c.dato3 = a16(piu32(per32(s3, 10), d3));
  c.dato4 = a16(piu32(piu32(per32(rapp, 10), per32(sx, 3)), dx));
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  c.tempo_segnale = sx == 2 ? a8(tempo) : 0;
  annota_provenienza(m, genere_provenienza::segnale, posizione, w);
  for (int32_t k = 1; k <= 4; ++k) {
    // Near the origin the marks would fall before the track: they are left out.
    const int64_t r = w - 2 * k;
    if (r < 0) continue;
    cella_a(m, r).richiamo = a8(piu32(piu32(per32(sx, 30), per32(dx, 10)), k));
  }
}

void memo_rallentamento(modello& m, int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                        int32_t d_v) {
  // Every test comes before the first write, so a refused slowdown leaves
  // the track as it was (code 20 apart).
  const bool avviso = x > 1500;
  if (!avviso) f_ta = 0;
  int64_t b = 0;
  if (avviso) {
    b = arrotonda(meno32(x, 1200) / 50.0 + 1);
    if (!libera(cella_a(m, b))) {
      rifiuta_occupata(m, codice_avviso_occupato, b);
      return;
    }
  }
  const int64_t d = cella_punto(x);
  if (!libera(cella_a(m, d))) {
    rifiuta_occupata(m, codice_inizio_occupato, d);
    return;
  }
  const int64_t e = cella_punto(piu32(x, l));
  if (e < 0 || e > m.ultima_cella || e >= static_cast<int64_t>(m.celle.size())) {
    registra(m, codice_fine_fuori);
    return;
  }
  if (!libera(cella_a(m, e))) {
    rifiuta_occupata(m, codice_fine_occupato, e);
    return;
  }

  // A mountain marker on any of the slowdown's cells is replaced: warned
  // once per cell.
  const int64_t oggetti[] = {e, d, b};
  const int quanti = avviso ? 3 : 2;
  for (int k = 0; k < quanti; ++k) {
    const int64_t i = oggetti[k];
    if (k == 1 && d == e) continue;
    if (cella_a(m, i).tipo == cella_montagna) avvisa_sostituzione(m, x, "il rallentamento", cella_montagna, i);
  }
  for (int k = 0; k < quanti; ++k) segna_origine(m, oggetti[k], x);
  cella& fine = cella_a(m, e);
  fine.tipo = cella_fine_rallentamento;
  if (d_v != 0) fine.dato2 = a16(d_v);
  // A slowdown short enough to end on its own start cell stays a start.
  cella& inizio = cella_a(m, d);
  inizio.tipo = cella_inizio_rallentamento;
  if (d_v != 0) inizio.dato2 = a16(d_v);
  if (avviso) {
    cella& c = cella_a(m, b);
    c.tipo = cella_avviso_rallentamento;
    if (d_v != 0) c.dato2 = a16(d_v);
    c.dato1 = a16(v);
  }
  for (cella* c : {&fine, &inizio}) {
    c->dato1 = a16(v);
    c->dato3 = a16(f_tt);
  }
  annota_provenienza(m, genere_provenienza::rallentamento, x, d);

  if (f_ta == 0) return;
  const int64_t a = arrotonda(meno32(x, 1200) / 50.0);
  for (int64_t j = 0; j <= 3; ++j) {
    if (!libera(cella_a(m, a - j))) {
      rifiuta_occupata(m, codice_preavviso_occupato, a - j);
      return;
    }
  }
  for (int64_t j = 0; j <= 3; ++j) {
    cella& c = cella_a(m, a - j);
    if (c.tipo == cella_montagna) avvisa_sostituzione(m, x, "il preavviso di rallentamento", c.tipo, a - j);
    c.tipo = cella_preavviso;
    segna_origine(m, a - j, x);
    c.dato1 = a16(j + 1);
    if (d_v != 0) c.dato2 = a16(j + 1);
  }
}

}  // namespace scenario
