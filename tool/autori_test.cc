#include "tool/autori.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/parole.h"
#include "platform/piattaforma_memoria.h"
#include "common/nomi.h"
#include "common/righe.h"
#include "tests/esecuzione_strumento.h"
#include "tests/prova.h"
#include "texts/testi.h"
#include "tool/comandi.h"
#include "compiler/compila_testi.h"
#include "compiler/diagnostica.h"

namespace scenario {
namespace {

using prova::cartella_temporanea;
using prova::leggi_file;
using prova::scrivi_file;

using prova::esecuzione;
using prova::esegui;

std::string righe(const std::vector<std::string>& r) {
  std::string t;
  for (const std::string& x : r) t += x + "\r\n";
  return t;
}

// A small clean pair; a slip replaces one of its lines.
const std::vector<std::string> kLinea = {
    "[generale]", "lunghezza percorso, 10000", "[curve]", "curvad3, 2000, 800", "[pendenze]", "pendenza, 0, 0",
    "[indicazioni]", "cartello_indicatore, 2500, (PL km )(17+500)", "[fine]"};
const std::vector<std::string> kTreno = {
    "[generale]",
    "numero vetture, 4",
    "orologio, 8 0 0",
    "velocita, 0, 30",
    "velocita, 1000, 120",
    "stazione, 0, 4, 600, 1, 0, 0, 4,1,0, 2,1,1, 1, 8, 1, 0, ALBA",
    "stazione, 8000, 4, 600, 1, 0, 0, 1,1,0, 2,1,1, 0, 8, 9, 0, BORGO",
    "segnale, 3000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0",
    "rallentamento, 6000, 60, 500, 0, 1, 0",
    "[fine]"};

std::vector<diagnosi> compila(const std::vector<std::string>& linea, const std::vector<std::string>& treno) {
  piattaforma_memoria p;
  const esito_compilazione e = compila_testi(p, identita_incorporata(), righe(linea), righe(treno), true);
  return diagnosi_del_modello(e.m, {"linea", "treno"});
}

TEST(Sviste, LaCoppiaPulitaNonHaDiagnosi) {
  const auto d = compila(kLinea, kTreno);
  EXPECT_TRUE(d.empty()) << riga_diagnosi(d.front());
}

// Each slip of an author, made on one line of the clean pair: the warning it
// gets and the line of the record at fault.
TEST(Sviste, OgniSvistaAllaRigaDelSuoRecord) {
  struct caso {
    const char* nome;
    bool nel_treno;
    std::size_t riga;      // the line replaced (from 1)
    std::string testo;     // what it becomes ("" removes nothing: replaces)
    int32_t tipo;
    const char* file;
    int riga_attesa;
  };
  const std::vector<caso> casi = {
      {"lunghezza di curva in km", false, 4, "curvad3, 2000, 0.6", avviso_numero, "linea", 4},
      {"velocita con unita", true, 5, "velocita, 1000, 120km/h", avviso_numero, "treno", 5},
      {"stazione senza un valore", true, 6, "stazione, 0, 4, 600, 1, 0, 0, 4,1,0, 2,1,1, 1, 8, 1, ALBA",
       avviso_valori, "treno", 6},
      {"segnale senza un valore", true, 8, "segnale, 3000, 1, 3, 1, 0, 0, 0, 0, 0, 0", avviso_valori, "treno", 8},
      {"intestazione con una parola chiave", false, 5, "[pendenza]", avviso_intestazione, "linea", 5},
      {"orologio con i due punti", true, 3, "orologio, 7:30", avviso_valori, "treno", 3},
      {"forma di curva non scritta", false, 4, "curvadx3, 2000, 800", avviso_forma, "linea", 4},
      {"nome in UTF-8", true, 7, "stazione, 8000, 4, 600, 1, 0, 0, 1,1,0, 2,1,1, 0, 8, 9, 0, CITT\xC3\x80",
       avviso_codifica, "treno", 7},
      {"curva di lunghezza zero", false, 4, "curvad3, 2000, 0", avviso_lunghezza, "linea", 4},
      {"rallentamento di lunghezza negativa", true, 9, "rallentamento, 6000, 60, -500, 0, 1, 0", avviso_lunghezza,
       "treno", 9},
      {"tempo di un segnale con sx 1", true, 8, "segnale, 3000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 230", avviso_scartato,
       "treno", 8},
      {"treno senza velocita", true, 4, "numero vetture, 4", avviso_descrizione, "treno", 0},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    std::vector<std::string> linea = kLinea, treno = kTreno;
    (c.nel_treno ? treno : linea)[c.riga - 1] = c.testo;
    if (std::string(c.nome) == "treno senza velocita") treno[4] = "numero vetture, 4";
    const auto d = compila(linea, treno);
    bool trovato = false;
    for (const diagnosi& x : d) {
      if (!x.errore && x.codice == c.tipo && x.file == c.file && x.riga == c.riga_attesa) trovato = true;
    }
    EXPECT_TRUE(trovato);
    // Nothing is told at a later line than the record's own, but the record
    // that a record short of values swallowed.
    for (const diagnosi& x : d) {
      if (x.avviso && x.codice == avviso_inghiottito) continue;
      EXPECT_LE(x.riga, c.riga_attesa == 0 ? 100 : c.riga_attesa) << riga_diagnosi(x);
    }
  }
}

TEST(Sviste, DescrizioneDelTrenoVuota) {
  for (const std::vector<std::string>& treno :
       {std::vector<std::string>{}, std::vector<std::string>{"[generale]", "[fine]"}}) {
    const auto d = compila(kLinea, treno);
    ASSERT_EQ(d.size(), 1u);
    // No record at all is an error for the tool.
    EXPECT_EQ(d[0].codice, avviso_vuota);
    EXPECT_TRUE(d[0].errore);
    EXPECT_EQ(d[0].file, "treno");
  }
}

// The starting pair compiles, without a word, into the very files the
// program compiles from its own descriptions.
TEST(Nuovo, CompilaNeiFileDelProgramma) {
  cartella_temporanea c;
  const std::string dir = c.file("inizio");
  ASSERT_EQ(esegui({"nuovo", dir}).stato, kStatoPulito);
  const esecuzione e = esegui({"compila", dir + "/linea.txt", dir + "/treno.txt", "--out", dir, "--severo"});
  EXPECT_EQ(e.stato, kStatoPulito) << e.err;
  EXPECT_EQ(e.err, "");

  piattaforma_memoria p;
  const esito_compilazione proprio = compila_testi(p, identita_incorporata(), testo_righe(righe_linea(p)),
                                                   testo_righe(righe_treno(p)), true);
  ASSERT_EQ(proprio.scritti.size(), 3u);
  for (const std::string& nome : proprio.scritti) {
    const std::string semplice = std::filesystem::path(nome).filename().string();
    EXPECT_EQ(leggi_file(dir + "/" + semplice), p.file.at(nome)) << semplice;
  }

  // A second run refuses to replace the author's files, unless told to.
  scrivi_file(dir + "/linea.txt", "mia");
  EXPECT_EQ(esegui({"nuovo", dir}).stato, kStatoArgomenti);
  EXPECT_EQ(leggi_file(dir + "/linea.txt"), "mia");
  EXPECT_EQ(esegui({"new", dir, "--force"}).stato, kStatoPulito);
  EXPECT_EQ(leggi_file(dir + "/linea.txt"), linea_di_partenza());
}

TEST(Severo, UnAvvisoDiventaStato1) {
  cartella_temporanea c;
  std::vector<std::string> treno = kTreno;
  treno[4] = "velocita, 1000, 120km/h";
  scrivi_file(c.file("l.txt"), righe(kLinea));
  scrivi_file(c.file("t.txt"), righe(treno));
  EXPECT_EQ(esegui({"compila", c.file("l.txt"), c.file("t.txt"), "--out", c.file("")}).stato, kStatoPulito);
  const esecuzione e = esegui({"compila", c.file("l.txt"), c.file("t.txt"), "--out", c.file(""), "--strict"});
  EXPECT_EQ(e.stato, kStatoGuasti);
  scrivi_file(c.file("t.txt"), righe(kTreno));
  EXPECT_EQ(esegui({"compila", c.file("l.txt"), c.file("t.txt"), "--out", c.file(""), "--severo"}).stato,
            kStatoPulito);
}

TEST(Codifica, Utf8ConvertitoORifiutatoConLaRiga) {
  cartella_temporanea c;
  std::vector<std::string> treno = kTreno;
  treno[6] = "stazione, 8000, 4, 600, 1, 0, 0, 1,1,0, 2,1,1, 0, 8, 9, 0, CITT\xC3\x80";
  scrivi_file(c.file("l.txt"), "\xEF\xBB\xBF" + righe(kLinea));
  scrivi_file(c.file("t.txt"), righe(treno));
  const esecuzione e = esegui({"compila", c.file("l.txt"), c.file("t.txt"), "--out", c.file(""), "--codifica",
                               "utf-8", "--severo"});
  EXPECT_EQ(e.stato, kStatoPulito) << e.err;
  const std::string voci = leggi_file(c.file("Velmo - Montegrieve_24817.sim"));
  EXPECT_NE(voci.find("CITT\xC0"), std::string::npos);

  treno[6] = "stazione, 8000, 4, 600, 1, 0, 0, 1,1,0, 2,1,1, 0, 8, 9, 0, \xE2\x82\xAC\xE2\x88\x9E";  // "€∞"
  scrivi_file(c.file("t.txt"), righe(treno));
  const esecuzione r = esegui({"compila", c.file("l.txt"), c.file("t.txt"), "--out", c.file(""), "--encoding",
                               "utf-8"});
  EXPECT_EQ(r.stato, kStatoArgomenti);
  EXPECT_NE(r.err.find("t.txt:7:"), std::string::npos) << r.err;
}

TEST(Formato, UnRecordOTutti) {
  const esecuzione tutti = esegui({"formato"});
  EXPECT_EQ(tutti.stato, kStatoPulito);
  for (const record_descrizione& r : records_descrizioni()) {
    EXPECT_NE(tutti.out.find(r.parola), std::string::npos) << r.parola;
  }
  const esecuzione uno = esegui({"format", "stazione"});
  EXPECT_EQ(uno.stato, kStatoPulito);
  EXPECT_NE(uno.out.find("17 valori"), std::string::npos) << uno.out;
  EXPECT_NE(esegui({"formato", "curvad3"}).out.find("curva"), std::string::npos);
  EXPECT_EQ(esegui({"formato", "treni"}).stato, kStatoArgomenti);
  // One value in the singular, in the list and alone.
  EXPECT_NE(tutti.out.find("sabbia                      1 valore  "), std::string::npos) << tutti.out;
  EXPECT_NE(esegui({"formato", "sabbia"}).out.find("(descrizione del treno, 1 valore)"), std::string::npos);
  // A word within two edits of a keyword is told which, as the compile does.
  const esecuzione storpiata = esegui({"formato", "stazone"});
  EXPECT_EQ(storpiata.stato, kStatoArgomenti);
  EXPECT_NE(storpiata.err.find("forse «stazione»?"), std::string::npos) << storpiata.err;
  EXPECT_EQ(esegui({"formato", "xyz"}).err.find("forse"), std::string::npos);
}

// Each record with exactly its count of values on its line reads clean; with
// one fewer, the next line's field is taken and the reader says so. This
// holds the table's counts to what the readers read.
TEST(Formato, IlConteggioDeiValoriEQuelloDeiLettori) {
  for (const record_descrizione& r : records_descrizioni()) {
    SCOPED_TRACE(r.parola);
    if (r.generale) continue;
    std::string record = r.forme[0];
    for (std::size_t k = 0; k < r.valori.size(); ++k) {
      record += k + 1 == r.valori.size() && r.ultimo_testo ? ", TESTO" : k == 0 ? ", 9500" : ", 0";
    }
    std::vector<std::string> linea = kLinea, treno = kTreno;
    auto& dove = r.file == descrizione::linea ? linea : treno;
    dove.insert(dove.end() - 1, record);
    dove.insert(dove.end() - 1, r.file == descrizione::linea ? "pendenza, 12000, 0" : "abbattimento, 12000, 0");
    for (const diagnosi& x : compila(linea, treno)) {
      EXPECT_NE(x.codice, avviso_valori) << riga_diagnosi(x);
    }
    const std::string::size_type virgola = record.rfind(',');
    dove[dove.size() - 3] = record.substr(0, virgola);
    bool detto = false;
    for (const diagnosi& x : compila(linea, treno)) detto = detto || (!x.errore && x.codice == avviso_valori);
    EXPECT_TRUE(detto);
  }
}

// The authors' page states every record with its keyword and count of
// values, every value by name, and every fault code and warning kind.
TEST(Formato, LaPaginaPerGliAutoriSeguiLeTabelle) {
  const std::filesystem::path pagina =
      std::filesystem::path(SCENARIO_FIXTURES).parent_path().parent_path() / "docs" / "formato.md";
  const std::string testo = leggi_file(pagina.string());
  ASSERT_FALSE(testo.empty());
  for (const record_descrizione& r : records_descrizioni()) {
    SCOPED_TRACE(r.parola);
    const std::string titolo = "### `" + std::string(r.parola) + "`";
    const auto inizio = testo.find(titolo);
    ASSERT_NE(inizio, std::string::npos);
    const std::string sezione = testo.substr(inizio, testo.find("\n### ", inizio + 1) - inizio);
    EXPECT_NE(sezione.find(r.valori.size() == 1 ? std::string("1 value:")
                                                 : std::to_string(r.valori.size()) + " values"),
              std::string::npos);
    for (const valore_record& v : r.valori) {
      EXPECT_NE(sezione.find("`" + std::string(v.nome) + "`"), std::string::npos) << v.nome;
    }
  }
  for (int32_t c : codici_noti()) {
    EXPECT_NE(testo.find("| " + std::to_string(c) + " |"), std::string::npos) << c;
  }
  for (int32_t a : avvisi_noti()) {
    EXPECT_NE(testo.find("`" + std::string(nome_avviso(a)) + "`"), std::string::npos) << nome_avviso(a);
  }
}

// The annotated example's two descriptions, taken from their fenced blocks,
// compile without a fault or a warning.
TEST(Formato, LEsempioCommentatoCompilaPulito) {
  const std::string pagina = leggi_file(
      (std::filesystem::path(SCENARIO_FIXTURES).parent_path().parent_path() / "docs" / "esempio.md").string());
  const auto blocco = [&](const std::string& nome) {
    const std::string apertura = "```" + nome + "\n";
    const auto a = pagina.find(apertura);
    if (a == std::string::npos) return std::string();
    const auto b = pagina.find("\n```", a + apertura.size());
    std::string r;
    std::istringstream in(pagina.substr(a + apertura.size(), b + 1 - a - apertura.size()));
    for (std::string x; std::getline(in, x);) r += x + "\r\n";
    return r;
  };
  const std::string linea = blocco("linea.txt"), treno = blocco("treno.txt");
  ASSERT_FALSE(linea.empty());
  ASSERT_FALSE(treno.empty());
  piattaforma_memoria p;
  const esito_compilazione e = compila_testi(p, identita_incorporata(), linea, treno, true);
  EXPECT_EQ(e.stato, kStatoPulito);
  for (const diagnosi& d : diagnosi_del_modello(e.m, {"linea.txt", "treno.txt"})) ADD_FAILURE() << riga_diagnosi(d);
  EXPECT_EQ(e.scritti.size(), 3u);
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// Beyond a hundred warnings of a kind, one line says how many more; the JSON
// counts them all.
TEST(Limiti, AvvisiOltreIlLimiteContati) {
  cartella_temporanea c;
  std::vector<std::string> linea = kLinea;
  for (int i = 0; i < 150; ++i) linea.insert(linea.end() - 1, "xyz");
  scrivi_file(c.file("l.txt"), righe(linea));
  scrivi_file(c.file("t.txt"), righe(kTreno));
  const esecuzione e = esegui({"compila", c.file("l.txt"), c.file("t.txt"), "--out", c.file("")});
  EXPECT_NE(e.err.find("scenario: altri 50 avvisi [parola] non mostrati\nscenario: 0 errori, 150 avvisi\n"),
            std::string::npos)
      << e.err;
  const esecuzione j = esegui({"compila", c.file("l.txt"), c.file("t.txt"), "--out", c.file(""), "--json"});
  EXPECT_NE(j.out.find("\"avvisi\": 150, \"omessi\": {\"errori\": {}, \"avvisi\": {\"parola\": 50}}"),
            std::string::npos)
      << j.out.substr(0, 600);
}

}  // namespace
}  // namespace scenario
