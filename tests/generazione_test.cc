#include "run/generazione.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/piattaforma_memoria.h"
#include "common/nomi.h"
#include "tests/prova.h"
#include "tests/righe_prova.h"

namespace scenario {
namespace {

const std::string kNote = "Velmo - Montegrieve_24817_note.txt";

// What an earlier run left behind: every file the run may write after the
// notes, each with a content of its own.
const std::vector<std::string> kDopoLeNote = {
    "Velmo - Montegrieve_24817_rallentamenti.txt", "Velmo - Montegrieve_24817_scheda_treno.txt",
    "Velmo - Montegrieve_linea.dat", "Velmo - Montegrieve_24817.sim", "Velmo - Montegrieve_24817.dat"};

// The notes' name taken by a folder: writing the third file fails after the
// two descriptions have been written.
void prepara_cartella_bloccata(const prova::cartella_temporanea& c) {
  std::filesystem::create_directory(c.file(kNote));
  for (const std::string& n : kDopoLeNote) prova::scrivi_file(c.file(n), "corsa precedente: " + n);
}

void verifica_stato_dopo_il_guasto(const prova::cartella_temporanea& c) {
  // Files 1 and 2 of this run went with it; nothing after the notes was
  // touched; no temporary file is left.
  for (const std::string& n : kDopoLeNote) EXPECT_EQ(prova::leggi_file(c.file(n)), "corsa precedente: " + n);
  EXPECT_TRUE(std::filesystem::is_directory(c.file(kNote)));
  EXPECT_EQ(c.elenco().size(), 1 + kDopoLeNote.size());
  EXPECT_FALSE(std::filesystem::exists(c.file("Velmo - Montegrieve_linea.txt")));
  EXPECT_FALSE(std::filesystem::exists(c.file("Velmo - Montegrieve_24817-.txt")));
}

TEST(GuastoDiSistema, UnFileCheNonSiPuoScrivereFermaLaCorsaENominaIlFile) {
  prova::cartella_temporanea c;
  prepara_cartella_bloccata(c);
  prova::piattaforma_di_prova p(c);
  try {
    Form_Load(p);
    ADD_FAILURE() << "la corsa non si e' fermata";
  } catch (const errore_sistema& e) {
    EXPECT_EQ(e.file(), nome_file(p, kNomeLinea, kNumeroTreno, file_scenario::note));
    EXPECT_NE(e.numero(), 0);
    EXPECT_NE(std::string(e.what()).find(kNote), std::string::npos);
  }
  EXPECT_TRUE(p.messaggi.empty());
  verifica_stato_dopo_il_guasto(c);
}

TEST(GuastoDiSistema, EseguiLoRiportaEEsceConStato1) {
  prova::cartella_temporanea c;
  prepara_cartella_bloccata(c);
  prova::piattaforma_di_prova p(c);
  EXPECT_EQ(esegui(p), 1);
  ASSERT_EQ(p.rapporti.size(), 1u);
  EXPECT_NE(p.rapporti[0].find(nome_file(p, kNomeLinea, kNumeroTreno, file_scenario::note)), std::string::npos)
      << p.rapporti[0];
  EXPECT_TRUE(p.messaggi.empty());
  verifica_stato_dopo_il_guasto(c);
}

TEST(GuastoDiSistema, UnaCartellaCheNonEsisteFermaIlPrimoFile) {
  prova::cartella_temporanea c;
  const std::string manca = c.file("manca");
  auto p = piattaforma_di_sistema(manca);
  struct con_rapporto : piattaforma_inoltro {
    using piattaforma_inoltro::piattaforma_inoltro;
    void mostra_attesa() override {}
    void rapporto_errore(const errore_sistema& e) override { rapporti.push_back(e); }
    std::vector<errore_sistema> rapporti;
  } q(*p);
  EXPECT_EQ(esegui(q), 1);
  ASSERT_EQ(q.rapporti.size(), 1u);
  // The hold on the folder, taken before any file, is what fails.
  EXPECT_EQ(q.rapporti[0].file(), manca);
  EXPECT_TRUE(c.elenco().empty());
}

// Records the waiting window and every file written, in order.
class piattaforma_ordine : public piattaforma_inoltro {
 public:
  using piattaforma_inoltro::piattaforma_inoltro;
  void mostra_attesa() override { passi.push_back("attesa"); }
  std::string scrivi_temporaneo(const std::string& nome, const std::function<std::string_view()>& prossimo) override {
    passi.push_back(nome);
    return piattaforma_inoltro::scrivi_temporaneo(nome, prossimo);
  }
  std::vector<std::string> passi;
};

TEST(Corsa, AttesaPoiICinqueTestiPoiIFileCompilati) {
  piattaforma_memoria mem;
  piattaforma_ordine p(mem);
  Form_Load(p);
  const std::vector<std::string> attesi = {
      "attesa",
      mem.percorso("Velmo - Montegrieve_linea.txt"),
      mem.percorso("Velmo - Montegrieve_24817-.txt"),
      mem.percorso("Velmo - Montegrieve_24817_note.txt"),
      mem.percorso("Velmo - Montegrieve_24817_rallentamenti.txt"),
      mem.percorso("Velmo - Montegrieve_24817_scheda_treno.txt"),
      mem.percorso("Velmo - Montegrieve_linea.dat"),
      mem.percorso("Velmo - Montegrieve_24817.sim"),
      mem.percorso("Velmo - Montegrieve_24817.dat"),
      mem.percorso(".scenario-insieme"),  // the set's journal, once the three are written
  };
  EXPECT_EQ(p.passi, attesi);
}

TEST(Corsa, UnaCorsaCompletaLasciaSeiFileEUnaSecondaLiRiproduce) {
  prova::cartella_temporanea c;
  std::map<std::string, std::string> prima;
  for (int corsa = 1; corsa <= 2; ++corsa) {
    SCOPED_TRACE(corsa);
    prova::piattaforma_di_prova p(c);
    EXPECT_EQ(esegui(p), 0);
    EXPECT_TRUE(p.messaggi.empty());
    EXPECT_TRUE(p.rapporti.empty());
    EXPECT_EQ(c.elenco(), (std::vector<std::string>{
                              "Velmo - Montegrieve_24817.dat", "Velmo - Montegrieve_24817.sim",
                              "Velmo - Montegrieve_24817_note.txt", "Velmo - Montegrieve_24817_rallentamenti.txt",
                              "Velmo - Montegrieve_24817_scheda_treno.txt", "Velmo - Montegrieve_linea.dat"}));
    for (const std::string& n : c.elenco()) {
      if (corsa == 1) {
        prima[n] = prova::leggi_file(c.file(n));
      } else {
        EXPECT_EQ(prova::leggi_file(c.file(n)), prima[n]) << n;
      }
    }
  }
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// The program's driver shows the report that the compiler hands back and
// ends the process with a failure status; no binary file appears. The train
// description is given an object on cell 1, which the checks reserve.
TEST(Generazione, IlRapportoDelCompilatoreFermaLaCorsa) {
  struct piattaforma_cella_uno : piattaforma_memoria {
    std::string scrivi_temporaneo(const std::string& nome, const std::function<std::string_view()>& prossimo) override {
      std::string b;
      for (std::string_view pezzo = prossimo(); !pezzo.empty(); pezzo = prossimo()) b += pezzo;
      if (nome == nome_file(*this, kNomeLinea, kNumeroTreno, file_scenario::descrizione_treno)) {
        b.insert(b.find("\r\n") + 2, "abbattimento, 50, 3\r\n");
      }
      bool dato = false;
      return piattaforma_memoria::scrivi_temporaneo(nome, [&]() -> std::string_view {
        if (dato) return {};
        dato = true;
        return b;
      });
    }
  };
  piattaforma_cella_uno p;
  int stato = 0;
  try {
    Form_Load(p);
    ADD_FAILURE() << "the run went on";
  } catch (const terminazione& t) {
    stato = t.stato;
  }
  EXPECT_EQ(stato, 1);
  EXPECT_EQ(p.messaggi, std::vector<std::string>{" Errore n. 1250"});
  for (file_scenario f : {file_scenario::geometria_linea, file_scenario::voci, file_scenario::celle}) {
    EXPECT_FALSE(p.esiste(nome_file(p, kNomeLinea, kNumeroTreno, f)));
  }
}

}  // namespace
}  // namespace scenario
