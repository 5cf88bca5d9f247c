#include "compiler/tracciato.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/esecuzione.h"
#include "compiler/formato_geometria.h"

namespace scenario {
namespace {

modello piano(int32_t lunghezza_tracciato) {
  modello m;
  m.calcola_tracciato = 1;
  m.lunghezza_tracciato = lunghezza_tracciato;
  crea_tracciato(m);
  semina_tracciato(m);
  return m;
}

// The plan as the formulas give it, computed independently: rate(j) is the
// turn rate at row j, 0 on straight rows.
struct riferimento {
  std::vector<double> x, y;
};

template <typename Tasso>
riferimento calcola_riferimento(int32_t lunghezza_tracciato, Tasso tasso) {
  riferimento r;
  r.x = {0.0, 0.0};
  r.y = {0.0, 1.0};
  for (int32_t j = 2; j <= lunghezza_tracciato - 2; ++j) {
    const double dx = r.x[j - 1] - r.x[j - 2];
    const double dy = r.y[j - 1] - r.y[j - 2];
    const double t = tasso(j);
    if (t == 0.0) {
      r.x.push_back(r.x[j - 1] + dx);
      r.y.push_back(r.y[j - 1] + dy);
    } else {
      r.x.push_back(r.x[j - 1] + (dx + t * dy));
      r.y.push_back(r.y[j - 1] + (dy - t * dx));
    }
  }
  return r;
}

// Every computed row is a real equal bit for bit to the reference; rows 0
// and 1 are the integer seed; the last two rows are empty.
void confronta(const modello& m, const riferimento& r) {
  const auto n = static_cast<std::size_t>(m.lunghezza_tracciato);
  const geometria g = tabella_piano(m.piano);
  ASSERT_EQ(g.x.size(), n + 1);
  ASSERT_EQ(g.y.size(), n + 1);
  ASSERT_EQ(r.x.size(), n - 1);
  EXPECT_EQ(g.x[0].etichetta, numero_etichettato::intero);
  EXPECT_EQ(g.y[1].etichetta, numero_etichettato::intero);
  EXPECT_EQ(g.y[1].valore_intero, 1);
  for (std::size_t j = 2; j + 1 < n; ++j) {
    ASSERT_EQ(g.x[j].etichetta, numero_etichettato::reale) << j;
    ASSERT_EQ(g.y[j].etichetta, numero_etichettato::reale) << j;
    ASSERT_EQ(std::bit_cast<uint64_t>(g.x[j].valore_reale), std::bit_cast<uint64_t>(r.x[j])) << j;
    ASSERT_EQ(std::bit_cast<uint64_t>(g.y[j].valore_reale), std::bit_cast<uint64_t>(r.y[j])) << j;
  }
  for (std::size_t j : {n - 1, n}) {
    EXPECT_EQ(g.x[j].etichetta, numero_etichettato::vuoto) << j;
    EXPECT_EQ(g.y[j].etichetta, numero_etichettato::vuoto) << j;
  }
}

// The rows that a generator gives, asked for `quante` at a time.
geometria a_lotti(const piano_tracciato& p, std::size_t quante) {
  generatore_piano g(p);
  std::vector<riga_geometria> righe(quante);
  geometria r;
  for (std::size_t n = g.prossime(righe.data(), quante); n > 0; n = g.prossime(righe.data(), quante)) {
    for (std::size_t i = 0; i < n; ++i) {
      EXPECT_EQ(righe[i].metro, static_cast<int32_t>(r.x.size()));
      r.x.push_back(righe[i].x);
      r.y.push_back(righe[i].y);
    }
  }
  return r;
}

TEST(Tracciato, SenzaCurveRettilineo) {
  modello m = piano(7000);
  int32_t j = kInizioCursorePiano;
  completa_piano(m, j);
  EXPECT_EQ(j, 6999);
  const geometria g = tabella_piano(m.piano);
  for (std::size_t r = 2; r <= 6998; ++r) {
    ASSERT_EQ(g.x[r].valore_reale, 0.0);
    ASSERT_EQ(g.y[r].valore_reale, static_cast<double>(r));
  }
  confronta(m, calcola_riferimento(7000, [](int32_t) { return 0.0; }));
}

TEST(Tracciato, ClasseDaPrimaCifraDaUnoASei) {
  EXPECT_EQ(classe_curva("curvad5"), 5);
  EXPECT_EQ(classe_curva("curvas51"), 1);  // "1" is tested before "5"
  EXPECT_EQ(classe_curva("curvad72"), 2);
  EXPECT_EQ(classe_curva("curvad0789"), 0);
  EXPECT_EQ(classe_curva("curvad"), 0);
  const double attesi[] = {0.0, 0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
  for (int c = 0; c <= 6; ++c) EXPECT_EQ(tasso_curva(c), attesi[c]);
}

TEST(Tracciato, CurveDestraESinistraBitPerBit) {
  // "curvad4" turns right (towards +x), "CURVAS3" left; a keyword with both
  // "5" and "1" has class 1, and an "S" in any case means left.
  modello m = piano(9000);
  int32_t j = kInizioCursorePiano;
  ASSERT_TRUE(applica_curva(m, j, "curvad4", 1000, 600));
  EXPECT_EQ(j, 1601);
  EXPECT_GT(tabella_piano(m.piano).x[1600].valore_reale, 100.0);
  ASSERT_TRUE(applica_curva(m, j, "CURVAS3", 3000, 500));
  ASSERT_TRUE(applica_curva(m, j, "curvas51", 5000, 1000));
  completa_piano(m, j);
  confronta(m, calcola_riferimento(9000, [](int32_t r) {
              if (r > 1000 && r <= 1600) return 0.001;
              if (r > 3000 && r <= 3500) return -0.0004;
              if (r > 5000 && r <= 6000) return -0.0001;
              return 0.0;
            }));
  // A left curve from a straight heading along +y moves the track to -x.
  modello s = piano(7000);
  j = kInizioCursorePiano;
  ASSERT_TRUE(applica_curva(s, j, "curvas5", 100, 500));
  EXPECT_LT(tabella_piano(s.piano).x[600].valore_reale, -100.0);
}

TEST(Tracciato, CurvaSovrappostaGiraSoloDalCursore) {
  modello m = piano(8000);
  int32_t j = kInizioCursorePiano;
  ASSERT_TRUE(applica_curva(m, j, "curvad5", 1000, 500));
  // Starts 200 m behind the cursor: turns from 1501 to 1800 only.
  ASSERT_TRUE(applica_curva(m, j, "curvas4", 1300, 500));
  EXPECT_EQ(j, 1801);
  // Ends behind the cursor: no effect at all.
  ASSERT_TRUE(applica_curva(m, j, "curvad6", 100, 200));
  EXPECT_EQ(j, 1801);
  completa_piano(m, j);
  confronta(m, calcola_riferimento(8000, [](int32_t r) {
              if (r > 1000 && r <= 1500) return 0.002;
              if (r > 1500 && r <= 1800) return -0.001;
              return 0.0;
            }));
}

TEST(Tracciato, CurvaOltreLaTabellaTagliataAllaPenultimaRiga) {
  modello m = piano(7000);
  int32_t j = kInizioCursorePiano;
  ASSERT_TRUE(applica_curva(m, j, "curvad3", 6900, 5000));
  EXPECT_EQ(j, 6999);
  completa_piano(m, j);
  EXPECT_EQ(j, 6999);
  confronta(m, calcola_riferimento(7000, [](int32_t r) { return r > 6900 ? 0.0004 : 0.0; }));
}

TEST(Tracciato, Codice103EFallimenti) {
  modello m = piano(7000);
  int32_t j = kInizioCursorePiano;
  EXPECT_FALSE(applica_curva(m, j, "curvad", 100, 100));
  EXPECT_EQ(j, kInizioCursorePiano);  // refused before any step
  EXPECT_EQ(tabella_piano(m.piano).x[2].etichetta, numero_etichettato::vuoto);

  // The cursor beyond 1000000 after a step refuses the curve; the rows
  // already computed stay.
  modello lungo = piano(1007000);
  j = kInizioCursorePiano;
  EXPECT_FALSE(applica_curva(lungo, j, "curvad1", 1000000, 0));
  EXPECT_EQ(j, 1000001);
  const geometria g = tabella_piano(lungo.piano);
  EXPECT_EQ(g.y[1000000].valore_reale, 1000000.0);
  EXPECT_EQ(g.y[1000001].etichetta, numero_etichettato::vuoto);

  // The end of a curve overflowing 32 bits is a run-time failure.
  modello o = piano(7000);
  j = kInizioCursorePiano;
  EXPECT_THROW(applica_curva(o, j, "curvad1", 100, 2147483600), errore_esecuzione);
  modello senza;
  EXPECT_THROW(semina_tracciato(senza), errore_esecuzione);
  EXPECT_EQ(tabella_piano(senza.piano).x.size(), 0u);
}

// The plan keeps its stretches, not its rows: two curves that run into each
// other at one rate make one stretch. Its rows come out the same whatever
// the batches they are asked in, and again after a rewind.
TEST(Tracciato, GeneratoreALottiERiavvolto) {
  modello m = piano(9000);
  int32_t j = kInizioCursorePiano;
  ASSERT_TRUE(applica_curva(m, j, "curvad4", 1000, 600));
  ASSERT_TRUE(applica_curva(m, j, "curvad4", 1500, 300));  // same rate, from the cursor on
  ASSERT_TRUE(applica_curva(m, j, "curvas2", 3000, 500));
  completa_piano(m, j);
  EXPECT_EQ(m.piano.tratti.size(), 5u);  // straight, right, straight, left, straight
  const auto tasso = [](int32_t r) {
    if (r > 1000 && r <= 1800) return 0.001;
    if (r > 3000 && r <= 3500) return -0.0002;
    return 0.0;
  };
  confronta(m, calcola_riferimento(9000, tasso));
  const geometria tutto = tabella_piano(m.piano);
  for (std::size_t quante : {1u, 3u, 999u, 9001u, 20000u}) {
    SCOPED_TRACE(quante);
    const geometria g = a_lotti(m.piano, quante);
    ASSERT_EQ(g.x.size(), tutto.x.size());
    for (std::size_t r = 0; r < g.x.size(); ++r) {
      ASSERT_EQ(std::bit_cast<uint64_t>(g.x[r].come_reale()), std::bit_cast<uint64_t>(tutto.x[r].come_reale())) << r;
      ASSERT_EQ(std::bit_cast<uint64_t>(g.y[r].come_reale()), std::bit_cast<uint64_t>(tutto.y[r].come_reale())) << r;
      ASSERT_EQ(g.x[r].etichetta, tutto.x[r].etichetta) << r;
    }
  }
  generatore_piano g(m.piano);
  riga_geometria prima[5000], dopo[5000];
  ASSERT_EQ(g.prossime(prima, 5000), 5000u);
  g.riavvolgi();
  ASSERT_EQ(g.prossime(dopo, 5000), 5000u);
  for (int r = 0; r < 5000; ++r) {
    ASSERT_EQ(std::bit_cast<uint64_t>(prima[r].x.come_reale()), std::bit_cast<uint64_t>(dopo[r].x.come_reale()));
  }
}

// The file's bytes, both columns, are the reference's doubles bit for bit
// over a long plan of many stretches; and the same after a first way
// through that stopped part way.
TEST(Tracciato, ImmagineComeIlRiferimento) {
  const int32_t n = 207000;
  modello m = piano(n);
  int32_t j = kInizioCursorePiano;
  static const char* const classi[] = {"curvad3", "curvas6", "curvad1", "curvas4"};
  for (int32_t s = 300, k = 0; s < 195000; s += 700, ++k) ASSERT_TRUE(applica_curva(m, j, classi[k % 4], s, 350));
  completa_piano(m, j);
  const riferimento r = calcola_riferimento(n, [](int32_t riga) {
    if (riga <= 300 || riga > 195000 + 350) return 0.0;
    const int32_t k = (riga - 301) / 700;
    const int32_t dentro = riga - (300 + k * 700);
    if (dentro < 1 || dentro > 350 || 300 + k * 700 >= 195000) return 0.0;
    const double tassi[] = {0.0004, -0.003, 0.0001, -0.001};
    return tassi[k % 4];
  });
  for (bool interrotta : {false, true}) {
    SCOPED_TRACE(interrotta);
    generatore_piano g(m.piano);
    if (interrotta) {
      std::vector<riga_geometria> righe(50000);
      g.prossime(righe.data(), righe.size());
    }
    const geometria letta = decodifica_geometria(immagine_geometria(g));
    ASSERT_EQ(letta.x.size(), static_cast<std::size_t>(n) + 1);
    for (std::size_t k = 2; k + 1 < static_cast<std::size_t>(n); ++k) {
      ASSERT_EQ(std::bit_cast<uint64_t>(letta.x[k].valore_reale), std::bit_cast<uint64_t>(r.x[k])) << k;
      ASSERT_EQ(std::bit_cast<uint64_t>(letta.y[k].valore_reale), std::bit_cast<uint64_t>(r.y[k])) << k;
    }
  }
}

// A plan that stopped part way: the rows after its cursor are empty; a
// table never seeded is empty throughout; no table, no rows.
TEST(Tracciato, PianoIncompiutoENonSeminato) {
  modello m = piano(7000);
  int32_t j = kInizioCursorePiano;
  ASSERT_TRUE(applica_curva(m, j, "curvad5", 100, 200));
  const geometria g = tabella_piano(m.piano);
  ASSERT_EQ(g.x.size(), 7001u);
  EXPECT_EQ(g.x[300].etichetta, numero_etichettato::reale);
  for (std::size_t r = 301; r <= 7000; ++r) {
    ASSERT_EQ(g.x[r].etichetta, numero_etichettato::vuoto) << r;
    ASSERT_EQ(g.y[r].etichetta, numero_etichettato::vuoto) << r;
  }

  modello grezzo;
  grezzo.lunghezza_tracciato = 7000;
  crea_tracciato(grezzo);
  const geometria v = tabella_piano(grezzo.piano);
  ASSERT_EQ(v.x.size(), 7001u);
  for (std::size_t r = 0; r <= 7000; ++r) ASSERT_EQ(v.x[r].etichetta | v.y[r].etichetta, numero_etichettato::vuoto);
}

// The file by the format's plain rules: every x, then every y, each a
// little-endian 16-bit tag and then nothing (0), a 16-bit integer (2) or a
// binary64 (5).
std::string codifica_semplice(const std::vector<numero_etichettato>& x, const std::vector<numero_etichettato>& y) {
  std::string f;
  const auto le = [&f](uint64_t v, int byte) {
    for (int i = 0; i < byte; ++i) f += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  for (const auto* colonna : {&x, &y}) {
    for (const numero_etichettato& n : *colonna) {
      le(n.etichetta, 2);
      if (n.etichetta == 2) le(static_cast<uint16_t>(n.valore_intero), 2);
      if (n.etichetta == 5) le(std::bit_cast<uint64_t>(n.valore_reale), 8);
    }
  }
  return f;
}

// The file in pieces that say where they go, both columns from one pass,
// and the whole file put together from them: the bytes the format gives
// for the plan's rows, every byte written once. For the plan (whole, cut
// short, never seeded, of no rows) and for a table read back, whose x and
// y differ in their tags.
TEST(Tracciato, PezziPosizionatiComeIlFormato) {
  const auto unisci = [](sorgente_geometria& s) {
    pezzi_geometria_posizionati pezzi(s);
    std::string f;
    std::size_t scritti = 0;
    for (pezzo_posizionato p = pezzi.prossimo(); !p.byte.empty(); p = pezzi.prossimo()) {
      const auto fine = static_cast<std::size_t>(p.posizione) + p.byte.size();
      if (f.size() < fine) f.resize(fine, '\xAA');
      f.replace(static_cast<std::size_t>(p.posizione), p.byte.size(), p.byte);
      scritti += p.byte.size();
    }
    EXPECT_EQ(scritti, f.size());
    return f;
  };
  modello lungo = piano(207000);
  int32_t j = kInizioCursorePiano;
  for (int32_t inizio = 300; inizio < 195000; inizio += 700) {
    ASSERT_TRUE(applica_curva(lungo, j, inizio % 1400 == 300 ? "curvad3" : "curvas6", inizio, 350));
  }
  completa_piano(lungo, j);
  modello corto = piano(7000);
  j = kInizioCursorePiano;
  ASSERT_TRUE(applica_curva(corto, j, "curvad5", 100, 200));
  modello grezzo;
  grezzo.lunghezza_tracciato = 7000;
  crea_tracciato(grezzo);
  modello nessuno;
  for (const modello* m : {&lungo, &corto, &grezzo, &nessuno}) {
    const geometria t = tabella_piano(m->piano);
    const std::string atteso = codifica_semplice(t.x, t.y);
    generatore_piano g(m->piano);
    EXPECT_EQ(g.byte_colonna_x() * 2, atteso.size());
    EXPECT_TRUE(unisci(g) == atteso) << m->piano.righe;
    EXPECT_TRUE(immagine_geometria(g) == atteso) << m->piano.righe;
  }
  const geometria t = tabella_piano(lungo.piano);
  std::vector<numero_etichettato> y = t.y;
  for (std::size_t r = 0; r < y.size(); r += 3) y[r] = {};
  geometria_in_tabella tabella(t.x, y);
  const std::string atteso = codifica_semplice(t.x, y);
  EXPECT_TRUE(unisci(tabella) == atteso);
  EXPECT_TRUE(immagine_geometria(tabella) == atteso);
}

}  // namespace
}  // namespace scenario
