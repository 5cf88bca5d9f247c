#include "common/nomi.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/piattaforma_memoria.h"
#include "tests/prova.h"

namespace scenario {
namespace {

TEST(NomeSemplice, GliOttoFileDelloScenario) {
  struct caso {
    file_scenario f;
    const char* nome;
  };
  const caso casi[] = {
      {file_scenario::descrizione_linea, "Velmo - Montegrieve_linea.txt"},
      {file_scenario::descrizione_treno, "Velmo - Montegrieve_24817-.txt"},
      {file_scenario::note, "Velmo - Montegrieve_24817_note.txt"},
      {file_scenario::rallentamenti, "Velmo - Montegrieve_24817_rallentamenti.txt"},
      {file_scenario::scheda_treno, "Velmo - Montegrieve_24817_scheda_treno.txt"},
      {file_scenario::geometria_linea, "Velmo - Montegrieve_linea.dat"},
      {file_scenario::voci, "Velmo - Montegrieve_24817.sim"},
      {file_scenario::celle, "Velmo - Montegrieve_24817.dat"},
  };
  for (const caso& c : casi) {
    EXPECT_EQ(nome_semplice("Velmo - Montegrieve", "24817", c.f), c.nome);
  }
}

TEST(NomeSemplice, NienteTagliatoNeMutatoDiCaso) {
  EXPECT_EQ(nome_semplice(" Linea ", " 7 ", file_scenario::note), " Linea _ 7 _note.txt");
  EXPECT_EQ(nome_semplice("A", "B", file_scenario::descrizione_linea), "A_linea.txt");
  EXPECT_EQ(nome_semplice("A", "b", file_scenario::celle), "A_b.dat");
}

// Records every file operation with the full name it was given, and how
// often the folder was asked for.
class piattaforma_registro : public piattaforma_inoltro {
 public:
  using piattaforma_inoltro::piattaforma_inoltro;
  std::string cartella_programma() override {
    ++cartelle;
    return piattaforma_inoltro::cartella_programma();
  }
  void elimina(const std::string& nome) override {
    passi.push_back("elimina " + nome);
    piattaforma_inoltro::elimina(nome);
  }
  std::string scrivi_temporaneo(const std::string& nome, const std::function<std::string_view()>& prossimo) override {
    const std::string t = piattaforma_inoltro::scrivi_temporaneo(nome, prossimo);
    passi.push_back("temporaneo " + nome);
    temporanei.push_back(t);
    return t;
  }
  void sostituisci(const std::string& temporaneo, const std::string& nome) override {
    passi.push_back("sostituisci " + temporaneo + " " + nome);
    if (rifiuta_sostituzione) throw errore_sistema(nome, 5, "Input/output error");
    piattaforma_inoltro::sostituisci(temporaneo, nome);
  }
  std::vector<std::string> passi;
  std::vector<std::string> temporanei;
  int cartelle = 0;
  bool rifiuta_sostituzione = false;
};

TEST(Riscrivi, UnTemporaneoNellaCartellaPoiRinominatoSulNome) {
  piattaforma_memoria mem("cartella");
  piattaforma_registro p(mem);
  riscrivi(p, "Velmo - Montegrieve", "24817", file_scenario::descrizione_treno, "abc\r\n");
  const std::string nome = "cartella/Velmo - Montegrieve_24817-.txt";
  ASSERT_EQ(p.temporanei.size(), 1u);
  const std::string& t = p.temporanei[0];
  EXPECT_EQ(t.rfind("cartella/.", 0), 0u) << t;
  EXPECT_EQ(t.find('/', 9), std::string::npos) << t;
  EXPECT_EQ(p.passi, (std::vector<std::string>{"temporaneo " + nome, "sostituisci " + t + " " + nome}));
  EXPECT_EQ(p.cartelle, 1);
  EXPECT_EQ(mem.file, (std::map<std::string, std::string>{{nome, "abc\r\n"}}));
}

TEST(Riscrivi, UnaSostituzioneRifiutataLasciaIlVecchioFileESenzaTemporaneo) {
  piattaforma_memoria mem("cartella");
  const std::string nome = "cartella/Velmo - Montegrieve_24817_note.txt";
  mem.file[nome] = "vecchio";
  piattaforma_registro p(mem);
  p.rifiuta_sostituzione = true;
  try {
    riscrivi(p, "Velmo - Montegrieve", "24817", file_scenario::note, "nuovo");
    ADD_FAILURE() << "la sostituzione rifiutata non e' stata riportata";
  } catch (const errore_sistema& e) {
    EXPECT_EQ(e.file(), nome);
  }
  EXPECT_EQ(mem.file, (std::map<std::string, std::string>{{nome, "vecchio"}}));
}

TEST(Riscrivi, SostituisceIntegroUnFilePiuLungoNellaCartella) {
  prova::cartella_temporanea c;
  prova::piattaforma_di_prova p(c);
  const std::string nome = c.file("Velmo - Montegrieve_24817_note.txt");
  prova::scrivi_file(nome, std::string(5000, 'x') + "\r\ncoda del vecchio file\r\n");
  riscrivi(p, "Velmo - Montegrieve", "24817", file_scenario::note, "nuovo\r\n");
  EXPECT_EQ(prova::leggi_file(nome), "nuovo\r\n");
  EXPECT_EQ(c.elenco(), std::vector<std::string>{"Velmo - Montegrieve_24817_note.txt"});
}

TEST(Riscrivi, CreaIlFileCheManca) {
  prova::cartella_temporanea c;
  prova::piattaforma_di_prova p(c);
  riscrivi(p, "Velmo - Montegrieve", "24817", file_scenario::celle, std::string("\x00\x01", 2));
  EXPECT_EQ(prova::leggi_file(c.file("Velmo - Montegrieve_24817.dat")), std::string("\x00\x01", 2));
}

}  // namespace
}  // namespace scenario
