#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "compiler/esecuzione.h"
#include "compiler/lettori.h"
#include "platform/piattaforma_memoria.h"
#include "common/nomi.h"
#include "tests/modello_prova.h"

namespace scenario {
namespace {

constexpr int32_t kPosizioneIniziale = 4242;

// A model sized as the line reader leaves it, and a train description in
// memory.
struct prova_treno {
  explicit prova_treno(int32_t metri = 10000) : m(prova::modello_dimensionato(metri)) {
    m.nome_linea = "Linea";
    m.numero_treno = "7";
    m.posizione_errore = kPosizioneIniziale;
    nome = nome_file(p, m.nome_linea, m.numero_treno, file_scenario::descrizione_treno);
  }

  void leggi(const std::string& testo) {
    p.file[nome] = testo;
    leggi_treno(p, m, c);
  }
  bool descrizione_presente() { return p.esiste(nome); }
  cella& cel(int i) { return m.celle.at(static_cast<std::size_t>(i)); }

  piattaforma_memoria p;
  modello m;
  consegna_linea c;
  std::string nome;
};

// The lines joined with CR LF, after "[generale]" and before "[fine]".
std::string descrizione(const std::vector<std::string>& righe) {
  std::string t = "[generale]\r\n";
  for (const std::string& r : righe) t += r + "\r\n";
  return t + "[fine]\r\n";
}

std::string stazione(int32_t posizione, int tipo, int32_t lunghezza, const std::string& resto = "0, 0, 0,  0,0,0,  0,0,0,  0,  7, 0, 0, NOME") {
  return "stazione, " + std::to_string(posizione) + ", " + std::to_string(tipo) + ", " +
         std::to_string(lunghezza) + ", " + resto;
}

std::vector<int> celle_di_tipo(const modello& m, uint8_t tipo) {
  return prova::celle_dove(m, [tipo](const cella& c) { return c.tipo == tipo; });
}

using prova::celle_con_richiamo;

// Every code of the train half that ends or stops the reading, with what it
// leaves behind. The track is 17000 m (cells 0 to 340).
TEST(LettoreTreno, CodiciEStatoLasciato) {
  struct caso {
    const char* nome;
    std::vector<std::string> righe;
    int32_t codice;
    int32_t posizione;
    std::function<void(prova_treno&)> prima;
    std::function<void(prova_treno&)> verifica;
  };
  auto niente = [](prova_treno&) {};
  // Cells 0 to 337 filled by the end processing, 338 to 340 not.
  auto profili_completati = [](prova_treno& t) {
    EXPECT_EQ(t.cel(337).velocita_max, 6);
    EXPECT_EQ(t.cel(338).velocita_max, 0);
  };
  auto profili_non_completati = [](prova_treno& t) { EXPECT_EQ(t.cel(100).velocita_max, 0); };

  std::vector<std::string> ventitre;
  for (int i = 0; i < 23; ++i) ventitre.push_back(stazione(500 + 650 * i, 4, 300));

  const std::vector<caso> casi = {
      {"abbattimento su cella occupata",
       {"velocita, 0, 30", "abbattimento, 1000, 3", "abbattimento, 1010, 0", "sabbia, 9"},
       7, 1010, niente,
       [=](prova_treno& t) {
         EXPECT_EQ(t.cel(20).tipo, cella_abbattimento);
         EXPECT_EQ(t.cel(20).dato1, 3);
         EXPECT_EQ(t.m.voci[86].gruppo_1a, 0);
         profili_non_completati(t);
       }},
      {"stazione fuori dal passo di 50 m", {stazione(1025, 4, 600)}, 8, 1025, niente,
       [](prova_treno& t) {
         EXPECT_EQ(t.m.voci[1].posizione, 1025);
         EXPECT_EQ(t.m.voci[1].tipo, 0);
       }},
      {"zona non multipla di 100 m", {stazione(1000, 4, 650)}, 9, 1000, niente,
       [](prova_treno& t) {
         EXPECT_EQ(t.m.voci[1].tipo, 4);
         EXPECT_EQ(t.m.voci[1].nome, "");
         EXPECT_TRUE(celle_di_tipo(t.m, cella_stazione).empty());
       }},
      {"ventitreesima stazione con limite 24", ventitre, 10, kPosizioneIniziale,
       [](prova_treno& t) { t.c.limite_cartelli = 24; },
       [](prova_treno& t) {
         EXPECT_EQ(t.m.voci[23].posizione, 500 + 650 * 22);
         EXPECT_EQ(t.m.voci[23].nome, "NOME");
         EXPECT_EQ(celle_di_tipo(t.m, cella_stazione).size(), 23u);
         EXPECT_EQ(t.m.voci[24].posizione, 0);
       }},
      {"nessuna voce libera per la prima stazione", {stazione(1000, 4, 600)}, 10, kPosizioneIniziale,
       [](prova_treno& t) {
         t.c.limite_cartelli = 0;
         t.m.voci[1].nome = "(testo del cartello)";
       },
       [](prova_treno& t) {
         EXPECT_EQ(t.m.voci[1].nome, "(testo del cartello)");
         EXPECT_EQ(t.m.voci[1].posizione, 0);
         EXPECT_TRUE(celle_con_richiamo(t.m).empty());
         EXPECT_TRUE(celle_di_tipo(t.m, cella_stazione).empty());
       }},
      {"posizione oltre il tracciato: fine della lettura", {"velocita, 0, 30", "velocita, 16950, 60", "sabbia, 9"},
       15, 16950, niente,
       [=](prova_treno& t) {
         EXPECT_EQ(t.m.voci[86].gruppo_1a, 0);
         profili_completati(t);
       }},
      {"stazione oltre il tracciato con il suo margine", {"velocita, 0, 30", stazione(16250, 4, 600)}, 15, 16250,
       niente,
       [=](prova_treno& t) {
         EXPECT_EQ(t.m.voci[1].posizione, 16250);
         profili_completati(t);
       }},
      {"segnale su cella occupata", {"segnale, 6000, 1, 3,1,0, 0, 0, 0,0,0, 0", "segnale, 6010, 2, 2,2,2, 0, 0, 0,0,0, 0"},
       16, 6010, niente,
       [](prova_treno& t) {
         EXPECT_EQ(t.cel(121).dato1, 30);
         EXPECT_EQ(t.m.guasti.back().posizione, 6010);
       }},
      {"avviso occupato", {"abbattimento, 1850, 1", "rallentamento, 3000, 60, 1000, 0, 1, 0"}, 17, 3000, niente,
       [](prova_treno& t) { EXPECT_EQ(celle_di_tipo(t.m, cella_inizio_rallentamento).size(), 0u); }},
      {"inizio occupato", {"abbattimento, 3050, 1", "rallentamento, 3000, 60, 1000, 0, 1, 0"}, 18, 3000, niente,
       [](prova_treno& t) { EXPECT_TRUE(celle_di_tipo(t.m, cella_avviso_rallentamento).empty()); }},
      {"fine occupata", {"abbattimento, 4050, 1", "rallentamento, 3000, 60, 1000, 0, 1, 0"}, 19, 3000, niente,
       [](prova_treno& t) { EXPECT_TRUE(celle_di_tipo(t.m, cella_avviso_rallentamento).empty()); }},
      {"preavviso occupato", {"abbattimento, 1700, 1", "rallentamento, 3000, 60, 1000, 0, 1, 0"}, 20, 3000, niente,
       [](prova_treno& t) {
         EXPECT_EQ(celle_di_tipo(t.m, cella_avviso_rallentamento), (std::vector<int>{37}));
         EXPECT_EQ(celle_di_tipo(t.m, cella_inizio_rallentamento), (std::vector<int>{61}));
         EXPECT_TRUE(celle_di_tipo(t.m, cella_preavviso).empty());
       }},
      {"zone troppo vicine", {stazione(1000, 4, 600), stazione(1900, 4, 600)}, 22, 1900, niente,
       [](prova_treno& t) {
         EXPECT_EQ(t.m.voci[2].inizio, 1600);
         EXPECT_EQ(celle_di_tipo(t.m, cella_stazione), (std::vector<int>{25, 43}));
       }},
      {"segnale di stazione prima della cella 2", {stazione(0, 4, 100)}, 24, kPosizioneIniziale, niente,
       [](prova_treno& t) {
         EXPECT_EQ(t.m.voci[1].fine, 50);
         EXPECT_TRUE(celle_con_richiamo(t.m).empty());
       }},
      {"segnale prima dell'origine", {"segnale, -50, 1, 3,1,0, 0, 0, 0,0,0, 0"}, 26, -50, niente,
       profili_non_completati},
      {"rallentamento prima dell'origine", {"rallentamento, -3000, 60, 4000, 0, 0, 0"}, 26, -3000, niente,
       [](prova_treno& t) { EXPECT_TRUE(celle_di_tipo(t.m, cella_fine_rallentamento).empty()); }},
      {"abbattimento prima dell'origine", {"abbattimento, -20, 1"}, 26, -20, niente,
       [](prova_treno& t) { EXPECT_EQ(t.cel(0).tipo, cella_libera); }},
      {"stazione prima dell'origine", {stazione(-1000, 7, 3000)}, 26, -1000, niente,
       [](prova_treno& t) {
         EXPECT_EQ(t.m.voci[1].posizione, -1000);
         EXPECT_TRUE(celle_di_tipo(t.m, cella_stazione).empty());
       }},
      {"velocita prima dell'origine", {"velocita, 0, 30", "velocita, -100, 60"}, 26, -100, niente,
       profili_non_completati},
      {"aderenza prima dell'origine", {"aderenza, -5000, 60"}, 26, -5000, niente,
       [](prova_treno& t) { EXPECT_EQ(t.cel(0).aderenza, 0); }},
      {"stazione le cui marche cadono oltre il tracciato", {stazione(16200, 8, 1000)}, 27, 16200, niente,
       [](prova_treno& t) {
         EXPECT_EQ(t.m.voci[1].fine, 17200);
         EXPECT_TRUE(celle_con_richiamo(t.m).empty());
         EXPECT_TRUE(celle_di_tipo(t.m, cella_stazione).empty());
       }},
      {"fine del rallentamento oltre il tracciato", {"rallentamento, 16000, 60, 1000, 0, 1, 0"}, 28, 16000, niente,
       [](prova_treno& t) { EXPECT_TRUE(celle_di_tipo(t.m, cella_avviso_rallentamento).empty()); }},
      {"progressiva fuori dal passo di 50 m", {"velocita, 0, 30"}, 2, kPosizioneIniziale,
       [](prova_treno& t) { t.m.voci[82].fine = 100925; }, profili_completati},
      {"progressiva errata dopo una fine con 15", {"velocita, 0, 30", "segnale, 17000, 1, 3,1,0, 0, 0, 0,0,0, 0"},
       2, 17000, [](prova_treno& t) { t.m.voci[83].inizio = -30; }, profili_completati},
      {"codice lasciato dalla linea ferma il primo segnale", {"velocita, 0, 30", "segnale, 6000, 1, 3,1,0, 0, 0, 0,0,0, 0"},
       15, 6000, [](prova_treno& t) { t.m.codice_errore = 15; },
       [](prova_treno& t) {
         EXPECT_EQ(t.cel(121).tipo, cella_segnale);  // placed, then the reading aborts
         EXPECT_EQ(t.cel(100).velocita_max, 0);
       }},
  };
  for (const caso& k : casi) {
    SCOPED_TRACE(k.nome);
    prova_treno t;
    k.prima(t);
    t.leggi(descrizione(k.righe));
    EXPECT_EQ(t.m.codice_errore, k.codice);
    EXPECT_EQ(t.m.posizione_errore, k.posizione);
    EXPECT_FALSE(t.descrizione_presente());
    ASSERT_FALSE(t.m.guasti.empty());
    EXPECT_EQ(t.m.guasti.back().codice, k.codice);
    k.verifica(t);
  }
}

TEST(LettoreTreno, VentidueStazioniSenzaErrore) {
  prova_treno t;
  t.c.limite_cartelli = 24;
  std::vector<std::string> righe;
  for (int i = 0; i < 22; ++i) righe.push_back(stazione(500 + 650 * i, 4, 300));
  t.leggi(descrizione(righe));
  EXPECT_EQ(t.m.codice_errore, 0);
  EXPECT_EQ(t.m.voci[22].posizione, 500 + 650 * 21);
  EXPECT_FALSE(t.descrizione_presente());
}

TEST(LettoreTreno, IlGuastoPortaLaRigaDelRecord) {
  prova_treno t;
  t.leggi(descrizione({"sabbia, 1", "", "abbattimento, 1000, 3", "abbattimento", "  1000, 0"}));
  ASSERT_EQ(t.m.guasti.size(), 1u);
  EXPECT_EQ(t.m.guasti[0].file, 2);
  EXPECT_EQ(t.m.guasti[0].riga, 5);
  EXPECT_EQ(t.m.guasti[0].posizione, 1000);
}

TEST(LettoreTreno, ValoriGeneraliETrattini) {
  prova_treno t;
  t.leggi(descrizione({
      "numero vetture,    5",
      "Percentuale MASSA frenata,    120",
      "sabbia,    3",
      "orologio,    6               39            40 ",
      "[aderenze]", "[vel_limite]", "[stazioni]", "[rallentamenti]", "[segnali]", "[codici]",
  }));
  EXPECT_EQ(t.m.codice_errore, 0);
  EXPECT_TRUE(t.m.guasti.empty());
  EXPECT_EQ(t.m.voci[84].posizione, 5);
  EXPECT_EQ(t.m.voci[84].inizio, 120);
  const voce& v = t.m.voci[86];
  EXPECT_EQ((std::vector<int>{v.gruppo_1a, v.gruppo_2a, v.gruppo_2b, v.gruppo_2c}), (std::vector<int>{3, 6, 39, 40}));

  // Up to two fields with a dash are passed over, the third is taken as it
  // is; a negative value is a number, not a dash.
  struct caso {
    std::string righe;
    int16_t sabbia;
  };
  for (const caso& k : {caso{"-nota-, sabbia, 5", 5}, caso{"a-b, c-d, sabbia, 5", 5},
                        caso{"a-b, c-d, sabbia-x, 5", 5}, caso{"a-b, c-d, e-f, sabbia, 5", 5},
                        caso{"sabbia, -2", -2}, caso{"SABBIA,7", 7}, caso{"la sabbia del treno , 8", 8}}) {
    prova_treno u;
    u.leggi(descrizione({k.righe}));
    EXPECT_EQ(u.m.voci[86].gruppo_1a, k.sabbia) << k.righe;
    EXPECT_EQ(u.m.codice_errore, 0) << k.righe;
  }
  // Fields without a keyword after a dash are skipped; a record hidden
  // behind three dashes is lost.
  prova_treno u;
  u.leggi(descrizione({"a-b, c-d, e-f, 12, 9-9, sabbia, 4"}));
  EXPECT_EQ(u.m.voci[86].gruppo_1a, 4);
}

TEST(LettoreTreno, DueParoleChiaveNelloStessoCampo) {
  prova_treno t;
  t.leggi(descrizione({"sabbia e vetture, 5, 6"}));
  EXPECT_EQ(t.m.voci[84].posizione, 5);  // "vetture" is tested first
  EXPECT_EQ(t.m.voci[86].gruppo_1a, 6);
}

TEST(LettoreTreno, ParolaChiaveUltimoCampoNonTrattata) {
  prova_treno t;
  t.p.file[t.nome] = "[generale]\r\nsabbia, 5\r\nsabbia";
  leggi_treno(t.p, t.m, t.c);
  EXPECT_EQ(t.m.voci[86].gruppo_1a, 5);
  EXPECT_EQ(t.m.codice_errore, 0);
  EXPECT_FALSE(t.descrizione_presente());
}

TEST(LettoreTreno, SenzaGeneraleNessunCodiceEProfiliAZero) {
  prova_treno t;
  for (cella& c : t.m.celle) {
    c.velocita_max = 99;
    c.aderenza = 99;
  }
  t.leggi("[treno]\r\nsabbia, 5\r\nvelocita, 0, 30\r\n[fine]\r\n");
  EXPECT_EQ(t.m.codice_errore, 0);
  EXPECT_EQ(t.m.voci[86].gruppo_1a, 0);
  for (int i = 0; i <= 337; ++i) {
    ASSERT_EQ(t.cel(i).velocita_max, 0) << i;
    ASSERT_EQ(t.cel(i).aderenza, 0) << i;
  }
  for (int i = 338; i <= 340; ++i) EXPECT_EQ(t.cel(i).velocita_max, 99) << i;
  EXPECT_FALSE(t.descrizione_presente());

  prova_treno vuoto;
  vuoto.leggi("");
  EXPECT_EQ(vuoto.m.codice_errore, 0);
  EXPECT_FALSE(vuoto.descrizione_presente());
}

TEST(LettoreTreno, ProfiliDiVelocitaEAderenza) {
  prova_treno t;
  t.leggi(descrizione({"velocita, 0, 30", "aderenza, 0, 300", "velocita, 1000, 60", "velocita, 1000, 90",
                       "velocita, 2000, 1275", "aderenza, 1525, 100"}));
  EXPECT_EQ(t.m.codice_errore, 0);
  for (int i = 0; i <= 19; ++i) EXPECT_EQ(t.cel(i).velocita_max, 6) << i;
  EXPECT_EQ(t.cel(20).velocita_max, 12);  // the first of two records at 1000 m
  for (int i = 21; i <= 39; ++i) EXPECT_EQ(t.cel(i).velocita_max, 18) << i;
  for (int i = 40; i <= 337; ++i) ASSERT_EQ(t.cel(i).velocita_max, 255) << i;
  for (int i = 0; i <= 29; ++i) EXPECT_EQ(t.cel(i).aderenza, 300 - 256) << i;  // round(1525/50) = 30
  for (int i = 30; i <= 337; ++i) ASSERT_EQ(t.cel(i).aderenza, 100) << i;
  for (int i = 338; i <= 340; ++i) {
    EXPECT_EQ(t.cel(i).velocita_max, 0) << i;
    EXPECT_EQ(t.cel(i).aderenza, 0) << i;
  }
}

TEST(LettoreTreno, ProfiloPrimaDelPrimoRecordVale0) {
  prova_treno t;
  t.leggi(descrizione({"velocita, 500, 30", "aderenza, 16900, 7"}));
  for (int i = 0; i <= 9; ++i) EXPECT_EQ(t.cel(i).velocita_max, 0) << i;
  EXPECT_EQ(t.cel(10).velocita_max, 6);
  EXPECT_EQ(t.cel(337).aderenza, 0);
  EXPECT_EQ(t.cel(338).aderenza, 7);  // the end processing's one unconditional cell
  EXPECT_EQ(t.cel(339).aderenza, 0);
}

TEST(LettoreTreno, IlCursoreNonSuperaLUltimaCella) {
  // A record in the track's last reachable cells, then one at the very end.
  prova_treno t;
  t.leggi(descrizione({"velocita, 0, 30", "velocita, 16900, 60", "velocita, 16900, 90"}));
  EXPECT_EQ(t.m.codice_errore, 0);
  EXPECT_EQ(t.cel(337).velocita_max, 6);
  EXPECT_EQ(t.cel(338).velocita_max, 12);
  EXPECT_EQ(t.cel(339).velocita_max, 18);  // the end processing's one unconditional cell
  EXPECT_EQ(t.cel(340).velocita_max, 0);
}

// Run-time failures leave the reader as exceptions; the handler around it
// turns them into code 25.
TEST(LettoreTreno, FallimentiInEsecuzione) {
  struct caso {
    const char* nome;
    std::vector<std::string> righe;
  };
  for (const caso& k : std::vector<caso>{
           {"velocita oltre un byte", {"velocita, 0, 1280", "velocita, 500, 30"}},
           {"velocita negativa", {"velocita, 0, -3"}},
           {"orario oltre 32 bit", {stazione(1000, 4, 600, "0,0,0, 0,0,0, 0,0,0, 0, 600000, 0, 0, X")}},
           {"tipo di stazione oltre un byte", {stazione(1000, 256, 600)}},
           {"sabbia oltre 16 bit", {"sabbia, 40000"}},
           {"zona oltre 32 bit", {stazione(1000, 7, 2147483600)}},
           {"nome oltre 65535 caratteri",
            {stazione(1000, 4, 600, "0,0,0, 0,0,0, 0,0,0, 0, 7, 0, 0, " + std::string(65536, 'N'))}},
       }) {
    prova_treno t;
    EXPECT_THROW(t.leggi(descrizione(k.righe)), errore_esecuzione) << k.nome;
  }
  prova_treno troncato;
  troncato.p.file[troncato.nome] = "[generale]\r\norologio, 6, 39\r\n";
  EXPECT_THROW(leggi_treno(troncato.p, troncato.m, troncato.c), errore_esecuzione);

  prova_treno mancante;
  EXPECT_THROW(leggi_treno(mancante.p, mancante.m, mancante.c), errore_sistema);
}

TEST(LettoreTreno, Abbattimento) {
  prova_treno t;
  t.leggi(descrizione({"abbattimento, 1000, 0", "abbattimento, 1075, 3", "abbattimento, 3000, 70000"}));
  EXPECT_EQ(t.m.codice_errore, 0);
  EXPECT_EQ(t.cel(20).tipo, cella_abbattimento_zero);
  EXPECT_EQ(t.cel(20).dato1, 0);
  EXPECT_EQ(t.cel(21).tipo, cella_libera);  // round(21.5) is 22
  EXPECT_EQ(t.cel(22).tipo, cella_abbattimento);
  EXPECT_EQ(t.cel(22).dato1, 3);
  EXPECT_EQ(t.cel(60).tipo, cella_abbattimento);
  EXPECT_EQ(t.cel(60).dato1, static_cast<int16_t>(70000 - 65536));
}

TEST(LettoreTreno, SegnaliERallentamentiCollocati) {
  prova_treno t;
  t.leggi(descrizione({"segnale,    6000,   2, 3, 1,  0, 0,    0,  0,0,0, 50",
                       "rallentamento, 3000, 60, 1000, 4, 1, 0"}));
  EXPECT_EQ(t.m.codice_errore, 0);
  EXPECT_EQ(t.cel(121).tipo, cella_segnale);
  EXPECT_EQ(t.cel(121).tempo_segnale, 101);
  EXPECT_EQ(t.cel(113).richiamo, 64);
  EXPECT_EQ(celle_di_tipo(t.m, cella_preavviso), (std::vector<int>{33, 34, 35, 36}));
  EXPECT_EQ(t.cel(81).dato3, 4);
}

// The station record: values into their fields, the zone by kind, the
// attributes cleared, the approach marks and the marker.
TEST(LettoreTreno, Stazioni) {
  prova_treno t(40000);
  t.leggi(descrizione({
      "stazione,       0,  4,  600,  1, 7, 1,  4,1,9,  2,1,1,    1,   6,40, 0, VELMO  ",
      "stazione,    3250, 27,  300,  0, 5, 0,  0,0,0,  0,0,0,   30,   6,44, 0, ZELMORIO PAESE",
      "stazione,    5000,  5,  400,  0, 0, 1,  0,0,0,  0,0,0,    0,   0, 0, 0, CINQUE",
      "stazione,    7000,  8,  600,  0, 3, 1,  0,0,0,  0,0,0,    0,   0, 0, 0, OTTO",
      "stazione,   23950, 22,  300,  0, 0, 1,  0,0,0,  4,1,1,   30,   7,12, 0, P.M. LUSTRIGO",
  }));
  ASSERT_EQ(t.m.codice_errore, 0);
  const voce& a = t.m.voci[1];
  EXPECT_EQ(a.tipo, 4);
  EXPECT_EQ(a.posizione, 0);
  EXPECT_EQ(a.inizio, -300);
  EXPECT_EQ(a.fine, 350);  // the sixth value lengthens the first station too
  EXPECT_EQ(a.attributo_1, 1);
  EXPECT_EQ(a.attributo_2, 0);  // cleared for the first station
  EXPECT_EQ(a.attributo_3, 0);
  EXPECT_EQ(std::make_tuple(a.gruppo_1a, a.gruppo_1b, a.gruppo_1c), std::make_tuple(4, 1, 9));
  EXPECT_EQ(std::make_tuple(a.gruppo_2a, a.gruppo_2b, a.gruppo_2c), std::make_tuple(2, 1, 1));
  EXPECT_EQ(a.attributo_4, 1);
  EXPECT_EQ(a.orario, 6 * 3600 + 40 * 60);
  EXPECT_EQ(a.nome, "VELMO");
  EXPECT_EQ(t.cel(6).tipo, cella_stazione);  // fine 350: marker round(6) = 6
  EXPECT_EQ(t.cel(6).dato1, 1);
  EXPECT_EQ(t.cel(5).richiamo, 81);
  EXPECT_EQ(t.cel(2).richiamo, 84);

  const voce& b = t.m.voci[2];
  EXPECT_EQ(std::make_tuple(b.inizio, b.fine, b.attributo_2), std::make_tuple(3100, 3400, 0));
  EXPECT_EQ(b.nome, "ZELMORIO PAESE");

  const voce& c = t.m.voci[3];  // kind 5: zone behind the station, no approach marks
  EXPECT_EQ(std::make_tuple(c.inizio, c.fine, c.attributo_3), std::make_tuple(4600, 5150, 0));
  EXPECT_EQ(t.cel(102).tipo, cella_stazione);
  EXPECT_EQ(t.cel(101).richiamo, 0);

  const voce& d = t.m.voci[4];  // kind 8: both sides, sixth value cleared, fifth kept at 600 m
  EXPECT_EQ(std::make_tuple(d.inizio, d.fine, d.attributo_3, d.attributo_2), std::make_tuple(6400, 7600, 0, 3));
  EXPECT_EQ(t.cel(151).tipo, cella_stazione);
  EXPECT_EQ(t.cel(150).richiamo, 81);

  const voce& e = t.m.voci[5];
  EXPECT_EQ(e.fine, 24150);
  EXPECT_EQ(t.cel(482).tipo, cella_stazione);
  EXPECT_EQ(t.cel(482).dato1, 5);

  // Kinds 25 and above leave no mark.
  EXPECT_EQ(celle_di_tipo(t.m, cella_stazione), (std::vector<int>{6, 102, 151, 482}));
  EXPECT_EQ(celle_con_richiamo(t.m), (std::vector<int>{2, 3, 4, 5, 147, 148, 149, 150, 478, 479, 480, 481}));
}

TEST(LettoreTreno, PrimaStazioneSenzaLaQuartaMarca) {
  prova_treno t;
  t.leggi(descrizione({"stazione,       0,  4,  600,  1, 0, 0,  4,1,0,  2,1,1,    1,   6,40, 0, VELMO"}));
  EXPECT_EQ(t.m.codice_errore, 0);
  EXPECT_EQ(t.m.voci[1].fine, 300);
  EXPECT_EQ(t.cel(5).tipo, cella_stazione);
  EXPECT_EQ(celle_con_richiamo(t.m), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(t.cel(4).richiamo, 81);
  EXPECT_EQ(t.cel(2).richiamo, 83);
}

TEST(LettoreTreno, MarcatoreDiStazioneSenzaProvaDiCellaLibera) {
  prova_treno t;
  t.leggi(descrizione({"segnale, 1200, 1, 3,1,0, 0, 0, 0,0,0, 0", stazione(1000, 4, 600),
                       stazione(1950, 4, 600)}));  // 350 m between the zones is enough
  EXPECT_EQ(t.m.codice_errore, 0);
  EXPECT_EQ(t.cel(25).tipo, cella_stazione);  // was the signal's cell
  EXPECT_EQ(t.cel(25).dato1, 1);
  EXPECT_EQ(t.cel(25).dato2, 10);  // the rest of the signal stays
  EXPECT_EQ(t.cel(44).tipo, cella_stazione);
  EXPECT_EQ(t.cel(44).dato1, 2);
}

}  // namespace
}  // namespace scenario
