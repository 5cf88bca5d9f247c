#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/codici.h"
#include "compiler/memorizza.h"
#include "platform/piattaforma_memoria.h"
#include "run/nomi.h"

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
  void esegui(int32_t j = 1) { memorizza_percorso(p, m, j); }
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

TEST(MemorizzaPercorso, CampiRiservatiOccupatiFermanoIlProgramma) {
  struct caso {
    const char* treno;
    const char* messaggio;
  };
  for (const caso& k : {caso{"[generale]\r\nabbattimento, 50, 3\r\n[fine]\r\n", " Errore n. 1250"},
                        caso{"[generale]\r\nsegnale, 0, 1, 0,1,0, 0, 0, 0,0,0, 0\r\n[fine]\r\n", " Errore n. 1251"}}) {
    prova_driver t;
    t.descrizioni(kLineaMinima, k.treno);
    try {
      t.esegui();
      ADD_FAILURE() << "the run went on";
    } catch (const terminazione& e) {
      EXPECT_NE(e.stato, 0);
    }
    EXPECT_EQ(t.p.messaggi, (std::vector<std::string>{k.messaggio}));
    EXPECT_TRUE(t.binari().empty());
    EXPECT_TRUE(t.p.file.empty());  // both descriptions were read and deleted
  }
}

TEST(MemorizzaPercorso, ValoriFissiECodiciNelModelloENeiFile) {
  prova_driver t;
  t.descrizioni(kLineaMinima, "[generale]\r\nvelocita, 0, 30\r\n[fine]\r\n");
  t.esegui();
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
  senza_geometria.esegui(0);
  EXPECT_EQ(senza_geometria.binari(), (std::vector<std::string>{senza_geometria.nome(file_scenario::voci),
                                                                 senza_geometria.nome(file_scenario::celle)}));
}

// Faults in the data do not stop the driver: the track is completed and the
// files written whatever the readers recorded.
TEST(MemorizzaPercorso, CompletaEScriveAncheDopoUnGuasto) {
  prova_driver t;
  t.descrizioni(kLineaMinima,
                "[generale]\r\nrallentamento, 3000, 60, 1000, 0, 0, 0\r\nabbattimento, 3050, 1\r\n"
                "abbattimento, 3050, 1\r\n[fine]\r\n");
  t.esegui();
  EXPECT_EQ(t.m.codice_errore, 7);
  EXPECT_EQ(t.m.celle[56].tipo, cella_abbattimento);  // rule 2's first marker before cell 61
  EXPECT_EQ(t.m.celle[56].dato1, 180);
  EXPECT_EQ(t.binari().size(), 3u);
}

// When the line reader stops before the track exists there is nothing to
// complete or write: the run ends with the reader's code.
TEST(MemorizzaPercorso, SenzaTracciatoFinisceConIlCodiceDelLettore) {
  struct caso {
    const char* nome;
    const char* linea;  // nullptr: no line description at all
    const char* messaggio;
  };
  for (const caso& k : {caso{"descrizione della linea assente", nullptr, " Errore n. 101"},
                        caso{"senza sezione generale", "lunghezza percorso, 10000\r\n[fine]\r\n", " Errore n. 102"},
                        caso{"linea troppo lunga", "[generale]\r\nlunghezza percorso, 1000001\r\n[fine]\r\n",
                             " Errore n. 1"},
                        caso{"lunghezza negativa", "[generale]\r\nlunghezza percorso, -100\r\n[fine]\r\n",
                             " Errore n. 107"},
                        caso{"fallimento prima della lunghezza", "[generale]\r\nsfondo uno, 70000000000\r\n",
                             " Errore n. 25"}}) {
    SCOPED_TRACE(k.nome);
    prova_driver t;
    if (k.linea != nullptr) t.p.file[t.nome(file_scenario::descrizione_linea)] = k.linea;
    t.p.file[t.nome(file_scenario::descrizione_treno)] = "[generale]\r\n[fine]\r\n";
    EXPECT_THROW(t.esegui(), terminazione);
    EXPECT_EQ(t.p.messaggi, (std::vector<std::string>{k.messaggio}));
    EXPECT_TRUE(t.binari().empty());
  }
}

}  // namespace
}  // namespace scenario
