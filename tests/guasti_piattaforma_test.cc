// The run against a system that refuses it: a folder that cannot hold
// files, an output name that cannot be replaced, a device that fills up part
// way through a file. Each time the run stops at that file with a report that
// names it and the system's error, exits with a failure status, leaves the
// documents of earlier steps in place, the earlier file under that name and
// the earlier binary set whole, no description and no temporary file, and
// touches nothing else in the folder.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "run/generazione.h"
#include "common/nomi.h"
#include "tests/prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

const auto& kOrdine = prova::kFileDellaCorsa;

std::string semplice(file_scenario f) { return nome_semplice(kNomeLinea, kNumeroTreno, f); }

// What a complete run writes, by name within the folder (the descriptions as
// written, before the compiler deletes them).
const std::map<std::string, std::string>& contenuti_di_una_corsa() {
  static const std::map<std::string, std::string> contenuti = [] {
    piattaforma_memoria mem;
    struct registro : piattaforma_inoltro {
      using piattaforma_inoltro::piattaforma_inoltro;
      std::string scrivi_temporaneo(const std::string& nome,
                                    const std::function<std::string_view()>& prossimo) override {
        std::string& s = scritti[nome];
        return piattaforma_inoltro::scrivi_temporaneo(nome, [&] {
          const std::string_view pezzo = prossimo();
          s += pezzo;
          return pezzo;
        });
      }
      std::map<std::string, std::string> scritti;
    } p(mem);
    Form_Load(p);
    std::map<std::string, std::string> r;
    for (file_scenario f : kOrdine) r[semplice(f)] = p.scritti.at(mem.percorso(semplice(f)));
    return r;
  }();
  return contenuti;
}

using prova::piattaforma_con_rapporti;

// A folder holding the six files of an earlier run, each with a content of
// its own, and a file that is none of the program's.
void popola_con_corsa_precedente(const prova::cartella_temporanea& c) {
  for (file_scenario f : kOrdine) {
    if (f == file_scenario::descrizione_linea || f == file_scenario::descrizione_treno) continue;
    prova::scrivi_file(c.file(semplice(f)), "corsa precedente: " + semplice(f));
  }
  prova::scrivi_file(c.file("appunti.txt"), "non del programma");
}

TEST(GuastiDellaPiattaforma, UnaCartellaDentroUnFileNonPuoAccogliereFile) {
  prova::cartella_temporanea c;
  prova::scrivi_file(c.file("documento"), "un file normale");
  const std::string programma = c.file("documento") + "/programma";
  auto sistema = piattaforma_di_sistema(programma);
  struct con_rapporti : piattaforma_inoltro {
    using piattaforma_inoltro::piattaforma_inoltro;
    void mostra_attesa() override {}
    void rapporto_errore(const errore_sistema& e) override { errori.push_back(e); }
    std::vector<errore_sistema> errori;
  } p(*sistema);

  EXPECT_EQ(esegui(p), 1);
  ASSERT_EQ(p.errori.size(), 1u);
  // The hold on the folder, taken before any file, is what fails.
  EXPECT_EQ(p.errori[0].file(), programma);
  EXPECT_NE(p.errori[0].numero(), 0);
  EXPECT_FALSE(p.errori[0].descrizione().empty());
  EXPECT_EQ(c.elenco(), std::vector<std::string>{"documento"});
  EXPECT_EQ(prova::leggi_file(c.file("documento")), "un file normale");
}

TEST(GuastiDellaPiattaforma, UnaCartellaPienaColNomeDelFileDelleVociNonSiSostituisce) {
  prova::cartella_temporanea c;
  popola_con_corsa_precedente(c);
  const std::string sim = semplice(file_scenario::voci);
  fs::remove(c.file(sim));
  fs::create_directory(c.file(sim));
  prova::scrivi_file(c.file(sim) + "/dentro.txt", "contenuto della cartella");

  piattaforma_con_rapporti p(c);
  EXPECT_EQ(esegui(p), 1);
  ASSERT_EQ(p.errori.size(), 1u);
  EXPECT_EQ(p.errori[0].file(), nome_file(p, kNomeLinea, kNumeroTreno, file_scenario::voci));
  EXPECT_NE(p.errori[0].numero(), 0);
  EXPECT_NE(p.rapporti[0].find(sim), std::string::npos) << p.rapporti[0];
  EXPECT_TRUE(p.messaggi.empty());

  // Refused before anything is written: the documents of the earlier run
  // are in place, no description was written, the line geometry and the
  // track file of the earlier run are untouched, and so are the folder and
  // the foreign file.
  for (file_scenario f : {file_scenario::note, file_scenario::rallentamenti, file_scenario::scheda_treno}) {
    EXPECT_EQ(prova::leggi_file(c.file(semplice(f))), "corsa precedente: " + semplice(f));
  }
  EXPECT_FALSE(fs::exists(c.file(semplice(file_scenario::descrizione_linea))));
  EXPECT_FALSE(fs::exists(c.file(semplice(file_scenario::descrizione_treno))));
  for (file_scenario f : {file_scenario::geometria_linea, file_scenario::celle}) {
    EXPECT_EQ(prova::leggi_file(c.file(semplice(f))), "corsa precedente: " + semplice(f));
  }
  EXPECT_EQ(prova::leggi_file(c.file(sim) + "/dentro.txt"), "contenuto della cartella");
  EXPECT_EQ(prova::leggi_file(c.file("appunti.txt")), "non del programma");
  EXPECT_EQ(c.elenco().size(), 7u);
}

// A device that fills up while one file is being written: the first half of
// its bytes reach the disk, then the write fails as a full disk does.
class piattaforma_piena : public piattaforma_con_rapporti {
 public:
  piattaforma_piena(const prova::cartella_temporanea& c, std::string pieno)
      : piattaforma_con_rapporti(c), pieno_(std::move(pieno)) {}
  std::string scrivi_temporaneo(const std::string& nome, const std::function<std::string_view()>& prossimo) override {
    if (nome != pieno_) return piattaforma_con_rapporti::scrivi_temporaneo(nome, prossimo);
    std::string tutto;
    for (std::string_view pezzo = prossimo(); !pezzo.empty(); pezzo = prossimo()) tutto += pezzo;
    int passo = 0;
    return piattaforma_con_rapporti::scrivi_temporaneo(nome, [&]() -> std::string_view {
      if (passo++ == 0) return std::string_view(tutto).substr(0, tutto.size() / 2);
      throw errore_sistema(nome, ENOSPC, std::strerror(ENOSPC));
    });
  }

 private:
  std::string pieno_;
};

TEST(GuastiDellaPiattaforma, UnDispositivoPienoAMetaDiUnFileFermaLaCorsaLi) {
  const auto& nuovi = contenuti_di_una_corsa();
  for (std::size_t guasto = 0; guasto < std::size(kOrdine); ++guasto) {
    const std::string pieno = semplice(kOrdine[guasto]);
    SCOPED_TRACE(pieno);
    prova::cartella_temporanea c;
    popola_con_corsa_precedente(c);
    piattaforma_piena p(c, c.file(pieno));

    EXPECT_EQ(esegui(p), 1);
    ASSERT_EQ(p.errori.size(), 1u);
    EXPECT_EQ(p.errori[0].file(), c.file(pieno));
    EXPECT_EQ(p.errori[0].numero(), ENOSPC);
    EXPECT_NE(p.rapporti[0].find(pieno), std::string::npos) << p.rapporti[0];
    EXPECT_NE(p.rapporti[0].find(std::strerror(ENOSPC)), std::string::npos) << p.rapporti[0];

    // The documents written before the failure are new; the file that
    // failed, the binary set and everything later are as the earlier run
    // left them; the descriptions are gone either way.
    for (std::size_t k = 0; k < std::size(kOrdine); ++k) {
      const std::string n = semplice(kOrdine[k]);
      const bool descrizione = k < 2;
      const bool binario = k >= 5;
      if (descrizione) {
        EXPECT_FALSE(fs::exists(c.file(n))) << n;
      } else if (k < guasto && !binario) {
        EXPECT_EQ(prova::leggi_file(c.file(n)), nuovi.at(n)) << n;
      } else {
        EXPECT_EQ(prova::leggi_file(c.file(n)), "corsa precedente: " + n) << n;
      }
    }
    EXPECT_EQ(c.elenco().size(), 7u);
    EXPECT_EQ(prova::leggi_file(c.file("appunti.txt")), "non del programma");
  }
}

}  // namespace
}  // namespace scenario
