// The decompile command: the built-in scenario through it and back, files
// without their geometry, edited, damaged or foreign, and its arguments.
#include "tool/decompila.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/json.h"
#include "common/nomi.h"
#include "compiler/compila_testi.h"
#include "platform/piattaforma_memoria.h"
#include "run/generazione.h"
#include "tests/esecuzione_strumento.h"
#include "tests/prova.h"
#include "tool/comandi.h"

namespace scenario {
namespace {

using prova::esecuzione;
using prova::esegui;

// The built-in scenario as genera_scenario leaves it, in a folder.
struct scenario_in_cartella {
  prova::cartella_temporanea c;
  std::string sim, dat, geo;
  scenario_in_cartella() {
    piattaforma_memoria m;
    Form_Load(m);
    sim = c.file(nome_semplice(kNomeLinea, kNumeroTreno, file_scenario::voci));
    dat = c.file(nome_semplice(kNomeLinea, kNumeroTreno, file_scenario::celle));
    geo = c.file(nome_semplice(kNomeLinea, kNumeroTreno, file_scenario::geometria_linea));
    for (auto [f, nome] : {std::pair{file_scenario::voci, sim}, std::pair{file_scenario::celle, dat},
                           std::pair{file_scenario::geometria_linea, geo}}) {
      prova::scrivi_file(nome, m.leggi(nome_file(m, kNomeLinea, kNumeroTreno, f)));
    }
  }
};

TEST(StrumentoDecompila, IncorporatoDecompilatoECompilatoTornaIdentico) {
  scenario_in_cartella s;
  prova::cartella_temporanea testi, di_nuovo;
  const esecuzione e = esegui({"decompila", s.sim, s.dat, s.geo, "--out", testi.percorso().string()});
  EXPECT_EQ(e.stato, 0) << e.out << e.err;
  EXPECT_NE(e.out.find("identici byte per byte"), std::string::npos) << e.out;
  EXPECT_EQ(e.err, "");
  // The descriptions are the tool's input as any author's.
  const esecuzione c = esegui({"compila", testi.file("linea.txt"), testi.file("treno.txt"), "--out",
                               di_nuovo.percorso().string()});
  EXPECT_EQ(c.stato, 0) << c.err;
  for (file_scenario f : {file_scenario::voci, file_scenario::celle, file_scenario::geometria_linea}) {
    const std::string nome = nome_semplice(kNomeLinea, kNumeroTreno, f);
    EXPECT_EQ(prova::leggi_file(di_nuovo.file(nome)), prova::leggi_file(s.c.file(nome))) << nome;
  }
  // In the layout of the built-in descriptions: their sections in order,
  // CR LF, and the same records as the built-in ones where the files can
  // tell them.
  const std::string linea = prova::leggi_file(testi.file("linea.txt"));
  const std::string treno = prova::leggi_file(testi.file("treno.txt"));
  std::size_t p = 0;
  for (const char* sezione : {"[generale]", "[curve]", "[pendenze]", "[montagne]", "[cartelli]", "[indicazioni]",
                              "[fine]"}) {
    p = linea.find(std::string(sezione) + "\r\n", p);
    EXPECT_NE(p, std::string::npos) << sezione;
  }
  p = 0;
  for (const char* sezione : {"[generale]", "[aderenze]", "[vel_limite]", "[stazioni]", "[rallentamenti]",
                              "[abbattimenti]", "[segnali]", "[codici]", "[fine]"}) {
    p = treno.find(std::string(sezione) + "\r\n", p);
    EXPECT_NE(p, std::string::npos) << sezione;
  }
  for (const char* r : {"curvad5, 650, 600", "montagna, 91050, 93400, 11", "pendenza, 11300, -9",
                        "indicatori_vmax, 700, 90, 110, 110, 0, , , , 0", "cartello_indicatore, 91000, ( galleria )(di MONTE CORNALE)",
                        "progressiva chilometrica uno, 0, 100800, 1", "progressiva chilometrica due, 100800, 190300, 1"}) {
    EXPECT_NE(linea.find(std::string(r) + "\r\n"), std::string::npos) << r;
  }
  for (const char* r : {"stazione, 23950, 22, 300, 0, 0, 1, 0, 0, 0, 4, 1, 1, 30, 7, 12, 0, P.M. LUSTRIGO",
                        "segnale, 34550, 2, 2, 3, 1, 0, 0, 0, 0, 0, 220", "velocita, 60850, 135", "aderenza, 0, 100",
                        "orologio, 6, 39, 40"}) {
    EXPECT_NE(treno.find(std::string(r) + "\r\n"), std::string::npos) << r;
  }
  // One record per line, as many as the built-in ones.
  EXPECT_EQ(std::count(linea.begin(), linea.end(), '\n'), 154);
  EXPECT_EQ(std::count(treno.begin(), treno.end(), '\n'), 50);  // the built-in 49 and "[abbattimenti]"
}

TEST(StrumentoDecompila, SenzaGeometriaConfrontaGliAltriDue) {
  scenario_in_cartella s;
  prova::cartella_temporanea testi;
  const esecuzione e = esegui({"decompile", s.sim, s.dat, "--out", testi.percorso().string()});
  EXPECT_EQ(e.stato, 0) << e.out;
  EXPECT_NE(e.out.find("senza il file della geometria"), std::string::npos) << e.out;
  EXPECT_NE(e.out.find("identici byte per byte: " + s.sim + ", " + s.dat + "\n"), std::string::npos) << e.out;
  const std::string linea = prova::leggi_file(testi.file("linea.txt"));
  EXPECT_NE(linea.find("[curve]\r\n[pendenze]"), std::string::npos);
}

TEST(StrumentoDecompila, CellaManomessaEsce1NominandoLaCella) {
  scenario_in_cartella s;
  std::string dat = prova::leggi_file(s.dat);
  // Cell 300 (15000 m): an approach mark that no station or signal makes.
  ASSERT_EQ(dat[300 * 15 + 10], 0);
  dat[300 * 15 + 10] = 77;
  prova::scrivi_file(s.dat, dat);
  prova::cartella_temporanea testi;
  const esecuzione e = esegui({"decompila", s.sim, s.dat, s.geo, "--out", testi.percorso().string()});
  EXPECT_EQ(e.stato, 1);
  EXPECT_NE(e.out.find("file diversi (1 differenza)"), std::string::npos) << e.out;
  EXPECT_NE(e.out.find(s.dat + ": cella 300 (15000 m) richiamo: 77 nel file, 0 ricompilato\n"), std::string::npos)
      << e.out;
  // The descriptions are written anyway.
  EXPECT_NE(prova::leggi_file(testi.file("treno.txt")).find("[segnali]"), std::string::npos);

  const esecuzione j =
      esegui({"decompila", s.sim, s.dat, s.geo, "--out", testi.percorso().string(), "--json", "--force"});
  EXPECT_EQ(j.stato, 1);
  const json v = json::parse(j.out);
  EXPECT_FALSE(v.at("identico").get<bool>());
  EXPECT_TRUE(v.at("ricompilato").get<bool>());
  ASSERT_EQ(v.at("differenze").size(), 1u);
  const json& d = v.at("differenze").at(0);
  EXPECT_EQ(d.at("tipo").get<std::string>(), "cella");
  EXPECT_EQ(d.at("indice").get<double>(), 300);
  EXPECT_EQ(d.at("metri").get<double>(), 15000);
  EXPECT_EQ(d.at("campo").get<std::string>(), "richiamo");
  EXPECT_EQ(d.at("originale").get<std::string>(), "77");
  EXPECT_EQ(d.at("ricompilato").get<std::string>(), "0");
  EXPECT_EQ(d.at("file").get<std::string>(), s.dat);
}

TEST(StrumentoDecompila, JsonDelConfrontoIdentico) {
  scenario_in_cartella s;
  prova::cartella_temporanea testi;
  const esecuzione e = esegui({"decompila", s.sim, s.dat, s.geo, "--out", testi.percorso().string(), "--json"});
  EXPECT_EQ(e.stato, 0);
  const json v = json::parse(e.out);
  EXPECT_TRUE(v.at("identico").get<bool>());
  EXPECT_EQ(v.at("stato").get<double>(), 0);
  EXPECT_TRUE(v.at("differenze").empty());
  EXPECT_EQ(v.at("geometria").get<std::string>(), s.geo);
  EXPECT_EQ(v.at("linea").get<std::string>(), testi.file("linea.txt"));
}

TEST(StrumentoDecompila, FileDanneggiatiOEstraneiEsce3) {
  scenario_in_cartella s;
  prova::cartella_temporanea testi;
  const std::string out = testi.percorso().string();
  const std::string dat = prova::leggi_file(s.dat);
  const std::string sim = prova::leggi_file(s.sim);
  struct caso {
    const char* cosa;
    std::string file;
    std::string byte;
    std::string atteso;
  };
  std::string tipo_ignoto = dat;
  tipo_ignoto[40 * 15] = 9;
  const std::vector<caso> casi = {
      {"troncato", s.dat, dat.substr(0, dat.size() - 7), "file celle malformato all'offset"},
      {"tipo di cella", s.dat, tipo_ignoto, "file celle malformato all'offset 600: la cella 40 ha il tipo 9, che il compilatore non scrive"},
      {"celle in meno", s.dat, dat.substr(0, dat.size() - 150), "celle, ma la lunghezza della linea (104300 m, voce 84) ne dà 2227"},
      {"voci che non riempiono il file", s.sim, sim + "xx", "file voci malformato all'offset"},
      {"voci troncate", s.sim, sim.substr(0, 100), "file voci malformato all'offset"},
  };
  for (const caso& k : casi) {
    scenario_in_cartella t;
    prova::scrivi_file(k.file == s.dat ? t.dat : t.sim, k.byte);
    const esecuzione e = esegui({"decompila", t.sim, t.dat, t.geo, "--out", out});
    EXPECT_EQ(e.stato, 3) << k.cosa << e.out << e.err;
    EXPECT_NE(e.err.find(": errore: "), std::string::npos) << k.cosa;
    EXPECT_NE(e.err.find(k.atteso), std::string::npos) << k.cosa << ": " << e.err;
    EXPECT_EQ(testi.elenco().size(), 0u) << k.cosa;  // nothing written
  }
  // The geometry of another line length.
  scenario_in_cartella t;
  const std::string geo = prova::leggi_file(t.geo);
  prova::scrivi_file(t.geo, geo.substr(0, geo.size() - 4));
  const esecuzione e = esegui({"decompila", t.sim, t.dat, t.geo, "--out", out});
  EXPECT_EQ(e.stato, 3);
  EXPECT_NE(e.err.find(t.geo + ": errore: file geometria malformato"), std::string::npos) << e.err;
}

TEST(StrumentoDecompila, ArgomentiInservibili) {
  scenario_in_cartella s;
  EXPECT_EQ(esegui({"decompila", s.sim}).stato, 3);
  EXPECT_EQ(esegui({"decompila", s.sim, s.sim, s.dat}).stato, 3);
  EXPECT_EQ(esegui({"decompila", s.sim, s.dat, "altro.txt"}).stato, 3);
  EXPECT_EQ(esegui({"decompila", s.sim, s.c.file("manca.dat")}).stato, 3);
  const esecuzione h = esegui({"decompila", "--help"});
  EXPECT_EQ(h.stato, 0);
  EXPECT_NE(h.out.find("uso: scenario decompila"), std::string::npos);
  EXPECT_NE(esegui({"--help"}).out.find("decompila, decompile"), std::string::npos);
}

}  // namespace
}  // namespace scenario
