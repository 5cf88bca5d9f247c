// What the system's platform gives the replacement of a set of files, on
// whichever system the tests run: the hold on a folder, the earlier file
// kept aside, the check of a name, the folder's entries, a file's identity
// and the folders made for an output.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/piattaforma.h"
#include "tests/prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

class PiattaformaInsieme : public ::testing::Test {
 protected:
  std::string nome(const std::string& semplice) { return p->cartella_programma() + p->separatore() + semplice; }
  std::string temporaneo(const std::string& n, std::string_view testo) {
    bool dato = false;
    return p->scrivi_temporaneo(n, [&] { return std::exchange(dato, true) ? std::string_view() : testo; });
  }

  prova::cartella_temporanea cartella;
  std::unique_ptr<piattaforma> p = piattaforma_di_sistema(cartella.percorso().string());
};

TEST_F(PiattaformaInsieme, UnaCartellaTenutaAspettaPoiRifiuta) {
  const std::string c = cartella.percorso().string();
  auto altra = piattaforma_di_sistema(c);
  {
    const auto tenuta = p->blocca(c, 0);
    const auto inizio = std::chrono::steady_clock::now();
    try {
      altra->blocca(c, 150);
      ADD_FAILURE() << "tenuta due volte";
    } catch (const errore_cartella_occupata& e) {
      EXPECT_EQ(e.file(), c);
    }
    EXPECT_GE(std::chrono::steady_clock::now() - inizio, std::chrono::milliseconds(150));
  }
  // Let go, it is free for the next.
  EXPECT_NO_THROW(altra->blocca(c, 0));
  EXPECT_TRUE(cartella.elenco().empty());
}

// The earlier file kept aside stays whole under its copy while the new one
// is renamed over its name, whether the system links it or moves it.
TEST_F(PiattaformaInsieme, IlFilePrecedenteMessoDaParteRestaIntero) {
  const std::string a = nome("a.dat");
  prova::scrivi_file(cartella.file("a.dat"), "vecchio");
  const std::string t = temporaneo(a, "nuovo");
  const std::string copia = nome(".scenario-1-1.vecchio");
  p->metti_da_parte(a, copia);
  EXPECT_EQ(prova::leggi_file(cartella.file(".scenario-1-1.vecchio")), "vecchio");
  p->sostituisci(t, a);
  EXPECT_EQ(prova::leggi_file(cartella.file("a.dat")), "nuovo");
  EXPECT_EQ(prova::leggi_file(cartella.file(".scenario-1-1.vecchio")), "vecchio");
  // And back again, as a failed set puts it.
  p->sostituisci(copia, a);
  EXPECT_EQ(prova::leggi_file(cartella.file("a.dat")), "vecchio");
  EXPECT_EQ(cartella.elenco(), std::vector<std::string>{"a.dat"});
  // A copy name that is taken is never overwritten.
  prova::scrivi_file(cartella.file(".scenario-1-2.vecchio"), "altro");
  EXPECT_THROW(p->metti_da_parte(a, nome(".scenario-1-2.vecchio")), errore_sistema);
  EXPECT_EQ(prova::leggi_file(cartella.file(".scenario-1-2.vecchio")), "altro");
  EXPECT_EQ(prova::leggi_file(cartella.file("a.dat")), "vecchio");
}

TEST_F(PiattaformaInsieme, NomiSostituibiliEVociDellaCartella) {
  prova::scrivi_file(cartella.file("f.dat"), "x");
  fs::create_directory(cartella.file("d.dat"));
  EXPECT_NO_THROW(p->verifica_sostituibile(nome("f.dat")));
  EXPECT_NO_THROW(p->verifica_sostituibile(nome("manca.dat")));
  try {
    p->verifica_sostituibile(nome("d.dat"));
    ADD_FAILURE() << "una cartella presa per un file";
  } catch (const errore_sistema& e) {
    EXPECT_EQ(e.file(), nome("d.dat"));
  }
  std::vector<std::string> voci = p->elenca(cartella.percorso().string());
  std::sort(voci.begin(), voci.end());
  EXPECT_EQ(voci, (std::vector<std::string>{"d.dat", "f.dat"}));
  EXPECT_TRUE(p->elenca(nome("manca")).empty());
}

TEST_F(PiattaformaInsieme, LIdentitaDiUnFileNonDipendeDalNome) {
  prova::scrivi_file(cartella.file("a.txt"), "a");
  prova::scrivi_file(cartella.file("b.txt"), "b");
  const auto a = p->identita(nome("a.txt"), true);
  ASSERT_TRUE(a);
  EXPECT_EQ(p->identita(cartella.file("./a.txt"), true), a);
  EXPECT_EQ(p->identita(fs::absolute(cartella.file("a.txt")).string(), false), a);
  EXPECT_NE(p->identita(nome("b.txt"), true), a);
  EXPECT_FALSE(p->identita(nome("manca.txt"), true));
  std::error_code ec;
  fs::create_hard_link(cartella.file("a.txt"), cartella.file("c.txt"), ec);
  if (!ec) {
    EXPECT_EQ(p->identita(nome("c.txt"), true), a);
  }
}

TEST_F(PiattaformaInsieme, LeCartelleFatteSonoDetteEUnNomeCheFallisceNonNeLascia) {
  const std::string sep = p->separatore();
  const std::string c = cartella.percorso().string();
  EXPECT_EQ(p->crea_cartella(c + sep + "x" + sep + "y"),
            (std::vector<std::string>{c + sep + "x", c + sep + "x" + sep + "y"}));
  EXPECT_TRUE(p->crea_cartella(c + sep + "x").empty());
  p->elimina_cartella(c + sep + "x" + sep + "y");
  p->elimina_cartella(c + sep + "x");
  // Ten folders, then a name longer than any file system takes.
  std::string lunga = c;
  for (int i = 0; i < 10; ++i) lunga += sep + std::string(100, static_cast<char>('a' + i));
  EXPECT_THROW(p->crea_cartella(lunga + sep + std::string(300, 'z')), errore_sistema);
  EXPECT_TRUE(cartella.elenco().empty());
}

}  // namespace
}  // namespace scenario
