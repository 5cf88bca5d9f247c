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
#include "common/json.h"
#include "tests/esecuzione_strumento.h"
#include "tests/prova.h"
#include "texts/testi.h"
#include "tool/comandi.h"
#include "compiler/compila_testi.h"
#include "reader/piano_a_pezzi.h"

namespace scenario {
namespace {

using prova::cartella_temporanea;
using prova::esecuzione;
using prova::esegui;
using prova::leggi_file;
using prova::scrivi_file;

std::string fixture(const std::string& nome) { return prova::fixture_autori(nome); }

using prova::righe;

using prova::compilato;

// `decodifica` checks a file's size against the largest its kind can be
// before reading it, and reads what has no size (a device) through that
// limit: too large is refused with status 3 and a message that says so.
TEST(Decodifica, FileTroppoGrandiRifiutati) {
  prova::cartella_temporanea c;
  const auto esegui = [](std::vector<std::string> argomenti) {
    std::ostringstream out, err;
    const int stato = strumento_scenario(argomenti, out, err);
    return std::pair{stato, err.str()};
  };
  const auto vuoto = [&](const std::string& nome, uint64_t byte) {
    prova::scrivi_file(c.file(nome), "");
    std::filesystem::resize_file(c.file(nome), byte);  // sparse where the system can
    return c.file(nome);
  };
  EXPECT_EQ(byte_massimi(tipo_file::geometria), 2u * 1007001u * 10u);
  EXPECT_EQ(byte_massimi(tipo_file::celle), 20141u * 15u);
  EXPECT_EQ(byte_massimi(tipo_file::voci), 87u * (34u + 65535u));

  // A track of exactly the most cells decodes; one byte more is refused.
  const auto [s1, e1] = esegui({"decodifica", vuoto("piena.dat", 20141 * 15)});
  EXPECT_EQ(s1, kStatoPulito) << e1;
  for (const auto& [nome, byte] : {std::pair<std::string, uint64_t>{"oltre.dat", 20141 * 15 + 1},
                                   {"oltre.sim", 87 * (34 + 65535) + 1},
                                   {"oltre_linea.dat", 2 * 1007001 * 10 + 1},
                                   {"enorme_linea.dat", uint64_t{1} << 34}}) {
    SCOPED_TRACE(nome);
    const auto [s, e] = esegui({"decodifica", "--json", vuoto(nome, byte)});
    EXPECT_EQ(s, kStatoArgomenti);
    EXPECT_NE(e.find("troppo grande: " + std::to_string(byte) + " byte, al massimo"), std::string::npos) << e;
  }
  // Within the size, a geometry of more empty values than the longest track
  // has rows.
  const auto [s2, e2] = esegui({"decodifica", vuoto("vuoti_linea.dat", 2 * (1007001 + 1) * 2)});
  EXPECT_EQ(s2, kStatoArgomenti);
  EXPECT_NE(e2.find("più di 1007001 valori per coordinata"), std::string::npos) << e2;

  if (!std::filesystem::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero here";
  for (const char* tipo : {"geometria", "celle", "voci"}) {
    SCOPED_TRACE(tipo);
    const auto [s, e] = esegui({"decodifica", "--kind", tipo, "/dev/zero"});
    EXPECT_EQ(s, kStatoArgomenti);
    EXPECT_NE(e.find("troppo grande: più di"), std::string::npos) << e;
  }
  // A device that ends is read to its end and decoded.
  const auto [s3, e3] = esegui({"decodifica", "--kind", "celle", "/dev/null"});
  EXPECT_EQ(s3, kStatoArgomenti);
  EXPECT_NE(e3.find("file vuoto"), std::string::npos) << e3;
}

// ---------------------------------------------------------------------------
// decode

// The clean fixture compiled into a temporary folder, and the model it gave.
struct compilati {
  compilati() {
    const esecuzione e = esegui({"compila", fixture("linea.txt"), fixture("treno.txt"), "--out", c.percorso().string()});
    EXPECT_EQ(e.stato, 0) << e.err;
    piattaforma_memoria p;
    m = compila_testi(p, identita_incorporata(), leggi_file(fixture("linea.txt")), leggi_file(fixture("treno.txt")),
                      true)
            .m;
  }
  std::string file(file_scenario f) const { return compilato(c, f); }
  cartella_temporanea c;
  modello m;
};

TEST(StrumentoDecodifica, Testo) {
  compilati k;
  const esecuzione v = esegui({"decodifica", k.file(file_scenario::voci)});
  EXPECT_EQ(v.stato, 0) << v.err;
  const std::vector<std::string> r = righe(v.out);
  ASSERT_EQ(r.size(), 9u) << v.out;
  EXPECT_EQ(r[0], k.file(file_scenario::voci) + ": voci, 87 voci, 3041 byte");
  EXPECT_EQ(r[1],
            "voce 1 @34: tipo=4 inizio=-300 fine=300 attributo_1=1 nome=\"ALBA\" gruppo_1a=4 gruppo_1b=1 "
            "gruppo_2a=2 gruppo_2b=1 gruppo_2c=1 attributo_4=1 orario=28860 (08:01:00)");
  EXPECT_EQ(r[3], "voce 79 @2701: nome=\"(ponte fiume)(TORRENTE ALBA)\"");

  const esecuzione c = esegui({"decode", k.file(file_scenario::celle), "--from", "3000", "--to", "3050"});
  EXPECT_EQ(c.stato, 0) << c.err;
  const std::vector<std::string> rc = righe(c.out);
  ASSERT_EQ(rc.size(), 4u) << c.out;
  EXPECT_EQ(rc[0], k.file(file_scenario::celle) + ": celle, 341 celle (0-17000 m), 5115 byte");
  EXPECT_EQ(rc[1].rfind("per tipo: cella_libera 320 cella_segnale 2 ", 0), 0u) << rc[1];
  EXPECT_EQ(rc[2], "cella 60 @900 (3000 m): cella_libera velocita_max=22 pendenza=105 aderenza=100");
  EXPECT_EQ(rc[3],
            "cella 61 @915 (3050 m): cella_segnale dato1=30 dato2=10 dato4=3 velocita_max=22 pendenza=105 "
            "aderenza=100 | scritto: segnale, posizione = 3000 m");

  const esecuzione g = esegui({"decode", k.file(file_scenario::geometria_linea), "--from", "1000", "--to", "1001"});
  EXPECT_EQ(g.stato, 0) << g.err;
  EXPECT_EQ(righe(g.out), (std::vector<std::string>{
                              k.file(file_scenario::geometria_linea) +
                                  ": geometria, metri 0-17000 (17001 valori per coordinata), 339964 byte",
                              "x: 2 vuoti, 2 interi, 16997 reali", "y: 2 vuoti, 2 interi, 16997 reali",
                              "ultimo metro calcolato: 16998 (x=3002.7482506468873 y=16668.974363598478)",
                              "metro 1000: x=0 y=1000", "metro 1001: x=0.001 y=1001"}));
}

// Decoded through the command, every field of every cell, entry and metre
// agrees with the model the files came from.
TEST(StrumentoDecodifica, JsonConcordaConIlModello) {
  compilati k;
  const esecuzione e = esegui({"decodifica", "--json", "--all", "--from", "0", k.file(file_scenario::voci),
                               k.file(file_scenario::celle), k.file(file_scenario::geometria_linea)});
  ASSERT_EQ(e.stato, 0) << e.err;
  const json v = json::parse(e.out);
  ASSERT_EQ(v.size(), 3u);

  const auto& voci = v.at(0).at("voci");
  ASSERT_EQ(voci.size(), 87u);
  for (std::size_t i = 0; i < voci.size(); ++i) {
    const voce& x = k.m.voci[i];
    const json& j = voci[i];
    SCOPED_TRACE("voce " + std::to_string(i));
    EXPECT_EQ(j.at("indice").get<double>(), static_cast<double>(i));
    EXPECT_EQ(j.at("tipo").get<double>(), x.tipo);
    EXPECT_EQ(j.at("inizio").get<double>(), x.inizio);
    EXPECT_EQ(j.at("fine").get<double>(), x.fine);
    EXPECT_EQ(j.at("posizione").get<double>(), x.posizione);
    EXPECT_EQ(j.at("attributo_1").get<double>(), x.attributo_1);
    EXPECT_EQ(j.at("nome").get<std::string>(), x.nome);  // ASCII here
    EXPECT_EQ(j.at("gruppo_1a").get<double>(), x.gruppo_1a);
    EXPECT_EQ(j.at("gruppo_1b").get<double>(), x.gruppo_1b);
    EXPECT_EQ(j.at("gruppo_2a").get<double>(), x.gruppo_2a);
    EXPECT_EQ(j.at("gruppo_2b").get<double>(), x.gruppo_2b);
    EXPECT_EQ(j.at("gruppo_2c").get<double>(), x.gruppo_2c);
    EXPECT_EQ(j.at("gruppo_1c").get<double>(), x.gruppo_1c);
    EXPECT_EQ(j.at("attributo_4").get<double>(), x.attributo_4);
    EXPECT_EQ(j.at("attributo_3").get<double>(), x.attributo_3);
    EXPECT_EQ(j.at("attributo_2").get<double>(), x.attributo_2);
    EXPECT_EQ(j.at("orario").get<double>(), x.orario);
  }

  const auto& celle = v.at(1).at("celle");
  ASSERT_EQ(celle.size(), k.m.celle.size());
  for (std::size_t i = 0; i < celle.size(); ++i) {
    const cella& x = k.m.celle[i];
    const json& j = celle[i];
    const auto n = [&j](const char* k) { return j.at(k).get<double>(); };
    const bool uguale = n("indice") == static_cast<double>(i) && n("metri") == static_cast<double>(i * 50) &&
                        n("tipo") == x.tipo && j.at("nome_tipo").get<std::string>() == nome_tipo_cella(x.tipo) &&
                        n("dato1") == x.dato1 && n("dato2") == x.dato2 && n("dato3") == x.dato3 &&
                        n("dato4") == x.dato4 && n("tempo_segnale") == x.tempo_segnale && n("richiamo") == x.richiamo &&
                        n("montagna") == x.montagna && n("velocita_max") == x.velocita_max &&
                        n("pendenza") == x.pendenza && n("aderenza") == x.aderenza;
    ASSERT_TRUE(uguale) << "cella " << i;
  }

  const json& g = v.at(2);
  const geometria piano = tabella_piano(k.m.piano);
  EXPECT_EQ(g.at("conteggi").at("x").at("reale").get<double>(), static_cast<double>(piano.x.size() - 4));
  const auto& r = g.at("righe");
  ASSERT_EQ(r.size(), piano.x.size());
  for (std::size_t j = 0; j < r.size(); ++j) {
    for (const auto& [asse, col] : {std::pair{"x", &piano.x}, std::pair{"y", &piano.y}}) {
      const numero_etichettato& n = (*col)[j];
      const json& e_json = r[j].at(std::string("etichetta_") + asse);
      const json& val = r[j].at(asse);
      ASSERT_EQ(e_json.get<double>(), n.etichetta) << asse << j;
      if (n.etichetta == numero_etichettato::vuoto) {
        ASSERT_TRUE(val.is_null());
      } else {
        ASSERT_EQ(std::bit_cast<uint64_t>(val.get<double>()), std::bit_cast<uint64_t>(n.come_reale())) << asse << j;
      }
    }
  }
}

TEST(StrumentoDecodifica, Csv) {
  compilati k;
  const esecuzione e = esegui({"decode", "--csv", k.file(file_scenario::celle), "--to", "100"});
  EXPECT_EQ(e.stato, 0) << e.err;
  EXPECT_EQ(e.out,
            "indice,metri,tipo,nome_tipo,dato1,dato2,dato3,dato4,tempo_segnale,richiamo,montagna,velocita_max,"
            "pendenza,aderenza\r\n"
            "0,0,0,cella_libera,0,0,0,0,0,0,0,6,100,100\r\n"
            "1,50,0,cella_libera,5121,2214,0,0,0,0,0,6,100,100\r\n"
            "2,100,0,cella_libera,0,0,0,0,0,83,0,6,100,100\r\n");
  const esecuzione v = esegui({"decode", "--csv", k.file(file_scenario::voci)});
  const std::vector<std::string> r = righe(v.out);
  ASSERT_EQ(r.size(), 9u);
  EXPECT_EQ(r[3], "79,2701,0,0,0,0,0,(ponte fiume)(TORRENTE ALBA),0,0,0,0,0,0,0,0,0,0\r");
}

// --oggetti keeps, of the full listing, exactly the cells of a type other
// than free; the items are listed as without it.
TEST(StrumentoDecodifica, SoloGliOggetti) {
  compilati k;
  const std::string celle = k.file(file_scenario::celle);
  const esecuzione tutto = esegui({"decodifica", celle});
  const esecuzione oggetti = esegui({"decodifica", celle, "--oggetti"});
  ASSERT_EQ(tutto.stato, 0) << tutto.err;
  ASSERT_EQ(oggetti.stato, 0) << oggetti.err;
  std::vector<std::string> attese;
  std::size_t libere = 0;
  for (const std::string& r : righe(tutto.out)) {
    if (r.rfind("cella ", 0) == 0 && r.find("): cella_libera") != std::string::npos) {
      ++libere;
    } else {
      attese.push_back(r);
    }
  }
  ASSERT_GT(libere, 0u);
  EXPECT_EQ(righe(oggetti.out), attese);
  std::size_t con_oggetto = 0;
  for (const cella& c : k.m.celle) con_oggetto += c.tipo != cella_libera;
  EXPECT_EQ(attese.size(), 2 + con_oggetto);  // the file line, the count by type, the cells
  EXPECT_EQ(esegui({"decode", celle, "--objects"}).out, oggetti.out);

  // The same choice in JSON and CSV, within --from/--to.
  const esecuzione j = esegui({"decodifica", celle, "--oggetti", "--json", "--from", "3000", "--to", "6000"});
  ASSERT_EQ(j.stato, 0) << j.err;
  std::size_t nel_tratto = 0;
  for (std::size_t i = 60; i <= 120; ++i) nel_tratto += k.m.celle.at(i).tipo != cella_libera;
  const json v = json::parse(j.out);
  ASSERT_EQ(v.size(), 1u);
  ASSERT_EQ(v.at(0).at("celle").size(), nel_tratto);
  for (const json& c : v.at(0).at("celle")) EXPECT_NE(c.at("tipo").get<double>(), 0);
  const esecuzione csv = esegui({"decodifica", celle, "--oggetti", "--csv", "--from", "3000", "--to", "6000"});
  EXPECT_EQ(righe(csv.out).size(), 1 + nel_tratto);

  const std::string voci = k.file(file_scenario::voci);
  EXPECT_EQ(esegui({"decodifica", voci, "--oggetti"}).out, esegui({"decodifica", voci}).out);
  const esecuzione insieme = esegui({"decodifica", celle, "--oggetti", "--all"});
  EXPECT_EQ(insieme.stato, 3);
  EXPECT_NE(insieme.err.find("--all e --oggetti insieme"), std::string::npos) << insieme.err;
}

TEST(StrumentoDecodifica, FileMalformatiEInservibili) {
  compilati k;
  // A track file cut inside its fourth cell, under a name that says nothing.
  const std::string tronco = k.c.file("tronco.bin");
  scrivi_file(tronco, leggi_file(k.file(file_scenario::celle)).substr(0, 52));
  const esecuzione e = esegui({"decodifica", "--kind", "track", tronco});
  EXPECT_EQ(e.stato, 3);
  EXPECT_EQ(e.err, tronco +
                       ": errore: file celle malformato all'offset 45: la lunghezza 52 non è un multiplo di 15: "
                       "la cella 3 ha solo 7 byte\n");
  // The good files are still shown beside the bad one; the JSON stays whole.
  const esecuzione j = esegui({"decodifica", "--kind", "celle", "--json", tronco, k.file(file_scenario::celle)});
  EXPECT_EQ(j.stato, 3);
  const json v = json::parse(j.out);
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v.at(0).at("errore").at("offset").get<double>(), 45);
  EXPECT_EQ(v.at(1).at("tipo").get<std::string>(), "celle");

  for (const std::vector<std::string>& a :
       {std::vector<std::string>{"decodifica", k.c.file("senza tipo.bin")},
        {"decodifica", k.c.file("manca.sim")},
        {"decodifica"},
        {"decodifica", "--kind", "sim", k.file(file_scenario::voci)},
        {"decodifica", "--from", "10 m", k.file(file_scenario::celle)},
        {"decodifica", "--from", "100", "--to", "50", k.file(file_scenario::celle)},
        {"decodifica", "--csv", k.file(file_scenario::celle), k.file(file_scenario::voci)},
        {"decodifica", "--csv", "--json", k.file(file_scenario::celle)}}) {
    const esecuzione x = esegui(a);
    EXPECT_EQ(x.stato, 3) << a.back();
    EXPECT_FALSE(x.err.empty());
  }
}

}  // namespace
}  // namespace scenario
