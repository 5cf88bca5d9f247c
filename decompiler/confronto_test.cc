#include "decompiler/confronto.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/identita.h"
#include "common/nomi.h"
#include "compiler/compila_testi.h"
#include "compiler/formato_geometria.h"
#include "compiler/formato_voci.h"
#include "platform/piattaforma_memoria.h"
#include "reader/piano_a_pezzi.h"
#include "tests/descrizioni_casuali.h"

namespace scenario::decompilazione {
namespace {

// The three files of a random short line, compiled with its geometry.
file_scenario_binari compilati(uint64_t seme) {
  const prova::descrizioni_casuali d = prova::genera_descrizioni(prova::caso_da_seme(seme));
  piattaforma_memoria m;
  const esito_compilazione e = compila_testi(m, identita_incorporata(), d.linea, d.treno, true);
  EXPECT_TRUE(e.stato == kStatoPulito || e.stato == kStatoGuasti);
  auto leggi = [&](file_scenario f) { return m.leggi(nome_file(m, kNomeLinea, kNumeroTreno, f)); };
  file_scenario_binari f;
  f.voci = leggi(file_scenario::voci);
  f.celle = leggi(file_scenario::celle);
  f.geometria = leggi(file_scenario::geometria_linea);
  f.con_geometria = true;
  return f;
}

std::string codifica(const geometria& g) {
  std::string r;
  char b[formato::kBytesReale];
  for (const auto* colonna : {&g.x, &g.y}) {
    for (const numero_etichettato& v : *colonna) r.append(b, codifica_etichettato(b, v));
  }
  return r;
}

// A row run that differs, as the tool shows it: column, first and last row,
// and the values of the first row.
struct corsa {
  std::string campo;
  int64_t da, a;
  std::string originale, ricompilato;
  bool operator==(const corsa&) const = default;
};

std::vector<corsa> corse(const std::vector<differenza>& d) {
  std::vector<corsa> r;
  for (const differenza& x : d) {
    if (x.g == differenza::genere::geometria) r.push_back({x.campo, x.indice, x.fino, x.originale, x.ricompilato});
  }
  return r;
}

std::string testo(const numero_etichettato& v) {
  if (v.etichetta == numero_etichettato::vuoto) return "vuoto";
  if (v.etichetta == numero_etichettato::intero) return "intero " + std::to_string(v.valore_intero);
  char b[32];
  const auto r = std::to_chars(b, b + sizeof b, v.valore_reale);
  return std::string(b, r.ptr);
}

// The runs of two whole tables of the same size, row by row.
std::vector<corsa> corse_tra(const geometria& a, const geometria& b) {
  std::vector<corsa> r;
  for (int asse = 0; asse < 2; ++asse) {
    const auto& xa = asse == 0 ? a.x : a.y;
    const auto& xb = asse == 0 ? b.x : b.y;
    auto uguali = [&](std::size_t j) {
      return xa[j].etichetta == xb[j].etichetta && xa[j].valore_intero == xb[j].valore_intero &&
             std::memcmp(&xa[j].valore_reale, &xb[j].valore_reale, sizeof(double)) == 0;
    };
    for (std::size_t j = 0; j < xa.size(); ++j) {
      if (uguali(j)) continue;
      std::size_t fino = j;
      while (fino + 1 < xa.size() && !uguali(fino + 1)) ++fino;
      r.push_back({asse == 0 ? "x" : "y", static_cast<int64_t>(j), static_cast<int64_t>(fino), testo(xa[j]),
                   testo(xb[j])});
      j = fino;
    }
  }
  return r;
}

// The decompiler recompiles the original files; the geometry given to it is
// edited, so the recompile's differs from it where the edits are (and where
// the edits changed the curves read from it). The runs are those of the two
// tables compared whole.
TEST(ConfrontoGeometria, LeCorseCheDifferisconoComeLeTabelleIntere) {
  const file_scenario_binari puliti = compilati(7);
  const geometria g = decodifica_geometria(puliti.geometria);
  const auto ultimo = static_cast<int64_t>(g.x.size()) - 1;
  ASSERT_GT(ultimo, 300);
  struct modifica {
    int asse;
    int64_t metro;
    numero_etichettato v;
  };
  const numero_etichettato a = numero_etichettato::da_reale(12345.5), b = numero_etichettato::da_reale(-0.0),
                           c = numero_etichettato::da_intero(7), vuoto{};
  const std::vector<std::pair<const char*, std::vector<modifica>>> casi = {
      {"nessuna", {}},
      {"il primo metro di x", {{0, 0, a}}},
      {"tre metri di y", {{1, 100, a}, {1, 101, b}, {1, 102, c}}},
      {"due corse separate da un metro uguale", {{0, 200, a}, {0, 202, a}}},
      {"l'ultimo metro, vuoto", {{1, ultimo, a}}},
      {"x e y, poi x di nuovo", {{0, 10, vuoto}, {1, 5, c}, {0, 11, c}}},
  };
  for (const auto& [nome, modifiche] : casi) {
    SCOPED_TRACE(nome);
    geometria h = g;
    for (const modifica& m : modifiche) (m.asse == 0 ? h.x : h.y)[static_cast<std::size_t>(m.metro)] = m.v;
    for (const bool a_pezzi : {false, true}) {
      SCOPED_TRACE(a_pezzi ? "letta a pezzi" : "in memoria");
      file_scenario_binari f = puliti;
      f.geometria = codifica(h);
      if (a_pezzi) {
        f.geometria_a_pezzi = byte_in_memoria(f.geometria);
        f.geometria.clear();
      }
      const esito_decompilazione e =
          decompila_e_verifica(f, ricompilatore_in_memoria(decodifica_voci(f.voci), {"linea.txt", "treno.txt"}));
      ASSERT_TRUE(e.ricompilato) << e.perche;
      // The descriptions it wrote, compiled again and compared whole.
      piattaforma_memoria m;
      compila_testi(m, identita_incorporata(), e.testi.linea, e.testi.treno, true);
      const geometria ricompilata =
          decodifica_geometria(m.leggi(nome_file(m, kNomeLinea, kNumeroTreno, file_scenario::geometria_linea)));
      ASSERT_EQ(ricompilata.x.size(), h.x.size());
      const std::vector<corsa> attese = corse_tra(h, ricompilata);
      EXPECT_EQ(corse(e.differenze), attese);
      EXPECT_EQ(e.identico, modifiche.empty());
      if (!modifiche.empty()) {
        EXPECT_FALSE(attese.empty());
        EXPECT_TRUE(std::any_of(attese.begin(), attese.end(), [&](const corsa& k) {
          return k.campo == (modifiche[0].asse == 0 ? "x" : "y") && k.da <= modifiche[0].metro &&
                 modifiche[0].metro <= k.a;
        }));
      }
    }
  }
}

// The file in pieces as a writer may give them: the columns interleaved,
// each in pieces of `passo` bytes, so that values are cut between pieces.
std::vector<pezzo_posizionato> a_pezzi(const std::string& byte, uint64_t inizio_y, std::size_t passo) {
  std::vector<pezzo_posizionato> x, y, r;
  for (uint64_t p = 0; p < inizio_y; p += passo) {
    x.push_back({std::string_view(byte).substr(p, std::min<uint64_t>(passo, inizio_y - p)), p});
  }
  for (uint64_t p = inizio_y; p < byte.size(); p += passo) {
    y.push_back({std::string_view(byte).substr(p, std::min<uint64_t>(passo, byte.size() - p)), p});
  }
  for (std::size_t i = 0; i < std::max(x.size(), y.size()); ++i) {
    if (i < x.size()) r.push_back(x[i]);
    if (i < y.size()) r.push_back(y[i]);
  }
  return r;
}

TEST(ColonneScritte, DecodificaIPezziComunqueTagliati) {
  const file_scenario_binari f = compilati(3);
  const std::shared_ptr<const piano_in_file> piano = piano_a_pezzi(byte_in_memoria(f.geometria));
  const auto righe = static_cast<uint64_t>(piano->metri());
  for (const std::size_t passo : {std::size_t{1}, std::size_t{3}, std::size_t{9}, std::size_t{11}, std::size_t{4096},
                                  f.geometria.size()}) {
    SCOPED_TRACE(passo);
    confronto_geometria c(*piano);
    colonne_scritte s(c);
    for (const pezzo_posizionato& p : a_pezzi(f.geometria, piano->inizio_y(), passo)) s.pezzo(p);
    ASSERT_EQ(s.righe(), righe);
    EXPECT_TRUE(c.finisci(righe).empty());
  }
  // One run from the start, cut anywhere: x whole then y, or the whole file.
  for (const std::size_t passo : {std::size_t{7}, f.geometria.size()}) {
    SCOPED_TRACE(passo);
    confronto_geometria c(*piano);
    colonne_scritte s(c);
    for (uint64_t p = 0; p < f.geometria.size(); p += passo) {
      s.pezzo({std::string_view(f.geometria).substr(p, passo), p});
    }
    ASSERT_EQ(s.righe(), righe);
    EXPECT_TRUE(c.finisci(righe).empty());
  }
}

// Pieces of a geometry with edits, cut anywhere (pieces the same as the
// original's, pieces with a difference, values split between pieces, one
// run from the start): the runs that differ are those of the whole tables.
TEST(ColonneScritte, LeCorseDeiPezziComeLeTabelleIntere) {
  const file_scenario_binari f = compilati(7);
  const geometria g = decodifica_geometria(f.geometria);
  const std::shared_ptr<const piano_in_file> piano = piano_a_pezzi(byte_in_memoria(f.geometria));
  const auto righe = static_cast<uint64_t>(piano->metri());
  ASSERT_GT(righe, 5000u);
  geometria h = g;
  // A value of another size, runs of one and of three rows, the last row.
  h.x[0] = numero_etichettato::da_intero(3);
  h.x[4000] = numero_etichettato::da_reale(-1.5);
  for (std::size_t j = 100; j < 103; ++j) h.y[j] = numero_etichettato{};
  h.y[righe - 1] = numero_etichettato::da_reale(0.25);
  const std::string byte = codifica(h);
  geometria solo_x;
  solo_x.x = h.x;
  const uint64_t inizio_y = codifica(solo_x).size();
  const std::vector<corsa> attese = corse_tra(g, h);
  ASSERT_EQ(attese.size(), 4u);
  for (const std::size_t passo : {std::size_t{1}, std::size_t{9}, std::size_t{4096}, std::size_t{65536}, byte.size()}) {
    SCOPED_TRACE(passo);
    {
      confronto_geometria c(*piano);
      colonne_scritte s(c);
      for (const pezzo_posizionato& p : a_pezzi(byte, inizio_y, passo)) s.pezzo(p);
      ASSERT_EQ(s.righe(), righe);
      EXPECT_EQ(corse(c.finisci(righe)), attese);
    }
    confronto_geometria c(*piano);
    colonne_scritte s(c);
    for (uint64_t p = 0; p < byte.size(); p += passo) s.pezzo({std::string_view(byte).substr(p, passo), p});
    ASSERT_EQ(s.righe(), righe);
    EXPECT_EQ(corse(c.finisci(righe)), attese);
  }
}

TEST(ColonneScritte, UnaFormaDiversaNonDaRighe) {
  const file_scenario_binari f = compilati(3);
  const std::shared_ptr<const piano_in_file> piano = piano_a_pezzi(byte_in_memoria(f.geometria));
  const uint64_t y = piano->inizio_y();
  const std::string& b = f.geometria;
  std::string etichetta_errata = b;
  etichetta_errata[y] = 7;
  const std::string un_x_in_piu = b.substr(0, y) + std::string("\x00\x00", 2) + b.substr(y);
  struct caso {
    const char* nome;
    std::string byte;
    uint64_t inizio_y;
    std::function<std::vector<pezzo_posizionato>(const std::vector<pezzo_posizionato>&)> ordine;
  };
  auto uguale = [](const std::vector<pezzo_posizionato>& p) { return p; };
  const std::vector<caso> casi = {
      {"un pezzo di x saltato", b, y,
       [](std::vector<pezzo_posizionato> p) {
         p.erase(p.begin() + 2);
         return p;
       }},
      {"due pezzi di x scambiati", b, y,
       [](std::vector<pezzo_posizionato> p) {
         std::swap(p[0], p[2]);
         return p;
       }},
      {"il primo pezzo di y mancante", b, y,
       [](std::vector<pezzo_posizionato> p) {
         p.erase(p.begin() + 1);
         return p;
       }},
      {"un'etichetta che nessun valore ha", etichetta_errata, y, uguale},
      {"un valore di x in più", un_x_in_piu, y + 2, uguale},
      {"y troncata a metà di un valore", b.substr(0, b.size() - 1), y, uguale},
  };
  for (const caso& k : casi) {
    SCOPED_TRACE(k.nome);
    confronto_geometria c(*piano);
    colonne_scritte s(c);
    for (const pezzo_posizionato& p : k.ordine(a_pezzi(k.byte, k.inizio_y, 1000))) s.pezzo(p);
    EXPECT_FALSE(s.righe().has_value());
  }
}

// The original geometry read from a file that fails after `letture` reads:
// the failure reaches the caller as the file's, at whatever step it comes
// (the check, the curves, the comparison while the recompile writes).
class byte_che_falliscono : public byte_a_pezzi {
 public:
  byte_che_falliscono(std::string b, int letture) : b_(std::move(b)), restano_(letture) {}
  uint64_t byte() const override { return b_.size(); }
  void leggi(uint64_t offset, char* dove, std::size_t n) const override {
    if (restano_-- <= 0) throw errore_sistema("geometria.dat", EIO, "Input/output error");
    std::memcpy(dove, b_.data() + offset, n);
  }

 private:
  std::string b_;
  mutable int restano_;
};

TEST(ConfrontoGeometria, UnaLetturaCheFallisceArrivaComeDelFile) {
  const file_scenario_binari puliti = compilati(11);
  bool finita = false;
  int letture = 0;
  for (; !finita && letture < 100; ++letture) {
    SCOPED_TRACE(letture);
    file_scenario_binari f = puliti;
    f.geometria_a_pezzi = std::make_shared<byte_che_falliscono>(f.geometria, letture);
    f.geometria.clear();
    try {
      const esito_decompilazione e =
          decompila_e_verifica(f, ricompilatore_in_memoria(decodifica_voci(f.voci), {"linea.txt", "treno.txt"}));
      EXPECT_TRUE(e.identico) << e.perche;
      finita = true;
    } catch (const errore_sistema& x) {
      EXPECT_EQ(x.file(), "geometria.dat");
    }
  }
  EXPECT_TRUE(finita);
  // The check, the walk of the curves and the two columns compared: more
  // than one step failed on the way.
  EXPECT_GT(letture, 3);
}

}  // namespace
}  // namespace scenario::decompilazione
