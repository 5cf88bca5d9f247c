// The tool's commands and the folder they write: inputs never replaced,
// a set left by a killed run completed, a folder held by another run
// refused, existing descriptions kept, bytes of a file never raw on the
// terminal, encodings told by name.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/nomi.h"
#include "common/uscite.h"
#include "compiler/compila_testi.h"
#include "platform/piattaforma.h"
#include "tests/esecuzione_strumento.h"
#include "tests/prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using prova::cartella_temporanea;
using prova::esecuzione;
using prova::esegui;
using prova::leggi_file;
using prova::scrivi_file;

std::string fixture(const std::string& nome) { return std::string(SCENARIO_FIXTURES) + "/autori/" + nome; }

using prova::compilato;

std::string sostituisci_in(std::string t, const std::string& da, const std::string& a) {
  const auto i = t.find(da);
  if (i != std::string::npos) t.replace(i, da.size(), a);
  return t;
}

// An input named by its absolute path, by a hard link, or as the very
// output name, is never replaced.
TEST(StrumentoInsieme, UnIngressoNonESostituitoDaUnUscita) {
  const std::string treno = leggi_file(fixture("treno.txt"));
  for (int caso = 0; caso < 2; ++caso) {
    SCOPED_TRACE(caso == 0 ? "lo stesso nome" : "un collegamento fisico");
    cartella_temporanea c;
    const std::string sim = compilato(c, file_scenario::voci);
    std::string ingresso = sim;
    if (caso == 0) {
      scrivi_file(sim, treno);
    } else {
      ingresso = c.file("treno.txt");
      scrivi_file(ingresso, treno);
      fs::create_hard_link(ingresso, sim);
    }
    const esecuzione e =
        esegui({"compila", fs::absolute(fixture("linea.txt")).string(), fs::absolute(ingresso).string(), "--out",
                c.percorso().string()});
    EXPECT_EQ(e.stato, kStatoArgomenti) << e.err;
    EXPECT_NE(e.err.find("una delle descrizioni: non lo sostituisco"), std::string::npos) << e.err;
    EXPECT_EQ(leggi_file(ingresso), treno);
    EXPECT_EQ(leggi_file(sim), treno);
  }
}

// A killed run's journal and temporaries: the next compile completes the
// set, says so in one line, and leaves nothing of them.
TEST(StrumentoInsieme, LaCompilazioneCompletaLInsiemeInterrotto) {
  cartella_temporanea c;
  const std::string voci = compilato(c, file_scenario::voci);
  scrivi_file(voci, "vecchie");
  scrivi_file(c.file(".scenario-77-1.tmp"), "nuove");
  scrivi_file(c.file(".scenario-77-1.vecchio"), "vecchie");
  scrivi_file(c.file(".scenario-insieme"), "scenario: insieme di file\n.scenario-77-1.tmp\t" +
                                                nome_semplice("Velmo - Montegrieve", "24817", file_scenario::voci) +
                                                "\t.scenario-77-1.vecchio\nfine\n");
  scrivi_file(c.file(".scenario-5-9.tmp"), "di un'altra corsa uccisa");
  // A reader sees the set incomplete.
  const esecuzione d = esegui({"decodifica", voci});
  EXPECT_NE(d.err.find("attenzione: l'insieme di file in " + c.percorso().string() + " è incompleto"),
            std::string::npos)
      << d.err;

  const esecuzione e = esegui({"compila", fixture("linea.txt"), fixture("treno.txt"), "--out", c.percorso().string()});
  EXPECT_EQ(e.stato, kStatoPulito) << e.err;
  EXPECT_NE(e.err.find("completato l'insieme di file che un'esecuzione interrotta aveva lasciato a metà (1 di 1"),
            std::string::npos)
      << e.err;
  EXPECT_NE(e.err.find("rimossi 1 file temporanei"), std::string::npos) << e.err;
  EXPECT_EQ(c.elenco().size(), 3u);
  for (const std::string& n : c.elenco()) EXPECT_NE(n[0], '.') << n;
}

// A folder held by another run: the compile waits, then refuses with
// nothing written.
TEST(StrumentoInsieme, UnaCartellaTenutaDaUnAltraCorsaERifiutata) {
  cartella_temporanea c;
  auto sistema = piattaforma_di_sistema(c.percorso().string());
  const auto tenuta = sistema->blocca(c.percorso().string(), 0);
  richiesta_compilazione r;
  r.linea = fixture("linea.txt");
  r.treno = fixture("treno.txt");
  r.cartella = c.percorso().string();
  r.attesa_ms = 200;
  const auto inizio = std::chrono::steady_clock::now();
  const esito_compilazione e = compila_file(r);
  EXPECT_GE(std::chrono::steady_clock::now() - inizio, std::chrono::milliseconds(200));
  EXPECT_EQ(e.stato, kStatoArgomenti);
  EXPECT_NE(e.errore.find("in uso da un'altra esecuzione"), std::string::npos) << e.errore;
  // Nothing but what holds the folder, where the system needs a file for it.
  for (const std::string& n : c.elenco()) EXPECT_EQ(n, ".scenario-blocco");
}

// An --out that cannot be made part way leaves none of the folders it
// made; a compile that ends in the error report removes them too.
TEST(StrumentoInsieme, LeCartelleDiUnaCompilazioneFallitaSonoRimosse) {
  cartella_temporanea c;
  // Ten folders, then a name longer than any file system takes.
  std::string lunga = c.percorso().string();
  for (int i = 0; i < 10; ++i) lunga += "/" + std::string(100, static_cast<char>('a' + i));
  lunga += "/" + std::string(300, 'z');
  const esecuzione e = esegui({"compila", fixture("linea.txt"), fixture("treno.txt"), "--out", lunga});
  EXPECT_EQ(e.stato, kStatoArgomenti) << e.err;
  EXPECT_TRUE(c.elenco().empty());

  scrivi_file(c.file("senza_generale.txt"), "lunghezza percorso, 10000\r\n[fine]\r\n");
  const esecuzione r =
      esegui({"compila", c.file("senza_generale.txt"), fixture("treno.txt"), "--out", c.file("a/b/c")});
  EXPECT_EQ(r.stato, kStatoRapporto) << r.err;
  EXPECT_EQ(c.elenco(), std::vector<std::string>{"senza_generale.txt"});
}

// The causes told in the author's words: a line without its length, a
// description in UTF-16 (converted with its mark, named without), UTF-8
// that spells a character the long way.
TEST(StrumentoInsieme, CauseDetteConIlLoroNome) {
  cartella_temporanea c;
  const std::string linea = leggi_file(fixture("linea.txt"));
  scrivi_file(c.file("senza_lunghezza.txt"), sostituisci_in(linea, "lunghezza percorso,    10000\r\n", ""));
  const esecuzione l = esegui({"compila", c.file("senza_lunghezza.txt"), fixture("treno.txt"), "--out", c.file("o")});
  EXPECT_NE(l.err.find("lunghezza percorso"), std::string::npos) << l.err;
  EXPECT_EQ(l.err.find("cella 0 fuori"), std::string::npos) << l.err;

  // UTF-16 little-endian with its mark: the same files as Windows-1252.
  std::string utf16 = "\xFF\xFE";
  for (char ch : linea) utf16 += std::string{ch, '\0'};
  scrivi_file(c.file("utf16.txt"), utf16);
  const esecuzione u = esegui({"compila", c.file("utf16.txt"), fixture("treno.txt"), "--out", c.file("u")});
  const esecuzione w = esegui({"compila", fixture("linea.txt"), fixture("treno.txt"), "--out", c.file("w")});
  EXPECT_EQ(u.stato, kStatoPulito) << u.err;
  const std::string celle = nome_semplice("Velmo - Montegrieve", "24817", file_scenario::celle);
  EXPECT_EQ(leggi_file(c.file("u/" + celle)), leggi_file(c.file("w/" + celle)));
  scrivi_file(c.file("utf16.txt"), utf16.substr(2));
  const esecuzione s = esegui({"compila", c.file("utf16.txt"), fixture("treno.txt"), "--out", c.file("s")});
  EXPECT_EQ(s.stato, kStatoArgomenti);
  EXPECT_NE(s.err.find("UTF-16 senza segno d'ordine"), std::string::npos) << s.err;

  struct caso {
    const char* byte;
    const char* cosa;
  };
  for (const caso& k : {caso{"\xC0\xAF", "forma troppo lunga"}, caso{"\xC0\x80", "forma troppo lunga"},
                        caso{"\xE0\x80\xAF", "forma troppo lunga"}, caso{"\xED\xA0\x80", "surrogato"},
                        caso{"\xF4\x90\x80\x80", "oltre U+10FFFF"}}) {
    scrivi_file(c.file("lunga.txt"), sostituisci_in(linea, "TORRENTE ALBA", std::string("TORRENTE") + k.byte));
    const esecuzione x = esegui(
        {"compila", c.file("lunga.txt"), fixture("treno.txt"), "--out", c.file("x"), "--codifica", "utf-8"});
    EXPECT_EQ(x.stato, kStatoArgomenti) << x.err;
    EXPECT_NE(x.err.find("lunga.txt:19: UTF-8 non valido: " + std::string(k.cosa)), std::string::npos) << x.err;
  }
}

// A keyword field and a sign text that hold terminal controls: the warning
// and the decoder show them escaped.
TEST(StrumentoInsieme, NessunByteDiControlloSulTerminale) {
  cartella_temporanea c;
  const std::string controlli = "\x1b]0;titolo\x07\x1b[2J\x7f";
  std::string linea = leggi_file(fixture("linea.txt"));
  linea = sostituisci_in(linea, "sfondo uno,    1\r\n", "sfondo uno,    1\r\n" + controlli + "parola, 1\r\n");
  linea = sostituisci_in(linea, "TORRENTE ALBA", "TORRENTE" + controlli);
  scrivi_file(c.file("l.txt"), linea);
  const esecuzione e = esegui({"compila", c.file("l.txt"), fixture("treno.txt"), "--out", c.percorso().string()});
  EXPECT_LE(e.stato, kStatoGuasti) << e.err;
  EXPECT_NE(e.err.find("\\x1b]0;titolo\\x07\\x1b[2J\\x7f"), std::string::npos) << e.err;
  const esecuzione d = esegui({"decodifica", compilato(c, file_scenario::voci)});
  EXPECT_EQ(d.stato, kStatoPulito) << d.err;
  EXPECT_NE(d.out.find("TORRENTE\\x1b]0;titolo"), std::string::npos) << d.out;
  for (const esecuzione* x : {&e, &d}) {
    for (const std::string* s : {&x->out, &x->err}) {
      for (char ch : *s) {
        const auto b = static_cast<unsigned char>(ch);
        EXPECT_TRUE(b >= 0x20 ? b != 0x7F : (b == '\n' || b == '\t')) << static_cast<int>(b);
      }
    }
  }
}

// decompila keeps the author's descriptions, checks both names before
// writing either, and reads its inputs through the decoder's limits.
TEST(StrumentoInsieme, DecompilaNonSostituisceLeDescrizioni) {
  cartella_temporanea c;
  ASSERT_EQ(esegui({"compila", fixture("linea.txt"), fixture("treno.txt"), "--out", c.percorso().string()}).stato, 0);
  const std::vector<std::string> binari = {compilato(c, file_scenario::voci), compilato(c, file_scenario::celle),
                                           compilato(c, file_scenario::geometria_linea)};
  auto decompila = [&](const std::string& out, bool forza) {
    std::vector<std::string> a = {"decompila"};
    a.insert(a.end(), binari.begin(), binari.end());
    a.insert(a.end(), {"--out", out});
    if (forza) a.push_back("--force");
    return esegui(a);
  };
  const std::string cartella = c.file("d");
  fs::create_directory(cartella);
  scrivi_file(cartella + "/linea.txt", "dell'autore");
  const esecuzione e = decompila(cartella, false);
  EXPECT_EQ(e.stato, kStatoArgomenti);
  EXPECT_NE(e.err.find("esiste già (--force per sostituirlo)"), std::string::npos) << e.err;
  EXPECT_EQ(leggi_file(cartella + "/linea.txt"), "dell'autore");
  EXPECT_FALSE(fs::exists(cartella + "/treno.txt"));

  // treno.txt a folder: linea.txt stays, even with --force.
  fs::create_directory(cartella + "/treno.txt");
  const esecuzione f = decompila(cartella, true);
  EXPECT_EQ(f.stato, kStatoArgomenti);
  EXPECT_NE(f.err.find("nessuna descrizione scritta"), std::string::npos) << f.err;
  EXPECT_EQ(leggi_file(cartella + "/linea.txt"), "dell'autore");

  fs::remove(cartella + "/treno.txt");
  EXPECT_EQ(decompila(cartella, true).stato, kStatoPulito);
  EXPECT_EQ(leggi_file(cartella + "/linea.txt").rfind("[generale]", 0), 0u);
}

TEST(StrumentoInsieme, DecompilaRifiutaFileEnormiSenzaLeggerli) {
  cartella_temporanea c;
  std::vector<std::string> a = {"decompila"};
  for (file_scenario f : {file_scenario::voci, file_scenario::celle, file_scenario::geometria_linea}) {
    const std::string n = compilato(c, f);
    { std::ofstream(n, std::ios::binary); }
    std::error_code ec;
    fs::resize_file(n, uint64_t{4} << 30, ec);
    if (ec) GTEST_SKIP() << "nessun file sparso: " << ec.message();
    a.push_back(n);
  }
  a.insert(a.end(), {"--out", c.file("d")});
  const auto inizio = std::chrono::steady_clock::now();
  const esecuzione e = esegui(a);
  EXPECT_LT(std::chrono::steady_clock::now() - inizio, std::chrono::seconds(2));
  EXPECT_EQ(e.stato, kStatoArgomenti);
  EXPECT_NE(e.err.find("troppo grande"), std::string::npos) << e.err;
  EXPECT_FALSE(fs::exists(c.file("d")));
  // A device that never ends, under an item file's name.
  std::error_code ec;
  fs::create_symlink("/dev/zero", c.file("zero.sim"), ec);
  if (!ec) {
    const auto prima = std::chrono::steady_clock::now();
    const esecuzione z = esegui({"decompila", c.file("zero.sim"), compilato(c, file_scenario::celle), "--out",
                                 c.file("z")});
    EXPECT_LT(std::chrono::steady_clock::now() - prima, std::chrono::seconds(2));
    EXPECT_EQ(z.stato, kStatoArgomenti);
    EXPECT_NE(z.err.find("zero.sim: errore: file voci troppo grande"), std::string::npos) << z.err;
  }
}

}  // namespace
}  // namespace scenario
