// An author's slips, each made on one line of a small clean pair: the
// diagnostic it gets, at the line of the record at fault, in the author's
// terms; and the faults past a stopped reading, told in the same compile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/identita.h"
#include "compiler/compila_testi.h"
#include "compiler/diagnostica.h"
#include "platform/piattaforma_memoria.h"

namespace scenario {
namespace {

using righe = std::vector<std::string>;

std::string testo(const righe& r) {
  std::string t;
  for (const std::string& x : r) t += x + "\r\n";
  return t;
}

const righe kLinea = {"[generale]",
                      "lunghezza percorso, 10000",
                      "[curve]",
                      "curvad3, 2000, 800",
                      "[pendenze]",
                      "pendenza, 0, 0",
                      "[indicazioni]",
                      "cartello_indicatore, 2500, (PL km )(17+500)",
                      "[fine]"};
const righe kTreno = {"[generale]",
                      "numero vetture, 4",
                      "orologio, 8 0 0",
                      "velocita, 0, 30",
                      "velocita, 1000, 120",
                      "stazione, 0, 4, 600, 1, 0, 0, 4,1,0, 2,1,1, 1, 8, 1, 0, ALBA",
                      "stazione, 8000, 4, 600, 1, 0, 0, 1,1,0, 2,1,1, 0, 8, 9, 0, BORGO",
                      "segnale, 3000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0",
                      "rallentamento, 6000, 60, 500, 0, 1, 0",
                      "[fine]"};

struct compilazione {
  esito_compilazione e;
  std::vector<diagnosi> d;
  std::vector<std::string> arresti;
};

compilazione compila(const righe& linea, const righe& treno) {
  piattaforma_memoria p;
  compilazione c;
  c.e = compila_testi(p, identita_incorporata(), testo(linea), testo(treno), true);
  c.d = diagnosi_del_modello(c.e.m, {"linea", "treno"});
  c.arresti = righe_arresti(c.e.m, {"linea", "treno"});
  return c;
}

// Replaces line n (from 1) of a description, or inserts before it.
righe con(righe r, std::size_t n, const std::string& x, bool inserisci = false) {
  if (inserisci) {
    r.insert(r.begin() + static_cast<std::ptrdiff_t>(n - 1), x);
  } else {
    r[n - 1] = x;
  }
  return r;
}

std::string tutte(const compilazione& c) {
  std::string s;
  for (const diagnosi& x : c.d) s += riga_diagnosi(x) + "\n";
  for (const std::string& x : c.arresti) s += x + "\n";
  return s;
}

TEST(Sviste, LaCoppiaPulitaNonHaDiagnosi) {
  const compilazione c = compila(kLinea, kTreno);
  EXPECT_EQ(c.e.stato, kStatoPulito);
  EXPECT_EQ(tutte(c), "");
}

TEST(Sviste, OgniSvistaAllaSuaRigaConLeSueParole) {
  struct caso {
    const char* nome;
    righe linea, treno;
    const char* file;
    int riga;
    std::string atteso;  // a part of the line shown
  };
  const std::vector<caso> casi = {
      {"stazione oltre la linea", kLinea,
       con(kTreno, 7, "stazione, 10500, 4, 600, 1, 0, 0, 1,1,0, 2,1,1, 0, 8, 9, 0, BORGO"), "treno", 7,
       "avviso: [oltre_linea]: stazione con la sua zona a 10500 m, oltre la lunghezza della linea (10000 m)"},
      {"zona di stazione che finisce oltre la linea", kLinea,
       con(kTreno, 7, "stazione, 9800, 4, 600, 1, 0, 0, 1,1,0, 2,1,1, 0, 8, 9, 0, BORGO"), "treno", 7,
       "[oltre_linea]: stazione con la sua zona da 9800 m finisce a 10100 m, oltre la lunghezza della linea"},
      {"curva che finisce oltre la linea", con(kLinea, 4, "curvad3, 9500, 20000"), kTreno, "linea", 4,
       "[oltre_linea]: curva da 9500 m finisce a 29500 m, oltre la lunghezza della linea (10000 m)"},
      {"rallentamento che finisce oltre la linea", kLinea,
       con(kTreno, 9, "rallentamento, 9800, 60, 500, 0, 1, 0"), "treno", 9, "[oltre_linea]: rallentamento da 9800 m"},
      {"parola chiave storpiata", kLinea,
       con(kTreno, 6, "stazone, 0, 4, 600, 1, 0, 0, 4,1,0, 2,1,1, 1, 8, 1, 0, ALBA"), "treno", 6,
       "\"stazone\": né una parola chiave di record né un'intestazione di sezione, forse «stazione»?"},
      {"parola chiave generale in maiuscolo", con(kLinea, 2, "Sfondo uno, 1", true), kTreno, "linea", 2,
       "forse «sfondo uno»?"},
      {"segnale con 10 valori: i valori presi", kLinea,
       con(kTreno, 8, "segnale, 3000, 1, 3, 1, 0, 0, 0, 0, 0, 0"), "treno", 8,
       "[valori]: segnale vuole 11 valori sulla sua riga e ne ha 10: ha preso dalla riga 9: tempo = \"rallentamento\""},
      {"segnale con 10 valori: il record perso", kLinea,
       con(kTreno, 8, "segnale, 3000, 1, 3, 1, 0, 0, 0, 0, 0, 0"), "treno", 9,
       "[inghiottito]: \"rallentamento\": il record rallentamento di questa riga è stato letto come valori del "
       "record segnale della riga 8"},
      {"campi separati da tabulazioni", kLinea, con(kTreno, 5, "velocita\t1000\t120"), "treno", 5,
       "[tabulazioni]: campi separati solo da tabulazioni su 1 riga (la prima è questa): una tabulazione non separa "
       "i campi, i campi si separano con virgole"},
      {"descrizione del treno senza record", kLinea, {"[generale]", "[fine]"}, "treno", 0,
       "errore: [vuota]: nessun record dopo \"[generale]\""},
      {"descrizione del treno vuota", kLinea, {}, "treno", 0, "errore: [vuota]"},
      {"segnale sul segnaposto di una stazione", kLinea,
       con(kTreno, 8, "segnale, 8200, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0"), "treno", 8,
       "errore: codice 16 a 8200 m: la cella del segnale è già occupata dalla stazione BORGO (treno:7, segnaposto "
       "a fine zona, zona 7700-8300 m)"},
      {"segnale su un cartello", kLinea, con(kTreno, 8, "segnale, 2500, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0"), "treno", 8,
       "la cella del segnale è già occupata dal cartello (PL km )(17+500) (linea:8)"},
      {"rallentamento su un segnale", kLinea, con(kTreno, 9, "rallentamento, 3000, 60, 500, 0, 0, 0"), "treno", 9,
       "la cella d'inizio del rallentamento è occupata dal segnale a 3000 m (treno:8)"},
      {"cartello su un cartello", con(kLinea, 9, "cartello_indicatore, 2510, (ponte)(FIUME GRANDE)", true), kTreno,
       "linea", 9, "codice 6 a 2510 m: la cella del cartello con testo è già occupata dal cartello (PL km )(17+500) "
       "(linea:8)"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const compilazione r = compila(c.linea, c.treno);
    bool trovato = false;
    for (const diagnosi& x : r.d) {
      trovato = trovato || (x.file == c.file && x.riga == c.riga && riga_diagnosi(x).find(c.atteso) != std::string::npos);
    }
    EXPECT_TRUE(trovato) << tutte(r);
  }
}

// Fields separated by tabs: one warning, that says commas, and no other
// warning at the lines it stands for.
TEST(Sviste, TabulazioniUnSoloAvviso) {
  righe treno = kTreno;
  for (std::size_t i = 3; i <= 8; ++i) {
    for (char& c : treno[i]) c = c == ',' ? '\t' : c;
  }
  const compilazione c = compila(kLinea, treno);
  int tab = 0;
  for (const diagnosi& x : c.d) {
    if (x.avviso && x.codice == avviso_tabulazioni) {
      ++tab;
      EXPECT_EQ(x.riga, 4);
      EXPECT_NE(x.testo.find("su 6 righe"), std::string::npos) << x.testo;
      continue;
    }
    EXPECT_FALSE(x.avviso && x.riga >= 4 && x.riga <= 9) << riga_diagnosi(x);
  }
  EXPECT_EQ(tab, 1) << tutte(c);
}

TEST(Sviste, LunghezzaAssenteDettaPerPrimaAllaSezioneGenerale) {
  const compilazione c = compila(con(kLinea, 2, "[nessuna]"), kTreno);
  ASSERT_FALSE(c.d.empty());
  EXPECT_EQ(c.d[0].file, "linea");
  EXPECT_EQ(c.d[0].riga, 1);
  EXPECT_NE(riga_diagnosi(c.d[0]).find("errore: [lunghezza_assente]: nessun record \"lunghezza percorso\""),
            std::string::npos)
      << tutte(c);
  EXPECT_EQ(c.e.stato, kStatoRapporto);
}

TEST(Sviste, DescrizioniScambiateUnSoloErrore) {
  const compilazione c = compila(kTreno, kLinea);
  EXPECT_EQ(c.e.stato, kStatoArgomenti);
  EXPECT_NE(c.e.errore.find("le due descrizioni sono scambiate"), std::string::npos) << c.e.errore;
  EXPECT_EQ(tutte(c), "");
  EXPECT_TRUE(c.e.scritti.empty());
}

TEST(Sviste, IlVuotoFallisceLaCompilazione) {
  EXPECT_EQ(compila(kLinea, {"[generale]", "[fine]"}).e.stato, kStatoGuasti);
}

// A record that stops the reading: the compile keeps what it compiled, and
// the records after it are read for diagnosis only, their faults shown at
// their lines as not compiled, with one line on what the files lack.
TEST(OltreArresto, IGuastiDopoUnArrestoDelTreno) {
  righe treno = con(kTreno, 8, "segnale, 2500, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0");
  treno = con(treno, 9, "rallentamento, 2500, 60, 500, 0, 0, 0");
  treno = con(treno, 10, "stazone, 9000, 4, 600, 1, 0, 0, 1,1,0, 2,1,1, 0, 8, 9, 0, CARDO", true);
  const compilazione c = compila(kLinea, treno);
  const std::string s = tutte(c);
  EXPECT_NE(s.find("treno:8: errore: codice 16 a 2500 m: la cella del segnale è già occupata dal cartello"),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("treno:9: errore: codice 18 a 2500 m: (non compilato) la cella d'inizio del rallentamento è "
                   "occupata dal cartello"),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("treno:10: avviso: [parola]: (non compilato) \"stazone\""), std::string::npos) << s;
  ASSERT_EQ(c.arresti.size(), 1u) << s;
  EXPECT_EQ(c.arresti[0],
            "treno:9: nota: la lettura si è fermata alla riga 8 (codice 16): record non compilati da questa riga in "
            "poi: 1 (1 rallentamento); nei file scritti: nessun record rallentamento compilato; velocità massima 0 da 1000 m alla fine del tracciato; "
            "aderenza 0 su tutto il tracciato");
  // The files are those of the compile: written, with the stop's code.
  EXPECT_EQ(c.e.stato, kStatoGuasti);
  EXPECT_EQ(c.e.m.codice_errore, 16);
  EXPECT_EQ(c.e.scritti.size(), 3u);
}

TEST(OltreArresto, UnArrestoDellaLineaLasciaIlTrenoNonLetto) {
  const compilazione c = compila(con(kLinea, 6, "pendenza, -50, 0"),
                                 con(kTreno, 8, "segnale, 2500, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0"));
  const std::string s = tutte(c);
  EXPECT_NE(s.find("linea:6: errore: codice 104 a -50 m"), std::string::npos) << s;
  // The train was not read: its fault is found by the reading for diagnosis.
  EXPECT_NE(s.find("treno:8: errore: codice 16 a 2500 m: (non compilato)"), std::string::npos) << s;
  ASSERT_EQ(c.arresti.size(), 1u) << s;
  ASSERT_EQ(c.arresti[0],
            "linea:8: nota: la lettura si è fermata alla riga 6 (codice 104): record non compilati da questa riga in "
            "poi: 1 (1 cartello_indicatore), né la descrizione del treno treno (8 record); nei file scritti: nessun "
            "record cartello_indicatore compilato; nessuna stazione compilata; pendenza non completata: le celle su "
            "tutto il tracciato valgono 0, cioè -100 per mille; nessun record velocita compilato: velocità massima 0 "
            "su tutto il tracciato; aderenza 0 su tutto il tracciato");
}

// The profile records after the stop: the line says that none was compiled
// and what the profile is then.
TEST(OltreArresto, NessunaAderenzaCompilata) {
  righe treno = con(kTreno, 8, "segnale, 2500, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0");
  treno.insert(treno.end() - 1, "aderenza, 0, 100");
  const compilazione c = compila(kLinea, treno);
  ASSERT_EQ(c.arresti.size(), 1u) << tutte(c);
  EXPECT_NE(c.arresti[0].find("velocità massima 0 da 1000 m alla fine del tracciato; nessun record aderenza "
                              "compilato: aderenza 0 su tutto il tracciato"),
            std::string::npos)
      << c.arresti[0];
}

// The values that a stopping record left unread are checked all the same.
TEST(OltreArresto, IValoriLasciatiDalRecordCheFerma) {
  const compilazione c = compila(
      kLinea, con(kTreno, 7, "stazione, 8000, 4, 450, 1, 0, 0, 1,1,0, 2,1,1, 0, 8:10, 0, 0, BORGO"));
  const std::string s = tutte(c);
  EXPECT_NE(s.find("treno:7: errore: codice 9 a 8000 m"), std::string::npos) << s;
  EXPECT_NE(s.find("treno:7: avviso: [numero]: (non compilato) \"8:10\": testo dove stazione vuole un numero intero, "
                   "letto come 8"),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("treno:8: nota: la lettura si è fermata alla riga 7 (codice 9): record non compilati da questa "
                   "riga in poi: 2 (1 segnale, 1 rallentamento)"),
            std::string::npos)
      << s;
}

// Past the track's end the reading stops (15) but ends as usual: the later
// records past the end are each told at their line, not compiled.
TEST(OltreArresto, OgniRecordOltreIlTracciato) {
  righe treno = kTreno;
  treno.insert(treno.end() - 1, "velocita, 20000, 100");
  treno.insert(treno.end() - 1, "velocita, 30000, 100");
  treno.insert(treno.end() - 1, "segnale, 5000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0");
  const compilazione c = compila(kLinea, treno);
  const std::string s = tutte(c);
  EXPECT_NE(s.find("treno:10: errore: codice 15 a 20000 m"), std::string::npos) << s;
  EXPECT_NE(s.find("treno:11: errore: codice 15 a 30000 m: (non compilato)"), std::string::npos) << s;
  ASSERT_EQ(c.arresti.size(), 1u) << s;
  EXPECT_EQ(c.arresti[0],
            "treno:11: nota: la lettura si è fermata alla riga 10 (codice 15): record non compilati da questa riga "
            "in poi: 2 (1 velocita, 1 segnale)")
      << s;
}

}  // namespace
}  // namespace scenario
