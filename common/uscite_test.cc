#include "common/uscite.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/piattaforma_memoria.h"

namespace scenario {
namespace {

// The end of a process: what is on the disk stays as it was at that moment,
// whatever the unwinding does.
struct uccisione {};

// Kills the run at its `colpo`-th change of the folder: takes the files as
// they are then and refuses every call after it.
class piattaforma_uccisa : public piattaforma_inoltro {
 public:
  piattaforma_uccisa(piattaforma_memoria& m, int colpo) : piattaforma_inoltro(m), m_(m), colpo_(colpo) {}
  std::string scrivi_temporaneo(const std::string& nome, const std::function<std::string_view()>& prossimo) override {
    passo();
    return piattaforma_inoltro::scrivi_temporaneo(nome, prossimo);
  }
  void sostituisci(const std::string& t, const std::string& nome) override {
    passo();
    piattaforma_inoltro::sostituisci(t, nome);
  }
  void metti_da_parte(const std::string& nome, const std::string& copia) override {
    passo();
    piattaforma_inoltro::metti_da_parte(nome, copia);
  }
  void elimina(const std::string& nome) override {
    passo();
    piattaforma_inoltro::elimina(nome);
  }
  void sincronizza_cartella(const std::string& c) override {
    passo();
    piattaforma_inoltro::sincronizza_cartella(c);
  }
  std::optional<std::map<std::string, std::string>> disco;

 private:
  void passo() {
    if (disco) throw uccisione{};
    if (colpo_-- == 0) {
      disco = m_.file;
      throw uccisione{};
    }
  }
  piattaforma_memoria& m_;
  int colpo_;
};

const std::vector<std::string> kNomi = {"mem/geometria_linea.dat", "mem/voci.sim", "mem/celle.dat"};

// The earlier set: two of the three files (the geometry is new).
std::map<std::string, std::string> set_vecchio() {
  return {{"mem/voci.sim", "voci vecchie"}, {"mem/celle.dat", "celle vecchie"}, {"mem/altro.txt", "altro"}};
}

std::map<std::string, std::string> set_nuovo() {
  return {{"mem/geometria_linea.dat", "geometria nuova"},
          {"mem/voci.sim", "voci nuove"},
          {"mem/celle.dat", "celle nuove, piu' lunghe"},
          {"mem/altro.txt", "altro"}};
}

void scrivi_set(piattaforma& p) {
  insieme_uscite u(p);
  for (const std::string& n : kNomi) u.aggiungi(n, set_nuovo().at(n));
  u.conferma();
}

TEST(InsiemeUscite, UnaCorsaUccisaInOgniPassoLasciaUnInsiemeIntero) {
  for (bool sposta : {false, true}) {
    SCOPED_TRACE(sposta ? "spostati da parte" : "collegati da parte");
    int completati = 0, annullati = 0;
    for (int colpo = 0;; ++colpo) {
      SCOPED_TRACE("ucciso al passo " + std::to_string(colpo));
      piattaforma_memoria m;
      m.sposta_da_parte = sposta;
      m.file = set_vecchio();
      piattaforma_uccisa p(m, colpo);
      try {
        scrivi_set(p);
      } catch (const uccisione&) {
      }
      if (!p.disco) {
        EXPECT_EQ(m.file, set_nuovo());
        break;
      }
      // The next run in the folder.
      piattaforma_memoria dopo;
      dopo.sposta_da_parte = sposta;
      dopo.file = *p.disco;
      const std::string riga = ripristina_cartella(dopo, "mem");
      if (dopo.file == set_nuovo()) {
        ++completati;
      } else {
        EXPECT_EQ(dopo.file, set_vecchio());
        ++annullati;
      }
      // Every leftover went, and the run said so when there was one.
      EXPECT_EQ(riga.empty(), *p.disco == set_vecchio() || *p.disco == set_nuovo()) << riga;
      EXPECT_EQ(avviso_insieme_incompleto(dopo, "mem/voci.sim"), "");
      ASSERT_LT(colpo, 100);
    }
    // Kills before the journal are undone, kills after it completed.
    EXPECT_GT(completati, 3);
    EXPECT_GT(annullati, 3);
  }
}

TEST(InsiemeUscite, UnAvvisoPerIlLettoreFinchéIlGiornaleResta) {
  piattaforma_memoria m;
  m.file = set_vecchio();
  // Killed at its first rename into place: journal whole, old copies aside.
  for (int colpo = 0;; ++colpo) {
    piattaforma_memoria prova;
    prova.file = set_vecchio();
    piattaforma_uccisa p(prova, colpo);
    try {
      scrivi_set(p);
    } catch (const uccisione&) {
    }
    ASSERT_TRUE(p.disco);
    if (p.disco->count("mem/.scenario-insieme") == 0) continue;
    m.file = *p.disco;
    break;
  }
  EXPECT_NE(avviso_insieme_incompleto(m, "mem/voci.sim").find("incompleto"), std::string::npos);
  EXPECT_EQ(avviso_insieme_incompleto(m, "altrove/voci.sim"), "");
  EXPECT_NE(ripristina_cartella(m, "mem").find("completato"), std::string::npos);
  EXPECT_EQ(m.file, set_nuovo());
}

// A file that cannot be replaced (held open, or a rename that fails) leaves
// the earlier set whole and names the file.
class rinomina_rifiutata : public piattaforma_inoltro {
 public:
  rinomina_rifiutata(piattaforma& b, std::string nome) : piattaforma_inoltro(b), nome_(std::move(nome)) {}
  // Only the new file is refused: the earlier one can go back.
  void sostituisci(const std::string& t, const std::string& nome) override {
    if (nome == nome_ && t.size() > 4 && t.substr(t.size() - 4) == ".tmp") {
      throw errore_sistema(nome, 13, "Permission denied");
    }
    piattaforma_inoltro::sostituisci(t, nome);
  }

 private:
  std::string nome_;
};

TEST(InsiemeUscite, UnFileCheNonSiSostituisceLasciaIlSetPrecedente) {
  for (bool sposta : {false, true}) {
    for (bool aperto : {false, true}) {
      for (const std::string& rifiutato : kNomi) {
        SCOPED_TRACE(rifiutato + (aperto ? " aperto" : " rinomina rifiutata") + (sposta ? ", spostati" : ""));
        piattaforma_memoria m;
        m.sposta_da_parte = sposta;
        m.file = set_vecchio();
        if (aperto) m.aperti.insert(rifiutato);
        rinomina_rifiutata p(m, aperto ? "" : rifiutato);
        try {
          scrivi_set(p);
          ADD_FAILURE() << "sostituito";
        } catch (const errore_sistema& e) {
          EXPECT_EQ(e.file(), rifiutato);
          EXPECT_NE(e.descrizione().find("come il simulatore"), std::string::npos) << e.descrizione();
          EXPECT_NE(e.descrizione().find("nessun file dell'insieme"), std::string::npos) << e.descrizione();
        }
        EXPECT_EQ(m.file, set_vecchio());
      }
    }
  }
}

// A name that refuses every rename, the earlier file's return included,
// on a system that moves the earlier files aside: the journal stays, and
// the next run loses no file.
TEST(InsiemeUscite, UnRipristinoImpossibileLasciaIlGiornaleENessunaPerdita) {
  struct rifiuta_tutto : piattaforma_inoltro {
    using piattaforma_inoltro::piattaforma_inoltro;
    void sostituisci(const std::string& t, const std::string& nome) override {
      if (nome == "mem/celle.dat") throw errore_sistema(nome, 13, "Permission denied");
      piattaforma_inoltro::sostituisci(t, nome);
    }
  };
  piattaforma_memoria m;
  m.sposta_da_parte = true;
  m.file = set_vecchio();
  rifiuta_tutto p(m);
  EXPECT_THROW(scrivi_set(p), errore_sistema);
  EXPECT_EQ(m.file.count("mem/.scenario-insieme"), 1u);
  EXPECT_NE(ripristina_cartella(m, "mem"), "");
  EXPECT_EQ(m.file, set_nuovo());
}

TEST(InsiemeUscite, GiornaleIllegibileETemporaneiVecchiRimossi) {
  piattaforma_memoria m;
  m.file = set_vecchio();
  m.file["mem/.scenario-insieme"] = "scenario: insieme di file\n.scenario-9-1.tmp\tvoci.sim";  // cut short
  m.file["mem/.scenario-9-1.tmp"] = "mezzo";
  m.file["mem/.scenario-12-7.vecchio"] = "copia";
  m.file["mem/.scenario-x.tmp"] = "non nostro";
  m.file["mem/sotto/.scenario-1-1.tmp"] = "altra cartella";
  const std::string riga = ripristina_cartella(m, "mem");
  EXPECT_NE(riga.find("giornale illeggibile"), std::string::npos) << riga;
  EXPECT_NE(riga.find("rimossi 2 file temporanei"), std::string::npos) << riga;
  auto atteso = set_vecchio();
  atteso["mem/.scenario-x.tmp"] = "non nostro";
  atteso["mem/sotto/.scenario-1-1.tmp"] = "altra cartella";
  EXPECT_EQ(m.file, atteso);
  // Nothing left: nothing said.
  EXPECT_EQ(ripristina_cartella(m, "mem"), "");
}

TEST(InsiemeUscite, NomiDeiTemporanei) {
  for (const char* n : {".scenario-1-2.tmp", ".scenario-123-45.vecchio"}) EXPECT_TRUE(e_temporaneo(n)) << n;
  for (const char* n : {".scenario-insieme", ".scenario-blocco", ".scenario--2.tmp", ".scenario-1-.tmp",
                        ".scenario-1-2.txt", "scenario-1-2.tmp", ".scenario-a-2.tmp", ".scenario-12.tmp"}) {
    EXPECT_FALSE(e_temporaneo(n)) << n;
  }
}

TEST(InsiemeUscite, LaCartellaTenutaRifiutaUnAltro) {
  piattaforma_memoria m;
  {
    auto primo = prendi_cartella(m, "mem");
    EXPECT_THROW(prendi_cartella(m, "mem"), errore_cartella_occupata);
    EXPECT_NO_THROW(prendi_cartella(m, "altra"));
  }
  EXPECT_NO_THROW(prendi_cartella(m, "mem"));
}

}  // namespace
}  // namespace scenario
