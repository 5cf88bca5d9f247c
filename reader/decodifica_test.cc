#include "reader/decodifica.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/file_uscita.h"
#include "compiler/tracciato.h"
#include "platform/piattaforma_memoria.h"
#include "common/nomi.h"
#include "common/righe.h"
#include "tests/prova.h"
#include "texts/testi.h"
#include "compiler/compila_testi.h"
#include "reader/piano_a_pezzi.h"

namespace scenario {
namespace {

std::string fixture(const std::string& nome) { return prova::leggi_file(std::string(SCENARIO_FIXTURES) + "/autori/" + nome); }

// A compile in memory, as the tool does it, of two descriptions.
esito_compilazione compila_in_memoria(piattaforma_memoria& p, const std::string& linea, const std::string& treno,
                                      bool geometria = true) {
  return compila_testi(p, identita_incorporata(), linea, treno, geometria);
}

void confronta(const voce& a, const voce& b) {
  EXPECT_EQ(a.tipo, b.tipo);
  EXPECT_EQ(a.inizio, b.inizio);
  EXPECT_EQ(a.fine, b.fine);
  EXPECT_EQ(a.posizione, b.posizione);
  EXPECT_EQ(a.attributo_1, b.attributo_1);
  EXPECT_EQ(a.nome, b.nome);
  EXPECT_EQ(a.gruppo_1a, b.gruppo_1a);
  EXPECT_EQ(a.gruppo_1b, b.gruppo_1b);
  EXPECT_EQ(a.gruppo_2a, b.gruppo_2a);
  EXPECT_EQ(a.gruppo_2b, b.gruppo_2b);
  EXPECT_EQ(a.gruppo_2c, b.gruppo_2c);
  EXPECT_EQ(a.gruppo_1c, b.gruppo_1c);
  EXPECT_EQ(a.attributo_4, b.attributo_4);
  EXPECT_EQ(a.attributo_3, b.attributo_3);
  EXPECT_EQ(a.attributo_2, b.attributo_2);
  EXPECT_EQ(a.orario, b.orario);
}

bool stessa_cella(const cella& a, const cella& b) {
  return a.tipo == b.tipo && a.dato1 == b.dato1 && a.dato2 == b.dato2 && a.dato3 == b.dato3 && a.dato4 == b.dato4 &&
         a.tempo_segnale == b.tempo_segnale && a.richiamo == b.richiamo && a.montagna == b.montagna &&
         a.velocita_max == b.velocita_max && a.pendenza == b.pendenza && a.aderenza == b.aderenza;
}

// The tag, and the value bit for bit.
bool stesso_numero(const numero_etichettato& a, const numero_etichettato& b) {
  if (a.etichetta != b.etichetta) return false;
  if (a.etichetta == numero_etichettato::intero) return a.valore_intero == b.valore_intero;
  if (a.etichetta == numero_etichettato::reale) {
    return std::bit_cast<uint64_t>(a.valore_reale) == std::bit_cast<uint64_t>(b.valore_reale);
  }
  return true;
}

// Every file the compile wrote, decoded, against the model it came from.
void verifica_andata_e_ritorno(piattaforma_memoria& p, const modello& m) {
  const auto nome = [&](file_scenario f) { return nome_file(p, m.nome_linea, m.numero_treno, f); };

  const std::array<voce, kNumeroVoci> voci = decodifica_voci(p.file.at(nome(file_scenario::voci)));
  for (int i = 0; i < kNumeroVoci; ++i) {
    SCOPED_TRACE("voce " + std::to_string(i));
    confronta(voci[static_cast<std::size_t>(i)], m.voci[static_cast<std::size_t>(i)]);
  }

  const std::vector<cella> celle = decodifica_celle(p.file.at(nome(file_scenario::celle)));
  ASSERT_EQ(celle.size(), m.celle.size());
  for (std::size_t k = 0; k < celle.size(); ++k) {
    ASSERT_TRUE(stessa_cella(celle[k], m.celle[k])) << "cella " << k;
  }

  if (m.calcola_tracciato == 0) {
    EXPECT_FALSE(p.esiste(nome(file_scenario::geometria_linea)));
    return;
  }
  const geometria g = decodifica_geometria(p.file.at(nome(file_scenario::geometria_linea)));
  const geometria piano = tabella_piano(m.piano);
  ASSERT_EQ(g.x.size(), piano.x.size());
  ASSERT_EQ(g.y.size(), piano.y.size());
  for (std::size_t j = 0; j < g.x.size(); ++j) {
    ASSERT_TRUE(stesso_numero(g.x[j], piano.x[j])) << "x del metro " << j;
    ASSERT_TRUE(stesso_numero(g.y[j], piano.y[j])) << "y del metro " << j;
  }
}

TEST(Decodifica, AndataERitornoSulleFixture) {
  struct caso {
    const char* linea;
    const char* treno;
    bool geometria;
    int stato;
  };
  for (const caso& c : {caso{"linea.txt", "treno.txt", true, kStatoPulito},
                        caso{"linea.txt", "treno.txt", false, kStatoPulito},
                        caso{"guasti_linea.txt", "guasti_treno.txt", true, kStatoGuasti}}) {
    SCOPED_TRACE(std::string(c.linea) + (c.geometria ? "" : " senza geometria"));
    piattaforma_memoria p;
    const esito_compilazione e = compila_in_memoria(p, fixture(c.linea), fixture(c.treno), c.geometria);
    ASSERT_EQ(e.stato, c.stato) << e.errore;
    EXPECT_EQ(e.scritti.size(), c.geometria ? 3u : 2u);
    verifica_andata_e_ritorno(p, e.m);
  }
}

TEST(Decodifica, AndataERitornoSulloScenarioIncorporato) {
  piattaforma_memoria p;
  const std::string linea = testo_righe(righe_linea(p));
  const std::string treno = testo_righe(righe_treno(p));
  if (linea.empty() || treno.empty()) GTEST_SKIP() << "the built-in descriptions are not there yet";
  const esito_compilazione e = compila_in_memoria(p, linea, treno);
  ASSERT_EQ(e.stato, kStatoPulito);
  // The built-in scenario asks for nothing an author would not mean, but for
  // the time of its first signal, which the compiler drops (sx is 1).
  ASSERT_EQ(e.m.avvisi.size(), 1u) << e.m.avvisi.back().testo;
  EXPECT_EQ(e.m.avvisi[0].tipo, avviso_scartato);
  EXPECT_EQ(e.m.avvisi[0].posizione, 6000);
  verifica_andata_e_ritorno(p, e.m);
}

// A file that does not fit its format names the offset where it stops
// fitting. The images are those of the clean fixture.
TEST(Decodifica, FileMalformati) {
  piattaforma_memoria p;
  const esito_compilazione e = compila_in_memoria(p, fixture("linea.txt"), fixture("treno.txt"));
  ASSERT_EQ(e.stato, kStatoPulito);
  const std::string voci = immagine_voci(e.m);
  const std::string celle = immagine_celle(e.m);
  // Entry 85 holds the line name: where its name and its tail begin.
  const std::size_t voce85 = offset_voci(e.m.voci)[85];
  const std::size_t nome85 = voce85 + 16;
  const std::size_t coda85 = nome85 + e.m.voci[85].nome.size();
  std::string voci_nome_lungo = voci;
  voci_nome_lungo[14] = '\xFF';  // entry 0 claims a name of 65535 bytes
  voci_nome_lungo[15] = '\xFF';

  struct caso {
    const char* nome;
    tipo_file tipo;
    std::string byte;
    std::size_t offset;
    const char* parola;  // in the reason
  };
  const std::vector<caso> casi = {
      {"voci: file vuoto", tipo_file::voci, "", 0, "dopo 0 voci"},
      {"voci: troncato nella prima voce", tipo_file::voci, voci.substr(0, 10), 0, "troncata"},
      {"voci: finisce dopo una voce", tipo_file::voci, voci.substr(0, 34), 34, "dopo 1 voci"},
      {"voci: nome oltre la fine", tipo_file::voci, voci.substr(0, nome85 + 3), nome85, "nome della voce 85"},
      {"voci: coda troncata", tipo_file::voci, voci.substr(0, coda85 + 5), coda85, "dopo il nome"},
      {"voci: conteggio del nome impossibile", tipo_file::voci, voci_nome_lungo, 16, "65535 byte"},
      {"voci: byte dopo le 87 voci", tipo_file::voci, voci + "x", voci.size(), "restano 1 byte"},
      {"celle: file vuoto", tipo_file::celle, "", 0, "vuoto"},
      {"celle: lunghezza non multipla", tipo_file::celle, celle.substr(0, 15 * 3 + 7), 45, "multiplo di 15"},
      {"celle: meno di una cella", tipo_file::celle, celle.substr(0, 14), 0, "multiplo di 15"},
      {"geometria: file vuoto", tipo_file::geometria, "", 0, "vuoto"},
      {"geometria: etichetta 3", tipo_file::geometria, std::string("\x03\x00", 2), 0, "etichetta 3"},
      {"geometria: etichetta 7 dopo un intero", tipo_file::geometria, std::string("\x02\x00\x00\x00\x07\x00", 6), 4,
       "etichetta 7"},
      {"geometria: reale troncato", tipo_file::geometria, std::string("\x00\x00\x05\x00\x01\x02\x03", 7), 2,
       "oltre la fine"},
      {"geometria: intero troncato", tipo_file::geometria, std::string("\x02\x00\x01", 3), 0, "oltre la fine"},
      {"geometria: etichetta troncata", tipo_file::geometria, std::string("\x00\x00\x00", 3), 2, "troncata"},
      {"geometria: numero dispari di valori", tipo_file::geometria, std::string(6, '\0'), 6, "dispari"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    try {
      decodifica(c.tipo, c.byte);
      ADD_FAILURE() << "decoded without complaint";
    } catch (const errore_decodifica& x) {
      EXPECT_EQ(x.offset(), c.offset) << x.what();
      EXPECT_NE(x.motivo().find(c.parola), std::string::npos) << x.motivo();
    }
  }
}

// Every cut of a good file is refused, never read past its end (the
// sanitizers would see it), and only the whole file decodes.
TEST(Decodifica, OgniTroncamentoERifiutato) {
  piattaforma_memoria p;
  const esito_compilazione e = compila_in_memoria(p, fixture("linea.txt"), fixture("treno.txt"));
  ASSERT_EQ(e.stato, kStatoPulito);
  std::string geometria;
  for (const numero_etichettato& n :
       {numero_etichettato::da_intero(0), numero_etichettato::da_reale(1.5), numero_etichettato{},
        numero_etichettato::da_intero(1), numero_etichettato::da_reale(-2.25), numero_etichettato{}}) {
    char b[formato::kBytesReale];
    geometria.append(b, codifica_etichettato(b, n));
  }
  for (const auto& [tipo, byte] : {std::pair{tipo_file::voci, immagine_voci(e.m)},
                                   std::pair{tipo_file::celle, immagine_celle(e.m).substr(0, 15 * 40)},
                                   std::pair{tipo_file::geometria, geometria}}) {
    SCOPED_TRACE(nome_tipo_file(tipo));
    EXPECT_NO_THROW(decodifica(tipo, byte));
    for (std::size_t n = 0; n < byte.size(); ++n) {
      // The track takes any whole number of cells.
      if (tipo == tipo_file::celle && n % 15 == 0 && n > 0) continue;
      // The geometry takes any even number of whole values: only the cuts
      // at 14 and 20 bytes (values 0 to 1, and 0 to 3) are such.
      if (tipo == tipo_file::geometria && (n == 14 || n == 20)) continue;
      // An exact copy, so that reading past it is seen.
      const std::vector<char> copia(byte.begin(), byte.begin() + static_cast<std::ptrdiff_t>(n));
      EXPECT_THROW(decodifica(tipo, std::string_view(copia.data(), copia.size())), errore_decodifica) << n;
    }
  }
}

// The geometry read in pieces tells what the decoded tables tell: the same
// counts, the same last metre with both of its values, the same rows for
// any range, over integers, reals, holes in the middle and rows never
// computed at the end.
TEST(Decodifica, GeometriaAPezziComeLeTabelle) {
  piattaforma_memoria p;
  const esito_compilazione e = compila_in_memoria(p, fixture("linea.txt"), fixture("treno.txt"));
  ASSERT_EQ(e.stato, kStatoPulito);
  geometria t = tabella_piano(e.m.piano);
  t.x[500] = numero_etichettato{};
  t.y[501] = numero_etichettato::da_intero(-7);
  const std::size_t n = t.x.size();
  t.y[n - 3] = numero_etichettato{};  // the last metre computed keeps only its x
  geometria corta = t;  // the last metre computed keeps only its y
  corta.x[n - 3] = numero_etichettato{};
  corta.x[n - 4] = numero_etichettato{};
  struct caso {
    geometria g;
    std::size_t ultimo;
    bool x_vuoto, y_vuoto;
  };
  for (const caso& k : {caso{t, n - 3, false, true}, caso{corta, n - 4, true, false}}) {
    const geometria& g = k.g;
    geometria_in_tabella righe_g(g.x, g.y);
    const std::string byte = immagine_geometria(righe_g);
    const auto a_pezzi = geometria_a_pezzi(byte_in_memoria(byte));
    const auto in_memoria = geometria_in_memoria(g, byte.size());
    const riassunto_geometria& a = a_pezzi->riassunto();
    const riassunto_geometria& b = in_memoria->riassunto();
    EXPECT_EQ(a.byte, byte.size());
    EXPECT_EQ(a.valori_per_coordinata, n);
    EXPECT_EQ(b.valori_per_coordinata, n);
    for (const auto& [ca, cb] : {std::pair{a.x, b.x}, std::pair{a.y, b.y}}) {
      EXPECT_EQ(ca.vuoto, cb.vuoto);
      EXPECT_EQ(ca.intero, cb.intero);
      EXPECT_EQ(ca.reale, cb.reale);
    }
    EXPECT_EQ(a.x.vuoto + a.x.intero + a.x.reale, n);
    ASSERT_TRUE(a.ultimo_calcolato.has_value());
    EXPECT_EQ(a.ultimo_calcolato, b.ultimo_calcolato);
    EXPECT_EQ(*a.ultimo_calcolato, static_cast<int64_t>(k.ultimo));
    EXPECT_TRUE(stesso_numero(a.ultimo_x, b.ultimo_x));
    EXPECT_TRUE(stesso_numero(a.ultimo_y, b.ultimo_y));
    EXPECT_EQ(a.ultimo_x.etichetta == numero_etichettato::vuoto, k.x_vuoto);
    EXPECT_EQ(a.ultimo_y.etichetta == numero_etichettato::vuoto, k.y_vuoto);
    for (const auto& [da, fino] : {std::pair<int64_t, int64_t>{0, std::numeric_limits<int64_t>::max()},
                                   {499, 502}, {static_cast<int64_t>(n) - 5, static_cast<int64_t>(n) + 5},
                                   {-3, 2}, {static_cast<int64_t>(n), static_cast<int64_t>(n) + 1}}) {
      std::vector<riga_geometria> ra, rb;
      a_pezzi->righe(da, fino, [&](const riga_geometria& r) { ra.push_back(r); });
      in_memoria->righe(da, fino, [&](const riga_geometria& r) { rb.push_back(r); });
      ASSERT_EQ(ra.size(), rb.size()) << da;
      for (std::size_t k = 0; k < ra.size(); ++k) {
        ASSERT_EQ(ra[k].metro, rb[k].metro);
        ASSERT_EQ(ra[k].metro, std::max<int64_t>(da, 0) + static_cast<int64_t>(k));
        ASSERT_TRUE(stesso_numero(ra[k].x, rb[k].x) && stesso_numero(ra[k].y, rb[k].y)) << ra[k].metro;
      }
    }
  }
}

TEST(Decodifica, TipoDalNome) {
  EXPECT_EQ(tipo_da_nome("Velmo - Montegrieve_linea.dat"), tipo_file::geometria);
  EXPECT_EQ(tipo_da_nome("dir/Velmo - Montegrieve_24817.sim"), tipo_file::voci);
  EXPECT_EQ(tipo_da_nome("Velmo - Montegrieve_24817.dat"), tipo_file::celle);
  EXPECT_EQ(tipo_da_nome("linea.dat"), tipo_file::celle);  // "_linea.dat" only
  EXPECT_EQ(tipo_da_nome("Velmo_linea.txt"), std::nullopt);
  EXPECT_EQ(tipo_da_nome("x.DAT"), std::nullopt);
  EXPECT_EQ(tipo_da_parola("track"), tipo_file::celle);
  EXPECT_EQ(tipo_da_parola("voci"), tipo_file::voci);
  EXPECT_EQ(tipo_da_parola("geometry"), tipo_file::geometria);
  EXPECT_EQ(tipo_da_parola("sim"), std::nullopt);
}

}  // namespace
}  // namespace scenario
