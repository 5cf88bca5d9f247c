#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "compiler/codici.h"
#include "compiler/compilazione.h"
#include "platform/piattaforma_memoria.h"
#include "common/nomi.h"

namespace scenario {
namespace {

const char* const kLineaMinima = "[generale]\r\nlunghezza percorso,    10000\r\n[fine]\r\n";

struct prova_driver {
  prova_driver() {
    m.nome_linea = "Linea";
    m.numero_treno = "7";
  }
  std::string nome(file_scenario f) { return nome_file(p, m.nome_linea, m.numero_treno, f); }
  void descrizioni(const std::string& linea, const std::string& treno) {
    p.file[nome(file_scenario::descrizione_linea)] = linea;
    p.file[nome(file_scenario::descrizione_treno)] = treno;
  }
  // The compile through the entry point; its model replaces `m`.
  risultato_compilazione esegui(bool geometria = true) {
    risultato_compilazione r = compila(p, {m.nome_linea, m.numero_treno}, geometria);
    m = r.m;
    return r;
  }
  std::vector<std::string> binari() {
    std::vector<std::string> r;
    for (file_scenario f : {file_scenario::geometria_linea, file_scenario::voci, file_scenario::celle}) {
      if (p.esiste(nome(f))) r.push_back(nome(f));
    }
    return r;
  }

  piattaforma_memoria p;
  modello m;
};

// The compiler never shows anything nor ends the process: every way a run
// ends comes back in the result, and the report, when there is one, leaves
// no binary file behind.
TEST(Compilazione, CampiRiservatiOccupatiDannoIlRapporto) {
  struct caso {
    const char* treno;
    const char* codice;
  };
  for (const caso& k : {caso{"[generale]\r\nabbattimento, 50, 3\r\n[fine]\r\n", "1250"},
                        caso{"[generale]\r\nsegnale, 0, 1, 0,1,0, 0, 0, 0,0,0, 0\r\n[fine]\r\n", "1251"}}) {
    SCOPED_TRACE(k.codice);
    prova_driver t;
    t.descrizioni(kLineaMinima, k.treno);
    const risultato_compilazione r = t.esegui();
    ASSERT_TRUE(r.rapporto.has_value());
    EXPECT_EQ(r.rapporto->codice, k.codice);
    EXPECT_FALSE(r.sistema.has_value());
    EXPECT_TRUE(t.p.messaggi.empty());
    EXPECT_TRUE(t.binari().empty());
    EXPECT_TRUE(t.p.file.empty());  // both descriptions were read and deleted
  }
}

TEST(Compilazione, EsitoPulitoOConGuasti) {
  prova_driver pulito;
  pulito.descrizioni(kLineaMinima, "[generale]\r\nvelocita, 0, 30\r\n[fine]\r\n");
  const risultato_compilazione r = pulito.esegui();
  EXPECT_FALSE(r.rapporto.has_value());
  EXPECT_FALSE(r.sistema.has_value());
  EXPECT_TRUE(r.m.guasti.empty());
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(pulito.binari().size(), 3u);

  // A fault in the data: recorded in the model and in the list, and the
  // files are written all the same.
  prova_driver guasti;
  guasti.descrizioni(kLineaMinima,
                     "[generale]\r\nrallentamento, 3000, 60, 1000, 0, 0, 0\r\n"
                     "abbattimento, 3050, 1\r\nabbattimento, 3050, 1\r\n[fine]\r\n");
  const risultato_compilazione g = guasti.esegui();
  EXPECT_FALSE(g.rapporto.has_value());
  ASSERT_EQ(g.m.guasti.size(), 1u);
  EXPECT_EQ(g.m.guasti[0].codice, 7);
  EXPECT_EQ(g.m.guasti[0].posizione, 3050);
  EXPECT_EQ(g.m.codice_errore, 7);
  EXPECT_EQ(g.m.posizione_errore, 3050);
  EXPECT_EQ(guasti.binari().size(), 3u);
}

// A system failure does not escape the entry point: it comes back with the
// model as far as the compile got.
TEST(Compilazione, GuastoDelSistemaNelRisultato) {
  struct piattaforma_piena : piattaforma_memoria {
    std::string scrivi_temporaneo(const std::string& nome, const std::function<std::string_view()>& prossimo) override {
      if (nome.size() >= 4 && nome.compare(nome.size() - 4, 4, ".sim") == 0) {
        throw errore_sistema(nome, 28, "No space left on device");
      }
      return piattaforma_memoria::scrivi_temporaneo(nome, prossimo);
    }
  };
  piattaforma_piena p;
  p.file[nome_file(p, "Linea", "7", file_scenario::descrizione_linea)] = kLineaMinima;
  p.file[nome_file(p, "Linea", "7", file_scenario::descrizione_treno)] = "[generale]\r\nvelocita, 0, 30\r\n";
  const risultato_compilazione r = compila(p, {"Linea", "7"}, true);
  ASSERT_TRUE(r.sistema.has_value());
  EXPECT_EQ(r.sistema->file(), nome_file(p, "Linea", "7", file_scenario::voci));
  EXPECT_FALSE(r.rapporto.has_value());
  EXPECT_EQ(r.m.lunghezza_tracciato, 17000);
  // None of the three files was put in place, and no temporary remains.
  EXPECT_TRUE(p.file.empty());
}

TEST(Compilazione, ValoriFissiECodiciNelModelloENeiFile) {
  prova_driver t;
  t.descrizioni(kLineaMinima, "[generale]\r\nvelocita, 0, 30\r\n[fine]\r\n");
  EXPECT_FALSE(t.esegui().rapporto.has_value());
  EXPECT_TRUE(t.p.messaggi.empty());
  EXPECT_EQ(t.m.voci[85].gruppo_1a, 610);
  EXPECT_EQ(t.m.celle[1].dato1, 5121);

  modello solo_nomi;
  solo_nomi.voci[85].nome = "Linea";
  solo_nomi.voci[86].nome = "7";
  EXPECT_EQ(t.m.voci[85].orario, codice_gara_st(t.p, solo_nomi));
  EXPECT_EQ(t.m.celle[1].dato2, codice_gara_og(t.p, solo_nomi));

  EXPECT_EQ(t.binari().size(), 3u);
  // Cell 1 in the track file: 15 bytes a cell, dato1 and dato2 after the type.
  const std::string celle = t.p.file[t.nome(file_scenario::celle)];
  ASSERT_GE(celle.size(), 30u);
  EXPECT_EQ(static_cast<unsigned char>(celle[16]) | static_cast<unsigned char>(celle[17]) << 8, 5121);
  EXPECT_EQ(static_cast<int16_t>(static_cast<unsigned char>(celle[18]) |
                                 static_cast<unsigned char>(celle[19]) << 8),
            t.m.celle[1].dato2);

  prova_driver senza_geometria;
  senza_geometria.descrizioni(kLineaMinima, "[generale]\r\n[fine]\r\n");
  EXPECT_FALSE(senza_geometria.esegui(false).rapporto.has_value());
  EXPECT_EQ(senza_geometria.binari(), (std::vector<std::string>{senza_geometria.nome(file_scenario::voci),
                                                                 senza_geometria.nome(file_scenario::celle)}));
}

// Faults in the data do not stop the driver: the track is completed and the
// files written whatever the readers recorded.
TEST(Compilazione, CompletaEScriveAncheDopoUnGuasto) {
  prova_driver t;
  t.descrizioni(kLineaMinima,
                "[generale]\r\nrallentamento, 3000, 60, 1000, 0, 0, 0\r\nabbattimento, 3050, 1\r\n"
                "abbattimento, 3050, 1\r\n[fine]\r\n");
  EXPECT_FALSE(t.esegui().rapporto.has_value());
  EXPECT_EQ(t.m.codice_errore, 7);
  EXPECT_EQ(t.m.celle[56].tipo, cella_abbattimento);  // rule 2's first marker before cell 61
  EXPECT_EQ(t.m.celle[56].dato1, 180);
  EXPECT_EQ(t.binari().size(), 3u);
}

// When the line reader stops before the track exists there is nothing to
// complete or write: the run ends with the reader's code.
TEST(Compilazione, SenzaTracciatoFinisceConIlCodiceDelLettore) {
  struct caso {
    const char* nome;
    const char* linea;  // nullptr: no line description at all
    const char* codice;
  };
  for (const caso& k : {caso{"descrizione della linea assente", nullptr, "101"},
                        caso{"senza sezione generale", "lunghezza percorso, 10000\r\n[fine]\r\n", "102"},
                        caso{"linea troppo lunga", "[generale]\r\nlunghezza percorso, 1000001\r\n[fine]\r\n",
                             "1"},
                        caso{"lunghezza negativa", "[generale]\r\nlunghezza percorso, -100\r\n[fine]\r\n",
                             "107"},
                        caso{"fallimento prima della lunghezza", "[generale]\r\nsfondo uno, 70000000000\r\n",
                             "25"}}) {
    SCOPED_TRACE(k.nome);
    prova_driver t;
    if (k.linea != nullptr) t.p.file[t.nome(file_scenario::descrizione_linea)] = k.linea;
    t.p.file[t.nome(file_scenario::descrizione_treno)] = "[generale]\r\n[fine]\r\n";
    const risultato_compilazione r = t.esegui();
    ASSERT_TRUE(r.rapporto.has_value());
    EXPECT_EQ(r.rapporto->codice, k.codice);
    EXPECT_TRUE(t.p.messaggi.empty());
    EXPECT_TRUE(t.binari().empty());
  }
}

}  // namespace
}  // namespace scenario
