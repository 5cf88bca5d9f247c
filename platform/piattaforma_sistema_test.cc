// The system's platform, whichever system the tests run on: files in a
// temporary folder, the program folder, the separator and the code page.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/cp1252.h"
#include "platform/piattaforma.h"
#include "tests/prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

class PiattaformaSistema : public ::testing::Test {
 protected:
  std::string nome(const std::string& semplice) { return p->cartella_programma() + p->separatore() + semplice; }

  prova::cartella_temporanea cartella;
  std::unique_ptr<piattaforma> p = piattaforma_di_sistema(cartella.percorso().string());
};

TEST_F(PiattaformaSistema, NomiComposteConIlSeparatoreStannoNellaCartella) {
  EXPECT_EQ(p->cartella_programma(), cartella.percorso().string());
  // Blanks and a hyphen, as in the scenario's own names.
  const std::string f = nome("Velmo - Montegrieve_24817-.txt");
  p->scrivi(f, "x");
  EXPECT_EQ(cartella.elenco(), std::vector<std::string>{"Velmo - Montegrieve_24817-.txt"});
  EXPECT_EQ(prova::leggi_file(cartella.file("Velmo - Montegrieve_24817-.txt")), "x");
}

// The new content lives under a hidden name of its own in the same folder
// until it is renamed over the name; the earlier file is whole until then.
TEST_F(PiattaformaSistema, IlTemporaneoStaNellaCartellaFinoAllaSostituzione) {
  const std::string f = nome("a.dat");
  prova::scrivi_file(cartella.file("a.dat"), "vecchio");
  bool dato = false;
  const std::string t = p->scrivi_temporaneo(f, [&] { return std::exchange(dato, true) ? std::string_view() : "nuovo"; });
  const std::string semplice = fs::path(t).filename().string();
  EXPECT_EQ(t, nome(semplice));
  EXPECT_EQ(semplice[0], '.');
  EXPECT_EQ(cartella.elenco(), (std::vector<std::string>{semplice, "a.dat"}));
  EXPECT_EQ(prova::leggi_file(cartella.file("a.dat")), "vecchio");
  // A second temporary for the same name is another file.
  const std::string u = p->scrivi_temporaneo(f, [] { return std::string_view(); });
  EXPECT_NE(u, t);
  p->elimina(u);
  p->sostituisci(t, f);
  EXPECT_EQ(cartella.elenco(), std::vector<std::string>{"a.dat"});
  EXPECT_EQ(prova::leggi_file(cartella.file("a.dat")), "nuovo");
}

// Whatever stops the write (the system, or the one who hands the pieces)
// removes the temporary and names the final file.
TEST_F(PiattaformaSistema, UnaScritturaInterrottaNonLasciaTemporanei) {
  const std::string f = nome("a.dat");
  prova::scrivi_file(cartella.file("a.dat"), "vecchio");
  int pezzi = 0;
  auto guasto = [&]() -> std::string_view {
    if (++pezzi == 3) throw errore_sistema(f, 28, "No space left on device");
    return "pezzo";
  };
  EXPECT_THROW(p->scrivi_temporaneo(f, guasto), errore_sistema);
  pezzi = 0;
  EXPECT_THROW(p->scrivi_a_pezzi(f, [&]() -> std::string_view {
    if (++pezzi == 2) throw std::runtime_error("interrotto");
    return "pezzo";
  }), std::runtime_error);
  EXPECT_EQ(cartella.elenco(), std::vector<std::string>{"a.dat"});
  EXPECT_EQ(prova::leggi_file(cartella.file("a.dat")), "vecchio");
}

// Pieces that say where they go make the file in any order; a failure on
// the way removes the temporary.
TEST_F(PiattaformaSistema, ScriviPosizionatoInQualunqueOrdine) {
  const std::string f = nome("p.dat");
  const std::vector<pezzo_posizionato> pezzi = {{"MONDO", 6}, {"CIAO, ", 0}, {"!", 11}};
  std::size_t k = 0;
  const std::string t = p->scrivi_temporaneo_posizionato(f, [&] { return k < pezzi.size() ? pezzi[k++] : pezzo_posizionato{}; });
  p->sostituisci(t, f);
  EXPECT_EQ(prova::leggi_file(cartella.file("p.dat")), "CIAO, MONDO!");
  k = 0;
  EXPECT_THROW(p->scrivi_temporaneo_posizionato(f, [&]() -> pezzo_posizionato {
    if (k++ == 1) throw errore_sistema(f, 28, "No space left on device");
    return {"altro", 100000};
  }), errore_sistema);
  EXPECT_EQ(cartella.elenco(), std::vector<std::string>{"p.dat"});
  EXPECT_EQ(prova::leggi_file(cartella.file("p.dat")), "CIAO, MONDO!");
}

// A link at the name is replaced by the new file: neither the file it
// points to nor the place a dangling one names is ever written.
TEST_F(PiattaformaSistema, UnCollegamentoAlNomeVieneSostituitoMaiSeguito) {
  prova::cartella_temporanea fuori;
  prova::scrivi_file(fuori.file("esistente"), "di fuori");
  std::error_code ec;
  fs::create_symlink(fuori.percorso() / "esistente", cartella.percorso() / "a.dat", ec);
  if (ec) GTEST_SKIP() << "il sistema non crea collegamenti: " << ec.message();
  fs::create_symlink(fuori.percorso() / "mancante", cartella.percorso() / "b.dat");
  p->scrivi(nome("a.dat"), "nuovo a");
  p->scrivi_a_pezzi(nome("b.dat"), [n = 0]() mutable -> std::string_view { return n++ ? "" : "nuovo b"; });
  for (const char* n : {"a.dat", "b.dat"}) {
    EXPECT_FALSE(fs::is_symlink(cartella.percorso() / n)) << n;
    EXPECT_EQ(prova::leggi_file(cartella.file(n)), std::string("nuovo ") + n[0]) << n;
  }
  EXPECT_EQ(fuori.elenco(), std::vector<std::string>{"esistente"});
  EXPECT_EQ(prova::leggi_file(fuori.file("esistente")), "di fuori");
  EXPECT_EQ(cartella.elenco(), (std::vector<std::string>{"a.dat", "b.dat"}));
}

// A file longer than the limit is refused with its name and the limit;
// one of exactly the limit is read.
TEST_F(PiattaformaSistema, LeggiRifiutaUnFileOltreIlLimite) {
  const std::string f = nome("d.txt");
  prova::scrivi_file(cartella.file("d.txt"), std::string(100000, 'd'));
  EXPECT_EQ(p->leggi(f, 100000).size(), 100000u);
  try {
    p->leggi(f, 99999);
    ADD_FAILURE() << "un file oltre il limite e' stato letto";
  } catch (const errore_sistema& e) {
    EXPECT_EQ(e.file(), f);
    EXPECT_NE(e.descrizione().find("99999"), std::string::npos) << e.descrizione();
  }
  // A sparse file far beyond any limit is refused by its size alone.
  fs::resize_file(cartella.percorso() / "d.txt", std::uintmax_t{1} << 32);
  EXPECT_THROW(p->leggi(f, std::size_t{64} << 20), errore_sistema);
  // A file whose size says nothing of what it holds (Linux's /proc) is read
  // whole, and through the limit too.
  const std::string proc = "/proc/self/maps";
  if (fs::exists(proc)) {
    const std::string letto = p->leggi(proc, std::size_t{1} << 20);
    EXPECT_GT(letto.size(), 100u);
    EXPECT_EQ(letto.back(), '\n');
    EXPECT_THROW(p->leggi(proc, 100), errore_sistema);
  }
}

TEST_F(PiattaformaSistema, ScriviELeggiInModoBinarioSostituendoIlFileIntero) {
  const std::string f = nome("b.dat");
  prova::scrivi_file(cartella.file("b.dat"), std::string(5000, 'v'));
  // Line ends, NUL, the DOS end-of-file mark and high bytes pass untouched.
  const std::string byte("riga\r\nsola\n\x1a\0\xff\xe8\r", 16);
  p->scrivi(f, byte);
  EXPECT_EQ(prova::leggi_file(cartella.file("b.dat")), byte);
  EXPECT_EQ(p->leggi(f), byte);

  std::string grande(200000, '\0');
  for (std::size_t i = 0; i < grande.size(); ++i) grande[i] = static_cast<char>(i * 7 + i / 256);
  p->scrivi(f, grande);
  EXPECT_EQ(p->leggi(f), grande);
  p->scrivi(f, "");
  EXPECT_EQ(fs::file_size(cartella.percorso() / "b.dat"), 0u);
}

TEST_F(PiattaformaSistema, ScriviAPezziUnisceIPezziESostituisceIlFileIntero) {
  const std::string f = nome("c.dat");
  prova::scrivi_file(cartella.file("c.dat"), std::string(5000, 'v'));
  const std::vector<std::string> pezzi = {"uno\r\n", std::string(70000, '\xe8'), std::string("\0due", 4)};
  std::size_t chiesti = 0;
  p->scrivi_a_pezzi(f, [&]() -> std::string_view {
    if (chiesti == pezzi.size()) return {};
    return pezzi[chiesti++];
  });
  EXPECT_EQ(chiesti, pezzi.size());
  EXPECT_TRUE(prova::leggi_file(cartella.file("c.dat")) == pezzi[0] + pezzi[1] + pezzi[2]);

  // No piece at all leaves the file empty; a missing folder fails naming it.
  p->scrivi_a_pezzi(f, [] { return std::string_view(); });
  EXPECT_EQ(prova::leggi_file(cartella.file("c.dat")), "");
  const std::string altrove = nome("manca") + p->separatore() + "c.dat";
  try {
    bool dato = false;
    p->scrivi_a_pezzi(altrove, [&dato] { return std::exchange(dato, true) ? std::string_view() : "x"; });
    ADD_FAILURE() << "la scrittura in una cartella mancante e' riuscita";
  } catch (const errore_sistema& e) {
    EXPECT_EQ(e.file(), altrove);
  }
}

TEST_F(PiattaformaSistema, UnaCartellaNonEUnFile) {
  fs::create_directory(cartella.percorso() / "sotto");
  EXPECT_FALSE(p->esiste(nome("sotto")));
  // No file replaces a folder, and the refusal comes before anything is
  // written.
  EXPECT_THROW(p->scrivi_temporaneo(nome("sotto"), [] { return std::string_view(); }), errore_sistema);
  EXPECT_THROW(p->scrivi(nome("sotto"), "x"), errore_sistema);
  EXPECT_EQ(cartella.elenco(), std::vector<std::string>{"sotto"});
}

TEST_F(PiattaformaSistema, IFallimentiPortanoNomeNumeroEDescrizione) {
  const std::string manca = nome("manca.txt");
  const std::string in_cartella_mancante = nome("manca") + p->separatore() + "x.txt";
  struct caso {
    const char* cosa;
    std::string file;
    std::function<void()> azione;
  };
  const caso casi[] = {
      {"leggi", manca, [&] { p->leggi(manca); }},
      {"elimina", manca, [&] { p->elimina(manca); }},
      {"scrivi", in_cartella_mancante, [&] { p->scrivi(in_cartella_mancante, "x"); }},
      {"sostituisci", in_cartella_mancante, [&] { p->sostituisci(manca, in_cartella_mancante); }},
  };
  for (const caso& c : casi) {
    try {
      c.azione();
      ADD_FAILURE() << c.cosa << " non ha fallito";
    } catch (const errore_sistema& e) {
      EXPECT_EQ(e.file(), c.file) << c.cosa;
      EXPECT_NE(e.numero(), 0) << c.cosa;
      EXPECT_FALSE(e.descrizione().empty()) << c.cosa;
      EXPECT_NE(std::string(e.what()).find(c.file), std::string::npos) << c.cosa;
    }
  }
  EXPECT_TRUE(cartella.elenco().empty());
}

TEST_F(PiattaformaSistema, UnNomeUtf8ArrivaAlSistemaComeQuelNome) {
  const std::string accentato = "citt\xc3\xa0 \xc3\xa8.txt";
  p->scrivi(nome(accentato), "y");
  EXPECT_TRUE(fs::exists(cartella.percorso() / fs::u8path(accentato)));
  EXPECT_TRUE(p->esiste(nome(accentato)));
  EXPECT_EQ(p->leggi(nome(accentato)), "y");
  p->elimina(nome(accentato));
  EXPECT_TRUE(cartella.elenco().empty());
}

TEST_F(PiattaformaSistema, CreaCartellaConLeCartelleSopraCheMancano) {
  const std::string sep = p->separatore();
  // Accented parts, a doubled separator and a trailing one.
  const std::string annidata = nome("citt\xc3\xa0") + sep + sep + "pi\xc3\xb9" + sep + "sotto" + sep;
  p->crea_cartella(annidata);
  const fs::path attesa = cartella.percorso() / fs::u8path("citt\xc3\xa0") / fs::u8path("pi\xc3\xb9") / "sotto";
  EXPECT_TRUE(fs::is_directory(attesa));
  // Again: the folders exist, and what they hold stays.
  p->scrivi(annidata + "f.txt", "z");
  EXPECT_TRUE(fs::is_regular_file(attesa / "f.txt"));
  p->crea_cartella(annidata);
  EXPECT_EQ(p->leggi(annidata + "f.txt"), "z");

  // A file where a folder belongs: the failure names it, nothing is made.
  prova::scrivi_file(cartella.file("file.dat"), "x");
  for (const std::string& sotto : {nome("file.dat"), nome("file.dat") + sep + "a" + sep + "b"}) {
    try {
      p->crea_cartella(sotto);
      ADD_FAILURE() << sotto << ": nessun fallimento";
    } catch (const errore_sistema& e) {
      EXPECT_EQ(e.file(), nome("file.dat"));
      EXPECT_NE(e.numero(), 0);
      EXPECT_FALSE(e.descrizione().empty());
    }
  }
  EXPECT_EQ(prova::leggi_file(cartella.file("file.dat")), "x");
}

TEST_F(PiattaformaSistema, NomiOltreDuecentosessantaCaratteri) {
  fs::path profonda = cartella.percorso();
  for (int i = 0; i < 6; ++i) profonda /= std::string(50, static_cast<char>('a' + i));
  std::error_code ec;
  fs::create_directories(profonda, ec);
  if (ec) GTEST_SKIP() << "il sistema non crea cartelle così profonde: " << ec.message();
  auto lunga = piattaforma_di_sistema(profonda.string());
  const std::string f = lunga->cartella_programma() + lunga->separatore() + "Velmo - Montegrieve_linea.dat";
  ASSERT_GT(f.size(), 300u);
  lunga->scrivi(f, "lungo");
  EXPECT_TRUE(lunga->esiste(f));
  EXPECT_EQ(lunga->leggi(f), "lungo");
  EXPECT_EQ(fs::file_size(profonda / "Velmo - Montegrieve_linea.dat"), 5u);
  lunga->elimina(f);
  EXPECT_FALSE(lunga->esiste(f));
}

TEST(PiattaformaSistemaProgramma, LaCartellaEQuellaDelProgrammaSenzaSeparatoreFinale) {
  auto p = piattaforma_di_sistema();
  const std::string c = p->cartella_programma();
  ASSERT_FALSE(c.empty());
  EXPECT_NE(c.substr(c.size() - 1), p->separatore());
  const fs::path cartella = fs::u8path(c);
  EXPECT_TRUE(cartella.is_absolute()) << c;
  bool trovato = false;
  for (const auto& e : fs::directory_iterator(cartella)) {
    trovato = trovato || e.path().stem() == "scenario_tests";
  }
  EXPECT_TRUE(trovato) << "scenario_tests non è in " << c;
}

// The tests run on a Western European system: its ANSI code page is
// Windows-1252, the one the files are written in everywhere.
TEST(PiattaformaSistemaAnsi, LaCodePageEWindows1252) {
  auto p = piattaforma_di_sistema();
  std::string tutti;
  for (int b = 1; b < 256; ++b) {
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;  // unassigned
    tutti += static_cast<char>(b);
  }
  const std::string utf8 = cp1252_in_utf8(tutti);
  EXPECT_EQ(p->in_ansi(utf8), tutti);
  EXPECT_EQ(p->in_ansi("gi\xc3\xa0 \xc3\xa8 \xe2\x82\xac"), "gi\xe0 \xe8 \x80");
  EXPECT_EQ(p->in_ansi(""), "");
}

TEST(PiattaformaSistemaAnsi, UnCarattereNonRappresentabileNonDiventaPuntoInterrogativo) {
  auto p = piattaforma_di_sistema();
  // Greek omega, o with double acute (whose nearest fit would be "o"), an
  // arrow, a character outside the basic plane, and malformed UTF-8.
  for (const char* testo : {"\xce\xa9", "o\xc5\x91", "a\xe2\x86\x92" "b", "\xf0\x9f\x9a\x86", "\xc3", "\xff"}) {
    EXPECT_THROW(p->in_ansi(testo), std::invalid_argument) << testo;
  }
}

TEST(PiattaformaSistemaAnsi, MinuscoleComeWindows1252) {
  auto p = piattaforma_di_sistema();
  std::string tutti;
  for (int b = 0; b < 256; ++b) tutti += static_cast<char>(b);
  EXPECT_EQ(p->minuscole(tutti), cp1252_minuscole(tutti));
  EXPECT_EQ(p->minuscole("24817VELMO - MONTEGRIEVE\xc8\xc0\x8a\x9f"), "24817velmo - montegrieve\xe8\xe0\x9a\xff");
}

}  // namespace
}  // namespace scenario
