#include "tool/comandi.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/file_uscita.h"
#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/limiti.h"
#include "common/nomi.h"
#include "common/righe.h"
#include "tests/esecuzione_strumento.h"
#include "tests/prova.h"
#include "texts/testi.h"
#include "compiler/compila_testi.h"
#include "reader/decodifica.h"
#include "compiler/tracciato.h"
#include "common/json.h"
#include "common/versione.h"

namespace scenario {
namespace {

using prova::cartella_temporanea;
using prova::leggi_file;
using prova::scrivi_file;

std::string fixture(const std::string& nome) { return std::string(SCENARIO_FIXTURES) + "/autori/" + nome; }

using prova::esecuzione;
using prova::esegui;

std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> r;
  std::istringstream in(testo);
  for (std::string x; std::getline(in, x);) r.push_back(x);
  return r;
}

// The compiled file names of the built-in identity.
std::string compilato(const cartella_temporanea& c, file_scenario f) {
  return c.file(nome_semplice("Velmo - Montegrieve", "24817", f));
}

// ---------------------------------------------------------------------------
// compile

TEST(StrumentoCompila, DiagnosticaInOrdineConFileERiga) {
  cartella_temporanea c;
  // The author's names as given on the command line are those shown.
  const std::string linea = fixture("guasti_linea.txt");
  const std::string treno = fixture("guasti_treno.txt");
  const esecuzione e = esegui({"compila", linea, treno, "--out", c.percorso().string()});
  EXPECT_EQ(e.stato, 1);
  const std::vector<std::string> r = righe(e.err);
  const std::vector<std::string> attese = {
      linea + ":4: avviso: [parola]: \"Sfondo uno\": né una parola chiave di record né un'intestazione di sezione, "
              "forse «sfondo uno»?",
      linea + ":7: avviso: [sovrapposizione]: curva a 1200 m dentro la precedente, che finisce a 1400 m: curva solo "
              "dalla fine di quella",
      linea + ":10: avviso: [parola]: \"pendenze\": né una parola chiave di record né un'intestazione di sezione, "
              "forse «pendenza»?",
      linea + ":11: avviso: [pendenza]: pendenza 180 per mille, fuori dall'intervallo da -100 a 155",
      linea + ":15: avviso: [sostituzione]: il cartello di velocità massima sulla cella 87 (4350 m) sostituisce "
              "il segno della montagna a 4000 m (" + linea + ":13)",
      linea + ":15: avviso: [velocita]: velocità 112 km/h non multipla di 5 sul cartello di velocità massima",
      treno + ":8: avviso: [velocita]: velocità 112 km/h non multipla di 5: il profilo la tiene in quinti arrotondati",
      treno + ":9: avviso: [ordine]: velocita a 2000 m dopo quella a 3000 m: i record vanno in ordine crescente di "
              "posizione",
      treno + ":17: avviso: [sostituzione]: il rallentamento sulla cella 83 (4150 m) sostituisce il segno della "
              "montagna a 4000 m (" + linea + ":13)",
      treno + ":19: errore: codice 15 a 99000 m: posizione oltre la fine del tracciato: la lettura del file si ferma "
              "qui e il resto è ignorato",
      linea + ": errore: codice 2: l'inizio o la progressiva di un tratto chilometrico non è multiplo di 50",
      "scenario: errore: codice 12 a 5350 m: le tre celle candidate di un gruppo di marcatori prima di un inizio di "
      "rallentamento sono occupate",
      treno + ":20: nota: la lettura si è fermata alla riga 19 (codice 15): nessun record dopo di essa",
      "scenario: 3 errori, 9 avvisi",
  };
  EXPECT_EQ(r, attese);
  // The files are written all the same, and named on the standard output.
  EXPECT_EQ(righe(e.out), (std::vector<std::string>{"scritto: " + compilato(c, file_scenario::geometria_linea),
                                                    "scritto: " + compilato(c, file_scenario::voci),
                                                    "scritto: " + compilato(c, file_scenario::celle)}));
  EXPECT_EQ(c.elenco().size(), 3u);
}

TEST(StrumentoCompila, DiagnosticaInJson) {
  cartella_temporanea c;
  const esecuzione e = esegui({"compile", fixture("guasti_linea.txt"), fixture("guasti_treno.txt"), "--json",
                               "--out=" + c.percorso().string()});
  EXPECT_EQ(e.stato, 1);
  const json::valore v = json::leggi(e.out);
  EXPECT_EQ(v["stato"].n, 1);
  EXPECT_EQ(v["esito"].s, "guasti");
  EXPECT_EQ(v["codice_errore"].n, 12);
  EXPECT_EQ(v["posizione_errore"].n, 5350);
  EXPECT_EQ(v["rapporto"].t, json::valore::tipo::nullo);
  EXPECT_EQ(v["errori"].n, 3);
  EXPECT_EQ(v["avvisi"].n, 9);
  ASSERT_EQ(v["file_scritti"].a.size(), 3u);
  EXPECT_EQ(v["file_scritti"].a[1].s, compilato(c, file_scenario::voci));
  const auto& d = v["diagnostica"].a;
  ASSERT_EQ(d.size(), 12u);
  // The same lines as on the standard error, one object each.
  const std::vector<std::string> err = righe(e.err);
  for (std::size_t i = 0; i < d.size(); ++i) {
    EXPECT_EQ(d[i]["messaggio"].s, err[i]);
    EXPECT_EQ(d[i]["gravita"].s, i == 9 || i == 10 || i == 11 ? "errore" : "avviso");
  }
  EXPECT_EQ(d[0]["tipo"].s, "parola");
  // A warning's kind goes by name: no number that could be a fault code.
  EXPECT_EQ(d[0]["codice"].t, json::valore::tipo::nullo);
  EXPECT_EQ(d[0]["riga"].n, 4);
  EXPECT_TRUE(d[0]["compilato"].b);
  // The object a warning speaks of, at its own place.
  ASSERT_EQ(d[4]["correlati"].a.size(), 1u);
  EXPECT_EQ(d[4]["correlati"].a[0]["file"].s, fixture("guasti_linea.txt"));
  EXPECT_EQ(d[4]["correlati"].a[0]["riga"].n, 13);
  EXPECT_EQ(d[4]["correlati"].a[0]["testo"].s, "il segno della montagna a 4000 m");
  // Where the reading stopped.
  ASSERT_EQ(v["arresti"].a.size(), 1u);
  EXPECT_EQ(v["arresti"].a[0]["riga"].n, 19);
  EXPECT_EQ(v["arresti"].a[0]["codice"].n, 15);
  EXPECT_EQ(v["arresti"].a[0]["non_compilati"].n, 0);
  EXPECT_EQ(d[0]["posizione"].t, json::valore::tipo::nullo);
  EXPECT_EQ(d[9]["codice"].n, 15);
  EXPECT_EQ(d[9]["posizione"].n, 99000);
  EXPECT_EQ(d[9]["file"].s, fixture("guasti_treno.txt"));
  EXPECT_EQ(d[9]["riga"].n, 19);
  EXPECT_EQ(d[10]["codice"].n, 2);
  EXPECT_EQ(d[10]["posizione"].t, json::valore::tipo::nullo);
  EXPECT_EQ(d[10]["riga"].t, json::valore::tipo::nullo);
  EXPECT_EQ(d[11]["file"].t, json::valore::tipo::nullo);
  EXPECT_EQ(d[11]["posizione"].n, 5350);
}

TEST(StrumentoCompila, CompilazionePulitaSenzaGeometria) {
  cartella_temporanea c;
  const esecuzione e = esegui({"compila", fixture("linea.txt"), fixture("treno.txt"), "--out",
                               c.percorso().string() + "/", "--no-geometry", "--line-name", "Linea d'Isola",
                               "--train", "A7"});
  EXPECT_EQ(e.stato, 0) << e.err;
  EXPECT_EQ(e.err, "");
  EXPECT_EQ(c.elenco(), (std::vector<std::string>{"Linea d'Isola_A7.dat", "Linea d'Isola_A7.sim"}));
  const auto voci = decodifica_voci(leggi_file(c.file("Linea d'Isola_A7.sim")));
  EXPECT_EQ(voci[85].nome, "Linea d'Isola");
  EXPECT_EQ(voci[86].nome, "A7");
}

// The identity reaches the item file in Windows-1252 (in memory, so that no
// file name depends on how the system spells the letter).
TEST(StrumentoCompila, IdentitaInWindows1252) {
  piattaforma_memoria p;
  const esito_compilazione e = compila_testi(p, {"Linea d'Ìsola", "№"}, leggi_file(fixture("linea.txt")),
                                             leggi_file(fixture("treno.txt")), true);
  EXPECT_EQ(e.stato, kStatoArgomenti);  // "№" is not in Windows-1252
  EXPECT_TRUE(p.file.empty());
  const esito_compilazione f = compila_testi(p, {"Linea d'Ìsola", "7"}, leggi_file(fixture("linea.txt")),
                                             leggi_file(fixture("treno.txt")), true);
  ASSERT_EQ(f.stato, kStatoPulito) << f.errore;
  const auto voci = decodifica_voci(p.file.at(p.percorso("Linea d'Ìsola_7.sim")));
  EXPECT_EQ(voci[85].nome, "Linea d'\xCCsola");
  EXPECT_EQ(voci[86].nome, "7");
}

// The descriptions are read and nothing else: whatever the compiler deletes
// or rewrites is a copy, even when the author's files carry the very names
// the compiler asks for, in the output folder, and the compile fails.
TEST(StrumentoCompila, IFileDellAutoreRestanoIntatti) {
  const std::string linea_buona = leggi_file(fixture("linea.txt"));
  const std::string treno_buono = leggi_file(fixture("treno.txt"));
  struct caso {
    const char* nome;
    std::string linea;
    int stato;
  };
  for (const caso& k : {caso{"compilazione pulita", linea_buona, 0},
                        caso{"errore in esecuzione (25)", "[generale]\r\nlunghezza percorso, 10000\r\n[x]\r\npendenza, 5", 1},
                        caso{"senza [generale] (102)", "lunghezza percorso, 10000\r\n[fine]\r\n", 2}}) {
    SCOPED_TRACE(k.nome);
    for (bool nomi_del_compilatore : {false, true}) {
      cartella_temporanea c;
      const std::string linea =
          c.file(nomi_del_compilatore ? "Velmo - Montegrieve_linea.txt" : "mia linea.txt");
      const std::string treno =
          c.file(nomi_del_compilatore ? "Velmo - Montegrieve_24817-.txt" : "mio treno.txt");
      scrivi_file(linea, k.linea);
      scrivi_file(treno, treno_buono);
      const esecuzione e = esegui({"compila", linea, treno, "--out", c.percorso().string()});
      EXPECT_EQ(e.stato, k.stato) << e.err;
      EXPECT_EQ(leggi_file(linea), k.linea);
      EXPECT_EQ(leggi_file(treno), treno_buono);
      EXPECT_EQ(c.elenco().size(), k.stato == 2 ? 2u : 5u);
    }
  }
}

// The output folder of an earlier compile, with links at the three names
// (one dangling, one to a file elsewhere, where the system allows them):
// the compile replaces them with its files and changes nothing elsewhere.
TEST(StrumentoCompila, ICollegamentiNellUscitaSonoSostituiti) {
  cartella_temporanea c, fuori;
  scrivi_file(fuori.file("esistente"), "di fuori");
  std::error_code ec;
  std::filesystem::create_symlink(fuori.percorso() / "mancante", compilato(c, file_scenario::celle), ec);
  if (ec) GTEST_SKIP() << "il sistema non crea collegamenti: " << ec.message();
  std::filesystem::create_symlink(fuori.percorso() / "esistente", compilato(c, file_scenario::voci));
  const esecuzione e = esegui({"compila", fixture("linea.txt"), fixture("treno.txt"), "--out", c.percorso().string()});
  EXPECT_EQ(e.stato, 0) << e.err;
  for (file_scenario f : {file_scenario::geometria_linea, file_scenario::voci, file_scenario::celle}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(compilato(c, f))));
  }
  EXPECT_EQ(c.elenco().size(), 3u);
  EXPECT_EQ(fuori.elenco(), std::vector<std::string>{"esistente"});
  EXPECT_EQ(leggi_file(fuori.file("esistente")), "di fuori");
}

// A write that fails on any of the three outputs: exit status 3 naming the
// file, the earlier three files as they were, no temporary file.
TEST(StrumentoCompila, UnaScritturaFallitaLasciaLaCompilazionePrecedente) {
  const char* nomi[] = {"Velmo - Montegrieve_linea.dat", "Velmo - Montegrieve_24817.sim",
                        "Velmo - Montegrieve_24817.dat"};
  for (const char* guasto : nomi) {
    SCOPED_TRACE(guasto);
    struct piattaforma_piena : piattaforma_memoria {
      std::string pieno;
      std::string scrivi_temporaneo(const std::string& nome, const std::function<std::string_view()>& prossimo) override {
        return piattaforma_memoria::scrivi_temporaneo(nome, [&]() -> std::string_view {
          if (nome == pieno) throw errore_sistema(nome, 28, "No space left on device");
          return prossimo();
        });
      }
    } p;
    p.pieno = p.percorso(guasto);
    std::map<std::string, std::string> prima;
    for (const char* n : nomi) prima[p.percorso(n)] = std::string("compilazione precedente: ") + n;
    p.file = prima;
    const esito_compilazione e = compila_testi(p, identita_incorporata(), leggi_file(fixture("linea.txt")),
                                               leggi_file(fixture("treno.txt")), true);
    EXPECT_EQ(e.stato, kStatoArgomenti);
    EXPECT_NE(e.errore.find(p.percorso(guasto)), std::string::npos) << e.errore;
    EXPECT_NE(e.errore.find("No space left on device"), std::string::npos) << e.errore;
    EXPECT_TRUE(e.scritti.empty());
    EXPECT_EQ(p.file, prima);
  }
}

// A description beyond the readers' limit is refused by its name and the
// limit, before it is read whole: a sparse file of 4 GiB, and (where the
// system has one) a device that never ends.
TEST(StrumentoCompila, DescrizioniOltreIlLimite) {
  cartella_temporanea c;
  scrivi_file(c.file("enorme.txt"), "");
  std::filesystem::resize_file(c.file("enorme.txt"), std::uintmax_t{1} << 32);
  std::vector<std::string> enormi = {c.file("enorme.txt")};
  if (std::filesystem::exists("/dev/zero")) enormi.push_back("/dev/zero");
  const std::string limite = "il file supera il limite di " + std::to_string(kMassimoDescrizione) + " byte";
  for (const std::string& enorme : enormi) {
    for (const bool come_linea : {true, false}) {
      SCOPED_TRACE(enorme + (come_linea ? " come linea" : " come treno"));
      const std::string l = come_linea ? enorme : fixture("linea.txt");
      const std::string t = come_linea ? fixture("treno.txt") : enorme;
      for (const char* comando : {"compila", "grafico"}) {
        SCOPED_TRACE(comando);
        std::vector<std::string> argomenti = {comando, l, t};
        if (std::string(comando) == "compila") argomenti.insert(argomenti.end(), {"--out", c.percorso().string()});
        if (std::string(comando) == "grafico") argomenti.insert(argomenti.end(), {"--out", c.file("g.svg")});
        const esecuzione e = esegui(argomenti);
        EXPECT_EQ(e.stato, 3);
        EXPECT_NE(e.err.find(enorme), std::string::npos) << e.err;
        EXPECT_NE(e.err.find(limite), std::string::npos) << e.err;
      }
    }
  }
  EXPECT_EQ(c.elenco(), std::vector<std::string>{"enorme.txt"});
}

TEST(StrumentoCompila, RapportoDErroreNessunFileScritto) {
  struct caso {
    const char* nome;
    std::string linea;
    const char* rapporto;
    const char* prima_riga;  // of the standard error; a leading ":" follows the line description's name
  };
  const std::string generale = "[generale]\r\nlunghezza percorso, 10000\r\n[linea]\r\n";
  for (const caso& k :
       {// A maximum-speed sign on cell 1 takes the reserved field.
        caso{"1250", generale + "indicatori_vmax, 0, 90, 110, 110, 0, , , , 0\r\n[fine]\r\n", "1250",
             "scenario: errore: \" Errore n. 1250\": campi riservati"},
        // No length: there is no track to complete.
        caso{"nessun tracciato", "[generale]\r\nsfondo uno, 1\r\n[linea]\r\npendenza, 0, 0\r\n[fine]\r\n", "25",
             ":1: errore: [lunghezza_assente]: nessun record \"lunghezza percorso\" nella sezione generale"},
        // The fault is the file's, not its last line's.
        caso{"senza [generale]", "lunghezza percorso, 10000\r\n[fine]\r\n", "102",
             ": errore: codice 102: nessun campo \"[generale]\""}}) {
    SCOPED_TRACE(k.nome);
    cartella_temporanea c;
    scrivi_file(c.file("l.txt"), k.linea);
    scrivi_file(c.file("t.txt"), leggi_file(fixture("treno.txt")));
    // A compiled file left by an earlier run stays as it was.
    scrivi_file(compilato(c, file_scenario::voci), "vecchio");
    const esecuzione e = esegui({"compila", c.file("l.txt"), c.file("t.txt"), "--out", c.percorso().string(), "--json"});
    EXPECT_EQ(e.stato, 2);
    EXPECT_EQ(c.elenco(), (std::vector<std::string>{"Velmo - Montegrieve_24817.sim", "l.txt", "t.txt"}));
    EXPECT_EQ(leggi_file(compilato(c, file_scenario::voci)), "vecchio");
    const json::valore v = json::leggi(e.out);
    EXPECT_EQ(v["esito"].s, "rapporto");
    EXPECT_EQ(v["rapporto"].s, std::string(" Errore n. ") + k.rapporto);
    EXPECT_TRUE(v["file_scritti"].a.empty());
    EXPECT_NE(e.err.find(std::string("scenario: errore: \" Errore n. ") + k.rapporto + "\": "), std::string::npos)
        << e.err;
    const std::string prima = righe(e.err).at(0);
    const std::string attesa = (k.prima_riga[0] == ':' ? c.file("l.txt") : "") + k.prima_riga;
    EXPECT_EQ(prima.rfind(attesa, 0), 0u) << prima;
  }
}

TEST(StrumentoCompila, ArgomentiEFileInservibili) {
  cartella_temporanea c;
  const std::string l = fixture("linea.txt");
  const std::string t = fixture("treno.txt");
  const std::string cartella = c.percorso().string();
  scrivi_file(c.file("Velmo - Montegrieve_24817.sim"), "non una descrizione");
  struct caso {
    const char* nome;
    std::vector<std::string> argomenti;
    const char* parola;  // in the message
  };
  const std::vector<caso> casi = {
      {"un solo file", {"compila", l, "--out", cartella}, "servono due file"},
      {"opzione sconosciuta", {"compila", l, t, "--uscita", cartella}, "opzione sconosciuta: --uscita"},
      {"valore mancante", {"compila", l, t, "--out"}, "--out vuole un valore"},
      {"opzione ripetuta", {"compila", l, t, "--json", "--json"}, "opzione ripetuta"},
      {"descrizione assente", {"compila", c.file("manca.txt"), t, "--out", cartella}, "impossibile leggere"},
      {"descrizione che è una cartella", {"compila", cartella, t, "--out", cartella}, "impossibile leggere"},
      {"cartella d'uscita dentro un file",
       {"compila", l, t, "--out", c.file("Velmo - Montegrieve_24817.sim") + "/sotto/sotto"},
       "impossibile creare la cartella d'uscita"},
      {"cartella d'uscita vuota", {"compila", l, t, "--out", ""}, "vuota"},
      {"nome di linea con una barra", {"compila", l, t, "--out", cartella, "--line-name", "A/B"}, "nome di file"},
      {"treno fuori da Windows-1252", {"compila", l, t, "--out", cartella, "--train", "Ω1"}, "Windows-1252"},
      {"treno vuoto", {"compila", l, t, "--out", cartella, "--train", ""}, "vuoto"},
      {"nome troppo lungo", {"compila", l, t, "--out", cartella, "--line-name", std::string(250, 'a')}, "255 byte"},
      {"uscita sopra una descrizione",
       {"compila", c.file("Velmo - Montegrieve_24817.sim"), t, "--out", cartella},
       "una delle descrizioni"},
      {"comando sconosciuto", {"compilare", l, t}, "comando sconosciuto"},
      {"nessun comando", {}, "uso: scenario"},
  };
  for (const caso& k : casi) {
    SCOPED_TRACE(k.nome);
    const esecuzione e = esegui(k.argomenti);
    EXPECT_EQ(e.stato, 3);
    EXPECT_NE(e.err.find(k.parola), std::string::npos) << e.err;
  }
  // Nothing was written by any of them.
  EXPECT_EQ(c.elenco(), std::vector<std::string>{"Velmo - Montegrieve_24817.sim"});
  EXPECT_EQ(leggi_file(c.file("Velmo - Montegrieve_24817.sim")), "non una descrizione");
}

TEST(StrumentoCompila, CreaLaCartellaDUscitaConQuelleSopra) {
  cartella_temporanea c;
  const std::string annidata = c.file("una") + "/due/tre";
  const esecuzione e = esegui({"compila", fixture("linea.txt"), fixture("treno.txt"), "--out", annidata});
  EXPECT_EQ(e.stato, 0) << e.err;
  for (file_scenario f : {file_scenario::geometria_linea, file_scenario::voci, file_scenario::celle}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(annidata + "/" + nome_semplice("Velmo - Montegrieve", "24817", f)));
  }
  EXPECT_EQ(c.elenco(), std::vector<std::string>{"una"});
  // Descriptions that cannot be read make no folder.
  const esecuzione x = esegui({"compila", c.file("manca.txt"), fixture("treno.txt"), "--out", c.file("nuova")});
  EXPECT_EQ(x.stato, 3);
  EXPECT_EQ(c.elenco(), std::vector<std::string>{"una"});
}

TEST(StrumentoCompila, Aiuto) {
  for (const std::vector<std::string>& a :
       {std::vector<std::string>{"--help"}, {"compila", "--help"}, {"compile", "-h"}, {"decodifica", "--help"},
        {"decode", "x.sim", "--help"}}) {
    const esecuzione e = esegui(a);
    EXPECT_EQ(e.stato, 0);
    EXPECT_EQ(e.out.rfind("uso: scenario", 0), 0u) << e.out;
    EXPECT_EQ(e.err, "");
  }
}

TEST(Strumento, Versione) {
  const esecuzione e = esegui({"--version"});
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(e.out, std::string("scenario ") + kVersione + "\n");
  EXPECT_EQ(e.err, "");
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

double reale_json(const json::valore& v) { return v.n; }

// Decoded through the command, every field of every cell, entry and metre
// agrees with the model the files came from.
TEST(StrumentoDecodifica, JsonConcordaConIlModello) {
  compilati k;
  const esecuzione e = esegui({"decodifica", "--json", "--all", "--from", "0", k.file(file_scenario::voci),
                               k.file(file_scenario::celle), k.file(file_scenario::geometria_linea)});
  ASSERT_EQ(e.stato, 0) << e.err;
  const json::valore v = json::leggi(e.out);
  ASSERT_EQ(v.a.size(), 3u);

  const auto& voci = v.a[0]["voci"].a;
  ASSERT_EQ(voci.size(), 87u);
  for (std::size_t i = 0; i < voci.size(); ++i) {
    const voce& x = k.m.voci[i];
    const json::valore& j = voci[i];
    SCOPED_TRACE("voce " + std::to_string(i));
    EXPECT_EQ(j["indice"].n, static_cast<double>(i));
    EXPECT_EQ(j["tipo"].n, x.tipo);
    EXPECT_EQ(j["inizio"].n, x.inizio);
    EXPECT_EQ(j["fine"].n, x.fine);
    EXPECT_EQ(j["posizione"].n, x.posizione);
    EXPECT_EQ(j["attributo_1"].n, x.attributo_1);
    EXPECT_EQ(j["nome"].s, x.nome);  // ASCII here
    EXPECT_EQ(j["gruppo_1a"].n, x.gruppo_1a);
    EXPECT_EQ(j["gruppo_1b"].n, x.gruppo_1b);
    EXPECT_EQ(j["gruppo_2a"].n, x.gruppo_2a);
    EXPECT_EQ(j["gruppo_2b"].n, x.gruppo_2b);
    EXPECT_EQ(j["gruppo_2c"].n, x.gruppo_2c);
    EXPECT_EQ(j["gruppo_1c"].n, x.gruppo_1c);
    EXPECT_EQ(j["attributo_4"].n, x.attributo_4);
    EXPECT_EQ(j["attributo_3"].n, x.attributo_3);
    EXPECT_EQ(j["attributo_2"].n, x.attributo_2);
    EXPECT_EQ(j["orario"].n, x.orario);
  }

  const auto& celle = v.a[1]["celle"].a;
  ASSERT_EQ(celle.size(), k.m.celle.size());
  for (std::size_t i = 0; i < celle.size(); ++i) {
    const cella& x = k.m.celle[i];
    const json::valore& j = celle[i];
    const bool uguale = j["indice"].n == static_cast<double>(i) && j["metri"].n == static_cast<double>(i * 50) &&
                        j["tipo"].n == x.tipo && j["nome_tipo"].s == nome_tipo_cella(x.tipo) &&
                        j["dato1"].n == x.dato1 && j["dato2"].n == x.dato2 && j["dato3"].n == x.dato3 &&
                        j["dato4"].n == x.dato4 && j["tempo_segnale"].n == x.tempo_segnale &&
                        j["richiamo"].n == x.richiamo && j["montagna"].n == x.montagna &&
                        j["velocita_max"].n == x.velocita_max && j["pendenza"].n == x.pendenza &&
                        j["aderenza"].n == x.aderenza;
    ASSERT_TRUE(uguale) << "cella " << i;
  }

  const json::valore& g = v.a[2];
  const geometria piano = tabella_piano(k.m.piano);
  EXPECT_EQ(g["conteggi"]["x"]["reale"].n, static_cast<double>(piano.x.size() - 4));
  const auto& r = g["righe"].a;
  ASSERT_EQ(r.size(), piano.x.size());
  for (std::size_t j = 0; j < r.size(); ++j) {
    for (const auto& [asse, col] : {std::pair{"x", &piano.x}, std::pair{"y", &piano.y}}) {
      const numero_etichettato& n = (*col)[j];
      const json::valore& e_json = r[j][std::string("etichetta_") + asse];
      const json::valore& val = r[j][asse];
      ASSERT_EQ(e_json.n, n.etichetta) << asse << j;
      if (n.etichetta == numero_etichettato::vuoto) {
        ASSERT_EQ(val.t, json::valore::tipo::nullo);
      } else {
        ASSERT_EQ(std::bit_cast<uint64_t>(reale_json(val)), std::bit_cast<uint64_t>(n.come_reale())) << asse << j;
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
  const json::valore v = json::leggi(j.out);
  ASSERT_EQ(v.a.size(), 1u);
  ASSERT_EQ(v.a[0]["celle"].a.size(), nel_tratto);
  for (const json::valore& c : v.a[0]["celle"].a) EXPECT_NE(c["tipo"].n, 0);
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
  const json::valore v = json::leggi(j.out);
  ASSERT_EQ(v.a.size(), 2u);
  EXPECT_EQ(v.a[0]["errore"]["offset"].n, 45);
  EXPECT_EQ(v.a[1]["tipo"].s, "celle");

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
