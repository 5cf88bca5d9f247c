#include "decompiler/decompila.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/nomi.h"
#include "common/righe.h"
#include "run/generazione.h"
#include "tests/descrizioni_casuali.h"
#include "tests/variazioni_incorporate.h"
#include "texts/testi.h"
#include "tests/esecuzione_strumento.h"
#include "tests/prova.h"
#include "tool/comandi.h"
#include "compiler/compila_testi.h"
#include "compiler/formato_celle.h"
#include "compiler/formato_voci.h"
#include "compiler/voci.h"
#include "common/json.h"

namespace scenario {
namespace {

// The three files of two descriptions compiled by the program's compiler,
// for the built-in identity; nullopt-like empty when no file came out.
struct compilazione {
  int stato = 0;
  file_scenario_binari file;
  std::vector<guasto> guasti;
};

compilazione compila(const std::string& linea, const std::string& treno, bool geometria = true) {
  piattaforma_memoria m;
  const esito_compilazione e = compila_testi(m, identita_incorporata(), linea, treno, geometria);
  compilazione c;
  c.stato = e.stato;
  c.guasti = e.m.guasti;
  if (e.stato == kStatoRapporto || e.stato == kStatoArgomenti) return c;
  auto leggi = [&](file_scenario f) { return m.leggi(nome_file(m, kNomeLinea, kNumeroTreno, f)); };
  c.file.voci = leggi(file_scenario::voci);
  c.file.celle = leggi(file_scenario::celle);
  if (geometria) {
    c.file.geometria = leggi(file_scenario::geometria_linea);
    c.file.con_geometria = true;
  }
  return c;
}

esito_decompilazione decompila_file(const file_scenario_binari& f) {
  return decompila_e_verifica(f, ricompilatore_in_memoria(decodifica_voci(f.voci), {"linea.txt", "treno.txt"}));
}

std::string spiega(const esito_decompilazione& e, const std::string& linea, const std::string& treno) {
  std::ostringstream s;
  s << "perche: " << e.perche << "\n";
  for (const differenza& d : e.differenze) {
    s << nome_tipo_file(d.file) << " " << d.indice << "-" << d.fino << " " << d.campo << ": " << d.originale
      << " / " << d.ricompilato << "\n";
  }
  s << "--- originale linea\n" << linea << "--- originale treno\n" << treno;
  s << "--- decompilata linea\n" << e.testi.linea << "--- decompilato treno\n" << e.testi.treno;
  return s.str();
}

TEST(DecompilaCasuale, ScenariCasualiTornanoIdentici) {
  int puliti = 0;
  for (uint64_t seme = 1; seme <= 300; ++seme) {
    const prova::descrizioni_casuali d = prova::genera_descrizioni(prova::caso_da_seme(seme));
    const compilazione c = compila(d.linea, d.treno);
    ASSERT_TRUE(c.stato == kStatoPulito || c.stato == kStatoGuasti) << "seme " << seme << "\n" << d.linea << d.treno;
    if (c.stato == kStatoPulito) ++puliti;
    const esito_decompilazione e = decompila_file(c.file);
    EXPECT_TRUE(e.identico) << "seme " << seme << "\n" << spiega(e, d.linea, d.treno);
    if (!e.identico) break;
  }
  EXPECT_GE(puliti, 200);
}

// Compiles the pairs that `genera` makes from seeds 1 to `semi` (with the
// geometry every `ogni`-th), expects every clean one back byte for byte,
// and says how many were clean.
template <typename F>
int puliti_tornati(uint64_t semi, uint64_t ogni, F genera) {
  int puliti = 0;
  for (uint64_t seme = 1; seme <= semi; ++seme) {
    const prova::descrizioni_casuali d = genera(prova::caso_da_seme(seme));
    const compilazione c = compila(d.linea, d.treno, seme % ogni == 0);
    if (c.stato != kStatoPulito) continue;
    ++puliti;
    const esito_decompilazione e = decompila_file(c.file);
    EXPECT_TRUE(e.identico) << "seme " << seme << "\n" << spiega(e, d.linea, d.treno);
    if (!e.identico) break;
  }
  return puliti;
}

// Lines of 6 to 285 km, their records in proportion.
TEST(DecompilaCasuale, LineeLungheTornanoIdentiche) {
  const int puliti = puliti_tornati(40, 4, [](const auto& caso) {
    return prova::genera_descrizioni(caso, {6000, 285000});
  });
  EXPECT_GE(puliti, 8);
}

// The built-in pair as an author varies it: records moved off the grid,
// doubled, removed and added over one another, values that wrap.
TEST(DecompilaVariazioni, IncorporateVariateTornanoIdentiche) {
  const int puliti = puliti_tornati(120, 8, [](const auto& caso) { return prova::varia_incorporate(caso); });
  EXPECT_GE(puliti, 70);
}

// ---------------------------------------------------------------------------
// One small scenario per record kind and per awkward case.

// Sixty touching spans of 100 m, of kinds 1 and 2 in turn, written in three
// chains of every third span (200 m apart, so none takes kind 3), with a
// span of no cells before the second and third chains: 62 records. In the
// order of position every span but the first would need a span of no cells
// before it, 119 records.
// Two marked spans whose markers interleave (which only spans in layers
// give back), then a span of kind 1 with 45 cells of kind 3 over it: 48
// records, but 90 runs of one kind.
std::vector<std::string> montagne_a_isole() {
  std::vector<std::string> r = {"montagna, 420, 2339, 11", "montagna, 1044, 3512, 12", "montagna, 1193, 3534, 1",
                                "montagna, 4000, 10800, 1"};
  for (int i = 0; i < 45; ++i) {
    r.push_back("montagna, " + std::to_string(4100 + 150 * i) + ", " + std::to_string(4150 + 150 * i) + ", 3");
  }
  return r;
}

std::vector<std::string> montagne_in_catene() {
  std::vector<std::string> r;
  for (int catena = 0; catena < 3; ++catena) {
    if (catena > 0) r.push_back("montagna, " + std::to_string(100 * catena) + ", -200, 0");
    for (int i = catena; i < 60; i += 3) {
      r.push_back("montagna, " + std::to_string(100 * i) + ", " + std::to_string(100 * i + 100) + ", " +
                  std::to_string(1 + i % 2));
    }
  }
  return r;
}

std::string crlf(const std::vector<std::string>& r) {
  std::string s;
  for (const std::string& x : r) s += x + "\r\n";
  return s;
}

struct caso_piccolo {
  const char* nome;
  std::vector<std::string> linea;  // records after the general section
  std::vector<std::string> treno;
  std::vector<std::string> attese_linea = {};  // lines the decompiled line must hold
  std::vector<std::string> attese_treno = {};
};

void PrintTo(const caso_piccolo& k, std::ostream* os) { *os << k.nome; }

class DecompilaPiccoli : public ::testing::TestWithParam<caso_piccolo> {};

TEST_P(DecompilaPiccoli, TornaIdentico) {
  const caso_piccolo& k = GetParam();
  // The general records first, then the others after a header.
  std::vector<std::string> l = {"[generale]", "lunghezza percorso, 4000"};
  for (const std::string& r : k.linea) {
    if (r.rfind("progressiva", 0) == 0 || r.rfind("sfondo", 0) == 0 || r.rfind("ripetizione", 0) == 0) l.push_back(r);
  }
  l.push_back("[linea]");
  for (const std::string& r : k.linea) {
    if (r.rfind("progressiva", 0) != 0 && r.rfind("sfondo", 0) != 0 && r.rfind("ripetizione", 0) != 0) l.push_back(r);
  }
  l.push_back("[fine]");
  std::vector<std::string> t = {"[generale]", "velocita, 0, 100", "aderenza, 0, 90"};
  t.insert(t.end(), k.treno.begin(), k.treno.end());
  t.push_back("[fine]");
  const compilazione c = compila(crlf(l), crlf(t));
  ASSERT_TRUE(c.stato == kStatoPulito || c.stato == kStatoGuasti);
  const esito_decompilazione e = decompila_file(c.file);
  EXPECT_TRUE(e.identico) << spiega(e, crlf(l), crlf(t));
  for (const std::string& a : k.attese_linea) {
    EXPECT_NE(e.testi.linea.find(a + "\r\n"), std::string::npos) << a << "\n" << e.testi.linea;
  }
  for (const std::string& a : k.attese_treno) {
    EXPECT_NE(e.testi.treno.find(a + "\r\n"), std::string::npos) << a << "\n" << e.testi.treno;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Casi, DecompilaPiccoli,
    ::testing::Values(
        caso_piccolo{"vuoto", {}, {}, {"lunghezza percorso, 4000", "pendenza, 0, 0"}, {"velocita, 0, 100"}},
        caso_piccolo{"generale",
                     {"progressiva chilometrica uno, 0, 40000, 1", "progressiva chilometrica due, 2000, 60000, 0",
                      "sfondo uno, 2", "sfondo due, 3", "sfondo tre, 4", "ripetizione segnali 9 codici, 100, 2000"},
                     {"numero vetture, 7", "percentuale massa frenata, 95", "sabbia, 2", "orologio, 8 5 30"},
                     {"progressiva chilometrica uno, 0, 40000, 1", "progressiva chilometrica due, 2000, 60000, 0",
                      "ripetizione segnali 9 codici, 100, 2000"},
                     {"numero vetture, 7", "orologio, 8, 5, 30"}},
        caso_piccolo{"progressive a somma zero", {"progressiva chilometrica due, 0, 5000, 1"}, {}},
        caso_piccolo{"curve di ogni classe",
                     {"curvad1, 100, 300", "curvas2, 500, 200", "curvad3, 800, 100", "curvas4, 1000, 300",
                      "curvad5, 1500, 50", "curvas6, 2000, 400"},
                     {},
                     {"curvad1, 100, 300", "curvas6, 2000, 400"}},
        caso_piccolo{"curve che si toccano",
                     {"curvad3, 100, 300", "curvad3, 400, 200", "curvas3, 600, 100", "curvad5, 700, 50"},
                     {},
                     {"curvad3, 100, 500", "curvas3, 600, 100", "curvad5, 700, 50"}},
        caso_piccolo{"curva oltre la fine", {"curvas4, 10500, 2000"}, {}},
        caso_piccolo{"pendenze",
                     {"pendenza, 0, 3", "pendenza, 725, -7", "pendenza, 1000, 155", "pendenza, 2000, -100",
                      "pendenza, 10900, 4", "pendenza, 10900, 9"},
                     {},
                     {"pendenza, 0, 3", "pendenza, 700, -7", "pendenza, 10900, 4", "pendenza, 10900, 9"}},
        caso_piccolo{"montagna con segni", {"montagna, 1000, 2000, 11"}, {}, {"montagna, 1000, 2000, 11"}},
        caso_piccolo{"montagna tagliata alla fine", {"montagna, 9000, 20000, 12"}, {}},
        caso_piccolo{"montagne accostate", {"montagna, 1000, 2000, 1", "montagna, 2100, 2500, 12"}, {}},
        caso_piccolo{"montagna dentro un'altra", {"montagna, 1000, 2000, 1", "montagna, 1400, 1600, 2"}, {}},
        caso_piccolo{"montagne di tipi alti", {"montagna, 1000, 1500, 40", "montagna, 3000, 3500, 25"}, {}},
        caso_piccolo{"cartelli di velocita",
                     {"indicatori_vmax, 700, 90, 110, 110, 0, , , , 0", "indicatori_vmax, 1500, 60, 70, 80, 3, 45, 5, 95, 7",
                      "indicatori_vmax, 2500, 62, 0, 0, 0, 7, , , 0"},
                     {},
                     {"indicatori_vmax, 700, 90, 110, 110, 0, , , , 0",
                      "indicatori_vmax, 1500, 60, 70, 80, 3, 45, 5, 95, 7"}},
        caso_piccolo{"cartelli con testo",
                     {"cartello_indicatore, 650, (PL km )(100+150)", "cartello_indicatore, 400, (ponte fiume)(ORSENTA) "},
                     {},
                     {"cartello_indicatore, 650, (PL km )(100+150)",
                      "cartello_indicatore, 400, (ponte fiume)(ORSENTA) "}},
        // The station at 2000 (300 m) puts its marker on cell 42, 2050 m.
        caso_piccolo{"segnaposto di stazione su un cartello",
                     {"cartello_indicatore, 2050, (sotto)", "cartello_indicatore, 3000, (sopra)"},
                     {"stazione, 2000, 4, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, BORGO"}},
        caso_piccolo{"segnaposto di stazione su un cartello di velocita",
                     {"indicatori_vmax, 2050, 60, 70, 80, 3, , , , 1"},
                     {"stazione, 2000, 4, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, BORGO"}},
        caso_piccolo{"stazioni di ogni forma",
                     {},
                     {"stazione, 300, 4, 600, 1, 0, 1, 4, 1, 0, 2, 1, 1, 1, 6, 40, 0, PRIMA",
                      "stazione, 2000, 5, 300, 0, 0, 1, 0, 0, 0, 0, 0, 0, 30, 6, 44, 0, SECONDA",
                      "stazione, 3000, 7, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 30, 6, 50, 0, TERZA",
                      "stazione, 4500, 12, 800, 1, 3, 1, 4, 1, 2, 2, 1, 1, 60, 7, 3, 0, QUARTA",
                      "stazione, 6000, 26, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, FERMATA"},
                     {},
                     {"stazione, 300, 4, 600, 1, 0, 1, 4, 1, 0, 2, 1, 1, 1, 6, 40, 0, PRIMA",
                      "stazione, 4500, 12, 800, 1, 3, 1, 4, 1, 2, 2, 1, 1, 60, 7, 3, 0, QUARTA"}},
        caso_piccolo{"segnali",
                     {},
                     {"segnale, 6000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 230", "segnale, 7200, 2, 2, 3, 0, 1, 0, 1, 2, 3, 50",
                      "segnale, 8450, 2, 2, 4, 0, 0, 2, 0, 0, 0, 255", "segnale, 300, 2, 2, 4, 0, 0, 0, 0, 0, 0, 0"},
                     {},
                     {"segnale, 6000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0", "segnale, 7200, 2, 2, 3, 0, 1, 0, 1, 2, 3, 101",
                      "segnale, 8450, 2, 2, 4, 0, 0, 2, 0, 0, 0, 255"}},
        caso_piccolo{"segni di richiamo sovrapposti",
                     {},
                     {"segnale, 3100, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0", "segnale, 3000, 2, 1, 1, 1, 0, 0, 0, 0, 0, 0",
                      "stazione, 2700, 4, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, DOPO I SEGNALI",
                      "segnale, 5100, 2, 1, 1, 1, 0, 0, 0, 0, 0, 0", "segnale, 5200, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0"}},
        // A signal written before a station whose marker then covers it
        // (cell 42): only its time, dato2 to dato4 and its two farthest
        // marks (cells 36 and 34) are left.
        caso_piccolo{"segnale sotto un segnaposto di stazione",
                     {},
                     {"segnale, 2050, 2, 1, 2, 3, 4, 0, 0, 5, 6, 200",
                      "stazione, 2000, 4, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, BORGO",
                      "segnale, 4025, 1, 3, 0, 1, 2, 1, 4, 9, 9, 0",
                      "stazione, 4000, 4, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, CASALE"},
                     {},
                     {"segnale, 2050, 2, 0, 2, 3, 4, 0, 0, 5, 6, 200", "segnale, 4050, 1, 0, 0, 1, 2, 1, 0, 9, 9, 0"}},
        // Values that wrap: sx 32 gives the mark base 212 (980 in 8 bits),
        // and a station's marks written after it cover two of its marks
        // with a base that splits dato4 into digits.
        caso_piccolo{"segnale con valori che girano",
                     {},
                     {"segnale, 4600, 32, 3, 8, 3, 2, 2, 6, -1323, 8, 100",
                      "stazione, 4400, 7, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, BORGO",
                      "segnale, 6000, 1, 7, 0, 2802, 2, 0, 0, 0, 8, 255", "segnale, 7000, 2, 5000, 3, 4, 3300, 30, 1, 2, 3, 70000"}},
        // The signal at 1250 m keeps only two of its marks, and its
        // neighbour at 1450 m shows a base on the other two that splits
        // dato4 only into odd parts; the plain split must win.
        // The signal at 4950 m (cell 100) keeps only its two farthest
        // marks, which the one at 4850 m also reaches; the one at 5150 m,
        // written after it, covers its two nearest with another base, which
        // must not outvote its own.
        caso_piccolo{"segni di richiamo coperti da un segnale scritto dopo",
                     {},
                     {"segnale, 4850, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0", "segnale, 4950, 2, 1, 2, 3, 2, 27, 4, 5, 6, 255",
                      "segnale, 5150, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0"}},
        // The signal under the station's marker (cell 42) shows only its
        // two farthest marks, which the signal on cell 38 also reaches; that
        // one's own farthest marks show another base.
        caso_piccolo{"segnale sotto un segnaposto accanto a un segnale",
                     {},
                     {"segnale, 1850, 24, 0, 8, 3, 2, 0, 3, 6, 9, 0", "segnale, 2050, 1, 0, 5, 7, 1, 0, 3, 4, 8, 0",
                      "stazione, 2000, 4, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, BORGO"}},
        // The two farthest marks beyond the station's marker (cell 42)
        // agree on one base, but they are the signal's on cell 38, whose own
        // farthest are covered by the one on cell 34: the marker covers no
        // signal, and the sign text goes under it.
        caso_piccolo{"segnaposto libero accanto a segni che sembrano di un segnale",
                     {"cartello_indicatore, 2050, (sotto)"},
                     {"segnale, 1850, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0", "segnale, 1650, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0",
                      "stazione, 2000, 4, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, BORGO"}},
        // The signal on cell 38 keeps none of its marks; the two farthest of
        // the one under the marker (cell 42) are all that tells it is there.
        caso_piccolo{"segnale sotto un segnaposto accanto a un segnale senza segni",
                     {},
                     {"segnale, 1850, 0, 4, 9, 0, 2, 2, 3, 0, 8, 1", "segnale, 1750, 2, 1, 2, 3, 0, 2, 4, 5, 6, 0",
                      "segnale, 2050, 0, 1, 1, 1, 0, 1, 1, 1, 1, 0",
                      "stazione, 2000, 4, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, BORGO"}},
        caso_piccolo{"segni di richiamo coperti a metà",
                     {},
                     {"segnale, 1060, 0, 0, 4, 1, 2, 1, 2, 7, 3, 0", "segnale, 1250, 3, 4, 6, 3, 1, 0, 9, 1, 9, 50",
                      "segnale, 1450, 0, 0, 0, 0, 1, 0, 0, 0, 0, 50"},
                     {},
                     {"segnale, 1250, 3, 4, 6, 3, 1, 0, 9, 1, 9, 0"}},
        // A slow slowdown with no end cell walks markers every 8 cells to
        // the track's end; the record on one of its cells shifts every
        // marker after it by one, and must be the one written back.
        caso_piccolo{"abbattimento che sposta i marcatori dopo di sé",
                     {},
                     {"rallentamento, 1000, 60, 0, 0, 0, 0", "abbattimento, 3050, 180"},
                     {},
                     {"abbattimento, 3050, 180"}},
        // The first span's last step cells hold a sign and a text sign, so
        // that it seems to reach past the start of the touching span.
        caso_piccolo{"montagne accostate con oggetti sui passi",
                     {"montagna, 239, 1095, 13", "montagna, 1095, 1936, 11",
                      "indicatori_vmax, 950, 40, 75, 205, 0, , , , 2", "cartello_indicatore, 1150, (x)"},
                     {}},
        // Two records by a walk: one on its step, which shifts it, and one
        // beside the shifted marker; the first draft gets neither right, and
        // the record on the step leaves fewer cells differing than the one
        // beside it, though both differ first at the same cell.
        caso_piccolo{"abbattimenti accanto ai marcatori spostati",
                     {},
                     {"rallentamento, 1450, 30, 0, 0, 0, 1", "abbattimento, 9900, 180", "abbattimento, 10200, 180"},
                     {},
                     {"abbattimento, 9900, 180", "abbattimento, 10200, 180"}},
        // The last curve goes on from the one before it into the last 100 m
        // before the end of the table, where no record may start.
        caso_piccolo{"curva che prosegue oltre l'ultimo inizio ammesso",
                     {"curvas6, 10600, 352", "curvas2, 10700, 467"},
                     {},
                     {"curvas6, 10600, 352", "curvas2, 10900, 98"}},
        // The signal on cell 75 under the marker keeps two marks, 255 on
        // cell 69 and 0 on cell 67: its base 252 wrapped to 0 on the last.
        // Read as no mark, the 0 let the signal on cell 71 take 254 from
        // them, and the covered signal went for a speed sign.
        caso_piccolo{"segnale sotto un segnaposto con un segno che gira a 0",
                     {},
                     {"segnale, 3500, 2, 1, 3, 5, 815, 13, 4, 1, 3, 50",
                      "segnale, 3700, 25, 8, 2140, 2, 1, 27, 3, 7, -4000, 1",
                      "stazione, 3650, 4, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, BORGO"}},
        // Of the signal under the marker (cell 48) only the 0 on cell 40
        // is left, where the signals on cells 42 and 44 write other marks;
        // every mark of the one on cell 44 is another writer's, so its base
        // shows nowhere and comes from dato4 alone.
        caso_piccolo{"segnale sotto un segnaposto che resta in un solo segno a 0",
                     {},
                     {"segnale, 2400, 0, 0, 7, 1, 1, 0, 5, 3, 7, 0", "segnale, 2150, 1, 1, 8, 3, 2, 0, 1, 4, 2, 0",
                      "segnale, 2050, 2, 8, 2, 2, 1, 1, 2, 1, 6, 50", "segnale, 2350, 34, 6, 4, 3, 2, 0, 1, 4, 4, 0",
                      "stazione, 1750, 8, 700, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, BORGO",
                      "segnale, 2450, 1, 9, 5, 1, 2, 0, 0, 3, 6, 0"}},
        // The two farthest marks beyond the marker (cell 110) agree on one
        // base by chance: the last of the signal on cell 112 and the first
        // of the one on cell 104. The marker covers the sign text.
        caso_piccolo{"segni di due segnali che sembrano di uno sotto il segnaposto",
                     {"cartello_indicatore, 5450, (sotto)"},
                     {"segnale, 5550, 2, 9, 5, 7, 1, 0, 3, 8, 5, 0",
                      "stazione, 5400, 1, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, BORGO",
                      "segnale, 5150, 2, 6, 0, 6, 0, 26, 7, 8, 8, 101"}},
        // Cell 218 is of kind 0 between cells of kind 1 that reach the last
        // cell: the run past U - 2 is written from U - 2, and cell 218 needs
        // a span of its own after it.
        caso_piccolo{"montagna di tipo 0 prima dell'ultima cella",
                     {"montagna, 1000, 11500, 1", "montagna, 2000, 3000, 2", "montagna, 10900, 10952, 0"},
                     {}},
        // The walk's markers step 8 cells from cell 21; the record on cell
        // 122 is first to differ, and the one that moves the walk, on its
        // step at cell 133, stands 11 cells further.
        caso_piccolo{"abbattimento due passi dopo la prima differenza",
                     {},
                     {"rallentamento, 1000, 60, 0, 0, 0, 0", "abbattimento, 6100, 180", "abbattimento, 6650, 180"},
                     {},
                     {"abbattimento, 6100, 180", "abbattimento, 6650, 180"}},
        caso_piccolo{"montagne che in ordine di posizione passano gli 80 record", montagne_in_catene(), {}},
        caso_piccolo{"montagne a strati che a tratti passano gli 80 record", montagne_a_isole(), {}},
        // The walk steps on cells 101, 109, 117 and 125; the record on 125
        // moves it back by one. The greedy search, from the first
        // difference (the record on 104), takes the walk's own marker on
        // 117, which moves it the same way, then needs the two records
        // too; only taking 117 away again gives the cells back.
        caso_piccolo{"abbattimento preso per primo e poi superfluo",
                     {},
                     {"rallentamento, 1000, 60, 0, 0, 0, 0", "abbattimento, 5200, 180", "abbattimento, 6250, 180"},
                     {},
                     {"abbattimento, 5200, 180", "abbattimento, 6250, 180"}},
        // The second span starts on the cell where the first puts its last
        // marker (925 m is cell 18.5, both ways to the even cell); both are
        // of kind 3, as the first one touching makes them.
        caso_piccolo{"montagne che condividono una cella",
                     {"montagna, 127, 360, 1", "montagna, 360, 925, 20", "montagna, 925, 3000, 20"},
                     {}},
        // The same where the first keeps its own kind: its last marker
        // stands on the second's first cell, which holds the second's kind.
        caso_piccolo{"montagne di tipi diversi che condividono una cella",
                     {"montagna, 360, 925, 20", "montagna, 925, 3000, 20"},
                     {}},
        // The first span's only marker is on the cell it shares with the
        // second, which holds the second's kind.
        caso_piccolo{"montagna di quattro celle con il segno sulla cella condivisa",
                     {"montagna, 230, 425, 11", "montagna, 425, 1542, 12"},
                     {},
                     {"montagna, 250, 450, 11", "montagna, 400, 1550, 13"}},
        // Spans written over one another: the later one takes kind 3
        // where it starts before the earlier one's end, and its markers
        // fall between the earlier one's, which stay.
        caso_piccolo{"montagna con segni dentro un'altra con segni",
                     {"montagna, 1007, 8594, 20", "montagna, 3050, 5400, 11"}, {}},
        caso_piccolo{"montagna che ne copre un'altra", {"montagna, 3050, 5400, 11", "montagna, 1174, 8318, 12"}, {}},
        caso_piccolo{"montagna sulla fine di un'altra", {"montagna, 3050, 5400, 11", "montagna, 5116, 5584, 20"}, {}},
        caso_piccolo{"montagna di tipo 0 dentro un'altra", {"montagna, 3050, 5400, 11", "montagna, 3708, 5230, 0"}, {}},
        // The first span's last cell, past the highest start a record may
        // have, shows beyond the second span written over it.
        caso_piccolo{"montagna che sporge oltre l'ultimo inizio ammesso",
                     {"montagna, 964, 11418, 4", "montagna, 3833, 11000, 11"}, {}},
        caso_piccolo{"tre montagne a cavallo",
                     {"montagna, 1579, 2620, 13", "montagna, 2081, 10697, 11", "montagna, 3050, 5400, 40"}, {}},
        caso_piccolo{"rallentamenti",
                     {},
                     {"rallentamento, 3000, 60, 1000, 2, 1, 7", "rallentamento, 6000, 120, 500, 0, 1, 0",
                      "rallentamento, 8000, 80, 20, 1, 0, 0", "rallentamento, 500, 30, 200, 0, 1, 0"},
                     {},
                     {"rallentamento, 3000, 60, 1000, 2, 1, 7", "rallentamento, 8000, 80, 0, 1, 0, 0",
                      "rallentamento, 500, 30, 200, 0, 0, 0"}},
        // On a half (x/50 = 72.5 and 122.5, even below) the start rounds
        // to the even cell 74 and the pre-warning cells to 48 and below,
        // two cells before the warning cell 50 instead of one.
        caso_piccolo{"rallentamenti su una metà",
                     {},
                     {"rallentamento, 3625, 60, 300, 0, 1, 0", "rallentamento, 6125, 80, 0, 1, 1, 4",
                      "rallentamento, 8475, 30, 1000, 0, 0, 0"},
                     {},
                     {"rallentamento, 3625, 60, 325, 0, 1, 0", "rallentamento, 6125, 80, 0, 1, 1, 4"}},
        caso_piccolo{"rallentamenti fuori dalla griglia",
                     {},
                     {"rallentamento, 3610, 60, 333, 0, 1, 0", "rallentamento, 6180, 80, 170, 1, 1, 4",
                      "rallentamento, 6990, 130, 7, 2, 1, 0"}},
        // The second's cells 26 to 29 before its start could be the first's
        // pre-warning cells on a half: they are the first's.
        caso_piccolo{"rallentamenti su celle accanto",
                     {},
                     {"rallentamento, 8100, 100, 600, 1, 1, 5", "rallentamento, 8150, 30, 844, 2, 0, 0"},
                     {},
                     {"rallentamento, 8100, 100, 600, 1, 1, 5", "rallentamento, 8150, 30, 850, 2, 0, 0"}},
        caso_piccolo{"rallentamento a 1500 m", {}, {"rallentamento, 1500, 60, 300, 0, 1, 0"}},
        caso_piccolo{"rallentamento appena oltre 1500 m", {}, {"rallentamento, 1510, 60, 300, 0, 1, 0"}},
        caso_piccolo{"abbattimenti",
                     {},
                     {"abbattimento, 1000, 0", "abbattimento, 1200, -3", "abbattimento, 1400, 60",
                      "abbattimento, 1600, 180", "abbattimento, 1800, 400", "abbattimento, 50, 65536"},
                     {},
                     {"abbattimento, 1000, 0", "abbattimento, 1400, 60", "abbattimento, 1600, 180",
                      "abbattimento, 1800, 400"}},
        caso_piccolo{"abbattimenti fuori dalla griglia",
                     {},
                     {"abbattimento, 1030, 60", "abbattimento, 1275, 0", "abbattimento, 1375, 7"},
                     {},
                     {"abbattimento, 1050, 60", "abbattimento, 1300, 0", "abbattimento, 1400, 7"}},
        caso_piccolo{"abbattimenti accanto al completamento",
                     {},
                     {"rallentamento, 5000, 60, 800, 0, 0, 0", "abbattimento, 4750, 50", "abbattimento, 4700, 180",
                      "segnale, 3700, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0", "abbattimento, 3650, 250"}},
        caso_piccolo{"profili fino alle ultime celle",
                     {},
                     {"velocita, 1000, 60", "velocita, 10900, 75", "velocita, 10900, 80", "velocita, 10900, 85",
                      "aderenza, 10900, 70"},
                     {},
                     {"velocita, 10900, 75", "velocita, 10900, 80", "velocita, 10900, 85", "aderenza, 10900, 70"}}),
    [](const ::testing::TestParamInfo<caso_piccolo>& i) {
      std::string s;
      for (const char* p = i.param.nome; *p; ++p) s += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return s;
    });

// ---------------------------------------------------------------------------
// Files that no compile produced: values edited by hand that no description
// gives. The decompiler still writes the nearest descriptions, and the
// comparison names every edited field and nothing else.

TEST(DecompilaManomessi, ElencaOgniCampoCheNessunaDescrizioneDa) {
  const std::string linea = crlf({"[generale]", "lunghezza percorso, 4000", "[pendenze]", "pendenza, 0, 2", "[fine]"});
  const std::string treno =
      crlf({"[generale]", "velocita, 0, 100", "aderenza, 0, 90", "[stazioni]",
            "stazione, 2000, 4, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, BORGO",
            "segnale, 3000, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0", "rallentamento, 5000, 60, 300, 0, 1, 0", "[fine]"});
  const compilazione c = compila(linea, treno);
  ASSERT_EQ(c.stato, kStatoPulito);
  struct modifica {
    tipo_file file;
    int64_t indice;
    const char* campo;
    std::size_t offset;  // in the record
    uint8_t valore;
  };
  namespace fc = formato::cella;
  const std::vector<modifica> modifiche = {
      {tipo_file::celle, 100, "richiamo", fc::richiamo, 77},            // a mark that no writer makes
      {tipo_file::celle, 150, "tipo", fc::tipo, cella_preavviso},     // a pre-warning of no slowdown
      {tipo_file::celle, 160, "tempo_segnale", fc::tempo_segnale, 9},  // a time on a free cell
  };
  file_scenario_binari f = c.file;
  for (const modifica& m : modifiche) {
    f.celle[static_cast<std::size_t>(m.indice) * formato::kBytesCella + m.offset] = static_cast<char>(m.valore);
  }
  // An item field that no record fills: the line length's entry keeps no time.
  std::array<voce, kNumeroVoci> voci = decodifica_voci(f.voci);
  voci[voce_lunghezza_convoglio].orario = 99;
  f.voci = immagine_voci(voci);
  // And one that a description gives: a cell of another speed, from two
  // records, is no difference.
  f.celle[120 * formato::kBytesCella + fc::velocita_max] = 7;

  const esito_decompilazione e = decompila_file(f);
  ASSERT_TRUE(e.ricompilato) << e.perche;
  EXPECT_FALSE(e.identico);
  EXPECT_NE(e.testi.linea.find("lunghezza percorso, 4000\r\n"), std::string::npos);
  EXPECT_NE(e.testi.treno.find("stazione, 2000, 4, 300,"), std::string::npos) << e.testi.treno;
  EXPECT_NE(e.testi.treno.find("rallentamento, 5000, 60, 300, 0, 1, 0\r\n"), std::string::npos) << e.testi.treno;
  EXPECT_NE(e.testi.treno.find("velocita, 6000, 35\r\nvelocita, 6050, 100\r\n"), std::string::npos)
      << e.testi.treno;
  std::vector<std::string> attese, trovate;
  for (const modifica& m : modifiche) attese.push_back("celle " + std::to_string(m.indice) + " " + m.campo);
  attese.push_back("voci 84 orario");
  for (const differenza& d : e.differenze) {
    trovate.push_back(std::string(d.file == tipo_file::voci ? "voci " : "celle ") + std::to_string(d.indice) + " " +
                      d.campo);
  }
  std::sort(attese.begin(), attese.end());
  std::sort(trovate.begin(), trovate.end());
  EXPECT_EQ(trovate, attese) << spiega(e, linea, treno);
}

}  // namespace
}  // namespace scenario
