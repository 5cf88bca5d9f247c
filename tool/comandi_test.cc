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

using prova::fixture_autori;
std::string fixture(const std::string& nome) { return fixture_autori(nome); }

using prova::esecuzione;
using prova::esegui;

using prova::righe;

using prova::compilato;

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
  const json v = json::parse(e.out);
  EXPECT_EQ(v.at("stato").get<double>(), 1);
  EXPECT_EQ(v.at("esito").get<std::string>(), "guasti");
  EXPECT_EQ(v.at("codice_errore").get<double>(), 12);
  EXPECT_EQ(v.at("posizione_errore").get<double>(), 5350);
  EXPECT_TRUE(v.at("rapporto").is_null());
  EXPECT_EQ(v.at("errori").get<double>(), 3);
  EXPECT_EQ(v.at("avvisi").get<double>(), 9);
  ASSERT_EQ(v.at("file_scritti").size(), 3u);
  EXPECT_EQ(v.at("file_scritti").at(1).get<std::string>(), compilato(c, file_scenario::voci));
  const auto& d = v.at("diagnostica");
  ASSERT_EQ(d.size(), 12u);
  // The same lines as on the standard error, one object each.
  const std::vector<std::string> err = righe(e.err);
  for (std::size_t i = 0; i < d.size(); ++i) {
    EXPECT_EQ(d[i].at("messaggio").get<std::string>(), err[i]);
    EXPECT_EQ(d[i].at("gravita").get<std::string>(), i == 9 || i == 10 || i == 11 ? "errore" : "avviso");
  }
  EXPECT_EQ(d[0].at("tipo").get<std::string>(), "parola");
  // A warning's kind goes by name: no number that could be a fault code.
  EXPECT_TRUE(d[0].at("codice").is_null());
  EXPECT_EQ(d[0].at("riga").get<double>(), 4);
  EXPECT_TRUE(d[0].at("compilato").get<bool>());
  // The object a warning speaks of, at its own place.
  ASSERT_EQ(d[4].at("correlati").size(), 1u);
  EXPECT_EQ(d[4].at("correlati").at(0).at("file").get<std::string>(), fixture("guasti_linea.txt"));
  EXPECT_EQ(d[4].at("correlati").at(0).at("riga").get<double>(), 13);
  EXPECT_EQ(d[4].at("correlati").at(0).at("testo").get<std::string>(), "il segno della montagna a 4000 m");
  // Where the reading stopped.
  ASSERT_EQ(v.at("arresti").size(), 1u);
  EXPECT_EQ(v.at("arresti").at(0).at("riga").get<double>(), 19);
  EXPECT_EQ(v.at("arresti").at(0).at("codice").get<double>(), 15);
  EXPECT_EQ(v.at("arresti").at(0).at("non_compilati").get<double>(), 0);
  EXPECT_TRUE(d[0].at("posizione").is_null());
  EXPECT_EQ(d[9].at("codice").get<double>(), 15);
  EXPECT_EQ(d[9].at("posizione").get<double>(), 99000);
  EXPECT_EQ(d[9].at("file").get<std::string>(), fixture("guasti_treno.txt"));
  EXPECT_EQ(d[9].at("riga").get<double>(), 19);
  EXPECT_EQ(d[10].at("codice").get<double>(), 2);
  EXPECT_TRUE(d[10].at("posizione").is_null());
  EXPECT_TRUE(d[10].at("riga").is_null());
  EXPECT_TRUE(d[11].at("file").is_null());
  EXPECT_EQ(d[11].at("posizione").get<double>(), 5350);
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
    const json v = json::parse(e.out);
    EXPECT_EQ(v.at("esito").get<std::string>(), "rapporto");
    EXPECT_EQ(v.at("rapporto").get<std::string>(), std::string(" Errore n. ") + k.rapporto);
    EXPECT_TRUE(v.at("file_scritti").empty());
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

}  // namespace
}  // namespace scenario
